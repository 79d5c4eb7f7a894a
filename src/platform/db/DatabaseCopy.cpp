// Backup copies of the database file: writing one while the program stays connected, checking one, and
// putting one in place of the connection's file.

#include "Database.h"

#include "DbError.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

using namespace Qt::StringLiterals;

namespace db {

namespace {

// Pages copied between two progress reports: 1 MiB of the default 4 KiB pages.
constexpr int pagesPerStep = 256;

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

/// Moves a file over another in one step: whoever looks at `to` finds the old file or the new, never none.
void replaceFile(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::rename(fsPath(from), fsPath(to), error);
    if (error)
        throw DbError("no se pudo reemplazar " + to.toStdString() + ": " + error.message());
}

/// Writes a file's data through to the disk, so that a rename after it never exposes a half-written file.
void flushToDisk(const QString& path)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    const bool flushed = descriptor >= 0 && ::fsync(descriptor) == 0;
    if (descriptor >= 0)
        ::close(descriptor);
    if (!flushed)
        throw DbError("no se pudo escribir en el disco " + path.toStdString());
}

/// Removes a file and the rollback journal SQLite may have left beside it.
void removeWithJournal(const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + u"-journal"_s);
}

void copyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        throw DbError("no se pudo copiar " + from.toStdString() + " en " + to.toStdString());
    flushToDisk(to);
}

/// The first column of every row of a statement run on `handle`.
QStringList firstColumn(sqlite3* handle, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr) != SQLITE_OK)
        throw DbError(std::string("no se pudo revisar la base de datos: ") + sqlite3_errmsg(handle));
    const auto finalize = qScopeGuard([statement] { sqlite3_finalize(statement); });
    QStringList rows;
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        rows.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))));
    if (rc != SQLITE_DONE)
        throw DbError(std::string("la base de datos está dañada: ") + sqlite3_errmsg(handle));
    return rows;
}

} // namespace

void Database::checkIntegrity()
{
    // SQLite's check walks every table and index; the cipher's reads every page of the file, free ones too,
    // and finds a page whose authentication code does not match.
    const QStringList tables = firstColumn(m_handle, "PRAGMA integrity_check");
    if (tables != QStringList{u"ok"_s})
        throw DbError("la base de datos está dañada: " + tables.join(u"; "_s).toStdString());
    const QStringList pages = firstColumn(m_handle, "PRAGMA cipher_integrity_check");
    if (!pages.isEmpty())
        throw DbError("la base de datos está dañada: " + pages.join(u"; "_s).toStdString());
}

void Database::requireOnlyTables(const QStringList& tables)
{
    // SQLite's counters of AUTOINCREMENT may be there too. A virtual table is refused by its text, whatever its name.
    const auto own = [&tables](const QString& table) {
        return tables.contains(table, Qt::CaseInsensitive) ||
               table.compare(u"sqlite_sequence"_s, Qt::CaseInsensitive) == 0;
    };
    const QStringList rows =
        firstColumn(m_handle, "SELECT type || char(9) || name || char(9) || tbl_name || char(9) || "
                              "ifnull(upper(substr(ltrim(sql), 1, 13)), '') FROM sqlite_master");
    for (const QString& row : rows) {
        const QStringList fields = row.split(u'\t');
        const bool table =
            fields.value(0) == u"table"_s && own(fields.value(1)) && fields.value(3).startsWith(u"CREATE TABLE"_s);
        const bool index = fields.value(0) == u"index"_s && own(fields.value(2)) &&
                           (fields.value(3).isEmpty() || fields.value(3).startsWith(u"CREATE INDEX"_s) ||
                            fields.value(3).startsWith(u"CREATE UNIQUE"_s));
        if (!table && !index)
            throw DbError("no es una base de datos del programa: " + row.left(200).toStdString());
    }
}

std::unique_ptr<Database> Database::openCopy(const QString& path, const QStringList& requiredTables) const
{
    requireNonEmptyFile(path);
    std::unique_ptr<Database> copy(new Database(openHandle(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX), path));
    copy->m_lockWait.setAllowance(m_lockWait.allowance());
    copy->applyKey(m_key);
    copy->requireTables(requiredTables);
    if (!requiredTables.isEmpty())
        copy->requireOnlyTables(requiredTables);
    copy->checkIntegrity();
    copy->loadDateColumns();
    return copy;
}

