#include "QtUi.h"

#include "ProgressWindow.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QScopeGuard>
#include <QStyledItemDelegate>
#include <QTreeView>
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

const QString boxTitle = u"Atención"_s;

bool askWithDefault(const QString& text, QMessageBox::StandardButton preset)
{
    return withNormalPointer([&] {
        QMessageBox box(QMessageBox::Question, boxTitle, text, QMessageBox::Yes | QMessageBox::No, boxParent());
        box.setDefaultButton(preset);
        return box.exec() == QMessageBox::Yes;
    });
}

// Qt's file list writes sizes and dates in the system's language ("9 Dec", "13.5 KiB") whatever the
// program's; here they are written as everywhere else in the program.
class FileListDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto* files = qobject_cast<const QFileSystemModel*>(index.model());
        if (!files)
            return;
        const QLocale locale;
        if (index.column() == sizeColumn && !files->isDir(index))
            option->text = locale.formattedDataSize(files->size(index));
        else if (index.column() == dateColumn)
            option->text = locale.toString(files->lastModified(index), u"dd/MM/yyyy HH:mm");
    }

private:
    static constexpr int sizeColumn = 1;
    static constexpr int dateColumn = 3;
};

// Runs Qt's own file dialog (a desktop's native one would speak the system's language), wide enough for
// its columns, and gives the chosen file or "".
QString chooseFile(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    if (auto* list = dialog.findChild<QTreeView*>(u"treeView"_s)) {
        list->setItemDelegate(new FileListDelegate(list));
        // Size, type and date as wide as their captions and contents; the names take the rest.
        QHeaderView* header = list->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        const QFontMetrics metrics = list->fontMetrics();
        dialog.resize(std::max(dialog.width(), 110 * metrics.averageCharWidth()),
                      std::max(dialog.height(), 26 * metrics.height()));
    }
    placeWindow(dialog, dialog.parentWidget());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void QtUi::message(const QString& text, Icon icon)
{
    withNormalPointer([&] {
        QMessageBox box(boxIcon(icon), boxTitle, text, QMessageBox::Ok, boxParent());
        return box.exec();
    });
}

bool QtUi::ask(const QString& text)
{
    return askWithDefault(text, QMessageBox::Yes);
}

bool QtUi::askDestructive(const QString& text)
{
    return askWithDefault(text, QMessageBox::No);
}

void QtUi::showModal(QDialog& screen)
{
    placeWindow(screen, screen.parentWidget());
    withNormalPointer([&] { return screen.exec(); }, screen.parentWidget());
}

QString QtUi::openFileName(QWidget* parent, const QString& caption, const QString& directory, const QString& filter)
{
    return withNormalPointer([&] {
        QFileDialog dialog(parent, caption, directory, filter);
        dialog.setFileMode(QFileDialog::ExistingFile);
        return chooseFile(dialog);
    });
}

std::optional<QString> QtUi::askText(QWidget* parent, const QString& label, const QString& initial)
{
    return withNormalPointer([&]() -> std::optional<QString> {
        bool accepted = false;
        const QString text = QInputDialog::getText(parent ? parent : boxParent(), boxTitle, label, QLineEdit::Normal,
                                                   initial, &accepted);
        if (!accepted)
            return std::nullopt;
        return text;
    });
}

QString QtUi::saveFileName(QWidget* parent, const QString& caption, const QString& directory, const QString& filter,
                           const QString& defaultSuffix)
{
    return withNormalPointer([&] {
        QFileDialog dialog(parent, caption, directory, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        return chooseFile(dialog);
    });
}

bool QtUi::openDocument(const QString& path)
{
    // Without a program to open the file (no xdg-open on a minimal system) Qt says so; a missing file
    // would only make that program fail where nobody sees it.
    return QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
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
