#pragma once

class ListSearch;

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class Detalle_DDJJ;
}

/// The detail lines of one declaration, with the way to add, correct and delete them. On a
/// generated declaration a new line or a correction replicates it under the period's next sequence
/// (after asking), and single lines cannot be deleted.
///
/// The opener names the declaration when it creates the screen, which loads its lines there and then.
class Detalle_DDJJ : public QDialog
{
    Q_OBJECT

public:
    /// The declaration the screen shows.
    struct Declaration
    {
        QString Posicion;  ///< fiscal period AAAAMM
        QString Secuencia; ///< sequence of the declaration
        QString Generada;  ///< "S" when the declaration has been generated, "N" otherwise
        QString FecVto;    ///< due date, handed on to a replica
    };

    explicit Detalle_DDJJ(Declaration declaration, QWidget* parent = nullptr);
    ~Detalle_DDJJ() override;

    /// What the opener handed, fixed for the screen's life.
    const QString Posicion;
    const QString Secuencia;
    const QString Generada;
    const QString FecVto;

private:
    /// Builds the grid, shows the period and loads the declaration's lines; the constructor's last step.
    void Form_Load();
    void Refrescar(const QString& orden);
    void Habilitar_Botones();
    void lvList_HeadClick(int column);
    void BAgregar_Click();
    void bModificar_Click();
    void BEliminar_Click();
    void bAyuda_Click();
    void bVolver_Click();
    /// Writes the lines, as the grid shows them and in its order, to a spreadsheet file the operator names.
    void bExportar_Click();

    /// Reloads and returns to the row whose running number "Inc" is given.
    void reloadAt(double inc);
    /// Opens the entry screen on this declaration in the given mode, on the line with this CUIT and CBU
    /// when one is corrected.
    void openEntry(int accion, double cuitId = 0, const QString& cbuId = {});

    const std::unique_ptr<Ui::Detalle_DDJJ> m_ui;
    /// Ctrl+F and F3 on the grid.
    ListSearch* m_search = nullptr;
};
