#include "SqlTranslator.h"

#include "DbError.h"

#include <algorithm>
#include <cstdio>
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

// The stored form of a date, between quotes. Written by hand: QDate::toString with a format goes
// through the locale machinery, and this runs for every line written.
QString isoLiteral(QDate date)
{
    char buffer[16];
    const int length = std::snprintf(buffer, sizeof buffer, "'%04d-%02d-%02d'", date.year(), date.month(), date.day());
    return QString::fromLatin1(buffer, length);
}

std::vector<Token> tokenize(const QString& sql)
{
    std::vector<Token> tokens;
    tokens.reserve(static_cast<size_t>(sql.size() / 4 + 8));
    const qsizetype size = sql.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = sql.at(i);
        if (c == u' ' || c.isSpace()) {
            ++i;
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
    Rewriter(const QString& sql, const std::vector<QString>& dateColumns)
        : m_sql(sql), m_tokens(tokenize(sql)), m_dateColumns(dateColumns)
    {}

    QString run(const std::function<QDate()>& today)
    {
        rewriteTop();
        rewriteToday(today);
        if (!rewriteInsertDates())
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
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot >= 0)
            name = name.mid(dot + 1);
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
        if (!isWord(i, u"top") || i + 1 >= m_tokens.size())
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
                m_edits.push_back(
                    {m_tokens[i].start, last.start + last.length - m_tokens[i].start, isoLiteral(today())});
            }
        }
    }

    // "Insert Into T (c1, c2, ...) values (v1, v2, ...)": a literal in the place of a date column.
    bool rewriteInsertDates()
    {
        if (!isWord(0, u"insert") || !isWord(1, u"into") || !isChar(3, u'('))
            return false;
        std::vector<bool> columnIsDate;
        size_t i = 4;
        for (; i < m_tokens.size() && !isChar(i, u')'); ++i) {
            if (m_tokens[i].kind == Token::Kind::Word)
                columnIsDate.push_back(isDateColumn(i));
        }
        ++i;
        if (!isWord(i, u"values") || !isChar(i + 1, u'('))
            return true;
        size_t column = 0;
        size_t itemStart = i + 2;
        int depth = 0;
        for (size_t j = i + 2; j < m_tokens.size(); ++j) {
            if (isChar(j, u'('))
                ++depth;
            const bool closesList = isChar(j, u')') && depth == 0;
            if (isChar(j, u')') && depth > 0)
                --depth;
            if ((isChar(j, u',') && depth == 0) || closesList) {
                if (j == itemStart + 1 && column < columnIsDate.size() && columnIsDate[column])
                    convertDateLiteral(itemStart);
                ++column;
                itemStart = j + 1;
                if (closesList)
                    break;
            }
        }
        return true;
    }

    // "Fecha_X = 'dd/mm/yyyy'" anywhere else (SET lists and WHERE clauses).
    void rewriteComparedDates()
    {
        static const QStringView comparisons[] = {u"=", u"<", u">", u"<=", u">=", u"<>"};
        for (size_t i = 2; i < m_tokens.size(); ++i) {
            if (m_tokens[i].kind != Token::Kind::String)
                continue;
            const bool compared = std::any_of(std::begin(comparisons), std::end(comparisons),
                                              [&](QStringView op) { return isSymbol(i - 1, op); });
            if (compared && isDateColumn(i - 2))
                convertDateLiteral(i);
        }
    }

    void convertDateLiteral(size_t index)
    {
        if (m_tokens[index].kind != Token::Kind::String)
            return;
        const QStringView literal = text(index);
        const QStringView content = literal.mid(1, literal.size() - 2);
        const QDate date = SqlTranslator::parseDateText(content.trimmed());
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
            while (!result.isEmpty() && (result.back().isSpace() || result.back() == u';'))
                result.chop(1);
            result += u" LIMIT "_s + QString::number(m_limit);
        }
        return result;
    }

    const QString& m_sql;
    std::vector<Token> m_tokens;
    const std::vector<QString>& m_dateColumns;
    std::vector<Edit> m_edits;
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

QString SqlTranslator::translate(const QString& sql, const std::function<QDate()>& today) const
{
    // Inserts of the usual shape have their own quick way; of the rest, most statements need
    // nothing: the work is only where TOP, DATE() or a date column appears.
    if (auto insert = translateSimpleInsert(sql))
        return *insert;
    if (!mayNeedWork(sql))
        return sql;
    return Rewriter(sql, m_dateColumns).run(today);
}

