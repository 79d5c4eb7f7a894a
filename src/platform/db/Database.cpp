#include "Database.h"

#include "DbError.h"
#include "StatementCache.h"
#include "platform/Clock.h"
#include "platform/Regional.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QThread>

#include <algorithm>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace db {

namespace {

std::unique_ptr<Database> s_current;
Database::LockWaitHandling s_lockWaitHandling;
int s_savepointCounter = 0;
// How long a lock wait lets pass between two tries.
constexpr int lockPauseMs = 20;

QString passwordFrom(const QString& connect)
{
    for (const QStringView part : QStringView(connect).split(u';')) {
        const QStringView trimmed = part.trimmed();
        if (trimmed.startsWith(u"pwd=", Qt::CaseInsensitive))
            return trimmed.mid(4).toString();
    }
    return {};
}

} // namespace

Failure failureOf(int code)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Failure::busy;
    case SQLITE_FULL:
        return Failure::diskFull;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        return Failure::io;
    default:
        return Failure::other;
    }
}

namespace {

[[noreturn]] void fail(sqlite3* handle, const char* what)
{
    if (!handle)
        throw DbError(std::string(what) + ": sin conexión");
    throw DbError(std::string(what) + ": " + sqlite3_errmsg(handle), failureOf(sqlite3_extended_errcode(handle)));
}

void pauseFor(int ms)
{
    if (s_lockWaitHandling.pause)
        s_lockWaitHandling.pause(ms);
    else
        QThread::msleep(ms);
}

} // namespace

Database::Database(sqlite3* handle, QString path)
    : m_handle(handle), m_path(std::move(path)), m_statements(std::make_shared<StatementCache>(handle))
{}

Database::~Database()
{
    m_statements->close();
    // close_v2 waits for recordsets still open before it really closes.
    sqlite3_close_v2(m_handle);
}

sqlite3* Database::openHandle(const QString& path, int flags)
{
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = handle ? sqlite3_errmsg(handle) : "sin memoria";
        sqlite3_close_v2(handle);
        throw DbError("no se pudo abrir " + path.toStdString() + ": " + message);
    }
    sqlite3_extended_result_codes(handle, 1);
    return handle;
}

void Database::requireNonEmptyFile(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile())
        throw DbError("no existe el archivo " + path.toStdString());
    // SQLite would take an empty file for a new database and write one into it.
    if (file.size() == 0)
        throw DbError("el archivo está vacío: " + path.toStdString());
}

std::unique_ptr<Database> Database::open(const QString& path, const QString& connect, const QStringList& requiredTables)
{
    return openWithKey(path, passwordFrom(connect).toUtf8(), requiredTables);
}

std::unique_ptr<Database> Database::openWithKey(const QString& path, const QByteArray& key,
                                                const QStringList& requiredTables)
{
    requireNonEmptyFile(path);
    if (!QFileInfo(path).isWritable())
        throw DbError("el archivo no admite escritura: " + path.toStdString());
    std::unique_ptr<Database> database(
        new Database(openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX), path));
    // A file the process may not write is opened read-only without a word; every later save would fail.
    if (sqlite3_db_readonly(database->m_handle, "main") == 1)
        throw DbError("el archivo no admite escritura: " + path.toStdString());
    database->applyKey(key);
    database->requireTables(requiredTables);
    database->configure();
    database->requireWriteAccess();
    database->loadDateColumns();
    return database;
}

std::unique_ptr<Database> Database::create(const QString& path, const QString& password)
{
    if (QFileInfo::exists(path))
        throw DbError("ya existe el archivo " + path.toStdString());
    std::unique_ptr<Database> database(
        new Database(openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX), path));
    database->applyKey(password.toUtf8());
    database->configure();
    return database;
}

std::unique_ptr<Database> Database::createScratch(const QString& path)
{
    // Not SQLite's own temporary database: this build keeps that in memory, however large it grows.
    if (QFileInfo::exists(path))
        throw DbError("ya existe el archivo " + path.toStdString());
    std::unique_ptr<Database> database(
        new Database(openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX), path));
    database->runScript(
        QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA cache_size = -8192;"));
    return database;
}

void Database::applyKey(const QByteArray& key)
{
    m_key = key;
    keyHandle(m_handle, key);
    // A wrong key only shows at the first read; read now so that opening is what fails.
    // The short default wait lets a file held exclusively by another program fail within seconds too.
    sqlite3_busy_handler(m_handle, &Database::waitForLock, this);
    char* error = nullptr;
    const int rc = sqlite3_exec(m_handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &error);
    endLockWait();
    if (rc != SQLITE_OK) {
        const std::string message = error ? error : "error";
        sqlite3_free(error);
        throw DbError("no se pudo leer la base de datos: " + message);
    }
}

