#include "Database.h"

#include "DbError.h"
#include "StatementCache.h"
#include "platform/Clock.h"
#include "platform/Regional.h"

#include <QFileInfo>
#include <QScopeGuard>

#include <charconv>
#include <cmath>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace db {

namespace {

std::unique_ptr<Database> s_current;
int s_savepointCounter = 0;

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
        return Failure::Busy;
    case SQLITE_FULL:
        return Failure::DiskFull;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        return Failure::Io;
    default:
        return Failure::Other;
    }
}

namespace {

[[noreturn]] void fail(sqlite3* handle, const char* what)
{
    if (!handle)
        throw DbError(std::string(what) + ": sin conexión");
    throw DbError(std::string(what) + ": " + sqlite3_errmsg(handle), failureOf(sqlite3_extended_errcode(handle)));
}

// A number as SQLite reads the digits Value::numberText writes for it: an integer when it is whole and fits in
// 64 bits, otherwise a real; what is not finite is written as 0.
void bindNumber(sqlite3_stmt* statement, int parameter, double number)
{
    if (!std::isfinite(number))
        sqlite3_bind_int64(statement, parameter, 0);
    else if (number == std::floor(number) && std::fabs(number) < 9223372036854775808.0)
        sqlite3_bind_int64(statement, parameter, static_cast<sqlite3_int64>(number));
    else
        sqlite3_bind_double(statement, parameter, number);
}

// A plain number written as text (digits, maybe a sign and decimals), as SQLite reads it.
void bindNumberText(sqlite3_stmt* statement, int parameter, const QString& text)
{
    const QByteArray digits = text.toLatin1();
    const char* first = digits.constData();
    const char* last = first + digits.size();
    sqlite3_int64 integer = 0;
    if (!digits.contains('.')) {
        const auto read = std::from_chars(first, last, integer);
        if (read.ec == std::errc() && read.ptr == last) {
            sqlite3_bind_int64(statement, parameter, integer);
            return;
        }
    }
    double real = 0;
    std::from_chars(first, last, real);
    sqlite3_bind_double(statement, parameter, real);
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
    return static_cast<Database*>(data)->m_lockWait.pause() ? 1 : 0;
}

void Database::endLockWait()
{
    m_lockWait.end(m_transactions > 0);
}

void Database::setLockWaitHandling(LockWaitHandling handling)
{
    LockWait::setHandling(std::move(handling));
}

void Database::renewLockWait()
{
    if (s_current)
        s_current->m_lockWait.renew();
}

void Database::requireReady()
{
    // A lock wait lets the windows repaint; SQLite forbids running anything on the connection meanwhile.
    if (m_lockWait.pausing())
        throw DbError("la base de datos está esperando a otro programa", Failure::Busy);
    if (m_transactions == 0 && sqlite3_get_autocommit(m_handle) == 0)
        rollBackAll();
    if (m_unusable)
        throw DbError("la conexión con la base de datos quedó inutilizable", Failure::Io);
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
        if (failureOf(rc) != Failure::Busy && ++refusals >= 10) {
            m_unusable = true;
            break;
        }
        (void)m_lockWait.pause();
        m_lockWait.restart();
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
    m_statements->clear();
    m_plans.setTranslator(SqlTranslator(std::move(dateColumns)));
}

const QByteArray& Database::isoDateOf(const QString& dateText)
{
    // Statements in a row mostly carry the same date (today's, a declaration's due date): the last one is kept.
    if (dateText != m_lastDate.first)
        m_lastDate = {dateText, SqlTranslator::isoDateOf(dateText)};
    return m_lastDate.second;
}

const QByteArray& Database::isoDateOf(QDate date)
{
    // Today's date goes into every imported line: kept, as the date's text is.
    if (date != m_lastDateValue.first || !date.isValid()) {
        const int year = date.year();
        m_lastDateValue = {date, date.isValid() && year >= 1000 && year <= 9999 ? SqlTranslator::isoDate(date)
                                                                                : isoDateOf(Value(date).toString())};
    }
    return m_lastDateValue.second;
}

void Database::bind(Prepared& prepared, const StatementPlan& plan, const std::vector<Value>& values)
{
    sqlite3_stmt* statement = prepared.statement;
    prepared.boundTexts.reserve(plan.bindings.size());
    for (int n = 0; n < static_cast<int>(plan.bindings.size()); ++n) {
        const StatementPlan::Binding& binding = plan.bindings[static_cast<size_t>(n)];
        const Value& value = values[static_cast<size_t>(binding.value)];
        if (binding.bind == StatementPlan::Bind::Number) {
            if (value.type() == Value::Type::Number)
                bindNumber(statement, n + 1, value.toDouble());
            else
                bindNumberText(statement, n + 1, value.toString());
            continue;
        }
        const QByteArray text = binding.bind == StatementPlan::Bind::Text ? value.toString().toUtf8()
                                : value.type() == Value::Type::Date       ? isoDateOf(value.toDate())
                                                                          : isoDateOf(value.toString());
        // Kept with the statement rather than copied by SQLite: an import binds four texts a line.
        prepared.boundTexts.push_back(text);
        sqlite3_bind_text(statement, n + 1, text.constData(), static_cast<int>(text.size()), SQLITE_STATIC);
    }
}

Database::Prepared Database::prepare(const QString& sqlTemplate, const std::vector<Value>& values, const char* what)
{
    requireReady();
    // The statement planned for the template, kept prepared by its text, with the values bound: translating
    // and preparing are both spared.
    if (const StatementPlan* plan = m_valuesBound ? m_plans.planFor(sqlTemplate, values, &Clock::today) : nullptr) {
        if (sqlite3_stmt* statement = m_statements->take(plan->text, static_cast<int>(plan->bindings.size()))) {
            Prepared prepared{statement, plan->text, {}};
            try {
                bind(prepared, *plan, values);
            } catch (const DbError&) {
                release(prepared);
                throw;
            }
            return prepared;
        }
    }
    // Otherwise the filled text, translated and prepared for this once.
    const QByteArray text = m_plans.translator().translate(filledTemplate(sqlTemplate, values), &Clock::today).toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_handle, text.constData(), static_cast<int>(text.size()), &statement, nullptr) !=
        SQLITE_OK) {
        endLockWait();
        fail(m_handle, what);
    }
    // A statement kept may refer to what this one changes.
    if (statement && !sqlite3_stmt_readonly(statement))
        m_statements->clear();
    return {statement, {}, {}};
}

