// The translator on arbitrary text: translating a translated statement changes nothing, and a
// statement SQLite accepts on the program's tables is still accepted once translated. Then the text's
// first line and the rest as two statements: split by the shape of the first, the second splits as
// reading it word by word does.

#include "data/Schema.h"
#include "platform/db/DbError.h"
#include "platform/db/SqlTranslator.h"
#include "platform/db/StatementCache.h"

#include <sqlite3.h>

#include <cstdlib>

namespace {

sqlite3* schemaDatabase(std::vector<QString>& dateColumns)
{
    sqlite3* handle = nullptr;
    sqlite3_open(":memory:", &handle);
    if (sqlite3_exec(handle, Schema::sql().toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        std::abort();
    sqlite3_stmt* columns = nullptr;
    sqlite3_prepare_v2(handle,
                       "SELECT p.name FROM sqlite_master m, pragma_table_info(m.name) p "
                       "WHERE m.type = 'table' AND p.type = 'DATE'",
                       -1, &columns, nullptr);
    while (sqlite3_step(columns) == SQLITE_ROW)
        dateColumns.push_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(columns, 0))));
    sqlite3_finalize(columns);
    return handle;
}

bool accepted(sqlite3* handle, const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v2(handle, text.constData(), static_cast<int>(text.size()), &statement, nullptr);
    sqlite3_finalize(statement);
    return rc == SQLITE_OK;
}

bool sameSplit(const db::Shape& a, const db::Shape& b)
{
    if (a.text != b.text || a.holes != b.holes || a.exponent != b.exponent || a.literals.size() != b.literals.size())
        return false;
    for (size_t i = 0; i < a.literals.size(); ++i) {
        const db::Shape::Literal& x = a.literals[i];
        const db::Shape::Literal& y = b.literals[i];
        if (x.kind != y.kind || x.integer != y.integer || x.value() != y.value() || x.quotedIndex != y.quotedIndex ||
            (x.real != y.real && !(x.real != x.real && y.real != y.real)))
            return false;
    }
    return true;
}

void checkSplitAs(QByteArrayView text)
{
    const qsizetype newline = text.indexOf('\n');
    if (newline < 0)
        return;
    const QByteArrayView second = text.sliced(newline + 1);
    const std::optional<db::Shape> known = db::splitLiterals(text.first(newline));
    if (!known)
        return;
    const std::optional<db::Shape> fast = db::splitAs(*known, second);
    const std::optional<db::Shape> read = db::splitLiterals(second);
    if (fast && (!read || !sameSplit(*fast, *read)))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::vector<QString> dateColumns;
    static sqlite3* const handle = schemaDatabase(dateColumns);
    static const db::SqlTranslator translator(dateColumns);
    checkSplitAs(QByteArrayView(data, static_cast<qsizetype>(size)));
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString once;
    try {
        once = translator.translate(sql, QDate(2002, 10, 1));
    } catch (const db::DbError&) {
        return 0; // a date column given a text that is not a date
    }
    if (translator.translate(once, QDate(2002, 10, 1)) != once)
        std::abort();
    if (accepted(handle, sql) && !accepted(handle, once))
        std::abort();
    return 0;
}
