#include "StatementCache.h"

#include <sqlite3.h>

#include <array>
#include <charconv>
#include <cstring>
#include <iterator>

namespace db {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Which bytes may stand in a word: letters, digits, "_", "$" and every byte of a UTF-8 sequence. Looked up,
// since every statement's text goes through here byte by byte.
constexpr auto identifierBytes = [] {
    std::array<bool, 256> bytes{};
    for (int b = 0; b < 256; ++b)
        bytes[b] = (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b == '_' || b == '$' ||
                   b >= 0x80;
    return bytes;
}();

bool isIdentifierChar(char c)
{
    return identifierBytes[static_cast<unsigned char>(c)];
}

bool isKeyword(QByteArrayView word, QByteArrayView keyword)
{
    return word.size() == keyword.size() && word.compare(keyword, Qt::CaseInsensitive) == 0;
}

/// The end of a quoted text or name starting at `start` (just past its closing quote); -1 when open.
qsizetype quotedEnd(QByteArrayView sql, qsizetype start)
{
    const char close = sql[start] == '[' ? ']' : sql[start];
    for (qsizetype i = start + 1; i < sql.size(); ++i) {
        if (sql[i] == '\0')
            return -1;
        if (sql[i] != close)
            continue;
        if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return -1;
}

/// The end of the number starting at `start`; -1 when it is not one SQLite and this code read alike.
qsizetype numberEnd(QByteArrayView sql, qsizetype start, bool& real)
{
    qsizetype i = start;
    const auto digits = [&] {
        while (i < sql.size() && isDigit(sql[i]))
            ++i;
    };
    digits();
    real = i < sql.size() && sql[i] == '.';
    if (real) {
        ++i;
        digits();
    }
    if (i < sql.size() && (sql[i] == 'e' || sql[i] == 'E')) {
        real = true;
        if (++i < sql.size() && (sql[i] == '+' || sql[i] == '-'))
            ++i;
        if (i >= sql.size() || !isDigit(sql[i]))
            return -1;
        digits();
    }
    // "0x1F", "1_000", "1abc" and the like are left to SQLite.
    if (i < sql.size() && (isIdentifierChar(sql[i]) || sql[i] == '.'))
        return -1;
    return i;
}

/// The literal at `start`, a quoted text or a number, read as splitLiterals takes it out of a statement; its
/// end, or -1 where splitLiterals would leave the whole statement as text.
qsizetype takeLiteral(QByteArrayView sql, qsizetype start, Shape::Literal& literal, bool& exponent)
{
    const char c = sql[start];
    if (c == '\'') {
        const qsizetype end = quotedEnd(sql, start);
        // X'...' is a blob.
        if (end < 0 || (start > 0 && isIdentifierChar(sql[start - 1])))
            return -1;
        literal.kind = Shape::Literal::Kind::Text;
        literal.text = sql.sliced(start + 1, end - start - 2);
        if (literal.text.contains('\''))
            literal.unquoted = literal.text.toByteArray().replace("''", "'");
        return end;
    }
    const char next = start + 1 < sql.size() ? sql[start + 1] : '\0';
    if (!isDigit(c) && !(c == '.' && isDigit(next)))
        return -1;
    bool real = false;
    const qsizetype end = numberEnd(sql, start, real);
    // "t.5" is one word to the translator.
    if (end < 0 || (start > 0 && sql[start - 1] == '.'))
        return -1;
    literal.kind = real ? Shape::Literal::Kind::Real : Shape::Literal::Kind::Integer;
    const char* first = sql.data() + start;
    const char* last = sql.data() + end;
    // An integer too large for 64 bits is a real to SQLite: left to it.
    const auto read = real ? std::from_chars(first, last, literal.real) : std::from_chars(first, last, literal.integer);
    if (read.ec != std::errc() || read.ptr != last)
        return -1;
    exponent = exponent || QByteArrayView(first, last).contains('e') || QByteArrayView(first, last).contains('E');
    return end;
}

} // namespace

bool isDataStatement(QByteArrayView sql)
{
    qsizetype i = 0;
    while (i < sql.size() && !isIdentifierChar(sql[i]))
        ++i;
    qsizetype end = i;
    while (end < sql.size() && isIdentifierChar(sql[end]))
        ++end;
    const QByteArrayView word = sql.sliced(i, end - i);
    return isKeyword(word, "select") || isKeyword(word, "insert") || isKeyword(word, "update") ||
           isKeyword(word, "delete");
}

std::optional<Shape> splitLiterals(QByteArrayView sql)
{
    Shape shape;
    shape.text.reserve(sql.size());
    shape.literals.reserve(16);
    const qsizetype size = sql.size();
    // Where literals stay in the text: from SELECT to its FROM, or from ORDER BY (and the like) to the
    // end of its parenthesis; both at the depth where they began.
    enum class Keep { No, UntilFrom, UntilClose } keep = Keep::No;
    int keepDepth = 0;
    int depth = 0;
    bool firstWord = true;
    int quoted = 0;
    qsizetype copied = 0;
    const auto addLiteral = [&](qsizetype start, qsizetype end, Shape::Literal literal) {
        shape.text.append(sql.sliced(copied, start - copied));
        shape.holes.push_back(shape.text.size());
        shape.text.append('?');
        copied = end;
        shape.literals.push_back(std::move(literal));
    };
    for (qsizetype i = 0; i < size;) {
        const char c = sql[i];
        const char next = i + 1 < size ? sql[i + 1] : '\0';
        if (c == '-' && next == '-') {
            while (i < size && sql[i] != '\n')
                ++i;
        } else if (c == '/' && next == '*') {
            i += 2;
            while (i + 1 < size && !(sql[i] == '*' && sql[i + 1] == '/'))
                ++i;
            if (i + 1 >= size)
                return std::nullopt;
            i += 2;
        } else if (c == '"' || c == '`' || c == '[') {
            i = quotedEnd(sql, i);
            if (i < 0)
                return std::nullopt;
        } else if ((c == '\'' || isDigit(c) || (c == '.' && isDigit(next))) && keep == Keep::No) {
            Shape::Literal literal;
            const qsizetype end = takeLiteral(sql, i, literal, shape.exponent);
            if (end < 0)
                return std::nullopt;
            if (c == '\'')
                literal.quotedIndex = quoted++;
            addLiteral(i, end, std::move(literal));
            i = end;
        } else if (c == '\'') {
            // A quoted text left in the text.
            const qsizetype end = quotedEnd(sql, i);
            if (end < 0 || (i > 0 && isIdentifierChar(sql[i - 1])))
                return std::nullopt;
            ++quoted;
            i = end;
        } else if (isDigit(c) || (c == '.' && isDigit(next))) {
            // A number left in the text.
            bool real = false;
            const qsizetype end = numberEnd(sql, i, real);
            if (end < 0 || (i > 0 && sql[i - 1] == '.'))
                return std::nullopt;
            i = end;
        } else if (isIdentifierChar(c)) {
            qsizetype end = i;
            while (end < size && isIdentifierChar(sql[end]))
                ++end;
            const QByteArrayView word = sql.sliced(i, end - i);
            if (c == '$')
                return std::nullopt;
            if (firstWord && !isDataStatement(word))
                return std::nullopt;
            firstWord = false;
            if (keep == Keep::No && isKeyword(word, "select")) {
                keep = Keep::UntilFrom;
                keepDepth = depth;
            } else if (keep == Keep::No && (isKeyword(word, "order") || isKeyword(word, "group") ||
                                            isKeyword(word, "limit") || isKeyword(word, "returning"))) {
                keep = Keep::UntilClose;
                keepDepth = depth;
            } else if (keep == Keep::UntilFrom && depth == keepDepth && isKeyword(word, "from")) {
                keep = Keep::No;
            }
            i = end;
        } else if (c == '?' || c == ':' || c == '@' || c == '#' || c == ';' || c == '\0') {
            // Parameters of its own, or more than one statement.
            return std::nullopt;
        } else {
            if (c == '(') {
                ++depth;
            } else if (c == ')') {
                if (keep != Keep::No && depth == keepDepth)
                    keep = Keep::No;
                --depth;
            }
            ++i;
        }
    }
    if (firstWord)
        return std::nullopt;
    shape.text.append(sql.sliced(copied));
    return shape;
}

std::optional<Shape> splitAs(const Shape& known, QByteArrayView sql)
{
    Shape shape;
    shape.literals.resize(known.literals.size());
    qsizetype at = 0;
    qsizetype from = 0;
    const auto sameText = [&](qsizetype length) {
        return sql.size() - at >= length && std::memcmp(sql.data() + at, known.text.constData() + from, length) == 0;
    };
    for (size_t k = 0; k < known.literals.size(); ++k) {
        const qsizetype length = known.holes[k] - from;
        if (!sameText(length))
            return std::nullopt;
        at += length;
        from = known.holes[k] + 1;
        if (at >= sql.size())
            return std::nullopt;
        // A text where the known shape had a number, or the other way round, counts its quoted texts otherwise.
        Shape::Literal& literal = shape.literals[k];
        const qsizetype end = takeLiteral(sql, at, literal, shape.exponent);
        if (end < 0 ||
            (literal.kind == Shape::Literal::Kind::Text) != (known.literals[k].kind == Shape::Literal::Kind::Text))
            return std::nullopt;
        literal.quotedIndex = known.literals[k].quotedIndex;
        at = end;
    }
    const qsizetype rest = known.text.size() - from;
    if (sql.size() - at != rest || !sameText(rest))
        return std::nullopt;
    shape.text = known.text;
    shape.holes = known.holes;
    return shape;
}

sqlite3_stmt* StatementCache::take(const Shape& shape, bool textsOutlive)
{
    sqlite3_stmt* statement = nullptr;
    const auto found = m_index.find(shape.text);
    if (found != m_index.end() && !found.value()->statement)
        return nullptr;
    if (found != m_index.end() && !found.value()->inUse) {
        // Kept in place, marked in use and made the most recently used: nothing is allocated.
        found.value()->inUse = true;
        m_entries.splice(m_entries.begin(), m_entries, found.value());
        statement = found.value()->statement;
    } else {
        const int rc = sqlite3_prepare_v2(m_handle, shape.text.constData(), static_cast<int>(shape.text.size()),
                                          &statement, nullptr);
        if (rc != SQLITE_OK || sqlite3_bind_parameter_count(statement) != static_cast<int>(shape.literals.size())) {
            sqlite3_finalize(statement);
            // A shape SQLite refuses runs as text from now on; a lock held elsewhere says nothing of the shape.
            if (found == m_index.end() && (rc & 0xff) != SQLITE_BUSY && (rc & 0xff) != SQLITE_LOCKED)
                keep(shape.text, nullptr);
            return nullptr;
        }
        // A second statement of a shape whose first is in use (a recordset still open) is not kept.
        if (found == m_index.end())
            keep(shape.text, statement);
    }
    for (int i = 0; i < static_cast<int>(shape.literals.size()); ++i) {
        const Shape::Literal& literal = shape.literals[static_cast<size_t>(i)];
        switch (literal.kind) {
        case Shape::Literal::Kind::Integer:
            sqlite3_bind_int64(statement, i + 1, literal.integer);
            break;
        case Shape::Literal::Kind::Real:
            sqlite3_bind_double(statement, i + 1, literal.real);
            break;
        case Shape::Literal::Kind::Text:
            // A text with doubled quotes lives in the shape, which does not outlive this call.
            sqlite3_bind_text(statement, i + 1, literal.value().data(), static_cast<int>(literal.value().size()),
                              textsOutlive && literal.unquoted.isNull() ? SQLITE_STATIC : SQLITE_TRANSIENT);
            break;
        }
    }
    return statement;
}

void StatementCache::giveBack(const QByteArray& shape, sqlite3_stmt* statement)
{
    const auto found = m_closed ? m_index.end() : m_index.find(shape);
    if (found == m_index.end() || found.value()->statement != statement) {
        sqlite3_finalize(statement);
        return;
    }
    // No binding may point into a statement's text that is gone.
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    found.value()->inUse = false;
}

void StatementCache::keep(const QByteArray& shape, sqlite3_stmt* statement)
{
    if (m_entries.size() >= capacity) {
        // The least recently used statement not in use goes; one in use is finalized when it comes back.
        for (auto entry = std::prev(m_entries.end());; --entry) {
            if (!entry->inUse) {
                sqlite3_finalize(entry->statement);
                m_index.remove(entry->shape);
                m_entries.erase(entry);
                break;
            }
            if (entry == m_entries.begin())
                break;
        }
    }
    m_entries.push_front({shape, statement, statement != nullptr});
    m_index.insert(shape, m_entries.begin());
}

void StatementCache::clear()
{
    // A statement in use is finalized when it comes back, since its entry is gone.
    for (const Entry& entry : m_entries) {
        if (!entry.inUse)
            sqlite3_finalize(entry.statement);
    }
    m_entries.clear();
    m_index.clear();
}

void StatementCache::close()
{
    clear();
    m_closed = true;
}

} // namespace db
