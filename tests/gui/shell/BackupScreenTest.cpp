#include "support/ReportFiles.h"
#include "support/ScreenFixture.h"

#include "data/clsCodigo.h"
#include "platform/ui/DesktopHabits.h"
#include "screens/backup/BackupScreen.h"
#include "screens/declarations/DDJJ.h"
#include "screens/declarations/Detalle_DDJJ.h"
#include "screens/payments/Impresion_AR03.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class BackupScreenTest : public ScreenFixture
{
protected:
    BackupScreenTest()
    {
        execute(u"Insert Into PARAMETROS (ID, Descripcion, Valor) values (1, 'x', '20-12345678-6'), "
                u"(2, 'x', 'Banco'), (3, 'x', '1234')"_s);
        execute(u"Insert Into DDJJ (Posicion_Fiscal, Secuencia) values ('200209', 0), ('200210', 0)"_s);
        execute(u"Insert Into AR03 (Posicion_Fiscal, Semana, Importe) values (200209, 1, 10)"_s);
    }

    [[nodiscard]] QString file(const QString& name) const { return QDir(m_db.dir()).filePath(name); }

    /// Presses a button of the backup screen with Enter, as an operator on the keyboard does, answering the
    /// file dialog with `path`.
    void press(const QString& button, const QString& path)
    {
        ui::installDesktopHabits(*qApp);
        m_operator.setNextFileName(path);
        m_operator.onNextModal([&](QDialog& screen) {
            auto* pressed = child<QPushButton>(screen, button);
            pressed->setFocus();
            QTest::keyClick(pressed, Qt::Key_Return);
        });
        BackupScreen screen;
        ui::Ui::current().showModal(screen);
    }

    /// Fills the database past a few MiB, so that a copy takes several steps.
    void fill()
    {
        m_db.db().executeScript(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 6000) "
                                u"INSERT INTO PARAMETROS SELECT 100 + i, hex(randomblob(300)), '' FROM n"_s);
    }

    [[nodiscard]] int countIn(const QString& path, const QString& table)
    {
        auto copy = m_db.db().openCopy(path, {});
        return static_cast<int>(copy->openRecordset(u"select count(*) from "_s + table)->field(0).toDouble());
    }
};

TEST_F(BackupScreenTest, ACopySavedWithAListOpenIsRestoredAfterChangesAndTheReplacedDataIsKept)
{
    auto openList = clsCodigo::instance().Get_AR03s(QString());
    const QString copy = file(u"ferlon-20021015.mdb"_s);
    press(u"bGuardar"_s, copy);
    openList.reset();
    EXPECT_EQ(m_operator.fileRequests().value(0).section(u'|', 1, 1), BackupScreen::defaultCopyPath());
    EXPECT_TRUE(BackupScreen::defaultCopyPath().endsWith(u"/ferlon-20021015.mdb"_s));
    EXPECT_EQ(m_operator.messageTexts(),
              QStringList{u"Se ha guardado la copia de seguridad correctamente en el archivo:\n"_s + copy});
    EXPECT_EQ(countIn(copy, u"AR03"_s), 1);

    execute(u"Insert Into AR03 (Posicion_Fiscal, Semana, Importe) values (200210, 2, 20)"_s);
    execute(u"Update PARAMETROS set Valor = 'Otro Banco' where ID = 2"_s);
    clsCodigo::instance().loadAgent();
    // Another program reading the file keeps the copy from being written in: nothing changes.
    m_operator.answerNext(true);
    m_db.whileOtherProgramReads([&] { press(u"bRestaurar"_s, copy); });
    EXPECT_EQ(m_operator.messageTexts().last(),
              u"No se ha podido restaurar la copia de seguridad. No se ha modificado ningún dato."_s);
    m_db.reconnect();
    EXPECT_EQ(m_db.count(u"AR03"_s), 2);
    m_operator.clearMessages();
    m_operator.answerNext(true);
    press(u"bRestaurar"_s, copy);
    EXPECT_EQ(
        m_operator.messageTexts(),
        (QStringList{u"La copia "_s + copy +
                         u" contiene 2 declaraciones, de las posiciones fiscales 200209 a 200210, y 1 pagos "
                         u"AR03. ¿Está seguro de que desea reemplazar los datos actuales por los de la copia? Los "
                         u"datos actuales se conservarán en el archivo ferlon.mdb.anterior."_s,
                     u"Se ha restaurado la copia de seguridad correctamente. Los datos anteriores se conservan "
                     u"en el archivo ferlon.mdb.anterior."_s}));
    EXPECT_TRUE(m_operator.messages().at(0).defaultNo);
    EXPECT_EQ(m_db.count(u"AR03"_s), 1) << "the changes made after the copy are gone";
    EXPECT_EQ(clsCodigo::instance().Par_Denomin, u"Banco"_s) << "the identity is read again";
    EXPECT_EQ(countIn(m_db.path() + u".anterior"_s, u"AR03"_s), 2);
    EXPECT_TRUE(QDir(m_db.dir()).entryList({u"*~"_s}).isEmpty());
}

