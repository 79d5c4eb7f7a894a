#include "ColumnFit.h"

#include "platform/ui/ListGrid.h"

#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>

#include <algorithm>

namespace declarations {

void fitColumn(ui::ListGrid& grid, int column, const QString& widestContent)
{
    if (grid.isColumnHidden(column))
        return;
    // A cell's text is drawn between the item's margins; a dozen pixels keeps it clear of the next column.
    constexpr int cellPadding = 12;
    int width = grid.header()->sectionSizeHint(column);
    if (!widestContent.isEmpty())
        width = std::max(width, grid.fontMetrics().horizontalAdvance(widestContent) + cellPadding);
    if (width > grid.columnWidth(column))
        grid.setColumnWidth(column, width);
}

int columnsWidth(const ui::ListGrid& grid)
{
    int width = 0;
    for (int column = 0; column < grid.columnCount(); ++column) {
        if (!grid.isColumnHidden(column))
            width += grid.columnWidth(column);
    }
    return width + 2 * grid.frameWidth() + grid.verticalScrollBar()->sizeHint().width();
}

void fitListWindow(QWidget& window, ui::ListGrid& grid, QSplitter& splitter, QWidget& buttons)
{
    const int gridWidth = columnsWidth(grid);
    const int buttonsWidth = buttons.sizeHint().width();
    const QMargins margins = window.layout() ? window.layout()->contentsMargins() : QMargins();
    int wanted = margins.left() + gridWidth + splitter.handleWidth() + buttonsWidth + margins.right();
    if (const QScreen* shown = window.screen())
        wanted = std::min(wanted, shown->availableGeometry().width());
    window.resize(std::max(wanted, window.minimumSizeHint().width()), window.height());
    splitter.setSizes({gridWidth, buttonsWidth});
}

} // namespace declarations
