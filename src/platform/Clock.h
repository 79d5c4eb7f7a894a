#pragma once

#include <QDate>

/// The one source of today's date for the whole program. Tests fix it so that
/// the dates the database stamps are known in advance.
class Clock
{
public:
    [[nodiscard]] static QDate today();
    static void fix(QDate date);
    static void release();
};
