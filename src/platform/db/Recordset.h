#pragma once

#include "Value.h"

#include <QString>

#include <QByteArray>

#include <memory>
#include <vector>

struct sqlite3_stmt;

namespace db {

class StatementCache;

/// The rows of a query, read forward one at a time. It starts on the first row, or at its end
/// when the query found nothing. Fields are found by name without regard to case.
class Recordset
{
public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    [[nodiscard]] bool eof() const { return !m_hasRow; }
    /// Moves to the next row; raises DbError when the engine fails while reading.
    void moveNext();

    [[nodiscard]] int fieldCount() const { return static_cast<int>(m_names.size()); }
    [[nodiscard]] QString fieldName(int index) const { return QString::fromUtf8(m_names.at(index)); }
    /// The value of a field of the current row; raises DbError for an unknown name or at the end.
    [[nodiscard]] Value field(QStringView name) const;
    [[nodiscard]] Value field(int index) const;
    /// The position of a field, found by name as field(name) finds it; raises DbError for an unknown name.
    [[nodiscard]] int indexOf(QStringView name) const;

private:
    friend class Database;
    /// With a cache, the statement goes back to it under its `text` when the recordset closes. `boundTexts`
    /// are the texts bound to it, which SQLite reads in place.
    Recordset(sqlite3_stmt* statement, std::shared_ptr<StatementCache> cache = {}, QByteArray text = {},
              std::vector<QByteArray> boundTexts = {});
    void release();

    sqlite3_stmt* m_statement;
    std::shared_ptr<StatementCache> m_cache;
    QByteArray m_text;
    std::vector<QByteArray> m_boundTexts;
    // Column names as the engine keeps them (valid while the statement lives): reading a count
    // should not cost a QString per column.
    std::vector<const char*> m_names;
    std::vector<bool> m_isDate;
    bool m_hasRow = false;
};

} // namespace db
