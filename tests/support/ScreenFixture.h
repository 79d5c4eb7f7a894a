#pragma once

#include "support/RecordingReportEngine.h"
#include "support/ScriptedUi.h"
#include "support/TempDatabase.h"

#include <QDate>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>

namespace ui {
class ListGrid;
}

/// Qt strings in GoogleTest's failure output (lists of them print element by element).
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

/// What every screen test starts from: a fresh database beside a program directory of its own that
/// holds the shipped report layouts, a scripted operator, a recording report engine, a fixed date and
/// no registered agent; with the helpers that drive widgets as the operator would.
class ScreenFixture : public ::testing::Test
{
protected:
    explicit ScreenFixture(QDate today = QDate(2002, 10, 15));
    ~ScreenFixture() override;

    static void setRegistration(double agente, const QString& cuit, const QString& denominacion);
    /// The registration the program holds, as "CUIT name agent".
    [[nodiscard]] static QString identity();
    void execute(const QString& sql) { m_db.db().execute(sql); }

    /// Shows a window and waits until it is active, so that the focus can be checked.
    static void activate(QWidget& window);
    /// Presses a button of the screen with the mouse; fails the test when it is missing or disabled.
    static void click(QWidget& screen, const QString& name);
    /// Empties a text box as the operator does (select all, Backspace) and types the text through its
    /// key filter; a DEL character stands for the Delete key.
    static void type(QWidget& screen, const QString& box, const QString& text);
    static void clickRow(ui::ListGrid& grid, int row);
    static void clickHeader(ui::ListGrid& grid, int column);
    /// The object name of the widget with the focus ("" when none has it).
    [[nodiscard]] static QString focusName();

    /// The screen's widget of that name and type. A misspelt or missing one fails the test that asked, by an
    /// exception that gtest reports with the name, instead of a null that would end the whole test binary.
    template <typename Widget>
    [[nodiscard]] static Widget* child(QWidget& screen, const QString& name)
    {
        if (auto* found = screen.findChild<Widget*>(name))
            return found;
        throw std::logic_error("la pantalla " + screen.objectName().toStdString() + " no tiene el control " +
                               name.toStdString());
    }

    TempDatabase m_db;
    ui::ScriptedUi& m_operator;
    report::RecordingReportEngine& m_engine;
};
