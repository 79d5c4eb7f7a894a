#include "WindowPlacement.h"

#include "ListGrid.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QSplitter>
#include <QWidget>

#include <algorithm>

namespace ui {

namespace {

// The opener's frame as the window manager drew it. While the window manager is still framing a window,
// Qt may give a frame that does not hold the window (1x1 at its corner): then the window itself stands in.
QRect openerFrame(const QWidget& opener)
{
    const QRect frame = opener.frameGeometry();
    return frame.contains(opener.geometry()) ? frame : opener.geometry();
}

// The window manager's frame around a window not shown yet is unknown; the opener's frame tells it,
// and a title bar and thin borders stand in when there is no shown opener.
QMargins frameMargins(const QWidget* opener)
{
    if (opener && opener->isVisible()) {
        const QRect outer = openerFrame(*opener);
        const QRect inner = opener->geometry();
        if (outer != inner)
            return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                    outer.bottom() - inner.bottom()};
    }
    return {4, 28, 4, 4};
}

} // namespace

QRect placedFrame(QSize frame, const QRect& opener, const QRect& available)
{
    frame = frame.boundedTo(available.size());
    QRect placed({}, frame);
    placed.moveCenter(opener.isEmpty() ? available.center() : opener.center());
    placed.moveLeft(std::clamp(placed.left(), available.left(), available.right() - frame.width() + 1));
    placed.moveTop(std::clamp(placed.top(), available.top(), available.bottom() - frame.height() + 1));
    return placed;
}

void placeWindow(QWidget& window, QWidget* opener)
{
    QWidget* owner = opener ? opener->window() : nullptr;
    if (!owner || !owner->isVisible() || owner == &window)
        owner = QApplication::activeWindow();
    if (owner == &window || (owner && !owner->isVisible()))
        owner = nullptr;
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    if (!window.testAttribute(Qt::WA_Resized))
        window.adjustSize();
    const QMargins margins = frameMargins(owner);
    const QSize marginSize(margins.left() + margins.right(), margins.top() + margins.bottom());
    const QRect frame = placedFrame(window.size().expandedTo(window.minimumSizeHint()) + marginSize,
                                    owner ? openerFrame(*owner) : QRect(), screen->availableGeometry());
    // A window's position is that of its frame; its size is that of its contents.
    window.resize(frame.size() - marginSize);
    window.move(frame.topLeft());
}

void returnFocus(QWidget* window, QWidget* focus)
{
    if (!window || !window->isVisible())
        return;
    window->raise();
    window->activateWindow();
    if (focus && focus->window() == window && focus->isVisible() && focus->isEnabled())
        focus->setFocus(Qt::ActiveWindowFocusReason);
    else if (!window->focusWidget())
        window->setFocus(Qt::ActiveWindowFocusReason);
}

void fitListWindow(QWidget& window, const ListGrid& grid, QSplitter& splitter, const QWidget& buttons)
{
    const int gridWidth = grid.columnsWidth();
    const int buttonsWidth = buttons.sizeHint().width();
    const QMargins margins = window.layout() ? window.layout()->contentsMargins() : QMargins();
    int wanted = margins.left() + gridWidth + splitter.handleWidth() + buttonsWidth + margins.right();
    if (const QScreen* shown = window.screen())
        wanted = std::min(wanted, shown->availableGeometry().width());
    window.resize(std::max(wanted, window.minimumSizeHint().width()), window.height());
    splitter.setSizes({gridWidth, buttonsWidth});
}

} // namespace ui
