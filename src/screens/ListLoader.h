#pragma once

#include "platform/Regional.h"
#include "platform/db/Value.h"
#include "platform/ui/ListGrid.h"
#include "platform/ui/ListRow.h"

#include <QDate>
#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <span>
#include <type_traits>

namespace db {
class Recordset;
}

/// Fills a list screen's grid: its columns from the screen's table of them, its rows from a query's records,
/// one row per record, written cell by cell. A query that did not run, or records that stop being readable part
/// way, leave the rows read so far and the operator told (informReadFailure), so that a short list is never
/// taken for the whole of it.
class ListLoader
{
public:
    /// A grid column as a list screen declares it, in its table of columns.
    struct Column
    {
        QStringView caption;
        QStringView name;
        /// In twips; 0 hides the column, whose cells can still be read.
        int widthTwips;
        /// A sample of the column's widest content, which it is widened to show whole.
        QStringView widest = {};
        /// Amounts line up to the right.
        bool amount = false;
    };

    /// Adds a screen's columns in the order of its table.
    static void addColumns(ui::ListGrid& grid, std::span<const Column> columns);

    /// Starts a load: empties the grid.
    explicit ListLoader(ui::ListGrid& grid);

    /// What a load does with the records; every step but `read` may be left out.
    struct Steps
    {
        /// Once the query has run, before the first record: finds the fields that every record is read by.
        std::function<void(const db::Recordset& records)> start = {};
        /// Each record in turn, with its running number, 1 for the first: writes the record's row, or keeps
        /// what the row needs for `afterAll`.
        std::function<void(const db::Recordset& record, int number)> read;
        /// After the last record, for a list whose rows depend on all of them: writes the rows.
        std::function<void()> afterAll = {};
    };
    /// Runs the steps on the records, which it releases before `afterAll`; last, tells the operator of a query
    /// that did not run or a read that failed part way.
    void load(std::unique_ptr<db::Recordset> records, const Steps& steps);

    // The cells of the row being written, in column order; written in place, since a long list has millions.

    /// A text, trimmed.
    ListLoader& text(QStringView text)
    {
        m_row << text.trimmed();
        return *this;
    }
    /// A field: trimmed, null as empty, a number as its plain decimal text, a date as dd/mm/yyyy.
    ListLoader& field(const db::Value& value)
    {
        switch (value.type()) {
        case db::Value::Type::Number:
            m_row << [&value](QString& out) {
                db::Value::appendNumberText(out, value.toDouble());
            };
            return *this;
        case db::Value::Type::Date:
            return date(value.toDate());
        default:
            return text(value.toString());
        }
    }
    /// A number in one of the regional patterns ("0", "0.00"); null as empty.
    ListLoader& number(const db::Value& value, QStringView pattern)
    {
        m_row << [&](QString& out) {
            if (!value.isNull())
                Regional::appendFormatted(out, value.toDouble(), pattern);
        };
        return *this;
    }
    /// Adds the row written to the grid.
    void addRow();

private:
    ListLoader& date(QDate date);

    ui::ListGrid& m_grid;
    ui::ListRow m_row;
    /// The text of the last date written: a list's dates repeat (a declaration's lines share one).
    QDate m_date;
    QString m_dateText;
};

/// The index in the grid of a column named by a list screen's enum of its columns, which follows its table.
template <typename Column>
requires std::is_enum_v<Column>
constexpr int columnIndex(Column column)
{
    return static_cast<int>(column);
}

/// The text of a cell of the grid's current row, trimmed, in a column named by the screen's enum of its columns.
template <typename Column>
requires std::is_enum_v<Column>
[[nodiscard]] QString currentCell(const ui::ListGrid& grid, Column column)
{
    return grid.cell(columnIndex(column)).trimmed();
}
