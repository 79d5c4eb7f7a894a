#pragma once

class ListSearch;

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class DDJJ;
}

/// The declaration list: every declaration with its state, and from the selected one the way to its
/// detail lines, to manual or automatic entry of lines, to generation and reprint, and to emptying it.
/// Only the newest sequence of each fiscal period offers any action.
class DDJJ : public QDialog
{
    Q_OBJECT

public:
    explicit DDJJ(QWidget* parent = nullptr);
    ~DDJJ() override;

    /// Reloads the list in the given order (a table column, optionally followed by " DESC").
    void Refrescar(const QString& orden);

    /// Outcome of the generation screen opened by bGenerar and bImprimir: false only when a
    /// generation ran to its end. That screen sets it; the two handlers read it afterwards.
    bool Cancelado = false;

private:
    void Form_Load();
    void Habilitar_Botones();
    void lvList_Click();
    void lvList_HeadClick(int column);
    void bVer_Click();
    void bManual_Click();
    void bAutomatica_Click();
    void bGenerar_Click();
    void bImprimir_Click();
    void BEliminar_Click();
    void bAyuda_Click();
    void bVolver_Click();

    /// Whether the current declaration has lines (otherwise says `withoutLines`) and the registration is
    /// complete, as generating or reprinting it needs.
    [[nodiscard]] bool readyToGenerate(const QString& withoutLines);
    /// Opens the generation screen for the current declaration with its voucher number; when a generation ran
    /// to its end, prints the AR04 sheets with `print` (false when it failed). Then the list reloads.
    void generateAndPrint(double comprobante, const std::function<bool()>& print);

    /// Reloads in the current order and returns to the row the operator was on, found by its
    /// running number "Inc", then sets the buttons for that row.
    void reloadAndReturn();

    const std::unique_ptr<Ui::DDJJ> m_ui;
    /// Ctrl+F and F3 on the grid.
    ListSearch* m_search = nullptr;
    QString m_sortClause;
    int m_sorted = 0;
    int m_lastSortColumn = 0;
};
