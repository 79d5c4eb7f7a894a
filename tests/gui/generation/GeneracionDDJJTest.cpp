#include "GenerationTest.h"

#include "screens/generation/Generacion_DDJJ.h"

#include <QApplication>
#include <QFile>
#include <QIODevice>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

/// Passes writes on to the file until a number of bytes has gone through, then refuses every write, as
/// a full or removed disk would.
struct FailingDevice : QIODevice
{
    FailingDevice(QIODevice& target, qint64 left) : target(target), left(left) { open(QIODevice::WriteOnly); }
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        const qint64 written = left > 0 ? target.write(data, std::min(size, left)) : -1;
        left -= std::max<qint64>(written, 0);
        return written;
    }
    QIODevice& target;
    qint64 left;
};

const QString dataError = u"Error en alguno de los datos que se obtuvieron para generar."_s;
const QString openError = u"No se ha podido abrir el archivo especificado."_s;

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
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

    bool m_cancelado = false;
    Generacion_DDJJ m_screen;
};

TEST_F(GeneracionDDJJTest, FirstGenerationWritesOnlyThePendingLinesOverAnyLongerFile)
{
    EXPECT_TRUE(m_cancelado) << "cancelled until a file is written";
    addLines(5);
    execute(u"update DDJJ_Detalle set N_Comprobante = 3, F_Presentacion = '2002-10-01', Hoja = '1' "
            u"where N_Cuit in (20000000002, 20000000004)"_s);
    writeFile(target(), QByteArray(10000, 'x'));
    generate(target());

    EXPECT_TRUE(m_ui.messages().isEmpty()) << m_ui.messageTexts().join(u" | "_s).toStdString();
    EXPECT_FALSE(m_cancelado);
    EXPECT_EQ(m_screen.result(), QDialog::Accepted);
    const QStringList records = decrypted(target());
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records[0], u"20000000001"_s + cbu(1) + u"20020901+00000001001.00+00000000000.50000000001"_s);
    EXPECT_TRUE(records[1].startsWith(u"20000000003"_s));
    EXPECT_TRUE(records[2].startsWith(u"20000000005"_s));
    EXPECT_EQ(contents(target()).size(), 3 * 146) << "no old bytes after the records";
    EXPECT_EQ(pendingLines(), 3) << "the database is not changed";
}

TEST_F(GeneracionDDJJTest, AWriteThatFailsHalfWayLeavesThePreviousFile)
{
    addLines(10);
    writeFile(target(), "la declaración anterior");
    const QByteArray before = contents(target());
    m_screen.setOutputFilter([](QIODevice& file) { return std::make_unique<FailingDevice>(file, 700); });
    generate(target());

    EXPECT_EQ(m_ui.messages(), (QList<ui::ScriptedUi::Message>{{openError, ui::Ui::Icon::Information}}));
    EXPECT_TRUE(m_cancelado);
    EXPECT_TRUE(m_screen.isVisible()) << "the screen stays open for another attempt";
    EXPECT_EQ(contents(target()), before);
    EXPECT_EQ(QDir(m_db.dir()).entryList({u"ddjj*"_s}, QDir::Files), QStringList{u"ddjj.txt"_s})
        << "no temporary file is left behind";

    m_screen.setOutputFilter({});
    m_ui.clearMessages();
    generate(target());
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_EQ(decrypted(target()).size(), 10);
}

TEST_F(GeneracionDDJJTest, RefusalsSayWhyAndKeepThePreviousFile)
{
    addLines(3);
    writeFile(target(), "anterior");
    execute(u"update DDJJ_Detalle set N_CBU = '12345678901234567890123' where N_Cuit = 20000000003"_s);
    generate(target());
    execute(u"update DDJJ_Detalle set N_CBU = '1', I_Base_Imponible = 'mucho' where N_Cuit = 20000000003"_s);
    generate(target());
    execute(u"delete from DDJJ_Detalle where N_Cuit = 20000000003"_s);
    generate(QDir(m_db.dir()).filePath(u"no/existe/ddjj.txt"_s));
    generate(u"  "_s);
    generate(u"A:\\ddjj.txt"_s);
    EXPECT_FALSE(QFile::exists(u"A:\\ddjj.txt"_s)) << "no file named after a drive in the working directory";
    m_screen.Posicion = u"2002AB"_s;
    generate(target());
    TempDatabase::disconnect();
    m_screen.Posicion = u"200209"_s;
    generate(target());

    const QString readError = u"Error en la obtención de los datos a generar."_s;
    EXPECT_EQ(m_ui.messageTexts(),
              (QStringList{dataError, dataError, openError, openError, openError, readError, readError}));
    EXPECT_EQ(m_ui.messages().front().icon, ui::Ui::Icon::Information);
    EXPECT_EQ(contents(target()), QByteArray("anterior"));
    EXPECT_TRUE(m_cancelado);
    EXPECT_TRUE(m_screen.isVisible());
}

TEST_F(GeneracionDDJJTest, LeavingOrEnterInThePathGeneratesNothing)
{
    addLines(1);
    path()->setFocus();
    path()->setText(target());
    QTest::keyClick(path(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), button(u"bAceptar"_s)) << "Enter moves on without generating";
    EXPECT_FALSE(QFile::exists(target()));

    QTest::mouseClick(button(u"bVolver"_s), Qt::LeftButton);
    EXPECT_TRUE(m_cancelado);
    EXPECT_EQ(m_screen.result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(target()));
}

TEST_F(GeneracionDDJJTest, BrowseNamesANewFileAndACancelledDialogKeepsThePath)
{
    addLines(2);
    const QString chosen = QDir(m_db.dir()).filePath(u"nueva.txt"_s);
    m_ui.setNextFileName(chosen);
    QTest::mouseClick(button(u"bBuscar"_s), Qt::LeftButton);
    EXPECT_EQ(path()->text(), QDir::toNativeSeparators(chosen)) << "a file that does not exist yet";
    QTest::mouseClick(button(u"bBuscar"_s), Qt::LeftButton); // the operator cancels the dialog
    EXPECT_EQ(path()->text(), QDir::toNativeSeparators(chosen));

    const ui::ScriptedUi::FileRequest request{u"Archivo para la Generación del Detalle de DDJJ"_s, QString(),
                                              u"Todos los archivos (*.txt)"_s, true, u"txt"_s};
    EXPECT_EQ(m_ui.fileRequests(), (QList<ui::ScriptedUi::FileRequest>{request, request}));
    QTest::mouseClick(button(u"bAceptar"_s), Qt::LeftButton);
    EXPECT_EQ(decrypted(chosen).size(), 2);
}
