#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QString>

#include <memory>

namespace Ui {
class Importacion_DDJJ;
}

/// Loads the detail lines of one declaration from an interface file prepared outside the program.
/// Good lines are inserted as they come; bad ones are listed in Errores.txt in the program's directory.
///
/// The opener sets Posicion and Secuencia, then calls Form_Load() and shows the screen modally.
class Importacion_DDJJ : public QDialog
{
    Q_OBJECT

public:
    explicit Importacion_DDJJ(QWidget* parent = nullptr);
    ~Importacion_DDJJ() override;

    /// The declaration's fiscal period, as the list shows it (AAAAMM).
    QString Posicion;
    /// The declaration's sequence.
    double Secuencia = 0;

    /// Prepares the screen for the declaration given by Posicion and Secuencia.
    void Form_Load();

    /// Refused while an import runs: the screen closes by itself when the import ends.
    void reject() override;

private:
    void bBuscar_Click();
    void bAceptar_Click();
    void bCancelar_Click();
    void bVolver_Click();

    /// Shows one of the path errors and puts the focus back on the path.
    void refuse(const QString& message);
    /// Locks the controls while an import runs (the window keeps repainting meanwhile).
    void setImporting(bool importing);
    void showProgress(qint64 bytesRead, qint64 totalBytes);

    const std::unique_ptr<Ui::Importacion_DDJJ> m_ui;
    bool m_importing = false;
    QElapsedTimer m_sinceRepaint;
};
