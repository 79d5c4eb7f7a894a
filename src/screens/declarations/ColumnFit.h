#pragma once

#include <QString>

class QSplitter;
class QWidget;

namespace ui {
class ListGrid;
}

/// Column widths of the declaration lists. The widths the lists give in twips were measured for a
/// smaller screen font than today's desktops use; these widen a column where its caption or its
/// widest expected content would otherwise be cut.
namespace declarations {

/// Widens a visible column, if needed, so that its caption and the sample of its widest content show whole.
void fitColumn(ui::ListGrid& grid, int column, const QString& widestContent = {});

/// The width the grid needs to show every visible column without scrolling sideways.
[[nodiscard]] int columnsWidth(const ui::ListGrid& grid);

/// Sizes a list screen so that every column of its grid shows beside its button pane, as far as the screen allows.
void fitListWindow(QWidget& window, ui::ListGrid& grid, QSplitter& splitter, QWidget& buttons);

} // namespace declarations
