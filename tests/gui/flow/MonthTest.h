#pragma once

#include "gui/ui/Printers.h"
#include "support/TempDatabase.h"

#include "platform/reportengine/RecordingReportEngine.h"
#include "platform/ui/ScriptedUi.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <initializer_list>
#include <utility>

#include <gtest/gtest.h>

class Main;
class QDialog;
class QPushButton;
class QWidget;

namespace ui {
class ListGrid;
}

/// A month of work at the bank, done through the real screens: the database file as it is delivered
/// (the counters, the help document's name and the first declaration of each fiscal period), a
/// scripted operator, a recording report engine, the report layouts in the program's directory and a
/// fixed date. The operator keeps the files handed to and taken from the program in a folder of their own.
class MonthTest : public ::testing::Test
{
protected:
    /// The periods delivered with the file: each has its declaration of sequence 1, due on the 15th of the
    /// month after.
    static constexpr int firstPeriod = 200208;
    static constexpr int lastPeriod = 200210;

    MonthTest();
    ~MonthTest() override;

    // What the operator does.

    /// Queues the work to be done on the screen a main-menu button opens, then presses that button.
    void openFromMenu(const QString& menuButton, std::function<void(QDialog&)> work);
    [[nodiscard]] static QPushButton* button(QWidget& screen, const QString& name);
    /// Presses a button, which must be there and enabled.
    static void click(QWidget& screen, const QString& name);
    /// Empties a box as the operator does (select all, Backspace) and types the text through its key filter.
    static void type(QWidget& screen, const QString& box, const QString& text);
    /// Chooses an item of a drop-down list.
    static void pick(QWidget& screen, const QString& list, int index);
    [[nodiscard]] static ui::ListGrid& grid(QWidget& screen);
    /// The first row whose cells hold the given texts (column, text); -1 when there is none.
    [[nodiscard]] static int rowWhere(const ui::ListGrid& grid, std::initializer_list<std::pair<int, QString>> cells);
    static void clickRow(ui::ListGrid& grid, int row);
    /// Selects the row of a declaration list or payment list found by its cells, clicking it.
    static void clickRowWhere(ui::ListGrid& grid, std::initializer_list<std::pair<int, QString>> cells);
    /// The cells of a row in the given columns.
    [[nodiscard]] static QStringList cells(const ui::ListGrid& grid, int row, std::initializer_list<int> columns);
    /// The object name of the widget that has the focus.
    [[nodiscard]] static QString focusName();

    // What the operator sees.

    /// The boxes shown since the previous call, in order.
    [[nodiscard]] QList<ui::ScriptedUi::Message> newMessages();
    /// The screens opened since the previous call, in order.
    [[nodiscard]] QStringList newScreens();
    [[nodiscard]] static ui::ScriptedUi::Message info(const QString& text);
    [[nodiscard]] static ui::ScriptedUi::Message question(const QString& text);

    // What is stored.

    /// Every row of a query, each field as text: numbers plain ("1234.5"), dates dd/mm/yyyy, null "".
    [[nodiscard]] QList<QStringList> rows(const QString& sql);
    /// The Valor of a PARAMETROS row.
    [[nodiscard]] QString parameter(int id);
    /// The plain 80-character records of a declaration file, sorted (the file's order is the database's).
    /// Fails the test when a line does not end with CR LF or cannot be decrypted with the agency's key.
    [[nodiscard]] static QStringList records(const QString& path);
    /// A file in the operator's own folder.
    [[nodiscard]] QString operatorFile(const QString& name) const;

    TempDatabase m_db;
    QTemporaryDir m_operatorFolder;
    ui::ScriptedUi& m_ui;
    report::RecordingReportEngine* m_engine = nullptr;
    /// The main menu, once the program is running.
    QPointer<Main> m_menu;

private:
    qsizetype m_messagesSeen = 0;
    qsizetype m_screensSeen = 0;
};
