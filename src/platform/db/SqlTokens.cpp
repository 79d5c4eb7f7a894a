#include "SqlTokens.h"

namespace db::sql {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The end of a quoted text or name that starts at `start`, just past its closing quote; the end of the
// text when it is never closed.
qsizetype quotedEnd(QStringView sql, qsizetype start, bool& closed)
{
    const QChar open = sql[start];
    const QChar close = open == u'[' ? u']' : open;
    for (qsizetype i = start + 1; i < sql.size(); ++i) {
        if (sql[i] != close)
            continue;
        // A doubled quote stands for one; a bracket has no such escape.
        if (close != u']' && i + 1 < sql.size() && sql[i + 1] == close) {
            ++i;
            continue;
        }
        closed = true;
        return i + 1;
    }
    closed = false;
    return sql.size();
}

qsizetype numberEnd(QStringView sql, qsizetype i)
{
    const auto digits = [&] {
        while (i < sql.size() && isDigit(sql[i]))
            ++i;
    };
    digits();
    if (i < sql.size() && sql[i] == u'.') {
        ++i;
        digits();
    }
    if (i + 1 < sql.size() && (sql[i] == u'e' || sql[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < sql.size() && (sql[j] == u'+' || sql[j] == u'-'))
            ++j;
        if (j < sql.size() && isDigit(sql[j])) {
            i = j;
            digits();
        }
    }
    return i;
}

qsizetype symbolLength(QStringView sql, qsizetype i)
{
    static constexpr char16_t pairs[][2] = {{u'<', u'='}, {u'>', u'='}, {u'<', u'>'}, {u'!', u'='},
                                            {u'=', u'='}, {u'|', u'|'}, {u'<', u'<'}, {u'>', u'>'}};
    if (i + 1 < sql.size()) {
        for (const auto& pair : pairs) {
            if (sql[i] == pair[0] && sql[i + 1] == pair[1])
                return 2;
        }
    }
    return 1;
}

} // namespace

bool isWordChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128)
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_' ||
               u == u'$';
    return c.isLetterOrNumber() || c.isSurrogate();
}

std::vector<Token> tokenize(QStringView sql)
{
    std::vector<Token> tokens;
    tokens.reserve(static_cast<size_t>(sql.size() / 4 + 8));
    const qsizetype size = sql.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = sql[i];
        const QChar next = i + 1 < size ? sql[i + 1] : QChar();
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && next == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            i = end < 0 ? size : end;
        } else if (c == u'/' && next == u'*') {
            const qsizetype end = sql.indexOf(u"*/", i + 2);
            i = end < 0 ? size : end + 2;
        } else if (c == u'\'' || c == u'"' || c == u'[' || c == u'`') {
            bool closed = true;
            const qsizetype end = quotedEnd(sql, i, closed);
            tokens.push_back({c == u'\'' ? Token::Kind::String : Token::Kind::Name, i, end - i, closed});
            i = end;
        } else if (isDigit(c) || (c == u'.' && isDigit(next))) {
            qsizetype end = numberEnd(sql, i);
            // "1abc" or "0x1F" reads as one word, as SQLite takes it in (and most often refuses).
            Token::Kind kind = Token::Kind::Number;
            if (end < size && isWordChar(sql[end])) {
                kind = Token::Kind::Word;
                while (end < size && isWordChar(sql[end]))
                    ++end;
            }
            tokens.push_back({kind, i, end - i});
            i = end;
        } else if (isWordChar(c)) {
            qsizetype end = i;
            while (end < size && isWordChar(sql[end]))
                ++end;
            tokens.push_back({Token::Kind::Word, i, end - i});
            i = end;
        } else {
            const qsizetype length = symbolLength(sql, i);
            tokens.push_back({Token::Kind::Symbol, i, length});
            i += length;
        }
    }
    return tokens;
}

QString contentOf(QStringView sql, const Token& token)
{
    const qsizetype inner = token.closed ? token.length - 2 : token.length - 1;
    QString content = sql.sliced(token.start + 1, std::max<qsizetype>(inner, 0)).toString();
    return content.contains(u'\'') ? content.replace(QStringLiteral("''"), QStringLiteral("'")) : content;
}

} // namespace db::sql
