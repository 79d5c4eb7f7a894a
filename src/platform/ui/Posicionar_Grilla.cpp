#include "Posicionar_Grilla.h"

#include "ListGrid.h"
#include "platform/db/Value.h"

namespace ui {

void Posicionar_Grilla(ListGrid& grid, int column, double value)
{
    const int rows = grid.rowCount();
    if (rows == 0)
        return;

    const QString wanted = db::Value::numberText(value).trimmed();
    const bool wasHidden = grid.isHidden();
    const bool hadFocus = grid.hasFocus();

    grid.hide();
    grid.moveFirst();
    for (int i = 0; i < rows; ++i) {
        if (grid.cell(column).trimmed() == wanted)
            break;
        grid.moveNext();
    }
    if (!wasHidden)
        grid.show();
    // Hiding passed the focus on to the next control; the operator was on the grid.
    if (hadFocus)
        grid.setFocus();
}

} // namespace ui