void Database::keyHandle(sqlite3* handle, const QByteArray& key)
{
    if (sqlite3_key(handle, key.constData(), static_cast<int>(key.size())) != SQLITE_OK)
        fail(handle, "clave");
    // Files keep the format of SQLCipher 3, which every database and copy written so far has. A file picked by
    // the operator may have been made to harm: the schema may call no function with side effects, SQL may not
    // write the file's structure, and every page's cells are checked as they are read.
    if (sqlite3_exec(handle, "PRAGMA cipher_compatibility = 3", nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr) != SQLITE_OK ||
        sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr) != SQLITE_OK ||
        sqlite3_exec(handle, "PRAGMA cell_size_check = ON", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(handle, "clave");
}

void Database::requireTables(const QStringList& tables)
{
    for (const QString& table : tables) {
        auto found = openRecordset(u"SELECT name FROM sqlite_master WHERE type = 'table' AND name = '"_s + table +
                                   u"' COLLATE NOCASE"_s);
        if (found->eof())
            throw DbError("no es una base de datos del programa: falta la tabla " + table.toStdString());
    }
}

void Database::configure()
{
    // The rollback journal, flushed at every commit: whenever no transaction is open the file alone holds
    // every committed change, so a copy of that one file is complete. A file an earlier version left in
    // WAL mode is switched back here, its pending changes folded into the file.
    runScript(QStringLiteral("PRAGMA journal_mode = DELETE;"
                             "PRAGMA synchronous = FULL;"
                             "PRAGMA cache_size = -65536;"
                             "PRAGMA foreign_keys = OFF;"));
}

void Database::requireWriteAccess()
{
    // Takes the write lock for a moment, so that a file another program is writing fails to connect
    // instead of failing at the first save.
    runScript(QStringLiteral("BEGIN IMMEDIATE; ROLLBACK;"));
}

int Database::waitForLock(void* data, int /*attempts*/)
{
    return static_cast<Database*>(data)->pauseForLock() ? 1 : 0;
}

bool Database::pauseForLock()
{
    if (!m_waitingForLock) {
        m_waitingForLock = true;
        m_lockWait.start();
        if (s_lockWaitHandling.notice)
            s_lockWaitHandling.notice(true);
    }
    if (m_lockWaitSpentMs + m_lockWait.elapsed() >= m_lockWaitMs)
        return false;
    m_pausing = true;
    pauseFor(lockPauseMs);
    m_pausing = false;
    return true;
}

void Database::endLockWait()
{
    if (!m_waitingForLock)
        return;
    m_waitingForLock = false;
    m_lockWaitSpentMs += static_cast<int>(m_lockWait.elapsed());
    if (!s_lockWaitHandling.sharedUntilRenewed && m_transactions == 0)
        m_lockWaitSpentMs = 0;
    if (s_lockWaitHandling.notice)
        s_lockWaitHandling.notice(false);
}

void Database::setLockWaitHandling(LockWaitHandling handling)
{
    s_lockWaitHandling = std::move(handling);
}

void Database::renewLockWait()
{
    if (s_current && !s_current->m_waitingForLock)
        s_current->m_lockWaitSpentMs = 0;
}

void Database::requireReady()
{
    // A lock wait lets the windows repaint; SQLite forbids running anything on the connection meanwhile.
    if (m_pausing)
        throw DbError("la base de datos está esperando a otro programa", Failure::busy);
    if (m_transactions == 0 && sqlite3_get_autocommit(m_handle) == 0)
        rollBackAll();
    if (m_unusable)
        throw DbError("la conexión con la base de datos quedó inutilizable", Failure::io);
}

void Database::rollBackAll() noexcept
{
    int refusals = 0;
    while (sqlite3_get_autocommit(m_handle) == 0) {
        const int rc = sqlite3_exec(m_handle, "ROLLBACK", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            continue;
        // A lock delays the rollback only as long as another program holds the file: it is tried again
        // for as long as that lasts. Any other refusal is tried a few times, then nothing more is run here.
        if (failureOf(rc) != Failure::busy && ++refusals >= 10) {
            m_unusable = true;
            break;
        }
        (void)pauseForLock();
        m_lockWaitSpentMs = 0;
        m_lockWait.start();
    }
    endLockWait();
}

void Database::loadDateColumns()
{
    std::vector<QString> dateColumns;
    auto tables = openRecordset(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    QStringList names;
    for (; !tables->eof(); tables->moveNext())
        names.append(tables->field(0).toString());
    tables.reset();
    for (const QString& table : names) {
        auto columns = openRecordset(u"PRAGMA table_info(\""_s + table + u"\")"_s);
        for (; !columns->eof(); columns->moveNext()) {
            if (columns->field(u"type").toString().compare(u"DATE", Qt::CaseInsensitive) == 0)
                dateColumns.push_back(columns->field(u"name").toString());
        }
    }
    m_translator = SqlTranslator(std::move(dateColumns));
    m_plans.clear();
}

QString Database::translated(const QString& sql, SqlTranslator::Report* report) const
{
    return m_translator.translate(sql, &Clock::today, report);
}

const Database::Plan& Database::planFor(const QString& sql, const Shape& shape)
{
    if (const auto found = m_plans.constFind(shape.text); found != m_plans.cend())
        return *found;
    if (m_plans.size() >= 256)
        m_plans.clear();
    // Translation looks at the words and symbols of a statement and at where its literals stand, never
    // at what a literal holds, except to convert a date: so this statement's translation, split, tells
    // what it does to every statement of its shape. Anything else it does leaves the plan invalid.
    SqlTranslator::Report report;
    const QByteArray text = translated(sql, &report).toUtf8();
    const std::optional<Shape> after = splitLiterals(text);
    Plan plan;
    plan.valid = !report.today && after && !after->exponent && after->literals.size() == shape.literals.size();
    for (size_t i = 0; plan.valid && i < shape.literals.size(); ++i) {
        const Shape::Literal& was = shape.literals[i];
        const Shape::Literal& is = after->literals[i];
        const bool date =
            was.kind == Shape::Literal::Kind::Text &&
            std::find(report.dateTexts.begin(), report.dateTexts.end(), was.quotedIndex) != report.dateTexts.end();
        plan.valid = was.kind == is.kind && was.integer == is.integer && was.real == is.real &&
                     (date ? isoDateOf(was.text) == is.value() : was.value() == is.value());
    }
    for (const int quoted : report.dateTexts) {
        for (size_t i = 0; plan.valid && i < shape.literals.size(); ++i) {
            if (shape.literals[i].kind == Shape::Literal::Kind::Text && shape.literals[i].quotedIndex == quoted)
                plan.dates.push_back(static_cast<int>(i));
        }
    }
    if (plan.valid)
        plan.text = after->text;
    return *m_plans.insert(shape.text, std::move(plan));
}

std::optional<Shape> Database::split(QByteArrayView written)
{
    // Statements come in runs of one shape (an import inserts line after line): the last shape split is
    // tried first, which takes comparing the text instead of reading it word by word.
    if (m_lastShape) {
        if (std::optional<Shape> shape = splitAs(*m_lastShape, written))
            return shape;
    }
    std::optional<Shape> shape = splitLiterals(written);
    if (shape) {
        // Kept without what points into this statement's text.
        m_lastShape = *shape;
        for (Shape::Literal& literal : m_lastShape->literals)
            literal = {literal.kind, 0, 0, {}, {}, literal.quotedIndex};
    }
    return shape;
}

QByteArray Database::isoDateOf(QByteArrayView dateText)
{
    // Statements in a row mostly carry the same date (today's, a declaration's due date): the last one is kept.
    if (dateText == m_lastDate.first)
        return m_lastDate.second;
    const QDate date = Regional::parseDate(QString::fromUtf8(dateText).trimmed());
    if (!date.isValid())
        throw DbError("fecha incorrecta: " + dateText.toByteArray().toStdString());
    m_lastDate = {dateText.toByteArray(), SqlTranslator::isoDate(date)};
    return m_lastDate.second;
}

Database::Prepared Database::prepare(const QString& sql, const char* what)
{
    requireReady();
    // Statements of one shape before translation translate alike: the plan made for the first of them
    // converts the dates among the literals of the others, and their statement, kept by its shape after
    // translation, runs with them bound. Translating and preparing are both spared.
    const QByteArray written = sql.toUtf8();
    if (std::optional<Shape> shape = split(written); shape && !shape->exponent) {
        const Plan& plan = planFor(sql, *shape);
        if (plan.valid) {
            for (const int index : plan.dates) {
                Shape::Literal& literal = shape->literals[static_cast<size_t>(index)];
                literal.unquoted = isoDateOf(literal.text);
            }
            shape->text = plan.text;
            if (sqlite3_stmt* statement = m_statements->take(*shape, true))
                return {statement, std::move(shape->text), written};
        }
    }
    // The statement of the same shape, kept from an earlier time, with this one's literals bound: what
    // SQLite does with the text, without preparing it again.
    const QByteArray text = translated(sql).toUtf8();
    std::optional<Shape> shape = splitLiterals(text);
    if (shape) {
        if (sqlite3_stmt* statement = m_statements->take(*shape, true))
            return {statement, std::move(shape->text), text};
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_handle, text.constData(), static_cast<int>(text.size()), &statement, nullptr) !=
        SQLITE_OK) {
        endLockWait();
        fail(m_handle, what);
    }
    // A statement kept may refer to what this one changes.
    if (!shape && statement && !sqlite3_stmt_readonly(statement) && !isDataStatement(text))
        m_statements->clear();
    return {statement, {}, {}};
}

void Database::release(const Prepared& prepared)
{
    if (prepared.shape.isEmpty())
        sqlite3_finalize(prepared.statement);
    else
        m_statements->giveBack(prepared.shape, prepared.statement);
}

int Database::execute(const QString& sql)
{
    const Prepared prepared = prepare(sql, "sentencia incorrecta");
    const int rc = sqlite3_step(prepared.statement);
    endLockWait();
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        const DbError error(std::string("error al ejecutar: ") + sqlite3_errmsg(m_handle),
                            failureOf(sqlite3_extended_errcode(m_handle)));
        release(prepared);
        throw error;
    }
    const int changes = sqlite3_changes(m_handle);
    release(prepared);
    return changes;
}

std::unique_ptr<Recordset> Database::openRecordset(const QString& sql)
{
    const Prepared prepared = prepare(sql, "consulta incorrecta");
    if (!prepared.statement)
        throw DbError("consulta vacía");
    const auto ended = qScopeGuard([this] { endLockWait(); });
    if (prepared.shape.isEmpty())
        return std::unique_ptr<Recordset>(new Recordset(prepared.statement));
    return std::unique_ptr<Recordset>(new Recordset(prepared.statement, m_statements, prepared.shape, prepared.texts));
}

void Database::executeScript(const QString& sql)
{
    m_statements->clear();
    runScript(sql);
    // A script that makes tables may bring new date columns.
    if (sql.contains(u"create table", Qt::CaseInsensitive))
        loadDateColumns();
}

void Database::runScript(const QString& sql)
{
    if (m_pausing)
        throw DbError("la base de datos está esperando a otro programa", Failure::busy);
    char* error = nullptr;
    const int rc = sqlite3_exec(m_handle, sql.toUtf8().constData(), nullptr, nullptr, &error);
    endLockWait();
    if (rc != SQLITE_OK) {
        const std::string message = error ? error : "error";
        sqlite3_free(error);
        throw DbError(message, failureOf(rc == SQLITE_ABORT ? rc : sqlite3_extended_errcode(m_handle)));
    }
}

void Database::setQueryTimeout(int seconds)
{
    m_lockWaitMs = seconds * 1000;
}

Database* Database::current()
{
    return s_current.get();
}

void Database::setCurrent(std::unique_ptr<Database> database)
{
    s_current = std::move(database);
}

Transaction::Transaction(Database& database)
    : m_database(database), m_name(u"tx"_s + QString::number(++s_savepointCounter)),
      m_outermost(database.m_transactions == 0)
{
    if (m_outermost) {
        m_database.requireReady();
        // Without a shared allowance, a transaction's statements share one between them.
        if (!s_lockWaitHandling.sharedUntilRenewed)
            m_database.m_lockWaitSpentMs = 0;
    }
    m_database.runScript(u"SAVEPOINT "_s + m_name);
    ++m_database.m_transactions;
}

Transaction::~Transaction()
{
    --m_database.m_transactions;
    if (!m_open)
        return;
    if (m_outermost) {
        m_database.rollBackAll();
        return;
    }
    try {
        m_database.runScript(u"ROLLBACK TO "_s + m_name + u"; RELEASE "_s + m_name);
    } catch (const DbError&) {
        // The engine gave up the whole transaction already; the outermost one settles it.
    }
}

void Transaction::commit()
{
    m_open = false;
    try {
        // Releasing the outermost savepoint commits; SQLite keeps the transaction open when that fails.
        m_database.runScript(u"RELEASE "_s + m_name);
    } catch (const DbError&) {
        if (m_outermost)
            m_database.rollBackAll();
        throw;
    }
    if (m_outermost && sqlite3_get_autocommit(m_database.m_handle) == 0) {
        m_database.rollBackAll();
        throw DbError("no se pudo confirmar la transacción");
    }
}

bool Transaction::isOpen() const
{
    return m_open && sqlite3_get_autocommit(m_database.m_handle) == 0;
}

} // namespace db
