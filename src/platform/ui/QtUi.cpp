#include "QtUi.h"

#include "ProgressWindow.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QScopeGuard>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace ui {

namespace {

// An hourglass over a box that waits for the operator would say "wait" when the program is
// waiting for them; show the normal pointer while the box is open. When the box closes, the window
// that was active before it is active again, with the keyboard on the control that had it: the
// window system would otherwise leave the focus to chance.
template <typename Function>
auto withNormalPointer(Function&& function, QWidget* opener = nullptr)
{
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    QWidget* active = QApplication::activeWindow() ? QApplication::activeWindow() : QApplication::activeModalWidget();
    const QPointer<QWidget> window = active ? active : opener ? opener->window() : nullptr;
    const QPointer<QWidget> focus = QApplication::focusWidget();
    const auto restore = qScopeGuard([busy, window, focus] {
        if (busy)
            QApplication::restoreOverrideCursor();
        returnFocus(window, focus);
    });
    return function();
}

QWidget* boxParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QMessageBox::Icon boxIcon(Ui::Icon icon)
{
    switch (icon) {
    case Ui::Icon::Information:
        return QMessageBox::Information;
    case Ui::Icon::Question:
        return QMessageBox::Question;
    case Ui::Icon::Error:
        return QMessageBox::Warning;
    case Ui::Icon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::Information;
}

const QString s_title = u"Atención"_s;

} // namespace

void QtUi::message(const QString& text, Icon icon)
{
    withNormalPointer([&] {
        QMessageBox box(boxIcon(icon), s_title, text, QMessageBox::Ok, boxParent());
        return box.exec();
    });
}

bool QtUi::ask(const QString& text)
{
    return withNormalPointer([&] {
        QMessageBox box(QMessageBox::Question, s_title, text, QMessageBox::Yes | QMessageBox::No, boxParent());
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    });
}

void QtUi::showModal(QDialog& screen)
{
    placeWindow(screen, screen.parentWidget());
    withNormalPointer([&] { return screen.exec(); }, screen.parentWidget());
}

QString QtUi::openFileName(QWidget* parent, const QString& caption, const QString& directory, const QString& filter)
{
    return withNormalPointer([&] { return QFileDialog::getOpenFileName(parent, caption, directory, filter); });
}

std::optional<QString> QtUi::askText(QWidget* parent, const QString& label, const QString& initial)
{
    return withNormalPointer([&]() -> std::optional<QString> {
        bool accepted = false;
        const QString text =
            QInputDialog::getText(parent ? parent : boxParent(), s_title, label, QLineEdit::Normal, initial, &accepted);
        if (!accepted)
            return std::nullopt;
        return text;
    });
}

QString QtUi::saveFileName(QWidget* parent, const QString& caption, const QString& directory, const QString& filter,
                           const QString& defaultSuffix)
{
    return withNormalPointer([&] {
        // The static getSaveFileName cannot add a default suffix, so the dialog is built here.
        QFileDialog dialog(parent, caption, directory, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    });
}

void QtUi::openDocument(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::unique_ptr<Ui::Progress> QtUi::progress(QWidget* screen, const QString& text)
{
    return std::make_unique<ProgressWindow>(screen, text);
}

void QtUi::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace ui
