#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

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
    /// dateColumns holds the names of the columns declared DATE (matched without regard to case).
    explicit SqlTranslator(std::vector<QString> dateColumns = {});

    /// Raises DbError when a date column receives a text that is not a date.
    [[nodiscard]] QString translate(const QString& sql, QDate today) const;
    /// The same, asking for today's date only when the statement uses DATE().
    [[nodiscard]] QString translate(const QString& sql, const std::function<QDate()>& today) const;

    /// Reads "d/m/yyyy" (day and month of one or two digits) or ISO "yyyy-mm-dd".
    [[nodiscard]] static QDate parseDateText(QStringView text);

private:
    [[nodiscard]] bool mayNeedWork(QStringView sql) const;
    /// The quick way for the common "Insert Into T (columns) values(...)" with plain values:
    /// which values go to date columns is remembered per statement head. No value when the
    /// statement is of another shape, and the general way must do it.
    [[nodiscard]] std::optional<QString> translateSimpleInsert(const QString& sql) const;
    [[nodiscard]] const std::vector<bool>& dateValuesOf(QStringView head, QStringView columns) const;
    [[nodiscard]] bool isDateColumn(QStringView name) const;

    std::vector<QString> m_dateColumns;
    qsizetype m_shortestDateColumn = 0;
    /// Statement head ("Insert Into T (...) values(") → whether each value goes to a date column.
    mutable std::unordered_map<size_t, std::pair<QString, std::vector<bool>>> m_insertHeads;
};

} // namespace db
