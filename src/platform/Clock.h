#pragma once

#include <QDate>

/// The one source of today's date for the whole program. Tests install a date of their own so that
/// the dates the database stamps are known in advance.
class Clock
{
public:
    [[nodiscard]] static QDate today();
    /// Makes today() answer this date until uninstall().
    static void install(QDate today);
    /// Brings back the system's date.
    static void uninstall();
};
