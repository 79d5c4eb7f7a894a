#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <vector>

namespace db {

/// Rewrites the statements of the program, written in the dialect of the original desktop database,
/// into what SQLite understands:
///  - "Select [distinct] top N ..." becomes "Select [distinct] ... LIMIT N";
///  - DATE() becomes today's date;
///  - a date text ('dd/mm/yyyy') written into a date column (every row of an insert, SET lists) or
///    compared with one (on either side, BETWEEN, IN) is stored as ISO text, so that dates sort
///    chronologically. A text that is not a valid date there fails the statement.
/// Comments are left as they are. Translating a translated statement changes nothing.
class SqlTranslator
{
public:
    /// dateColumns holds the names of the columns declared DATE (matched without regard to case).
    explicit SqlTranslator(std::vector<QString> dateColumns = {});

    /// Raises DbError when a date column receives a text that is not a date.
    [[nodiscard]] QString translate(const QString& sql, QDate today) const;
    /// What a translation did that depends on more than the statement: whether DATE() was replaced.
    struct Report
    {
        bool today = false;
    };
    /// The same, asking for today's date only when the statement uses DATE().
    [[nodiscard]] QString translate(const QString& sql, const std::function<QDate()>& today,
                                    Report* report = nullptr) const;

    /// The stored form of a date, without quotes ("yyyy-mm-dd").
    [[nodiscard]] static QByteArray isoDate(QDate date);
    /// The stored form of a date written as the program writes it (dd/mm/yyyy, blanks around it allowed);
    /// raises DbError for a text that is no date.
    [[nodiscard]] static QByteArray isoDateOf(const QString& dateText);

private:
    std::vector<QString> m_dateColumns;
};

} // namespace db