bool Database::backupTo(const QString& target, const QStringList& requiredTables, const CopyProgress& progress)
{
    const QString partial = unfinishedCopyPath(target);
    removeWithJournal(partial);
    auto removePartial = qScopeGuard([&partial] { removeWithJournal(partial); });
    {
        std::unique_ptr<Database> copy(new Database(
            openHandle(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX), partial));
        keyHandle(copy->m_handle, m_key);
        sqlite3_backup* backup = sqlite3_backup_init(copy->m_handle, "main", m_handle, "main");
        if (!backup)
            throw DbError(std::string("no se pudo iniciar la copia: ") + sqlite3_errmsg(copy->m_handle));
        int rc = SQLITE_OK;
        bool cancelled = false;
        while (!cancelled) {
            rc = sqlite3_backup_step(backup, pagesPerStep);
            if (rc == SQLITE_DONE)
                break;
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
                // Another program is writing the file: the wait shares the allowance of the statements'.
                if (!m_lockWait.pause())
                    break;
                continue;
            }
            if (rc != SQLITE_OK)
                break;
            endLockWait();
            const int total = sqlite3_backup_pagecount(backup);
            cancelled = progress && !progress(total - sqlite3_backup_remaining(backup), total);
        }
        endLockWait();
        sqlite3_backup_finish(backup);
        if (cancelled)
            return false;
        if (rc != SQLITE_DONE)
            throw DbError(std::string("no se pudo copiar la base de datos: ") + sqlite3_errstr(rc));
    }
    flushToDisk(partial);
    (void)openCopy(partial, requiredTables);
    replaceFile(partial, target);
    removePartial.dismiss();
    return true;
}

QString Database::unfinishedCopyPath(const QString& target)
{
    return target + u".parcial~"_s;
}

void Database::removeUnfinishedCopy(const QString& target)
{
    removeWithJournal(unfinishedCopyPath(target));
}

QString Database::restoreWorkPath(const QString& databasePath)
{
    return databasePath + u".restaurar~"_s;
}

void Database::removeRestoreLeftovers(const QString& databasePath)
{
    removeWithJournal(restoreWorkPath(databasePath));
}

void Database::restoreCurrent(const QString& copyPath, const QString& keptPath, const QStringList& requiredTables)
{
    Database* current = Database::current();
    if (!current)
        throw DbError("no hay conexión con la base de datos");
    // The copy is checked where it is read from, so what is checked is what is copied in.
    const QString incoming = restoreWorkPath(current->m_path);
    auto removeIncoming = qScopeGuard([&incoming] { removeWithJournal(incoming); });
    copyFile(copyPath, incoming);
    std::unique_ptr<Database> copy = current->openCopy(incoming, requiredTables);
    // The file as it is now is kept as a backup is written, whole even while another program uses it.
    (void)current->backupTo(keptPath, requiredTables, {});
    current->copyFrom(*copy);
}

void Database::copyFrom(Database& source)
{
    requireReady();
    m_statements->clear();
    // Written into this connection's own file in one transaction: another program that has the file open
    // sees all of the change or none of it, and a failure or a crash half-way leaves the file as it was.
    sqlite3_backup* backup = sqlite3_backup_init(m_handle, "main", source.m_handle, "main");
    if (!backup)
        throw DbError(std::string("no se pudo iniciar la restauración: ") + sqlite3_errmsg(m_handle),
                      failureOf(sqlite3_extended_errcode(m_handle)));
    int rc = SQLITE_OK;
    while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (!m_lockWait.pause())
            break;
    }
    endLockWait();
    sqlite3_backup_finish(backup);
    rollBackAll();
    if (rc != SQLITE_DONE)
        throw DbError(std::string("no se pudo restaurar la copia: ") + sqlite3_errstr(rc), failureOf(rc));
    loadDateColumns();
}

} // namespace db
