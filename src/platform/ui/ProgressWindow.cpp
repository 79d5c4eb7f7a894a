#include "ProgressWindow.h"

#include "WindowPlacement.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace ui {

namespace {
// The window waits this long before it may appear, and appears only for a step expected to last the second.
constexpr qint64 waitMilliseconds = 500;
constexpr qint64 longStepMilliseconds = 1000;
constexpr int barSteps = 1000;
constexpr int windowWidth = 380;
} // namespace

ProgressWindow::ProgressWindow(QWidget* screen, QString text) : m_screen(screen), m_text(std::move(text))
{
    m_started.start();
}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::step(qint64 done, qint64 total)
{
    if (!m_window) {
        const qint64 elapsed = m_started.elapsed();
        if (elapsed < waitMilliseconds)
            return;
        // A step that is nearly over by now ends without a window flashing up and away.
        if (total > 0 && done > 0 && elapsed * total / done < longStepMilliseconds)
            return;
        show(total);
    }
    m_pacer.step(done, total);
}

void ProgressWindow::show(qint64 total)
{
    // The screen may not be shown yet (a list loads before it opens): the window goes over the one that is.
    QWidget* owner = m_screen && m_screen->isVisible() ? m_screen->window() : QApplication::activeWindow();

    m_window = std::make_unique<QDialog>(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_window->setWindowTitle(m_screen ? m_screen->window()->windowTitle() : QString());
    m_window->setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(m_window.get());
    auto* label = new QLabel(m_text, m_window.get());
    label->setObjectName(QStringLiteral("lbProgreso"));
    auto* bar = new QProgressBar(m_window.get());
    bar->setObjectName(QStringLiteral("pbProgreso"));
    // An unknown total shows a bar that only says work is going on.
    bar->setRange(0, total > 0 ? barSteps : 0);
    layout->addWidget(label);
    layout->addWidget(bar);
    // Nothing to enlarge: a window of fixed size gets no maximize button.
    const QSize size = m_window->sizeHint();
    m_window->setFixedSize(std::max(size.width(), windowWidth), size.height());

    if (owner) {
        m_window->winId();
        if (QWindow* handle = m_window->windowHandle())
            handle->setTransientParent(owner->windowHandle());
    }
    placeWindow(*m_window, owner);
    m_window->show();
    m_pacer = ProgressPacer(bar, QEventLoop::ExcludeUserInputEvents);
    m_pacer.start();
}

} // namespace ui
