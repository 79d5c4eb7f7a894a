#pragma once

#include "gui/ui/Printers.h"
#include "platform/ui/ScriptedUi.h"
#include "support/TempDatabase.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

class QPushButton;
class QWidget;

namespace ui {
class ListGrid;
}

/// A temporary database, a scripted ui, a fixed date and a registered agent, with helpers that
/// store declarations and lines and that drive the screens as the operator would.
class DeclarationsTest : public ::testing::Test
{
protected:
    DeclarationsTest();
    ~DeclarationsTest() override;

    /// A declaration row; dates as dd/mm/yyyy, "" for null.
    void addDeclaration(const QString& posicion, int secuencia, const QString& fecVto, const QString& generado,
                        const QString& fecPres = {});
    /// A pending detail line of account type "01" and currency "01" unless given.
    void addLine(const QString& posicion, int secuencia, const QString& cbu, double cuit, double depositos, double base,
                 double retenido, const QString& tipoCuenta = QStringLiteral("01"),
                 const QString& moneda = QStringLiteral("01"));
    /// Stamps every line of a declaration as generated with a voucher, a sheet and a date.
    void stampLines(const QString& posicion, int secuencia, double comprobante, const QString& fecha);
    /// One detail line's column, found by its key.
    [[nodiscard]] db::Value lineValue(const QString& posicion, int secuencia, const QString& cbu, double cuit,
                                      const QString& column);
    [[nodiscard]] int lineCount(const QString& posicion, int secuencia);

    /// The period 200209 of the example: sequence 1 superseded, sequence 2 generated with five lines.
    void addGeneratedExample();
    /// The CBU and CUIT of line i (0 to 4) of the example.
    [[nodiscard]] static QString exampleCbu(int i);
    [[nodiscard]] static double exampleCuit(int i);

    /// Shows a window and waits until it is active, so that the focus can be checked.
    static void activate(QWidget& window);
    [[nodiscard]] static QPushButton* button(QWidget& screen, const QString& name);
    static void click(QWidget& screen, const QString& name);
    static void clickRow(ui::ListGrid& grid, int row);
    static void clickHeader(ui::ListGrid& grid, int column);
    /// The cells of one column, top to bottom.
    [[nodiscard]] static QStringList columnCells(const ui::ListGrid& grid, int column);
    /// The object name of the focused widget.
    [[nodiscard]] static QString focusName();

    /// A valid CUIT: the ten leading digits with the check digit that makes them acceptable.
    [[nodiscard]] static double validCuit(double leadingDigits);

    TempDatabase m_db;
    ui::ScriptedUi& m_ui;
};
