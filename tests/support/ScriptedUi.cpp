#include "support/ScriptedUi.h"

#include "platform/ui/WindowPlacement.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>

namespace ui {

namespace {

// Window activation goes through the platform's event queue, even offscreen: let it arrive so
// that focusWidget() and hasFocus() answer as they would for a screen the operator is using.
void activate(QWidget& window)
{
    window.activateWindow();
    const QDeadlineTimer deadline(1000);
    while (QApplication::activeWindow() != &window && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

template <typename T>
T take(std::deque<T>& queue)
{
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

// Writes each step into the record of its progress, the last one when it is made.
struct ScriptedProgress : Ui::Progress
{
    ScriptedProgress(const ScriptedUi& ui, QList<ScriptedUi::ProgressRecord>& records)
        : ui(ui), records(records), index(records.size() - 1)
    {}
    ~ScriptedProgress() override { records[index].ended = true; }

    void step(qint64 done, qint64 total) override
    {
        ScriptedUi::ProgressRecord& at = records[index];
        at = {at.text, done, total, at.alwaysBusy && ui.isBusy(), at.backwards || done < at.done};
    }

    const ScriptedUi& ui;
    QList<ScriptedUi::ProgressRecord>& records;
    qsizetype index;
};

} // namespace

bool ScriptedUi::ask(const QString& text)
{
    m_messages.append({text, Icon::Question, true});
    if (m_answers.empty())
        m_unanswered.append(text);
    return !m_answers.empty() && take(m_answers);
}

bool ScriptedUi::askDestructive(const QString& text)
{
    const bool yes = ask(text);
    m_messages.last().defaultNo = true;
    return yes;
}

void ScriptedUi::showModal(QDialog& screen)
{
    m_shownScreens.append(screen.objectName());
    const QPointer<QWidget> opener = QApplication::activeWindow();
    const bool wasModal = screen.testAttribute(Qt::WA_ShowModal);
    const QPointer<QDialog> guard = &screen;
    // Closes the screen the way exec() would leave it, also when the work throws.
    const auto close = qScopeGuard([&] {
        if (!guard)
            return;
        if (screen.isVisible())
            screen.reject();
        screen.setAttribute(Qt::WA_ShowModal, wasModal);
        if (opener && opener->isVisible())
            activate(*opener);
    });
    screen.setAttribute(Qt::WA_ShowModal, true);
    placeWindow(screen, screen.parentWidget()); // where an operator would find it
    screen.show();
    activate(screen);
    if (!m_modalWork.empty())
        take(m_modalWork)(screen);
}

QString ScriptedUi::nextFileName(const QStringList& request)
{
    m_fileRequests.append(request.join(u'|'));
    return m_fileNames.empty() ? QString() : take(m_fileNames);
}

std::optional<QString> ScriptedUi::askText(QWidget*, const QString&, const QString&)
{
    return m_texts.empty() ? std::nullopt : std::optional(take(m_texts));
}

bool ScriptedUi::openDocument(const QString& path)
{
    m_openedDocuments.append(path);
    return QFileInfo::exists(path);
}

std::unique_ptr<Ui::Progress> ScriptedUi::progress(QWidget*, const QString& text)
{
    m_progresses.append({text});
    return std::make_unique<ScriptedProgress>(*this, m_progresses);
}

QStringList ScriptedUi::messageTexts() const
{
    QStringList texts;
    for (const Message& message : m_messages)
        texts.append(message.text);
    return texts;
}

void ScriptedUi::setBusy(bool busy)
{
    m_timesBusy += busy && !m_busy;
    m_busy = busy;
}

} // namespace ui
