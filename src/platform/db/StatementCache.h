#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>

#include <list>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

/// A statement with its literals taken out: the text with a parameter in place of each literal, and
/// the literals, as SQLite would have read them.
struct Shape
{
    struct Literal
    {
        enum class Kind { Integer, Real, Text } kind = Kind::Text;
        qint64 integer = 0;
        double real = 0;
        QByteArrayView text;  ///< into the statement split, unless the text held doubled quotes:
        QByteArray unquoted;  ///< then the text with them undoubled
        int quotedIndex = -1; ///< a text: which of the statement's quoted texts, counting from 0
        [[nodiscard]] QByteArrayView value() const { return unquoted.isNull() ? text : QByteArrayView(unquoted); }
    };
    QByteArray text;
    std::vector<Literal> literals;
    std::vector<qsizetype> holes; ///< where each literal's "?" stands in the text
    bool exponent = false;        ///< a number with an exponent among them
};

/// Splits a statement (already translated, in UTF-8); the literals refer to sql, which must outlive them. No value for
/// one that is not a single SELECT, INSERT, UPDATE or DELETE, or that holds anything whose meaning a parameter could
/// change: those run as text. Literals stay in the text where a parameter would not mean the same: in the result
/// columns (their names come from the text), after ORDER BY, GROUP BY, LIMIT and RETURNING.
[[nodiscard]] std::optional<Shape> splitLiterals(QByteArrayView sql);
/// The statement split by a shape known from an earlier split, when it has that shape: everything between its
/// literals is the same, and each literal is of the same sort (a quoted text, or a number). Then the result is what
/// splitLiterals gives, found by comparing the text rather than reading it word by word; no value otherwise.
[[nodiscard]] std::optional<Shape> splitAs(const Shape& known, QByteArrayView sql);
/// Whether the statement starts with SELECT, INSERT, UPDATE or DELETE.
[[nodiscard]] bool isDataStatement(QByteArrayView sql);

/// Prepared statements kept by shape for one connection, the least recently used finalized past a
/// bound. A statement in use stays in the cache, marked, until it is given back; meanwhile another of
/// its shape is prepared for the asking and finalized when it comes back.
class StatementCache
{
public:
    explicit StatementCache(sqlite3* handle) : m_handle(handle) {}
    ~StatementCache() { close(); }
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    /// The statement of a shape with the literals bound, out of the cache or newly prepared; null when
    /// SQLite refuses the shape, and the statement must run as text. Texts are copied for SQLite unless
    /// `textsOutlive`: then the statement split must outlive the statement's use, until it is given back.
    [[nodiscard]] sqlite3_stmt* take(const Shape& shape, bool textsOutlive = false);
    /// Resets the statement and keeps it for the next one of its shape.
    void giveBack(const QByteArray& shape, sqlite3_stmt* statement);
    /// Finalizes every statement kept (the schema changed, or the connection closes).
    void clear();
    /// Finalizes everything, and from now on every statement given back.
    void close();

private:
    static constexpr size_t capacity = 64;
    struct Entry
    {
        QByteArray shape;
        sqlite3_stmt* statement; // null: the shape runs as text
        bool inUse;              // taken and not yet given back
    };
    void keep(const QByteArray& shape, sqlite3_stmt* statement);

    sqlite3* m_handle;
    bool m_closed = false;
    std::list<Entry> m_entries; // most recently used first
    QHash<QByteArray, std::list<Entry>::iterator> m_index;
};

} // namespace db
