#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class Impresion_AR03;
}

/// The list of AR03 payments, of every fiscal period: from it the operator adds a payment, deletes
/// one, and prints (first time, which numbers it) or reprints the selected payment's AR03 form.
class Impresion_AR03 : public QDialog
{
    Q_OBJECT

public:
    explicit Impresion_AR03(QWidget* parent = nullptr);
    ~Impresion_AR03() override;

    /// Close request: when set after the payment entry has closed, the list closes too. The entry
    /// clears it when it loads, and nothing sets it, so the list stays open.
    bool Volver = false;

private:
    void Form_Load();
    void Refrescar(const QString& orden);
    void Habilitar_Botones();
    void BAgregar_Click();
    void BEliminar_Click();
    void bImprimir_Click();
    void bAyuda_Click();
    void bVolver_Click();
    void lvList_HeadClick(int column);

    const std::unique_ptr<Ui::Impresion_AR03> m_ui;
    /// The ORDER BY list of the rows shown; empty orders by fiscal period.
    QString m_orden;
    bool m_sortedOnce = false;
    /// The column last sorted ascending; -1 after a descending sort.
    int m_lastAscendingColumn = 0;
};