TEST_F(BackupScreenTest, ACopyNotSoundIsRefusedACancelledOneLeavesNoFileAndNothingChanges)
{
    fill();
    const QString good = file(u"buena.mdb"_s);
    ASSERT_TRUE(clsCodigo::instance().saveBackup(good, {}));
    const QByteArray bytes = ReportFiles::read(good);
    const auto write = [this](const QString& name, const QByteArray& data) {
        return ReportFiles::write(file(name), data);
    };
    QByteArray damaged = bytes;
    damaged.replace(damaged.size() / 2 / 4096 * 4096, 4096, QByteArray(4096, '\x5a'));
    db::Database::create(file(u"ajena.mdb"_s), u"ferlon"_s)->executeScript(u"CREATE TABLE Clientes (x TEXT)"_s);
    db::Database::create(file(u"otra.mdb"_s), u"otra"_s)->executeScript(u"CREATE TABLE Clientes (x TEXT)"_s);
    // Copies changed as a crafted file would be, with the program's key and no defences: sound to SQLite, but
    // holding what the program never makes, or a damaged schema; and one whose last page, freed, is changed.
    const auto altered = [&](const QString& name, const QByteArray& sql) {
        const QString path = write(name, bytes);
        sqlite3* handle = nullptr;
        sqlite3_open(path.toUtf8().constData(), &handle);
        const QByteArray script = "PRAGMA key = 'ferlon'; PRAGMA cipher_compatibility = 3; " + sql;
        EXPECT_EQ(sqlite3_exec(handle, script.constData(), nullptr, nullptr, nullptr), SQLITE_OK) << script.constData();
        sqlite3_close(handle);
        return path;
    };
    const QString changedFree = altered(u"libre.mdb"_s, "DELETE FROM PARAMETROS WHERE ID > 100");
    QFile changed(changedFree);
    ASSERT_TRUE(changed.open(QIODevice::ReadWrite) && changed.seek(changed.size() - 512) && changed.write("x") &&
                changed.flush());
    const auto sound = db::Database::open(changedFree, u";pwd=ferlon"_s)->openRecordset(u"PRAGMA integrity_check"_s);
    EXPECT_EQ(sound->field(0).toString(), u"ok"_s) << "SQLite's own check never reads a free page";

    for (const QString& offered :
         {write(u"cortada.mdb"_s, bytes.left(bytes.size() / 2)), write(u"dañada.mdb"_s, damaged), file(u"ajena.mdb"_s),
          file(u"otra.mdb"_s), write(u"vacia.mdb"_s, {}), file(u"no_existe.mdb"_s), changedFree,
          altered(u"disparador.mdb"_s, "CREATE TRIGGER t AFTER INSERT ON AR03 BEGIN DELETE FROM DDJJ; END"),
          altered(u"vista.mdb"_s, "CREATE VIEW v AS SELECT * FROM AR03"),
          altered(u"virtual.mdb"_s, "CREATE VIRTUAL TABLE v USING fts4(x)"),
          altered(u"tabla.mdb"_s, "CREATE TABLE Clientes (x)"),
          altered(u"esquema.mdb"_s, "PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = 'CREATE TABLE AR03 "
                                    "(x' || char(0) || ')' WHERE name = 'AR03'")}) {
        m_operator.clearMessages();
        press(u"bRestaurar"_s, offered);
        EXPECT_EQ(m_operator.messageTexts(),
                  QStringList{u"El archivo "_s + offered +
                              u" no es una copia de seguridad del sistema, o está dañado. No se ha modificado "
                              u"ningún dato."_s});
        EXPECT_EQ(m_db.count(u"AR03"_s), 1);
    }
    EXPECT_FALSE(QFile::exists(m_db.path() + u".anterior"_s));

    // A cancelled copy leaves an earlier file of its name as it was, and one that cannot be written says so.
    const QString target = ReportFiles::write(file(u"copia.mdb"_s), "anterior");
    int steps = 0;
    EXPECT_FALSE(clsCodigo::instance().saveBackup(target, [&](int copied, int total) {
        EXPECT_LT(copied, total);
        return ++steps < 2;
    }));
    EXPECT_EQ(std::tuple(steps, ReportFiles::read(target), QDir(m_db.dir()).entryList({u"copia*"_s})),
              std::tuple(2, "anterior", QStringList{u"copia.mdb"_s}));

    m_operator.clearMessages();
    const QString unreachable = file(u"no_existe/copia.mdb"_s);
    press(u"bGuardar"_s, unreachable);
    EXPECT_EQ(m_operator.messageTexts(),
              QStringList{u"No se ha podido guardar la copia de seguridad en el archivo:\n"_s + unreachable});
}

