#include "TempDatabase.h"

#include "data/Schema.h"

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
