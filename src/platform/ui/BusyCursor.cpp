#include "BusyCursor.h"

#include "Ui.h"

namespace ui {

int BusyCursor::s_depth = 0;

BusyCursor::BusyCursor()
{
    if (s_depth++ == 0)
        Ui::current().setBusy(true);
}

BusyCursor::~BusyCursor()
{
    if (--s_depth == 0)
        Ui::current().setBusy(false);
}

bool BusyCursor::active()
{
    return s_depth > 0;
}

} // namespace ui
