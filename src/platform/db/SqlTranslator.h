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
    /// What a translation did, for statements that differ only in their literals to skip it: the
    /// quoted texts converted as dates (counted among all quoted texts, in the order converted), and
    /// whether DATE() was replaced.
    struct Report
    {
        std::vector<int> dateTexts;
        bool today = false;
    };
    /// The same, asking for today's date only when the statement uses DATE().
    [[nodiscard]] QString translate(const QString& sql, const std::function<QDate()>& today,
                                    Report* report = nullptr) const;

    /// The stored form of a date, without quotes ("yyyy-mm-dd").
    [[nodiscard]] static QByteArray isoDate(QDate date);

private:
    [[nodiscard]] bool mayNeedWork(QStringView sql) const;
    std::vector<QString> m_dateColumns;
    qsizetype m_shortestDateColumn = 0;
};

} // namespace db
