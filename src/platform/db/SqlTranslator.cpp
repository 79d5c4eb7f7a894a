#include "SqlTranslator.h"

#include "DbError.h"
#include "SqlTokens.h"
#include "platform/Regional.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

using namespace Qt::StringLiterals;

namespace db {

namespace {

using sql::Token;

struct Edit
{
    qsizetype start;
    qsizetype length;
    QString replacement;
};

// A date as the quoted text it is stored as.
QString isoLiteral(const QByteArray& isoDate)
{
    return u'\'' + QString::fromLatin1(isoDate) + u'\'';
}

class Rewriter
{
public:
    Rewriter(const QString& sql, const std::vector<QString>& dateColumns, SqlTranslator::Report* report)
        : m_sql(sql), m_tokens(sql::tokenize(sql)), m_dateColumns(dateColumns), m_report(report)
    {}

    QString run(const std::function<QDate()>& today)
    {
        m_converted.assign(m_tokens.size(), false);
        rewriteTop();
        rewriteToday(today);
        rewriteInsertDates();
        rewriteComparedDates();
        return applyEdits();
    }

private:
    QStringView text(size_t index) const
    {
        const Token& token = m_tokens[index];
        return QStringView(m_sql).mid(token.start, token.length);
    }

    bool isWord(size_t index, QStringView word) const
    {
        return index < m_tokens.size() && m_tokens[index].kind == Token::Kind::Word &&
               m_tokens[index].length == word.size() && text(index).compare(word, Qt::CaseInsensitive) == 0;
    }

    bool isSymbol(size_t index, QStringView symbol) const
    {
        return index < m_tokens.size() && m_tokens[index].kind == Token::Kind::Symbol &&
               m_tokens[index].length == symbol.size() && text(index) == symbol;
    }

    bool isChar(size_t index, char16_t symbol) const
    {
        return index < m_tokens.size() && m_tokens[index].length == 1 && m_sql[m_tokens[index].start] == symbol &&
               m_tokens[index].kind == Token::Kind::Symbol;
    }

    bool isName(size_t index) const
    {
        return index < m_tokens.size() &&
               (m_tokens[index].kind == Token::Kind::Word || m_tokens[index].kind == Token::Kind::Name);
    }

    // A name followed by a point names a table, not a column.
    bool isDateColumn(size_t index) const
    {
        if (!isName(index) || isChar(index + 1, u'.'))
            return false;
        QStringView name = text(index);
        if (m_tokens[index].kind == Token::Kind::Name)
            name = name.mid(1, name.size() - 2);
        return std::any_of(m_dateColumns.begin(), m_dateColumns.end(), [name](const QString& column) {
            return column.size() == name.size() && name.compare(column, Qt::CaseInsensitive) == 0;
        });
    }

    // Where the name at `index` starts with its table's name before it ("t.Fecha" starts at "t").
    size_t qualifiedStart(size_t index) const
    {
        while (index >= 2 && isChar(index - 1, u'.') && isName(index - 2))
            index -= 2;
        return index;
    }

    void rewriteTop()
    {
        size_t i = 1;
        if (!isWord(0, u"select"))
            return;
        if (isWord(i, u"distinct"))
            ++i;
        // "top 5 top 5" or "top 5 distinct" is left for SQLite to refuse: taken off, what is left would
        // read as a statement to translate again.
        if (!isWord(i, u"top") || i + 1 >= m_tokens.size() || isWord(i + 2, u"top") || isWord(i + 2, u"distinct"))
            return;
        bool numeric = false;
        const int limit = m_tokens[i + 1].kind == Token::Kind::Number ? text(i + 1).toInt(&numeric) : 0;
        if (!numeric)
            return;
        const Token& top = m_tokens[i];
        const Token& count = m_tokens[i + 1];
        m_edits.push_back({top.start, count.start + count.length - top.start, QString()});
        m_limit = limit;
    }

    void rewriteToday(const std::function<QDate()>& today)
    {
        for (size_t i = 0; i + 2 < m_tokens.size(); ++i) {
            if (isWord(i, u"date") && isChar(i + 1, u'(') && isChar(i + 2, u')')) {
                const Token& last = m_tokens[i + 2];
                if (m_report)
                    m_report->today = true;
                m_edits.push_back({m_tokens[i].start, last.start + last.length - m_tokens[i].start,
                                   isoLiteral(SqlTranslator::isoDate(today()))});
            }
        }
    }

    // "Insert Into T (c1, c2, ...) values (v1, v2, ...), (...)": a literal in the place of a date column.
    void rewriteInsertDates()
    {
        if (!isWord(0, u"insert") || !isWord(1, u"into"))
            return;
        const size_t open = isChar(3, u'.') ? 5 : 3; // after the table's name, with its schema's before it
        if (!isChar(open, u'('))
            return;
        std::vector<bool> columnIsDate;
        size_t i = open + 1;
        for (; i < m_tokens.size() && !isChar(i, u')'); ++i) {
            if (isName(i))
                columnIsDate.push_back(isDateColumn(i));
        }
        if (!isWord(++i, u"values"))
            return;
        for (++i; isChar(i, u'('); i += 2) { // each row, then the comma before the next
            size_t column = 0;
            size_t itemStart = i + 1;
            int depth = 0;
            for (++i; i < m_tokens.size(); ++i) {
                if (isChar(i, u'('))
                    ++depth;
                const bool closesRow = isChar(i, u')') && depth-- == 0;
                if ((isChar(i, u',') && depth == 0) || closesRow) {
                    if (i == itemStart + 1 && column < columnIsDate.size() && columnIsDate[column])
                        convertDateLiteral(itemStart);
                    ++column;
                    itemStart = i + 1;
                    if (closesRow)
                        break;
                }
            }
            if (!isChar(i + 1, u','))
                return;
        }
    }

