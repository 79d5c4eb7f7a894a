#include "ListLoader.h"

#include "platform/db/Recordset.h"
#include "screens/ReadFailure.h"

#include <exception>

void ListLoader::addColumns(ui::ListGrid& grid, std::span<const Column> columns)
{
    for (const Column& column : columns) {
        const int index = grid.columnCount();
        grid.addColumn(column.caption.toString(), column.name.toString(), column.widthTwips);
        if (column.amount)
            grid.alignRight(index);
        if (!column.widest.isEmpty())
            grid.fitColumn(index, column.widest.toString());
    }
}

ListLoader::ListLoader(ui::ListGrid& grid) : m_grid(grid)
{
    m_grid.clearRows();
}

void ListLoader::load(std::unique_ptr<db::Recordset> records, const Steps& steps)
{
    bool complete = records != nullptr;
    if (records) {
        // The records report a failed read by an exception; the rows before it stay, the one half written goes.
        try {
            if (steps.start)
                steps.start(*records);
            for (int number = 1; !records->eof(); records->moveNext(), ++number)
                steps.read(*records, number);
        } catch (const std::exception&) {
            complete = false;
            m_row.clear();
        }
        records.reset();
    }
    if (steps.afterAll)
        steps.afterAll();
    if (!complete)
        informReadFailure();
}

ListLoader& ListLoader::date(QDate date)
{
    if (m_dateText.isNull() || date != m_date) {
        m_date = date;
        m_dateText = Regional::dateText(date);
    }
    m_row << m_dateText;
    return *this;
}

void ListLoader::addRow()
{
    m_grid.addRow(m_row);
}
