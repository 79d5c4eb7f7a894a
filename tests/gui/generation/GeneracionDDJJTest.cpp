#include "GenerationTest.h"

#include "FailingDevice.h"
#include "gui/ui/Printers.h"
#include "screens/generation/Generacion_DDJJ.h"

#include "platform/cipher/Cipher.h"
#include "platform/db/Database.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString dataError = u"Error en alguno de los datos que se obtuvieron para generar."_s;
const QString openError = u"No se ha podido abrir el archivo especificado."_s;

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList decrypted(const QString& path)
{
    QStringList lines;
    Cipher cipher;
    for (const QByteArray& line : contents(path).split('\n')) {
        if (!line.isEmpty())
            lines.append(cipher.decrypt(QString::fromLatin1(line.chopped(1)), u"TOLBRANE"_s));
    }
    return lines;
}

} // namespace

class GeneracionDDJJTest : public GenerationTest
{
protected:
    GeneracionDDJJTest() : m_screen(m_cancelado)
    {
        m_screen.Posicion = u"200209"_s;
        m_screen.Secuencia = u"1"_s;
        m_screen.Comp = 0;
        m_screen.show();
        QApplication::setActiveWindow(&m_screen);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_screen));
    }

    QLineEdit* path() { return m_screen.findChild<QLineEdit*>(u"TxtPath"_s); }
    QPushButton* button(const QString& name) { return m_screen.findChild<QPushButton*>(name); }

    /// Types a path and presses "&Generar".
    void generate(const QString& file)
    {
        path()->setText(file);
        QTest::mouseClick(button(u"bAceptar"_s), Qt::LeftButton);
    }

    [[nodiscard]] QString target() const { return QDir(m_db.dir()).filePath(u"ddjj.txt"_s); }

    bool m_cancelado = false;
    Generacion_DDJJ m_screen;
};

TEST_F(GeneracionDDJJTest, LoadsWithTheDiskettePathAndTheOutcomeCancelled)
{
    EXPECT_EQ(path()->text(), u"A:\\ddjj.txt"_s);
    EXPECT_TRUE(m_cancelado);
    EXPECT_EQ(m_screen.windowTitle(), u"Generación Detalle DDJJ"_s);
    EXPECT_FALSE(button(u"Command1"_s)->isVisible());
}

TEST_F(GeneracionDDJJTest, FirstGenerationWritesThePendingLinesAndCloses)
{
    addLines(5);
    execute(u"update DDJJ_Detalle set N_Comprobante = 3, F_Presentacion = '2002-10-01', Hoja = '1' "
            u"where N_Cuit in (20000000002, 20000000004)"_s);
    generate(target());

    EXPECT_TRUE(m_ui.messages().isEmpty()) << m_ui.messageTexts().join(u" | "_s).toStdString();
    EXPECT_FALSE(m_cancelado);
    EXPECT_EQ(m_screen.result(), QDialog::Accepted);
    const QStringList records = decrypted(target());
    ASSERT_EQ(records.size(), 3);
    EXPECT_TRUE(records[0].startsWith(u"20000000001"_s + cbu(1)));
    EXPECT_TRUE(records[1].startsWith(u"20000000003"_s + cbu(3)));
    EXPECT_TRUE(records[2].startsWith(u"20000000005"_s + cbu(5)));
    EXPECT_EQ(records[0].mid(33), u"200209"
                                  u"01"
                                  u"+00000001001.00"
                                  u"+00000000000.50"
                                  u"000000001"_s);
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where N_Comprobante is null"_s), 3) << "the database is not changed";
}

TEST_F(GeneracionDDJJTest, RegenerationWritesEveryLine)
{
    addLines(4);
    execute(u"update DDJJ_Detalle set N_Comprobante = 27, F_Presentacion = '2002-10-01', Hoja = '1' "
            u"where N_Cuit <> 20000000004"_s);
    m_screen.Comp = 27;
    generate(target());

    EXPECT_FALSE(m_cancelado);
    EXPECT_EQ(decrypted(target()).size(), 4);
}

TEST_F(GeneracionDDJJTest, ALongerExistingFileIsReplacedWhole)
{
    addLines(1);
    {
        QFile old(target());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(10000, 'x'));
    }
    generate(target());

    EXPECT_FALSE(m_cancelado);
    EXPECT_EQ(contents(target()).size(), 146) << "one record of 144 characters and CR LF, no old bytes after it";
}

TEST_F(GeneracionDDJJTest, AWriteThatFailsHalfWayLeavesThePreviousFile)
{
    addLines(10);
    {
        QFile old(target());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("la declaración anterior");
    }
    const QByteArray before = contents(target());
    m_screen.setOutputFilter([](QIODevice& file) { return std::make_unique<FailingDevice>(file, 700); });
    generate(target());

    EXPECT_EQ(m_ui.messages(), (QList<ui::ScriptedUi::Message>{{openError, ui::Ui::Icon::Information}}));
    EXPECT_TRUE(m_cancelado);
    EXPECT_TRUE(m_screen.isVisible()) << "the screen stays open for another attempt";
    EXPECT_EQ(contents(target()), before);
    EXPECT_EQ(QDir(m_db.dir()).entryList({u"ddjj*"_s}, QDir::Files), QStringList{u"ddjj.txt"_s})
        << "no temporary file is left behind";

    // Another attempt, with nothing in the way, writes the file.
    m_screen.setOutputFilter({});
    m_ui.clearMessages();
    generate(target());
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_FALSE(m_cancelado);
    EXPECT_EQ(decrypted(target()).size(), 10);
}

