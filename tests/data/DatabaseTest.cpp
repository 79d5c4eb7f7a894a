#include "support/TempDatabase.h"

#include "platform/db/DbError.h"

#include <QFile>

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

    QFile damaged(temp.dir() + u"/dañado.mdb"_s);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly) && damaged.write(QByteArray(8192, 'x')) == 8192 && damaged.flush());
    EXPECT_THROW((void)db::Database::open(damaged.fileName(), u";pwd=ferlon"_s), db::DbError);

    // SQLCipher answers, and the plain SQLite header is not in the file.
    auto version = temp.db().openRecordset(u"PRAGMA cipher_version"_s);
    EXPECT_FALSE(version->eof() || version->field(0).toString().isEmpty());
    QFile plain(path);
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
    EXPECT_FALSE(plain.read(16).startsWith("SQLite format 3"));
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

// Operators copy the one file: with no transaction open it alone holds every committed change.
TEST(DatabaseFile, HoldsEveryCommitAloneAndTakesBackAFileLeftInWalMode)
{
    TempDatabase temp;
    temp.db().executeScript(u"PRAGMA journal_mode = WAL"_s);
    temp.db().execute(u"Insert Into AR03 (Posicion_Fiscal) values(200208)"_s);
    ASSERT_TRUE(QFile::exists(temp.path() + u"-wal"_s));
    QFile::copy(temp.path(), temp.dir() + u"/en_wal.mdb"_s);
    QFile::copy(temp.path() + u"-wal"_s, temp.dir() + u"/en_wal.mdb-wal"_s);
    TempDatabase::disconnect();

    // An earlier version's file: its pending changes are folded in and the side file goes away.
    db::Database::setCurrent(db::Database::open(temp.dir() + u"/en_wal.mdb"_s, u";pwd=ferlon"_s));
    EXPECT_FALSE(QFile::exists(temp.dir() + u"/en_wal.mdb-wal"_s));
    temp.db().execute(u"Insert Into AR03 (Posicion_Fiscal) values(200209)"_s);
    EXPECT_FALSE(QFile::exists(temp.dir() + u"/en_wal.mdb-wal"_s) || QFile::exists(temp.dir() + u"/en_wal.mdb-journal"_s));

    ASSERT_TRUE(QFile::copy(temp.dir() + u"/en_wal.mdb"_s, temp.dir() + u"/copia.mdb"_s));
    auto copy = db::Database::open(temp.dir() + u"/copia.mdb"_s, u";pwd=ferlon"_s);
    auto rows = copy->openRecordset(u"select group_concat(Posicion_Fiscal) from AR03"_s);
    EXPECT_EQ(rows->field(0).toString(), u"200208,200209"_s);
    auto mode = copy->openRecordset(u"PRAGMA journal_mode"_s);
    EXPECT_EQ(mode->field(0).toString(), u"delete"_s);
}

// Another program's lock: a statement waits its short time-out, then fails like any other.
TEST(DatabaseFile, ALockHeldElsewhereFailsTheStatementAndTheOpeningAndTellsTheWait)
{
    TempDatabase temp;
    std::vector<bool> notices;
    db::Database::setLockWaitNotice([&notices](bool waiting) { notices.push_back(waiting); });
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(temp.path().toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_key(other, "ferlon", 6), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    temp.db().setQueryTimeout(1);
    EXPECT_THROW(temp.db().execute(u"Insert Into AR03 (Posicion_Fiscal) values(1)"_s), db::DbError);
    EXPECT_EQ(notices, (std::vector<bool>{true, false})) << "the hourglass shows while waiting, then goes";
    EXPECT_THROW((void)db::Database::open(temp.path(), u";pwd=ferlon"_s), db::DbError);

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    db::Database::setLockWaitNotice({});
    EXPECT_EQ(temp.db().execute(u"Insert Into AR03 (Posicion_Fiscal) values(1)"_s), 1);
}

// A file the program may not write is refused at opening, not at the first save.
TEST(DatabaseFile, AWriteProtectedFileDoesNotOpen)
{
    TempDatabase temp;
    TempDatabase::disconnect();
    QFile::setPermissions(temp.path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(temp.dir(), QFile::permissions(temp.dir()) | QFile::ExeOther | QFile::ReadOther);
    // The superuser writes any file: the opening is tried as an ordinary user, in a child process.
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && setuid(65534) != 0)
            _exit(2);
        try {
            (void)db::Database::open(temp.path(), u";pwd=ferlon"_s);
            _exit(1);
        } catch (const db::DbError&) {
            _exit(0);
        }
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "exit " << WEXITSTATUS(status);
}
