#pragma once

#include <QByteArray>
#include <QHash>

#include <list>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

/// Prepared statements kept by their text for one connection, the least recently used finalized past a
/// bound. A statement in use stays in the cache, marked, until it is given back; meanwhile another of
/// its text is prepared for the asking and finalized when it comes back.
class StatementCache
{
public:
    explicit StatementCache(sqlite3* handle) : m_handle(handle) {}
    ~StatementCache() { close(); }
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    /// The statement of a text with `parameters` parameters, out of the cache or newly prepared, its
    /// parameters unbound; null when SQLite refuses the text, and the statement must run otherwise.
    [[nodiscard]] sqlite3_stmt* take(const QByteArray& text, int parameters);
    /// Resets the statement and keeps it for the next one of its text.
    void giveBack(const QByteArray& text, sqlite3_stmt* statement);
    /// Finalizes every statement kept (the schema changed, or the connection closes).
    void clear();
    /// Finalizes everything, and from now on every statement given back.
    void close();

private:
    static constexpr size_t capacity = 64;
    struct Entry
    {
        QByteArray text;
        sqlite3_stmt* statement; // null: SQLite refused the text
        bool inUse;              // taken and not yet given back
    };
    void keep(const QByteArray& text, sqlite3_stmt* statement);

    sqlite3* m_handle;
    bool m_closed = false;
    std::list<Entry> m_entries; // most recently used first
    QHash<QByteArray, std::list<Entry>::iterator> m_index;
};

} // namespace db
