#pragma once

#include "Ui.h"

namespace ui {

/// The real Ui: Qt message boxes, QDialog::exec(), QFileDialog, QDesktopServices and the
/// application's override cursor. While the hourglass is on, every box and modal screen it opens
/// shows the normal pointer, and the hourglass comes back when it closes.
class QtUi : public Ui
{
public:
    void message(const QString& text, Icon icon) override;
    [[nodiscard]] bool ask(const QString& text) override;
    [[nodiscard]] bool askDestructive(const QString& text) override;
    void showModal(QDialog& screen) override;
    [[nodiscard]] QString openFileName(QWidget* parent, const QString& caption, const QString& directory,
                                       const QString& filter) override;
    [[nodiscard]] std::optional<QString> askText(QWidget* parent, const QString& label,
                                                 const QString& initial) override;
    [[nodiscard]] QString saveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                       const QString& filter, const QString& defaultSuffix) override;
    [[nodiscard]] bool openDocument(const QString& path) override;
    /// A ProgressWindow.
    [[nodiscard]] std::unique_ptr<Progress> progress(QWidget* screen, const QString& text) override;

protected:
    void setBusy(bool busy) override;
};

} // namespace ui
