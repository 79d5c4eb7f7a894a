#include "Clock.h"

#include <optional>

namespace {
std::optional<QDate> s_installed;
}

QDate Clock::today()
{
    return s_installed ? *s_installed : QDate::currentDate();
}

void Clock::install(QDate today)
{
    s_installed = today;
}

void Clock::uninstall()
{
    s_installed.reset();
}
