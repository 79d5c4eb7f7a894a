#include "Recordset.h"

#include "DbError.h"
#include "StatementCache.h"

#include <sqlite3.h>

namespace db {

namespace {

// Dates are stored as ISO text so that ORDER BY is chronological; a column declared DATE gives them back as dates.
// The usual ten characters are read by hand: QDate::fromString builds a parser and looks up the time zone on
// every call, which costs more than the rest of a list's line.
Value dateFromStorage(const char* text, int size)
{
    const auto digits = [text](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    if (size == 10 && text[4] == '-' && text[7] == '-') {
        const int year = digits(0, 4);
        const int month = digits(5, 2);
        const int day = digits(8, 2);
        if (year >= 0 && month >= 0 && day >= 0) {
            const QDate date(year, month, day);
            if (date.isValid())
                return date;
        }
    }
    const QString value = QString::fromUtf8(text, size);
    const QDate date = QDate::fromString(value, u"yyyy-MM-dd");
    return date.isValid() ? Value(date) : Value(value);
}

} // namespace

Recordset::Recordset(sqlite3_stmt* statement, std::shared_ptr<StatementCache> cache, QByteArray text,
                     std::vector<QByteArray> boundTexts)
    : m_statement(statement), m_cache(std::move(cache)), m_text(std::move(text)), m_boundTexts(std::move(boundTexts))
{
    try {
        moveNext();
    } catch (...) {
        // The destructor does not run for a constructor that throws: the statement is released here.
        release();
        throw;
    }
    // Read after the first step: a statement kept from earlier may be prepared again by it.
    const int count = sqlite3_column_count(statement);
    for (int i = 0; i < count; ++i) {
        m_names.push_back(sqlite3_column_name(statement, i));
        const char* declared = sqlite3_column_decltype(statement, i);
        m_isDate.push_back(declared && qstricmp(declared, "DATE") == 0);
    }
}

Recordset::~Recordset()
{
    release();
}

void Recordset::release()
{
    if (m_cache)
        m_cache->giveBack(m_text, m_statement);
    else
        sqlite3_finalize(m_statement);
}

void Recordset::moveNext()
{
    if (!m_statement)
        return;
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW) {
        m_hasRow = true;
        return;
    }
    m_hasRow = false;
    if (rc != SQLITE_DONE)
        throw DbError(sqlite3_errmsg(sqlite3_db_handle(m_statement)));
}

int Recordset::indexOf(QStringView name) const
{
    for (int i = 0; i < fieldCount(); ++i) {
        if (QAnyStringView::compare(QUtf8StringView(m_names[i]), name, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw DbError("campo inexistente: " + name.toString().toStdString());
}

Value Recordset::field(QStringView name) const
{
    return field(indexOf(name));
}

Value Recordset::field(int index) const
{
    if (!m_hasRow)
        throw DbError("no hay registro actual");
    if (index < 0 || index >= fieldCount())
        throw DbError("campo fuera de rango");
    switch (sqlite3_column_type(m_statement, index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return Value(static_cast<long long>(sqlite3_column_int64(m_statement, index)));
    case SQLITE_FLOAT:
        return Value(sqlite3_column_double(m_statement, index));
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, index));
        const int size = sqlite3_column_bytes(m_statement, index);
        return m_isDate[index] ? dateFromStorage(text, size) : Value(QString::fromUtf8(text, size));
    }
    }
}

} // namespace db
