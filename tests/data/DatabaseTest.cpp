#include "support/TempDatabase.h"

#include "data/Schema.h"
#include "platform/Clock.h"
#include "platform/db/DbError.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString makeDatabase(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(u"ferlon.mdb"_s);
    auto created = db::Database::create(path, u"ferlon"_s);
    Schema::create(*created);
    return path;
}

} // namespace

TEST(DatabaseOpen, FailsForWrongMissingOrDamagedFiles)
{
    QTemporaryDir dir;
    const QString path = makeDatabase(dir);

    EXPECT_NO_THROW((void)db::Database::open(path, u";pwd=ferlon"_s));
    EXPECT_THROW((void)db::Database::open(path, u";pwd=otra"_s), db::DbError);
    EXPECT_THROW((void)db::Database::open(path, u""_s), db::DbError);
    EXPECT_THROW((void)db::Database::open(dir.filePath(u"no_existe.mdb"_s), u";pwd=ferlon"_s), db::DbError);

    const QString damaged = dir.filePath(u"dañado.mdb"_s);
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();
    EXPECT_THROW((void)db::Database::open(damaged, u";pwd=ferlon"_s), db::DbError);

    EXPECT_THROW((void)db::Database::create(path, u"ferlon"_s), db::DbError) << "never overwrites a file";

    // The file is encrypted: SQLCipher answers, and the plain SQLite header is not there.
    const auto database = db::Database::open(path, u";pwd=ferlon"_s);
    auto version = database->openRecordset(u"PRAGMA cipher_version"_s);
    EXPECT_FALSE(version->eof() || version->field(0).toString().isEmpty());
    QFile plain(path);
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
    EXPECT_FALSE(plain.read(16).startsWith("SQLite format 3"));
}

TEST(DatabaseOpen, SecondProcessOpensTheFileWhileTheFirstHoldsIt)
{
    QTemporaryDir dir;
    const QString path = makeDatabase(dir);
    auto first = db::Database::open(path, u";pwd=ferlon"_s);
    first->execute(u"Insert Into PARAMETROS (ID, Descripcion, Valor) values(4, 'x', '1')"_s);

    // The sqlcipher shell is a separate process with its own connection.
    QProcess shell;
    shell.start(u"sqlcipher"_s, {path});
    ASSERT_TRUE(shell.waitForStarted());
    shell.write("PRAGMA key = 'ferlon';\nSELECT Valor FROM PARAMETROS WHERE ID = 4;\n");
    shell.closeWriteChannel();
    ASSERT_TRUE(shell.waitForFinished(30000));
    EXPECT_TRUE(shell.readAllStandardOutput().contains("1")) << shell.readAllStandardError().constData();

    // And a second connection in this process can write while the first is open.
    auto second = db::Database::open(path, u";pwd=ferlon"_s);
    EXPECT_EQ(second->execute(u"Update PARAMETROS Set Valor = '2' Where ID = 4"_s), 1);
}

TEST(DatabaseEngine, RecordsetsReadFieldsByNameWithoutRegardToCase)
{
    TempDatabase temp;
    temp.db().execute(u"Insert Into AR03 (Posicion_Fiscal, Semana, Fecha_Pago, Importe, Moneda) "
                      u"values(200209, 1, '05/09/2002', 1234.5, '01')"_s);
    auto rows = temp.db().openRecordset(u"Select * From AR03"_s);
    ASSERT_FALSE(rows->eof());
    EXPECT_EQ(rows->field(u"iD").toDouble(), 1);
    EXPECT_EQ(rows->field(u"importe").toDouble(), 1234.5);
    EXPECT_TRUE(rows->field(u"Numero").isNull());
    EXPECT_EQ(rows->field(u"Fecha_Pago").type(), db::Value::Type::Date);
    EXPECT_EQ(rows->field(u"Fecha_Pago").toString(), u"05/09/2002"_s);
    EXPECT_THROW((void)rows->field(u"NoExiste"), db::DbError);
    rows->moveNext();
    EXPECT_TRUE(rows->eof());
    EXPECT_THROW((void)rows->field(u"Id"), db::DbError);
}

TEST(DatabaseEngine, DatesAreStoredChronologically)
{
    TempDatabase temp;
    for (const char16_t* date : {u"01/02/2003", u"31/12/2002", u"5/1/2003"})
        temp.db().execute(u"Insert Into AR03 (Posicion_Fiscal, Fecha_Pago) values(200301, '"_s +
                          QString::fromUtf16(date) + u"')"_s);
    auto rows = temp.db().openRecordset(u"Select Fecha_Pago From AR03 Order by Fecha_Pago"_s);
    QStringList order;
    for (; !rows->eof(); rows->moveNext())
        order << rows->field(u"Fecha_Pago").toString();
    EXPECT_EQ(order, (QStringList{u"31/12/2002"_s, u"05/01/2003"_s, u"01/02/2003"_s}));
    EXPECT_EQ(temp.scalar(u"select typeof(Fecha_Pago) || Fecha_Pago from AR03 where Id = 1"_s).toString(),
              u"text2003-02-01"_s);

    EXPECT_THROW(temp.db().execute(u"Insert Into AR03 (Posicion_Fiscal, Fecha_Pago) values(1, '31/02/2003')"_s),
                 db::DbError);
    EXPECT_EQ(temp.count(u"AR03"_s), 3) << "an impossible date is refused, not stored";
}

TEST(DatabaseEngine, ExecuteCountsRowsAndTodayComesFromTheClock)
{
    TempDatabase temp;
    Clock::fix(QDate(2002, 10, 15));
    temp.db().execute(u"Insert Into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado) "
                      u"values('200209', 1, '15/10/2002', 'N')"_s);
    EXPECT_EQ(temp.db().execute(u"Update DDJJ Set GENERADO = 'S', FECHA_PRES = DATE() Where SECUENCIA = 1"_s), 1);
    EXPECT_EQ(temp.db().execute(u"Update DDJJ Set GENERADO = 'S' Where SECUENCIA = 2"_s), 0);
    EXPECT_EQ(temp.scalar(u"select Fecha_Pres from DDJJ"_s).toString(), u"15/10/2002"_s);
    Clock::release();
    EXPECT_THROW(temp.db().execute(u"Update NoExiste Set x = 1"_s), db::DbError);
}

TEST(DatabaseEngine, TransactionsKeepAllOrNothingAndNest)
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
    {
        db::Transaction abandoned(temp.db());
        temp.db().execute(u"Delete from AR03"_s);
    }
    EXPECT_EQ(temp.count(u"AR03"_s), 1);
}
