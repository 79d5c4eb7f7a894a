#pragma once

#include "LockWait.h"
#include "Recordset.h"
#include "StatementCache.h"
#include "StatementPlans.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct sqlite3;

namespace db {

/// One open, encrypted database file. Statements are written in the program's dialect, as a template and the
/// values that fill its "?" (StatementPlans): each template is translated once (SqlTranslator) and its values
/// go to SQLite as bound values wherever that means what the filled text would. Every failure raises DbError.
class Database
{
public:
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    /// Opens an existing file, shared and writable. The key comes from "pwd=" in the connect string
    /// (";pwd=secret"). A missing, empty, write-protected or foreign file (one that lacks any of
    /// `requiredTables`), a wrong or missing key, a file locked by another program or a damaged one fail
    /// here, before anything is written to the file.
    [[nodiscard]] static std::unique_ptr<Database> open(const QString& path, const QString& connect,
                                                        const QStringList& requiredTables = {});
    /// A scratch database in a new file at `path`, unencrypted, for work that must not touch the program's
    /// file: no journal, no flush to disk, and a page cache of a few MiB, past which its pages go to the
    /// file, so that its memory does not grow with what it holds. Removing the file is the caller's.
    [[nodiscard]] static std::unique_ptr<Database> createScratch(const QString& path);
    /// Makes a new, empty encrypted file; fails when the file already exists.
    [[nodiscard]] static std::unique_ptr<Database> create(const QString& path, const QString& password);

    /// Runs a change: the template filled with the values, as filledTemplate writes it, does the same.
    /// Returns the number of rows it affected.
    int execute(const QString& sqlTemplate, const std::vector<Value>& values = {});
    /// Runs a query, a template filled with its values as execute's; the recordset stands on its first row,
    /// or at its end when nothing matched.
    [[nodiscard]] std::unique_ptr<Recordset> openRecordset(const QString& sqlTemplate,
                                                           const std::vector<Value>& values = {});
    /// Runs several statements with no translation (schema scripts).
    void executeScript(const QString& sql);

    /// Reports a copy's progress: pages copied so far and the file's total; returns false to cancel.
    using CopyProgress = std::function<bool(int copied, int total)>;
    /// Copies the whole database into a new file at `target`, encrypted with the same key, while it stays
    /// open and usable (SQLite's online backup, a batch of pages at a time). The copy is written beside the
    /// target under a temporary name, flushed, checked as openCopy does, and only then takes the target's
    /// name, replacing a file already there. False when `progress` cancelled; raises DbError on a failure.
    /// A cancelled or failed copy leaves no file behind and an existing target untouched.
    bool backupTo(const QString& target, const QStringList& requiredTables, const CopyProgress& progress);
    /// Where backupTo writes the copy meant for `target` until it is finished.
    [[nodiscard]] static QString unfinishedCopyPath(const QString& target);
    /// Removes what an unfinished copy meant for `target` left (a program killed during it leaves it).
    static void removeUnfinishedCopy(const QString& target);
    /// Opens another file read-only with this database's key and checks all of it: it must have every one
    /// of `requiredTables` and, when they are given, nothing else but their indexes (no trigger, view or other
    /// table), and neither SQLite's integrity check nor the cipher's may find a damaged page.
    /// Raises DbError, naming what is wrong, for a file that fails any of it.
    [[nodiscard]] std::unique_ptr<Database> openCopy(const QString& path, const QStringList& requiredTables) const;
    /// Runs the integrity checks of openCopy on this database; raises DbError when a page is damaged.
    void checkIntegrity();
    /// Puts the copy at `copyPath` in place of the current connection's data. The copy is checked as openCopy
    /// does before anything is touched; the current data is first kept at `keptPath` (as backupTo writes it,
    /// replacing an older file); then the copy is written into the connection's own file in one transaction,
    /// so another program that has the file open sees all of the change or none. Raises DbError on a
    /// failure, the data then as it was.
    static void restoreCurrent(const QString& copyPath, const QString& keptPath, const QStringList& requiredTables);
    /// Removes the work file a restore of the database at `databasePath` left when it was cut short.
    static void removeRestoreLeftovers(const QString& databasePath);

    /// False: every statement runs as the text its template and values make, translated and prepared anew, as
    /// the program ran them before it bound values. A check that binding changes nothing; true by default.
    void setValuesBound(bool bound) { m_valuesBound = bound; }

    /// How long an operation waits, in all, for locks held by another program before it fails.
    void setQueryTimeout(int seconds);

