#include "Clock.h"

#include <optional>

namespace {
std::optional<QDate> s_fixedToday;
}

QDate Clock::today()
{
    return s_fixedToday ? *s_fixedToday : QDate::currentDate();
}

void Clock::fix(QDate date)
{
    s_fixedToday = date;
}

void Clock::release()
{
    s_fixedToday.reset();
}
