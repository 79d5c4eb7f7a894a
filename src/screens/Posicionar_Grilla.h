#pragma once

namespace ui {
class ListGrid;
}

/// Returns a list screen to a remembered row: the first row whose cell in the given column, trimmed,
/// is the value's plain decimal text ("7" for 7.0). With no match the last row stays current; an
/// empty grid is left alone. The grid is hidden while it searches and shown again at the end.
void Posicionar_Grilla(ui::ListGrid& grid, int column, double value);
