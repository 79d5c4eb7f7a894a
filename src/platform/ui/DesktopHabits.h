#pragma once

class QApplication;

namespace ui {

/// Makes every window of the program behave and read as the operators' desktops do, whatever the
/// system's language (LANG=C.UTF-8 on a fresh system): Qt's own texts, the calendar, the dialogs and the
/// text boxes' context menus in Argentine Spanish; Enter presses the push button that has the focus, in
/// every window; and each window shows which control has the focus from the moment it opens.
/// Call once at start-up, before the first window is created.
void installDesktopHabits(QApplication& app);

} // namespace ui
