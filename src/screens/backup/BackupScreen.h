#pragma once

#include "data/clsCodigo.h"

#include "platform/ui/ProgressPacer.h"

#include <QDialog>

#include <memory>

namespace Ui {
class BackupScreen;
}

/// Backup copies of the whole database: saves one to a file the operator names, while the program stays
/// connected, or puts one saved earlier in place of the data after asking. Opened from the main menu only.
class BackupScreen : public QDialog
{
    Q_OBJECT

public:
    explicit BackupScreen(QWidget* parent = nullptr);
    ~BackupScreen() override;

    /// The name the save dialog proposes: "ferlon-AAAAMMDD.mdb" with today's date, in the backup folder.
    [[nodiscard]] static QString defaultCopyPath();

    /// True once a copy has been put in place of the data.
    [[nodiscard]] bool restored() const { return m_restored; }

    /// While a copy is being written the window cannot be closed; "Cancelar" stops the copy.
    void reject() override;

private:
    void bGuardar_Click();
    void bRestaurar_Click();
    void bCancelar_Click();
    void setCopying(bool copying);
    /// Shows a copy's progress; false once the operator has cancelled.
    bool showProgress(int copied, int total);
    [[nodiscard]] static QString restoreQuestion(const QString& path, const clsCodigo::BackupContents& contenido);

    const std::unique_ptr<Ui::BackupScreen> m_ui;
    bool m_copying = false;
    bool m_cancelled = false;
    bool m_restored = false;
    ui::ProgressPacer m_progress;
};
