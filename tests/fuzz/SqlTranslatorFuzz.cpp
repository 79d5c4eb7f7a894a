// The translator on arbitrary text: translating a translated statement changes nothing, and a
// statement SQLite accepts on the program's tables is still accepted once translated. Then the text's
// first line as a template and its other lines as values: the statement planned for them, with its
// values bound, is accepted exactly when the filled text is.

#include "data/Schema.h"
#include "platform/db/DbError.h"
#include "platform/db/SqlTranslator.h"
#include "platform/db/StatementPlans.h"

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

const QDate today(2002, 10, 1);

void checkPlan(sqlite3* handle, const db::SqlTranslator& translator, const QString& text)
{
    QStringList lines = text.split(u'\n');
    const QString sqlTemplate = lines.takeFirst();
    std::vector<db::Value> values;
    for (const QString& line : lines) {
        bool number = false;
        const double value = line.toDouble(&number);
        values.push_back(number ? db::Value(value) : db::Value(line));
    }
    static db::StatementPlans plans(translator);
    const db::StatementPlan* plan = plans.planFor(sqlTemplate, values, [] { return today; });
    if (!plan)
        return;
    QString filled;
    try {
        filled = translator.translate(db::filledTemplate(sqlTemplate, values), today);
    } catch (const db::DbError&) {
        return; // the plan's binding refuses the same text that is no date
    }
    if (accepted(handle, QString::fromUtf8(plan->text)) != accepted(handle, filled))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::vector<QString> dateColumns;
    static sqlite3* const handle = schemaDatabase(dateColumns);
    static const db::SqlTranslator translator(dateColumns);
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkPlan(handle, translator, sql);
    QString once;
    try {
        once = translator.translate(sql, today);
    } catch (const db::DbError&) {
        return 0; // a date column given a text that is not a date
    }
    if (translator.translate(once, today) != once)
        std::abort();
    if (accepted(handle, sql) && !accepted(handle, once))
        std::abort();
    return 0;
}
