#pragma once

#include "import/DetailImporter.h"

#include "platform/ui/ProgressPacer.h"

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class Importacion_DDJJ;
}

/// Loads the detail lines of one declaration from an interface file prepared outside the program.
/// Good lines are inserted as they come; bad ones are listed in Errores.txt in the program's directory.
///
/// The opener names the declaration when it creates the screen, which is then ready to show modally.
class Importacion_DDJJ : public QDialog
{
    Q_OBJECT

public:
    /// For the declaration of this fiscal period (AAAAMM, as the list shows it) and sequence.
    Importacion_DDJJ(QString posicion, double secuencia, QWidget* parent = nullptr);
    ~Importacion_DDJJ() override;

    /// What the opener handed, fixed for the screen's life.
    const QString Posicion;
    const double Secuencia;

    /// Refused while an import runs: the screen closes by itself when the import ends.
    void reject() override;

private:
    /// Prepares the screen for its declaration; the constructor's last step.
    void Form_Load();
    void bBuscar_Click();
    void bAceptar_Click();
    /// Imports the file named in the path box, or only checks it without writing anything to the database.
    void run(bool checkOnly);
    void bCancelar_Click();
    void bVolver_Click();

    /// Shows one of the path errors and puts the focus back on the path.
    void refuse(const QString& message);
    /// What the operator is told when an import ends: how it went, and where its errors are listed.
    [[nodiscard]] static QString closingMessage(const DetailImporter::Result& result, const QString& errorPath,
                                                bool errorsWritten);
    /// What the operator is told when a check ends: how many lines are good, how many are not and where
    /// they are listed.
    [[nodiscard]] static QString checkMessage(const DetailImporter::Result& result, const QString& errorPath,
                                              bool errorsWritten);
    /// Locks the controls while an import runs (the window keeps repainting meanwhile).
    void setImporting(bool importing);

    const std::unique_ptr<Ui::Importacion_DDJJ> m_ui;
    bool m_importing = false;
    ui::ProgressPacer m_progress;
};
