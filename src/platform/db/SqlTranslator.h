#pragma once

#include <QDate>
#include <QSet>
#include <QString>

namespace db {

/// Rewrites the statements of the program, written in the dialect of the original desktop database,
/// into what SQLite understands:
///  - "Select [distinct] top N ..." becomes "Select [distinct] ... LIMIT N";
///  - DATE() becomes today's date;
///  - a date text ('dd/mm/yyyy') written into or compared with a date column is stored as ISO text,
///    so that dates sort chronologically. A text that is not a valid date there fails the statement.
class SqlTranslator
{
public:
    /// dateColumns holds the lower-case names of the columns declared DATE.
    explicit SqlTranslator(QSet<QString> dateColumns = {}) : m_dateColumns(std::move(dateColumns)) {}

    /// Raises DbError when a date column receives a text that is not a date.
    [[nodiscard]] QString translate(const QString& sql, QDate today) const;

    /// Reads "d/m/yyyy" (day and month of one or two digits) or ISO "yyyy-mm-dd".
    [[nodiscard]] static QDate parseDateText(QStringView text);

private:
    QSet<QString> m_dateColumns;
};

} // namespace db