TEST_F(GeneracionDDJJTest, ABadLineStopsTheGenerationAndKeepsThePreviousFile)
{
    addLines(3);
    {
        QFile old(target());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("anterior");
    }
    execute(u"update DDJJ_Detalle set N_CBU = '12345678901234567890123' where N_Cuit = 20000000003"_s);
    generate(target());

    EXPECT_EQ(m_ui.messages(), (QList<ui::ScriptedUi::Message>{{dataError, ui::Ui::Icon::Information}}));
    EXPECT_TRUE(m_cancelado);
    EXPECT_EQ(contents(target()), QByteArray("anterior"));
}

TEST_F(GeneracionDDJJTest, AnAmountThatIsNotANumberStopsTheGeneration)
{
    addLines(2);
    execute(u"update DDJJ_Detalle set I_Base_Imponible = 'mucho' where N_Cuit = 20000000001"_s);
    generate(target());

    EXPECT_EQ(m_ui.messageTexts(), QStringList{dataError});
    EXPECT_TRUE(m_cancelado);
    EXPECT_FALSE(QFile::exists(target()));
}

TEST_F(GeneracionDDJJTest, PathsThatCannotBeOpened)
{
    addLines(1);
    generate(QDir(m_db.dir()).filePath(u"no/existe/ddjj.txt"_s));
    generate(u"  "_s);
    generate(u"A:\\ddjj.txt"_s);
    EXPECT_FALSE(QFile::exists(u"A:\\ddjj.txt"_s)) << "no file named after a drive in the working directory";
    EXPECT_EQ(m_ui.messageTexts(), (QStringList{openError, openError, openError}));
    EXPECT_TRUE(m_cancelado);
    EXPECT_TRUE(m_screen.isVisible());
}

TEST_F(GeneracionDDJJTest, DetailLinesThatCannotBeReadWriteNothing)
{
    m_screen.Posicion = u"2002AB"_s;
    generate(target());
    TempDatabase::disconnect();
    m_screen.Posicion = u"200209"_s;
    generate(target());

    EXPECT_EQ(m_ui.messageTexts(), (QStringList{u"Error en la obtención de los datos a generar."_s,
                                                u"Error en la obtención de los datos a generar."_s}));
    EXPECT_FALSE(QFile::exists(target()));
    EXPECT_TRUE(m_cancelado);
}

TEST_F(GeneracionDDJJTest, LeavingWithoutGeneratingIsCancelled)
{
    QTest::mouseClick(button(u"bCancelar"_s), Qt::LeftButton);
    EXPECT_TRUE(m_cancelado);
    EXPECT_EQ(m_screen.result(), QDialog::Rejected);

    bool other = false;
    Generacion_DDJJ second(other);
    second.show();
    QTest::mouseClick(second.findChild<QPushButton*>(u"bVolver"_s), Qt::LeftButton);
    EXPECT_TRUE(other);
    EXPECT_FALSE(second.isVisible());

    bool third = false;
    Generacion_DDJJ closed(third);
    closed.show();
    closed.close();
    EXPECT_TRUE(third);
}

TEST_F(GeneracionDDJJTest, EnterInThePathMovesToGenerarWithoutGenerating)
{
    addLines(1);
    path()->setFocus();
    path()->setText(target());
    QTest::keyClick(path(), Qt::Key_Return);

    EXPECT_EQ(QApplication::focusWidget(), button(u"bAceptar"_s));
    EXPECT_FALSE(QFile::exists(target()));
    EXPECT_TRUE(m_screen.isVisible());
}

TEST_F(GeneracionDDJJTest, BuscarCopiesTheChosenFileWithItsDefaultExtension)
{
    m_ui.setNextFileName(u"/media/diskette/ddjj"_s);
    QTest::mouseClick(button(u"bBuscar"_s), Qt::LeftButton);
    EXPECT_EQ(path()->text(), u"/media/diskette/ddjj.txt"_s);
    ASSERT_EQ(m_ui.fileRequests().size(), 1);
    EXPECT_EQ(m_ui.fileRequests()[0].caption, u"Archivo para la Generación del Detalle de DDJJ"_s);
    EXPECT_EQ(m_ui.fileRequests()[0].filter, u"Todos los archivos (*.txt)"_s);

    m_ui.setNextFileName(u"/media/diskette/otro.dat"_s);
    QTest::mouseClick(button(u"bBuscar"_s), Qt::LeftButton);
    EXPECT_EQ(path()->text(), u"/media/diskette/otro.dat"_s);

    QTest::mouseClick(button(u"bBuscar"_s), Qt::LeftButton);
    EXPECT_EQ(path()->text(), QString()) << "a cancelled dialog gives its empty name back";
}

TEST_F(GeneracionDDJJTest, TheHiddenButtonDecryptsTheFileBesideTheProgram)
{
    addLines(3);
    generate(target());
    ASSERT_FALSE(m_cancelado);

    button(u"Command1"_s)->click();
    const QByteArray plain = contents(QDir(m_db.dir()).filePath(u"desencriptado.txt"_s));
    const QList<QByteArray> lines = plain.split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0],
              (u"20000000001"_s + cbu(1) + u"20020901+00000001001.00+00000000000.50000000001\r"_s).toLatin1());
    EXPECT_TRUE(lines[3].isEmpty());
}