    /// How waits for another program's lock are shown and spent, for every connection.
    using LockWaitHandling = db::LockWaitHandling;
    static void setLockWaitHandling(LockWaitHandling handling);
    /// Gives the current connection a whole allowance of lock waiting again.
    static void renewLockWait();

    /// The process-wide connection that the data operations use; null until one is opened.
    [[nodiscard]] static Database* current();
    static void setCurrent(std::unique_ptr<Database> database);

    [[nodiscard]] const QString& path() const { return m_path; }
    [[nodiscard]] sqlite3* handle() const { return m_handle; }

private:
    Database(sqlite3* handle, QString path);
    [[nodiscard]] static QString restoreWorkPath(const QString& databasePath);
    static sqlite3* openHandle(const QString& path, int flags);
    static void requireNonEmptyFile(const QString& path);
    [[nodiscard]] static std::unique_ptr<Database> openWithKey(const QString& path, const QByteArray& key,
                                                               const QStringList& requiredTables);
    /// Sets the key on a connection not yet read, with the settings every connection to a file of the program
    /// needs: the file format of SQLCipher 3 and SQLite's defences against a crafted file.
    static void keyHandle(sqlite3* handle, const QByteArray& key);
    void applyKey(const QByteArray& key);
    void configure();
    void requireTables(const QStringList& tables);
    /// Refuses a file whose schema holds anything but `tables` and their indexes (a trigger, a view, another table).
    void requireOnlyTables(const QStringList& tables);
    void requireWriteAccess();
    static int waitForLock(void* database, int attempts);
    void endLockWait();
    /// Refuses a statement started while a lock wait lets the windows repaint, and settles a transaction
    /// that a failure left open when no Transaction is alive, so no later work nests inside it unseen.
    void requireReady();
    /// Rolls the whole transaction back, however long another program's lock delays it: the connection
    /// must never go on inside a transaction it could not end. Marks the connection unusable if the
    /// engine refuses the rollback for another reason.
    void rollBackAll() noexcept;
    void loadDateColumns();
    /// Replaces this database's whole contents with `source`'s.
    void copyFrom(Database& source);
    void runScript(const QString& sql);
    friend class Transaction;
    /// A statement ready to step: one kept by its text (`text` not empty), or else prepared for this once.
    struct Prepared
    {
        sqlite3_stmt* statement;
        QByteArray text;
        std::vector<QByteArray> boundTexts; ///< the bound texts, which SQLite reads in place until it is given back
    };
    [[nodiscard]] Prepared prepare(const QString& sqlTemplate, const std::vector<Value>& values, const char* what);
    /// Binds the values of a planned statement; raises DbError for a text no date where a date goes.
    void bind(Prepared& prepared, const StatementPlan& plan, const std::vector<Value>& values);
    /// The ISO text of a d/m/yyyy date; raises DbError for one that is no date.
    [[nodiscard]] const QByteArray& isoDateOf(const QString& dateText);
    /// The same for a date value, as its d/m/yyyy text would give it.
    [[nodiscard]] const QByteArray& isoDateOf(QDate date);
    void release(const Prepared& prepared);

    sqlite3* m_handle;
    QString m_path;
    QByteArray m_key;
    StatementPlans m_plans;
    // Shared with the recordsets that hold one of its statements, which may outlive the connection.
    std::shared_ptr<StatementCache> m_statements;
    std::pair<QString, QByteArray> m_lastDate;    // a date's text and its ISO text, as last converted
    std::pair<QDate, QByteArray> m_lastDateValue; // a date value and its ISO text, as last converted
    LockWait m_lockWait;
    bool m_unusable = false;
    bool m_valuesBound = true;
    int m_transactions = 0; // Transaction objects alive on this connection
};

/// A unit of work: everything done while it lives is kept only if commit() is called.
/// Nests (savepoints), so an operation that needs one may run inside a caller's larger one.
/// When the outermost one fails to commit (another program's lock, a full disk) or is destroyed
/// uncommitted, all of its work is rolled back and the connection is back in autocommit.
class Transaction
{
public:
    explicit Transaction(Database& database);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    /// Keeps the work; raises DbError (with nothing kept) when the engine could not.
    void commit();
    /// False once committed, and once the engine has given up the whole transaction after a failure (a full
    /// disk, a trigger's ROLLBACK): then the work done in it is gone and commit() fails. A failed statement
    /// alone (a repeated key) leaves it open, with everything done before that statement.
    [[nodiscard]] bool isOpen() const;

private:
    Database& m_database;
    QString m_name;
    bool m_outermost;
    bool m_open = true;
};

} // namespace db
