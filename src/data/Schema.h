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
};