    // A date column compared with a text on either side, between two texts or in a list of them
    // (SET lists and WHERE clauses).
    void rewriteComparedDates()
    {
        static const QStringView comparisons[] = {u"=", u"==", u"<", u">", u"<=", u">=", u"<>", u"!="};
        const auto isComparison = [&](size_t i) {
            return std::any_of(std::begin(comparisons), std::end(comparisons),
                               [&](QStringView op) { return isSymbol(i, op); });
        };
        for (size_t i = 0; i < m_tokens.size(); ++i) {
            if (!isDateColumn(i))
                continue;
            const size_t start = qualifiedStart(i);
            if (start >= 2 && isComparison(start - 1))
                convertString(start - 2);
            size_t next = i + 1;
            if (isComparison(next)) {
                convertString(next + 1);
                continue;
            }
            if (isWord(next, u"not"))
                ++next;
            if (isWord(next, u"between")) {
                convertString(next + 1);
                if (isWord(next + 2, u"and"))
                    convertString(next + 3);
            } else if (isWord(next, u"in") && isChar(next + 1, u'(')) {
                for (size_t j = next + 2; j < m_tokens.size() && !isChar(j, u')'); ++j)
                    convertString(j);
            }
        }
    }

    void convertString(size_t index)
    {
        if (index < m_tokens.size() && m_tokens[index].kind == Token::Kind::String)
            convertDateLiteral(index);
    }

    void convertDateLiteral(size_t index)
    {
        if (m_tokens[index].kind != Token::Kind::String || m_converted[index])
            return;
        m_converted[index] = true;
        m_edits.push_back({m_tokens[index].start, m_tokens[index].length,
                           isoLiteral(SqlTranslator::isoDateOf(sql::contentOf(m_sql, m_tokens[index])))});
    }

    QString applyEdits()
    {
        if (m_edits.empty() && m_limit < 0)
            return m_sql;
        QString result = m_sql;
        std::sort(m_edits.begin(), m_edits.end(), [](const Edit& a, const Edit& b) { return a.start > b.start; });
        for (const Edit& edit : m_edits)
            result.replace(edit.start, edit.length, edit.replacement);
        if (m_limit >= 0) {
            // After the statement's last word, before any comment that ends the text.
            qsizetype end = result.size();
            const QStringView tail = QStringView(m_sql).sliced(m_tokens.back().start + m_tokens.back().length);
            if (tail.contains(u"--") || tail.contains(u"/*"))
                end -= tail.size();
            QString rest = result.sliced(end);
            result.truncate(end);
            while (!result.isEmpty() && (result.back().isSpace() || result.back() == u';'))
                result.chop(1);
            result += u" LIMIT "_s + QString::number(m_limit) + rest;
        }
        return result;
    }

    const QString& m_sql;
    std::vector<Token> m_tokens;
    const std::vector<QString>& m_dateColumns;
    std::vector<Edit> m_edits;
    SqlTranslator::Report* m_report;
    std::vector<bool> m_converted; // per token: a date literal already rewritten
    int m_limit = -1;
};

} // namespace

SqlTranslator::SqlTranslator(std::vector<QString> dateColumns) : m_dateColumns(std::move(dateColumns)) {}

QString SqlTranslator::translate(const QString& sql, QDate today) const
{
    return translate(sql, [today] { return today; });
}

QString SqlTranslator::translate(const QString& sql, const std::function<QDate()>& today, Report* report) const
{
    return Rewriter(sql, m_dateColumns, report).run(today);
}

QByteArray SqlTranslator::isoDateOf(const QString& dateText)
{
    const QDate date = Regional::parseDate(QStringView(dateText).trimmed());
    if (!date.isValid())
        throw DbError("fecha incorrecta: " + dateText.toStdString());
    return isoDate(date);
}

QByteArray SqlTranslator::isoDate(QDate date)
{
    // Written by hand: QDate::toString with a format goes through the locale machinery, and this
    // runs for every line written. The calendar works out day, month and year together, once.
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    if (year < 0 || year > 9999) {
        char buffer[24];
        const int length = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
        return QByteArray(buffer, length);
    }
    const auto digit = [](int value) {
        return static_cast<char>('0' + value % 10);
    };
    const char text[] = {
        digit(year / 1000), digit(year / 100), digit(year / 10), digit(year), '-', digit(month / 10), digit(month), '-',
        digit(day / 10),    digit(day)};
    return QByteArray(text, std::size(text));
}

} // namespace db
