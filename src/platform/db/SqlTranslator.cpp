#include "SqlTranslator.h"

#include "DbError.h"
#include "platform/Regional.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace db {

namespace {

struct Token
{
    enum class Kind { Word, String, Symbol };
    Kind kind;
    qsizetype start;
    qsizetype length;
};

struct Edit
{
    qsizetype start;
    qsizetype length;
    QString replacement;
};

bool isWordChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128)
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_' ||
               u == u'.';
    return c.isLetterOrNumber();
}

QString isoLiteral(QDate date)
{
    return u'\'' + QString::fromLatin1(SqlTranslator::isoDate(date)) + u'\'';
}

std::vector<Token> tokenize(const QString& sql)
{
    std::vector<Token> tokens;
    tokens.reserve(static_cast<size_t>(sql.size() / 4 + 8));
    const qsizetype size = sql.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < size ? sql.at(i + 1) : QChar();
        if (c == u' ' || c.isSpace()) {
            ++i;
        } else if (c == u'-' && next == u'-') { // comments are no part of the statement: never rewritten
            const qsizetype end = sql.indexOf(u'\n', i);
            i = end < 0 ? size : end;
        } else if (c == u'/' && next == u'*') {
            const qsizetype end = sql.indexOf(u"*/", i + 2);
            i = end < 0 ? size : end + 2;
        } else if (c == u'[' || c == u'"' || c == u'`') { // a quoted name is a word
            const qsizetype end = sql.indexOf(c == u'[' ? u']' : c, i + 1);
            const qsizetype stop = end < 0 ? size : end + 1;
            tokens.push_back({Token::Kind::Word, i, stop - i});
            i = stop;
        } else if (c == u'\'') {
            qsizetype j = i + 1;
            while (j < size) {
                if (sql.at(j) == u'\'') {
                    if (j + 1 < size && sql.at(j + 1) == u'\'') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            const qsizetype end = std::min(j + 1, size);
            tokens.push_back({Token::Kind::String, i, end - i});
            i = end;
        } else if (isWordChar(c)) {
            qsizetype j = i;
            while (j < size && isWordChar(sql.at(j)))
                ++j;
            tokens.push_back({Token::Kind::Word, i, j - i});
            i = j;
        } else {
            qsizetype length = 1;
            if (i + 1 < size && (c == u'<' || c == u'>') && (sql.at(i + 1) == u'=' || sql.at(i + 1) == u'>'))
                length = 2;
            tokens.push_back({Token::Kind::Symbol, i, length});
            i += length;
        }
    }
    return tokens;
}

class Rewriter
{
public:
    Rewriter(const QString& sql, const std::vector<QString>& dateColumns, SqlTranslator::Report* report)
        : m_sql(sql), m_tokens(tokenize(sql)), m_dateColumns(dateColumns), m_report(report)
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

    bool isDateColumn(size_t index) const
    {
        if (index >= m_tokens.size() || m_tokens[index].kind != Token::Kind::Word)
            return false;
        QStringView name = text(index);
        for (qsizetype i = name.size() - 1; i >= 0; --i) {
            if (name[i] == u'.') {
                name = name.sliced(i + 1);
                break;
            }
        }
        if (name.size() >= 2 && (name.front() == u'[' || name.front() == u'"' || name.front() == u'`'))
            name = name.mid(1, name.size() - 2);
        return std::any_of(m_dateColumns.begin(), m_dateColumns.end(), [name](const QString& column) {
            return column.size() == name.size() && name.compare(column, Qt::CaseInsensitive) == 0;
        });
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
        const int limit = text(i + 1).toInt(&numeric);
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
                m_edits.push_back(
                    {m_tokens[i].start, last.start + last.length - m_tokens[i].start, isoLiteral(today())});
            }
        }
    }

    // "Insert Into T (c1, c2, ...) values (v1, v2, ...), (...)": a literal in the place of a date column.
    void rewriteInsertDates()
    {
        if (!isWord(0, u"insert") || !isWord(1, u"into") || !isChar(3, u'('))
            return;
        std::vector<bool> columnIsDate;
        size_t i = 4;
        for (; i < m_tokens.size() && !isChar(i, u')'); ++i) {
            if (m_tokens[i].kind == Token::Kind::Word)
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
        static const QStringView comparisons[] = {u"=", u"<", u">", u"<=", u">=", u"<>", u"!"};
        const auto isComparison = [&](size_t i) {
            return std::any_of(std::begin(comparisons), std::end(comparisons),
                               [&](QStringView op) { return isSymbol(i, op); });
        };
        for (size_t i = 0; i < m_tokens.size(); ++i) {
            if (!isDateColumn(i))
                continue;
            if (i >= 2 && isComparison(i - 1))
                convertString(i - 2);
            size_t next = i + 1;
            if (isSymbol(next, u"!")) // "!=" is two symbols here
                ++next;
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
        if (m_report) {
            m_report->dateTexts.push_back(
                static_cast<int>(std::count_if(m_tokens.begin(), m_tokens.begin() + static_cast<qsizetype>(index),
                                               [](const Token& token) { return token.kind == Token::Kind::String; })));
        }
        const QStringView literal = text(index);
        const QStringView content = literal.mid(1, literal.size() - 2);
        const QDate date = Regional::parseDate(content.trimmed());
        if (!date.isValid())
            throw DbError("fecha incorrecta: " + content.toString().toStdString());
        m_edits.push_back({m_tokens[index].start, m_tokens[index].length, isoLiteral(date)});
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

SqlTranslator::SqlTranslator(std::vector<QString> dateColumns) : m_dateColumns(std::move(dateColumns))
{
    m_shortestDateColumn = std::numeric_limits<qsizetype>::max();
    for (const QString& column : m_dateColumns)
        m_shortestDateColumn = std::min(m_shortestDateColumn, column.size());
}

QString SqlTranslator::translate(const QString& sql, QDate today) const
{
    return translate(sql, [today] { return today; });
}

QString SqlTranslator::translate(const QString& sql, const std::function<QDate()>& today, Report* report) const
{
    // Most statements need nothing: the work is only where TOP, DATE() or a date column appears.
    if (!mayNeedWork(sql))
        return sql;
    return Rewriter(sql, m_dateColumns, report).run(today);
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

bool SqlTranslator::mayNeedWork(QStringView sql) const
{
    // One pass over the words of the statement, comparing only words of a length worth comparing:
    // this runs for every statement, and most statements hold none of the words looked for.
    const auto wanted = [this](QStringView word) {
        if (word.size() == 3 && word.compare(u"top", Qt::CaseInsensitive) == 0)
            return true;
        if (word.size() == 4 && word.compare(u"date", Qt::CaseInsensitive) == 0)
            return true;
        return std::any_of(m_dateColumns.begin(), m_dateColumns.end(), [word](const QString& column) {
            return column.size() == word.size() && word.compare(column, Qt::CaseInsensitive) == 0;
        });
    };
    const qsizetype size = sql.size();
    qsizetype i = 0;
    while (i < size) {
        if (!isWordChar(sql[i])) {
            ++i;
            continue;
        }
        qsizetype start = i; // past the last dot: a column named with its table
        for (; i < size && isWordChar(sql[i]); ++i) {
            if (sql[i] == u'.')
                start = i + 1;
        }
        const qsizetype length = i - start;
        if ((length == 3 || length == 4 || length >= m_shortestDateColumn) && wanted(sql.mid(start, length)))
            return true;
    }
    return false;
}

} // namespace db
