#pragma once

#include <QString>

namespace db {
class Database;
}

/// The tables of the database file, as the delivery tool and the tests create them.
class Schema
{
public:
    [[nodiscard]] static QString sql();
    static void create(db::Database& database);
};
