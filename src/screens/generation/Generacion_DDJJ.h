#pragma once

#include "generation/DeclarationFile.h"
#include "platform/ui/ProgressPacer.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

class QSaveFile;

class QIODevice;

namespace Ui {
class Generacion_DDJJ;
}

/// Writes the declaration file of one declaration: the pending detail lines at its first generation
/// (voucher number 0), every line when it is generated again. The file is replaced only when every record
/// was written; a failed attempt leaves the previous file as it was and keeps the screen open.
///
/// The opener passes a flag that the screen sets to true when it loads and to false only when a
/// generation ran to its end and closed the screen:
///
///     Generacion_DDJJ screen(Cancelado, this);
///     screen.Posicion = u"200209"_s;
///     screen.Secuencia = u"1"_s;
///     screen.Comp = 0;
///     ui::Ui::current().showModal(screen);
///     if (!Cancelado) ...
class Generacion_DDJJ : public QDialog
{
    Q_OBJECT

public:
    /// A device the records go through on their way to the file (tests use one that fails part-way).
    using OutputFilter = std::function<std::unique_ptr<QIODevice>(QIODevice& file)>;

    explicit Generacion_DDJJ(bool& cancelado, QWidget* parent = nullptr);
    ~Generacion_DDJJ() override;

    /// The fiscal period "AAAAMM" of the declaration.
    QString Posicion;
    /// The declaration's sequence, as text.
    QString Secuencia;
    /// The declaration's voucher number: 0 writes the pending lines, any other value every line.
    double Comp = 0;

    /// Sends the records through the filter's device before they reach the file.
    void setOutputFilter(OutputFilter filter) { m_outputFilter = std::move(filter); }

private:
    void Form_Load();
    void txtPath_KeyPress(int& keyAscii);
    void bBuscar_Click();
    void bAceptar_Click();
    void bCancelar_Click();
    void bVolver_Click();
    void Command1_Click();

    [[nodiscard]] static bool replaceAndReadBack(QSaveFile& file, const QString& path,
                                                 const DeclarationFile& declaration,
                                                 const DeclarationFile::Progress& progress);

    const std::unique_ptr<Ui::Generacion_DDJJ> m_ui;
    bool& m_cancelado;
    OutputFilter m_outputFilter;
    ui::ProgressPacer m_progress;
};
