#include "TempDatabase.h"

#include "data/Schema.h"

#include <QScopeGuard>

#include <sqlite3.h>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TempDatabase::TempDatabase()
{
    Schema::create(*db::Database::create(path(), QStringLiteral("ferlon"))); // closed before it is opened again
    db::Database::setCurrent(db::Database::open(path(), QStringLiteral(";pwd=ferlon")));
}

db::Value TempDatabase::scalar(const QString& sql)
{
    const auto rows = db().openRecordset(sql);
    return rows->eof() ? db::Value() : rows->field(0);
}

int TempDatabase::count(const QString& table, const QString& where)
{
    return static_cast<int>(scalar(u"select count(*) from "_s + table + u' ' + where).toDouble());
}

void TempDatabase::disconnect()
{
    db::Database::setCurrent(nullptr);
}

void TempDatabase::reconnect()
{
    db::Database::setCurrent(nullptr);
    db::Database::setCurrent(db::Database::open(path(), QStringLiteral(";pwd=ferlon")));
}

void TempDatabase::whileOtherProgramReads(const std::function<void()>& work) const
{
    sqlite3* reader = nullptr;
    EXPECT_EQ(sqlite3_open_v2(path().toUtf8().constData(), &reader, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_key(reader, "ferlon", 6), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(reader, "PRAGMA cipher_compatibility = 3; BEGIN; SELECT count(*) FROM DDJJ;", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    const auto setQueryTimeout = [](int seconds) {
        if (db::Database* current = db::Database::current())
            current->setQueryTimeout(seconds);
    };
    setQueryTimeout(0);
    const auto done = qScopeGuard([&] { // also when the work throws
        sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(reader);
        setQueryTimeout(2);
    });
    work();
}