bool SqlTranslator::isDateColumn(QStringView name) const
{
    return std::any_of(m_dateColumns.begin(), m_dateColumns.end(), [name](const QString& column) {
        return column.size() == name.size() && name.compare(column, Qt::CaseInsensitive) == 0;
    });
}

const std::vector<bool>& SqlTranslator::dateValuesOf(QStringView head, QStringView columns) const
{
    const size_t key = qHash(head);
    auto found = m_insertHeads.find(key);
    if (found != m_insertHeads.end() && found->second.first == head)
        return found->second.second;
    std::vector<bool> dates;
    for (const QStringView column : columns.split(u','))
        dates.push_back(isDateColumn(column.trimmed()));
    if (m_insertHeads.size() > 64)
        m_insertHeads.clear();
    auto& entry = m_insertHeads[key];
    entry = {head.toString(), std::move(dates)};
    return entry.second;
}

std::optional<QString> SqlTranslator::translateSimpleInsert(const QString& sql) const
{
    const QStringView text(sql);
    const QStringView start = text.trimmed();
    if (!start.startsWith(u"insert", Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype columnsOpen = text.indexOf(u'(');
    const qsizetype columnsClose = text.indexOf(u')', columnsOpen + 1);
    const qsizetype valuesOpen = columnsClose < 0 ? -1 : text.indexOf(u'(', columnsClose + 1);
    if (columnsOpen < 0 || valuesOpen < 0 ||
        text.mid(columnsClose + 1, valuesOpen - columnsClose - 1).trimmed().compare(u"values", Qt::CaseInsensitive))
        return std::nullopt;
    const std::vector<bool>& dates =
        dateValuesOf(text.left(valuesOpen + 1), text.mid(columnsOpen + 1, columnsClose - columnsOpen - 1));

    // Walk the values: text literals are skipped whole; anything but numbers, blanks and commas
    // outside them (NULL, a function, a nested list) is left to the general way.
    std::vector<std::pair<qsizetype, qsizetype>> dateLiterals; // start and length, quotes included
    size_t value = 0;
    qsizetype i = valuesOpen + 1;
    const qsizetype size = text.size();
    for (; i < size && text[i] != u')'; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u',') {
            ++value;
        } else if (c == u'\'') {
            const qsizetype close = text.indexOf(u'\'', i + 1);
            if (close < 0 || (close + 1 < size && text[close + 1] == u'\''))
                return std::nullopt;
            if (value < dates.size() && dates[value])
                dateLiterals.emplace_back(i, close - i + 1);
            i = close;
        } else if (!(c == u' ' || c == u'.' || c == u'-' || c == u'+' || (c >= u'0' && c <= u'9'))) {
            return std::nullopt;
        }
    }
    if (i >= size || !text.mid(i + 1).trimmed().isEmpty())
        return std::nullopt;

    QString result = sql;
    for (auto literal = dateLiterals.rbegin(); literal != dateLiterals.rend(); ++literal) {
        const QStringView content = text.mid(literal->first + 1, literal->second - 2).trimmed();
        const QDate date = parseDateText(content);
        if (!date.isValid())
            throw DbError("fecha incorrecta: " + content.toString().toStdString());
        result.replace(literal->first, literal->second, isoLiteral(date));
    }
    return result;
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
        const qsizetype start = i;
        while (i < size && isWordChar(sql[i]))
            ++i;
        const qsizetype length = i - start;
        if ((length == 3 || length == 4 || length >= m_shortestDateColumn) && wanted(sql.mid(start, length)))
            return true;
    }
    return false;
}

QDate SqlTranslator::parseDateText(QStringView text)
{
    // Hand-written: this runs for every date written to the database, and QDate::fromString is slow.
    int fields[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int field = 0;
    QChar separator;
    for (const QChar c : text) {
        if (c.isDigit() && c.unicode() < 128) {
            fields[field] = fields[field] * 10 + (c.unicode() - u'0');
            if (++digits[field] > 4)
                return {};
        } else if ((c == u'/' || c == u'-') && field < 2 && (separator.isNull() || separator == c)) {
            separator = c;
            ++field;
        } else {
            return {};
        }
    }
    if (field != 2)
        return {};
    if (separator == u'-') // ISO yyyy-mm-dd, as stored
        return digits[0] == 4 && digits[1] == 2 && digits[2] == 2 ? QDate(fields[0], fields[1], fields[2]) : QDate();
    if (digits[0] == 0 || digits[0] > 2 || digits[1] == 0 || digits[1] > 2 || digits[2] != 4)
        return {};
    return QDate(fields[2], fields[1], fields[0]);
}

} // namespace db
