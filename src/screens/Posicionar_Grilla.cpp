#include "Posicionar_Grilla.h"

#include "platform/db/Value.h"
#include "platform/ui/ListGrid.h"

void Posicionar_Grilla(ui::ListGrid& grid, int column, double value)
{
    const int rows = grid.rowCount();
    if (rows == 0)
        return;

    const QString wanted = db::Value::numberText(value).trimmed();
    const bool wasHidden = grid.isHidden();
    const bool hadFocus = grid.hasFocus();

    grid.hide();
    // The first row whose cell matches, or the last row when none does, as moving row by row from the first
    // would leave it; found by reading the cells and moved to once, since each move through a long list
    // changes the view's selection.
    int found = rows - 1;
    for (int row = 0; row < rows; ++row) {
        if (grid.cell(row, column).trimmed() == wanted) {
            found = row;
            break;
        }
    }
    grid.setCurrentRow(found);
    if (!wasHidden)
        grid.show();
    // Hiding passed the focus on to the next control; the operator was on the grid.
    if (hadFocus)
        grid.setFocus();
}
