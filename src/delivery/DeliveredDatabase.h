#pragma once

#include <QString>

namespace db {
class Database;
}

/// What a delivered database file holds besides the empty tables: the counters, the help
/// document's name and the first declaration of every fiscal period of a range.
class DeliveredDatabase
{
public:
    struct Periods
    {
        int from = 0;    ///< first period, AAAAMM
        int to = 0;      ///< last period, AAAAMM
        int dueDay = 15; ///< due date: this day of the month after the period
    };

    /// Writes the parameter rows 4, 5 and 6 that are not there yet.
    static void addParameters(db::Database& database, const QString& helpFile);
    /// Adds the sequence-1 declaration of each period that has none; returns how many were added.
    static int addPeriods(db::Database& database, const Periods& periods);
    /// Checks a range; returns an error message in Spanish, or "" when it is usable.
    [[nodiscard]] static QString check(const Periods& periods);
};
