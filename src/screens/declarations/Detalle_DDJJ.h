#pragma once

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
/// The opener sets the public properties and then calls Form_Load() before showing the screen.
class Detalle_DDJJ : public QDialog
{
    Q_OBJECT

public:
    explicit Detalle_DDJJ(QWidget* parent = nullptr);
    ~Detalle_DDJJ() override;

    /// Shows the period and loads the declaration's lines.
    void Form_Load();

    QString Posicion;  ///< fiscal period AAAAMM
    QString Secuencia; ///< sequence of the declaration
    QString Generada;  ///< "S" when the declaration has been generated, "N" otherwise
    QString FecVto;    ///< due date, handed on to a replica

private:
    void Refrescar(const QString& orden);
    void Habilitar_Botones();
    void lvList_HeadClick(int column);
    void BAgregar_Click();
    void bModificar_Click();
    void BEliminar_Click();
    void bAyuda_Click();
    void bVolver_Click();

    /// Reloads and returns to the row whose running number "Inc" is given.
    void reloadAt(double inc);

    const std::unique_ptr<Ui::Detalle_DDJJ> m_ui;
};
