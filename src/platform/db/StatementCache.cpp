#include "StatementCache.h"

#include <sqlite3.h>

#include <iterator>

namespace db {

sqlite3_stmt* StatementCache::take(const QByteArray& text, int parameters)
{
    sqlite3_stmt* statement = nullptr;
    const auto found = m_index.find(text);
    if (found != m_index.end() && !found.value()->statement)
        return nullptr;
    if (found != m_index.end() && !found.value()->inUse) {
        // Kept in place, marked in use and made the most recently used: nothing is allocated.
        found.value()->inUse = true;
        m_entries.splice(m_entries.begin(), m_entries, found.value());
        statement = found.value()->statement;
    } else {
        const int rc =
            sqlite3_prepare_v2(m_handle, text.constData(), static_cast<int>(text.size()), &statement, nullptr);
        if (rc != SQLITE_OK || !statement || sqlite3_bind_parameter_count(statement) != parameters) {
            sqlite3_finalize(statement);
            // A text SQLite refuses is not prepared again; a lock held elsewhere says nothing of the text.
            if (found == m_index.end() && (rc & 0xff) != SQLITE_BUSY && (rc & 0xff) != SQLITE_LOCKED)
                keep(text, nullptr);
            return nullptr;
        }
        // A second statement of a text whose first is in use (a recordset still open) is not kept.
        if (found == m_index.end())
            keep(text, statement);
    }
    return statement;
}

void StatementCache::giveBack(const QByteArray& text, sqlite3_stmt* statement)
{
    const auto found = m_closed ? m_index.end() : m_index.find(text);
    if (found == m_index.end() || found.value()->statement != statement) {
        sqlite3_finalize(statement);
        return;
    }
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    found.value()->inUse = false;
}

void StatementCache::keep(const QByteArray& text, sqlite3_stmt* statement)
{
    if (m_entries.size() >= capacity) {
        // The least recently used statement not in use goes; one in use is finalized when it comes back.
        for (auto entry = std::prev(m_entries.end());; --entry) {
            if (!entry->inUse) {
                sqlite3_finalize(entry->statement);
                m_index.remove(entry->text);
                m_entries.erase(entry);
                break;
            }
            if (entry == m_entries.begin())
                break;
        }
    }
    m_entries.push_front({text, statement, statement != nullptr});
    m_index.insert(text, m_entries.begin());
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
