#include "support/ReportFiles.h"
#include "support/TempDatabase.h"

#include "data/Schema.h"
#include "platform/db/DbError.h"

#include <QFile>
#include <QThread>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(DatabaseOpen, FailsForWrongMissingOrDamagedFilesAndKeepsTheFileEncrypted)
{
    TempDatabase temp;
    const QString path = temp.path();
    for (const QString& password : {u";pwd=otra"_s, QString()})
        EXPECT_THROW((void)db::Database::open(path, password), db::DbError) << password.toStdString();
    EXPECT_THROW((void)db::Database::open(temp.dir() + u"/no_existe.mdb"_s, u";pwd=ferlon"_s), db::DbError);
    EXPECT_THROW((void)db::Database::create(path, u"ferlon"_s), db::DbError) << "never overwrites a file";

    const QString damaged = ReportFiles::write(temp.dir() + u"/dañado.mdb"_s, QByteArray(8192, 'x'));
    EXPECT_THROW((void)db::Database::open(damaged, u";pwd=ferlon"_s), db::DbError);

    // A file the operator may not write is refused at opening. Root may write any file, so when the tests
    // run as root an ordinary user's process (nobody) tries it.
    const auto openReadOnly = [&path] {
        try {
            (void)db::Database::open(path, u";pwd=ferlon"_s);
            return 1;
        } catch (const db::DbError& error) {
            return std::string_view(error.what()).find("no admite escritura") != std::string_view::npos ? 0 : 2;
        }
    };
    QFile::setPermissions(temp.dir(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther);
    if (geteuid() != 0) {
        EXPECT_EQ(openReadOnly(), 0);
    } else if (const pid_t child = fork(); child == 0) {
        _exit(setgid(65534) == 0 && setuid(65534) == 0 ? openReadOnly() : 3);
    } else {
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "exit status " << status;
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

    // SQLCipher 4 answers, and the plain SQLite header is not in the file.
    EXPECT_TRUE(temp.scalar(u"PRAGMA cipher_version"_s).toString().startsWith(u'4'));
    const QByteArray head = ReportFiles::read(path).left(16);
    EXPECT_TRUE(head.size() == 16 && !head.startsWith("SQLite format 3")) << head.constData();
}

TEST(DatabaseEngine, DatesAreStoredChronologically)
{
    TempDatabase temp;
    for (const char16_t* date : {u"01/02/2003", u"31/12/2002", u"5/1/2003"})
        temp.db().execute(u"Insert Into AR03 (Posicion_Fiscal, Fecha_Pago) values(200301, '"_s +
                          QString::fromUtf16(date) + u"')"_s);
    EXPECT_EQ(temp.scalar(u"select group_concat(typeof(Fecha_Pago) || ' ' || Fecha_Pago, ', ') "
                          u"from (select Fecha_Pago from AR03 order by Fecha_Pago)"_s)
                  .toString(),
              u"text 2002-12-31, text 2003-01-05, text 2003-02-01"_s);
    EXPECT_THROW(temp.db().execute(u"Insert Into AR03 (Posicion_Fiscal, Fecha_Pago) values(1, '31/02/2003')"_s),
                 db::DbError);
    EXPECT_EQ(temp.count(u"AR03"_s), 3) << "an impossible date is refused, not stored";
    // A shape met again converts its own dates, in a condition too.
    for (const auto& [bound, below] : {std::pair{u"01/01/2003"_s, 1}, std::pair{u"6/1/2003"_s, 2}})
        EXPECT_EQ(temp.count(u"AR03"_s, u"where Fecha_Pago < '"_s + bound + u"'"_s), below) << bound.toStdString();
}

TEST(DatabaseEngine, InnerTransactionUndoesOnlyItsOwnWork)
{
    TempDatabase temp;
    {
        db::Transaction outer(temp.db());
        temp.db().execute(u"Insert Into AR03 (Posicion_Fiscal) values(1)"_s);
        {
            db::Transaction inner(temp.db());
            temp.db().execute(u"Insert Into AR03 (Posicion_Fiscal) values(2)"_s);
        } // not committed: only the inner work is undone
        outer.commit();
    }
    EXPECT_EQ(temp.count(u"AR03"_s), 1);
}

// Operators copy the one file: a file an earlier version left in WAL mode is folded back, and from then on
// the file alone holds every commit. Another program's lock makes a statement fail after its short wait.
TEST(DatabaseFile, HoldsEveryCommitAloneAndALockHeldElsewhereFailsAfterTheHourglass)
{
    TempDatabase temp;
    temp.db().executeScript(u"PRAGMA journal_mode = WAL"_s);
    temp.db().execute(u"Insert Into AR03 (Posicion_Fiscal) values(200208)"_s);
    const QString left = temp.dir() + u"/en_wal.mdb"_s; // as a crash left it: the changes in the side file
    ASSERT_TRUE(QFile::copy(temp.path(), left) && QFile::copy(temp.path() + u"-wal"_s, left + u"-wal"_s));
    db::Database::setCurrent(db::Database::open(left, u";pwd=ferlon"_s));
    temp.db().execute(u"Insert Into AR03 (Posicion_Fiscal) values(200209)"_s);
    EXPECT_FALSE(QFile::exists(left + u"-wal"_s));
    ASSERT_TRUE(QFile::copy(left, temp.dir() + u"/copia.mdb"_s));
    auto copy = db::Database::open(temp.dir() + u"/copia.mdb"_s, u";pwd=ferlon"_s);
    EXPECT_EQ(copy->openRecordset(u"select group_concat(Posicion_Fiscal) from AR03"_s)->field(0).toString(),
              u"200208,200209"_s);

    std::vector<bool> notices;
    int pauses = 0;
    db::Database& database = temp.db();
    db::Database::setLockWaitHandling({.notice = [&notices](bool waiting) { notices.push_back(waiting); },
                                       .pause =
                                           [&](int) {
                                               // Nothing may run on the connection while it waits.
                                               if (++pauses == 1) {
                                                   EXPECT_THROW((void)database.openRecordset(u"select 1"_s),
                                                                db::DbError);
                                               }
                                               QThread::msleep(20);
                                           },
                                       .sharedUntilRenewed = true});
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(left.toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_key(other, "ferlon", 6), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA cipher_compatibility = 3", nullptr, nullptr, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    database.setQueryTimeout(1);
    EXPECT_THROW(database.execute(u"Insert Into AR03 (Posicion_Fiscal) values(1)"_s), db::DbError);
    EXPECT_EQ(notices, (std::vector<bool>{true, false})) << "the hourglass shows while waiting, then goes";
    EXPECT_GT(pauses, 10) << "the windows repaint while it waits";
    // One action of the operator waits once in all: its next statement fails without waiting again.
    EXPECT_THROW((void)database.openRecordset(u"select count(*) from AR03"_s), db::DbError);
    EXPECT_EQ(notices.size(), 4u);
    EXPECT_LT(pauses, 60);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    db::Database::renewLockWait();
    EXPECT_EQ(database.execute(u"Insert Into AR03 (Posicion_Fiscal) values(1)"_s), 1);
    db::Database::setLockWaitHandling({});
    sqlite3_close(other);
}

// Another program reading the file keeps a commit from writing it: the commit fails, nothing of its
// transaction is kept, and the work after it runs on its own instead of inside the failed transaction.
TEST(DatabaseFile, ACommitThatFailsKeepsNothingAndLeavesNoTransactionOpen)
{
    TempDatabase temp;
    db::Database& database = temp.db();
    temp.whileOtherProgramReads([&] {
        for (const bool commits : {true, false}) {
            db::Transaction outer(database);
            database.execute(u"Insert Into AR03 (Posicion_Fiscal) values(1)"_s);
            db::Transaction inner(database);
            database.execute(u"Insert Into AR03 (Posicion_Fiscal) values(2)"_s);
            inner.commit();
            if (commits) {
                EXPECT_THROW(outer.commit(), db::DbError);
            }
        }
        EXPECT_NE(sqlite3_get_autocommit(database.handle()), 0);
    });
    EXPECT_EQ(database.execute(u"Insert Into AR03 (Posicion_Fiscal) values(3)"_s), 1);
    temp.reconnect();
    EXPECT_EQ(temp.scalar(u"select group_concat(Posicion_Fiscal) from AR03"_s).toString(), u"3"_s);
}

// Statements run from a prepared statement kept by their text store, find, count and fail exactly as
// their text does when SQLite runs it alone (table P, filled by sqlite3_exec).
TEST(DatabaseEngine, StatementsKeptDoWhatTheirTextDoes)
{
    TempDatabase temp;
    db::Database& database = temp.db();
    database.executeScript(u"CREATE TABLE S (a, b TEXT, c REAL, d INTEGER); CREATE TABLE P (a, b TEXT, c REAL, "
                           u"d INTEGER)"_s);
    const QString values[] = {u"(1, '01', 2.5, -3)"_s, u"('x''y', 7, 1e2, 9223372036854775807)"_s,
                              u"(12345678901234567890, NULL, .5, '4') -- ?"_s, u"(-0.0, '', 3, 'a;b')"_s};
    for (const QString& row : values) {
        database.execute(u"Insert Into S (a, b, c, d) values"_s + row);
        sqlite3_exec(database.handle(), (u"Insert Into P (a, b, c, d) values"_s + row).toUtf8().constData(), nullptr,
                     nullptr, nullptr);
    }
    const auto rows = [&](const QString& table) {
        return temp
            .scalar(u"select group_concat(quote(a)||typeof(a)||quote(b)||typeof(b)||quote(c)||quote(d), '|') "
                    u"from "_s +
                    table)
            .toString();
    };
    EXPECT_EQ(rows(u"S"_s), rows(u"P"_s));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(database.execute(u"Update S Set d = d + 1 Where b = '01' or b = "_s + QString::number(i)), 1);

    // Numbers of columns, counts and the names of the columns stay as written.
    auto first = database.openRecordset(u"Select 5 as n, 2 * a From S Where c > 1 Order By 1, 2 desc Limit 1"_s);
    auto second = database.openRecordset(u"Select 5 as n, 2 * a From S Where c > 2 Order By 1, 2 desc Limit 1"_s);
    EXPECT_EQ(first->fieldName(1), u"2 * a"_s);
    EXPECT_EQ(first->field(1).toString(), u"2"_s);
    EXPECT_EQ(second->field(u"n").toString(), u"5"_s);

    // A statement in use is not finalized while more shapes than the cache keeps run meanwhile.
    auto reading = database.openRecordset(u"Select c From S Where c > 0 Order By c"_s);
    for (int k = 0; k < 80; ++k)
        (void)database.openRecordset(u"Select a as a%1 From S Where c > 0"_s.arg(k));
    reading->moveNext();
    EXPECT_EQ(reading->field(0).toString(), u"2.5"_s);

    sqlite3_stmt* refused = nullptr;
    EXPECT_NE(sqlite3_prepare_v2(database.handle(), "Select * From S Where e = 'b'", -1, &refused, nullptr), SQLITE_OK);
    const std::string expected = std::string("consulta incorrecta: ") + sqlite3_errmsg(database.handle());
    try {
        (void)database.openRecordset(u"Select * From S Where e = 'b'"_s);
        ADD_FAILURE();
    } catch (const db::DbError& error) {
        EXPECT_EQ(error.what(), expected);
    }
}

// A file written by the program before its engine was SQLCipher 4 opens as it is, as the connection and as a copy.
TEST(DatabaseFile, AFileOfTheEarlierEngineOpensUnchanged)
{
    TempDatabase temp;
    const QString earlier = temp.dir() + u"/anterior.mdb"_s;
    ASSERT_TRUE(QFile::copy(QStringLiteral(TOLBRANE_TEST_FILES "/ferlon-3.4.1.mdb"), earlier));
    QFile::setPermissions(earlier, QFile::ReadOwner | QFile::WriteOwner);
    db::Database::setCurrent(db::Database::open(earlier, u";pwd=ferlon"_s, Schema::tableNames()));
    EXPECT_EQ(temp.scalar(u"select group_concat(Posicion_Fiscal) from DDJJ"_s).toString(), u"200201,200202,200203"_s);
    EXPECT_NO_THROW((void)temp.db().openCopy(earlier, Schema::tableNames()));
}
