#pragma once

#include "platform/reportengine/RecordingReportEngine.h"
#include "support/ScriptedUi.h"
#include "support/TempDatabase.h"

#include <QDate>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
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

    /// Installs a new instance of the seam and gives it.
    template <typename Seam, typename Instance>
    static Instance& installNew()
    {
        auto fresh = std::make_unique<Instance>();
        Instance& installed = *fresh;
        Seam::install(std::move(fresh));
        return installed;
    }

    static void setRegistration(double agente, const QString& cuit, const QString& denominacion);
    /// The registration the program holds, as "CUIT name agent".
    [[nodiscard]] static QString identity();
    void execute(const QString& sql) { m_db.db().execute(sql); }

    /// Shows a window and waits until it is active, so that the focus can be checked.
    static void activate(QWidget& window);
    /// A new screen, shown and active.
    template <typename Screen, typename... Args>
    [[nodiscard]] static std::unique_ptr<Screen> show(Args&&... args)
    {
        auto screen = std::make_unique<Screen>(std::forward<Args>(args)...);
        activate(*screen);
        return screen;
    }
    /// Presses a button of the screen with the mouse; fails the test when it is missing or disabled.
    static void click(QWidget& screen, const QString& name);
    /// Presses a button that asks a question, answering it.
    void clickAnswering(QWidget& screen, const QString& name, bool yes)
    {
        m_operator.answerNext(yes);
        click(screen, name);
    }
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