// A copy cut short by a killed program (a child process that ends without a word half-way) leaves its work
// files only until the program connects again.
TEST_F(BackupScreenTest, ACopyCutShortByAKilledProgramLeavesNothingOnceTheProgramRunsAgain)
{
    fill();
    const QString target = file(u"cortada.mdb"_s);
    if (const pid_t child = fork(); child == 0) {
        m_db.reconnect(); // the parent's connection is not carried across
        (void)clsCodigo::instance().saveBackup(target, [](int, int) -> bool { _exit(0); });
        _exit(1);
    } else {
        int status = -1;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const QStringList workFiles = {u"cortada*"_s, u"*~"_s, u"*-journal"_s};
    EXPECT_FALSE(QDir(m_db.dir()).entryList(workFiles).isEmpty());
    clsCodigo::instance().removeLeftovers();
    EXPECT_EQ(QDir(m_db.dir()).entryList(workFiles), QStringList());
}

// Each table filled over many pages, then a few in the middle of each overwritten (one alone may be an index no
// list reads): the file opens, and every list that reads a damaged page says so, not showing part as the whole.
TEST_F(BackupScreenTest, EveryListThatMeetsADamagedPageSaysSoAndTheCopyRefusesTheFile)
{
    const auto pages = [this] {
        return qint64(m_db.scalar(u"PRAGMA page_count"_s).toDouble());
    };
    const QList<QString> fills{
        u"INSERT INTO AR03 (Posicion_Fiscal, Semana, Moneda) SELECT 200000 + i, 1, hex(randomblob(100)) FROM n"_s,
        u"INSERT INTO DDJJ SELECT 100000 + i, 1, NULL, hex(randomblob(100)), NULL FROM n"_s,
        // Printed lines, which the index of pending lines leaves out: the damaged page is the table's or its key's.
        u"INSERT INTO DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_CBU, N_Cuit, N_Comprobante) "
        u"SELECT 1, 200301, hex(randomblob(100)), i, 1 FROM n"_s};
    QList<qint64> middles;
    for (const QString& fill : fills) {
        const qint64 first = pages();
        m_db.db().executeScript(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "_s +
                                fill);
        middles.append((first + pages()) / 2);
    }
    const qint64 pageSize = qint64(m_db.scalar(u"PRAGMA page_size"_s).toDouble());
    TempDatabase::disconnect();
    QFile data(m_db.path());
    ASSERT_TRUE(data.open(QIODevice::ReadWrite));
    for (const qint64 page : middles)
        ASSERT_TRUE(data.seek((page - 1) * pageSize) && data.write(QByteArray(8 * pageSize, '\x5a')) == 8 * pageSize);
    data.close();
    db::Database::setCurrent(db::Database::open(m_db.path(), u";pwd=ferlon"_s));

    const QString failure = u"No se han podido leer los datos. La base de datos puede estar dañada: restaure una "
                            u"copia de seguridad o contáctese con el Administrador del Sistema."_s;
    {
        Impresion_AR03 payments;
        DDJJ declarations;
        const Detalle_DDJJ lines({u"200301"_s, u"1"_s, {}, {}});
        EXPECT_EQ(m_operator.messageTexts(), QStringList(3, failure));
        click(payments, u"bVolver"_s);
        click(declarations, u"bVolver"_s);
    }
    m_operator.clearMessages();
    press(u"bGuardar"_s, file(u"copia.mdb"_s));
    EXPECT_TRUE(m_operator.messageTexts().value(0).startsWith(u"No se ha podido guardar la copia de seguridad"_s));
    EXPECT_TRUE(QDir(m_db.dir()).entryList({u"copia*"_s}).isEmpty());
}

} // namespace
