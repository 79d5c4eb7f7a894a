#pragma once

#include <QString>
#include <QStringList>

namespace db {
class Database;
}

/// The tables of the database file, as the delivery tool and the tests create them.
class Schema
{
public:
    [[nodiscard]] static QString sql();
    /// The tables a file must hold to be a database of this program.
    [[nodiscard]] static QStringList tableNames();
    static void create(db::Database& database);
    /// Adds to a file written by an earlier version the indexes it lacks. They only make long printings
    /// fast, so a file that cannot take them now (another program holds it) works without them and gets
    /// them at the next opening; false then.
    static bool addMissingIndexes(db::Database& database);
};