void Database::release(const Prepared& prepared)
{
    if (prepared.text.isEmpty())
        sqlite3_finalize(prepared.statement);
    else
        m_statements->giveBack(prepared.text, prepared.statement);
}

int Database::execute(const QString& sqlTemplate, const std::vector<Value>& values)
{
    const Prepared prepared = prepare(sqlTemplate, values, "sentencia incorrecta");
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

std::unique_ptr<Recordset> Database::openRecordset(const QString& sqlTemplate, const std::vector<Value>& values)
{
    Prepared prepared = prepare(sqlTemplate, values, "consulta incorrecta");
    if (!prepared.statement)
        throw DbError("consulta vacía");
    const auto ended = qScopeGuard([this] { endLockWait(); });
    if (prepared.text.isEmpty())
        return std::unique_ptr<Recordset>(new Recordset(prepared.statement));
    return std::unique_ptr<Recordset>(
        new Recordset(prepared.statement, m_statements, prepared.text, std::move(prepared.boundTexts)));
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
    if (m_lockWait.pausing())
        throw DbError("la base de datos está esperando a otro programa", Failure::Busy);
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
    m_lockWait.setAllowance(seconds * 1000);
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
        if (!LockWait::handling().sharedUntilRenewed)
            m_database.m_lockWait.renew();
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
