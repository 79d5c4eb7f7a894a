#pragma once

namespace ui {

/// Shows the hourglass pointer for as long as it lives, and the normal pointer again when it ends,
/// also on an early return or an exception. Guards nest: only the outermost one changes the pointer.
///
///     void Impresion_AR03::bImprimir_Click()
///     {
///         const ui::BusyCursor busy;
///         ...
///     }
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    /// True while any guard is alive.
    [[nodiscard]] static bool active();

private:
    static int s_depth;
};

} // namespace ui
