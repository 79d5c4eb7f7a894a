#pragma once

#include <QRect>

class QSplitter;
class QWidget;

namespace ui {

class ListGrid;

/// The frame rectangle for a window whose frame is `frame` big: centred on `opener` (the opener's frame;
/// an empty one centres it on the available area), shrunk to fit `available` and moved inside it, so
/// that its title bar and edges are in reach.
[[nodiscard]] QRect placedFrame(QSize frame, const QRect& opener, const QRect& available);

/// Places a top-level window before it is shown: inside the available area of the screen it opens on,
/// centred on `opener` (any widget of the opening window). Without a visible opener the active window
/// stands for it, and without that the window is centred on the screen.
void placeWindow(QWidget& window, QWidget* opener);

/// Sizes a list screen so that every column of its grid shows beside its button pane (the splitter's
/// second side), as far as the screen allows.
void fitListWindow(QWidget& window, const ListGrid& grid, QSplitter& splitter, const QWidget& buttons);

/// Gives the keyboard back to the window that opened a screen which has just closed: `window` is
/// activated and raised and `focus` (one of its controls) takes the focus if it still can.
void returnFocus(QWidget* window, QWidget* focus);

} // namespace ui
