#include "ImportTest.h"

#include "screens/import/Importacion_DDJJ.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using Icon = ui::Ui::Icon;
using Message = ui::ScriptedUi::Message;

namespace {

const QString success = u"La importación ha finalizado con éxito."_s;

class ImportacionDDJJTest : public ImportTest
{
protected:
    /// The screen as the declaration list opens it, for period 200209, sequence 1, shown and active.
    std::unique_ptr<Importacion_DDJJ> open()
    {
        auto screen = std::make_unique<Importacion_DDJJ>();
        screen->Posicion = u"200209"_s;
        screen->Secuencia = 1;
        screen->Form_Load();
        screen->show();
        QApplication::setActiveWindow(screen.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(screen.get()));
        return screen;
    }

    template <typename Widget>
    static Widget* child(QWidget& screen, const QString& name)
    {
        auto* widget = screen.findChild<Widget*>(name);
        EXPECT_TRUE(widget) << name.toStdString();
        return widget;
    }

    void importPath(Importacion_DDJJ& screen, const QString& path)
    {
        child<QLineEdit>(screen, u"TxtPath"_s)->setText(path);
        QTest::mouseClick(child<QPushButton>(screen, u"bAceptar"_s), Qt::LeftButton);
    }

    /// Imports a file with these bytes through the screen and gives the error file's text.
    /// Expects the import to run to its end: one final message, the screen closed.
    QString import(const QByteArray& bytes)
    {
        auto screen = open();
        m_ui.clearMessages();
        importPath(*screen, writeFile(bytes));
        EXPECT_EQ(m_ui.messages().size(), 1);
        EXPECT_FALSE(screen->isVisible());
        EXPECT_EQ(screen->result(), QDialog::Accepted);
        return errorFile();
    }

    [[nodiscard]] Message withErrors() const
    {
        return {u"La importación ha finalizado. Se han detectado algunos errores que están registrados en el "
                u"archivo: "_s +
                    QDir::toNativeSeparators(m_db.dir()) + QDir::separator() + u"Errores.txt."_s,
                Icon::Information};
    }

    static QString focused()
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
};

const QString allFromYearOn = u" El año es incorrecto. La mes es incorrecto. El signo del Importe Depositado es "
                              u"incorrecto. El Importe Depositado es incorrecto. El signo del Importe Retenido es "
                              u"incorrecto. El Importe Retenido es incorrecto. La cantidad depositada es incorrecta. "
                              u"La moneda es incorrecta."_s;

} // namespace

TEST_F(ImportacionDDJJTest, ShowsTheDeclarationAndStartsEmpty)
{
    auto screen = open();
    EXPECT_EQ(screen->windowTitle(), u"Importación Detalle DDJJ"_s);
    EXPECT_TRUE(child<QLineEdit>(*screen, u"TxtPath"_s)->text().isEmpty());
    EXPECT_EQ(focused(), u"TxtPath"_s);
    EXPECT_EQ(child<QPushButton>(*screen, u"bAceptar"_s)->text(), u"&Importar"_s);
    EXPECT_EQ(child<QPushButton>(*screen, u"bVolver"_s)->text(), u"&Volver al Menú Principal"_s);
    EXPECT_TRUE(child<QPushButton>(*screen, u"bBuscar"_s)->text().isEmpty());
    EXPECT_FALSE(child<QPushButton>(*screen, u"bBuscar"_s)->icon().isNull());
    EXPECT_EQ(child<QProgressBar>(*screen, u"pbProgreso"_s)->value(), 0);

    // Enter moves on to the next control; it never starts the import by itself.
    child<QLineEdit>(*screen, u"TxtPath"_s)->setText(writeFile(Fields().line()));
    QTest::keyClick(child<QLineEdit>(*screen, u"TxtPath"_s), Qt::Key_Return);
    EXPECT_EQ(focused(), u"bBuscar"_s);
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_EQ(detailCount(), 0);

    const QString shots = qEnvironmentVariable("TOLBRANE_SCREENSHOTS");
    if (!shots.isEmpty()) {
        child<QLineEdit>(*screen, u"TxtPath"_s)->setText(u"/home/operador/interfases/ddjj_200209.txt"_s);
        child<QProgressBar>(*screen, u"pbProgreso"_s)->setValue(420);
        QDir().mkpath(shots);
        EXPECT_TRUE(screen->grab().save(shots + u"/Importacion_DDJJ.png"_s));
    }
}

TEST_F(ImportacionDDJJTest, PathChecksStopBeforeAnythingIsTouched)
{
    {
        QFile previous(errorFilePath());
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("de una importacion anterior\n");
    }
    QDir(m_files.path()).mkdir(u"carpeta"_s);
    const struct
    {
        QString path, message;
    } cases[] = {
        {u""_s, u"Debe especificar el Archivo de Interfase"_s},
        {u"   "_s, u"Debe especificar el Archivo de Interfase"_s},
        {m_files.filePath(u"no_existe.txt"_s), u"El archivo de Interfase no existe"_s},
        {m_files.filePath(u"carpeta"_s), u"El archivo de Interfase no existe"_s},
    };
    auto screen = open();
    for (const auto& c : cases) {
        m_ui.clearMessages();
        child<QPushButton>(*screen, u"bBuscar"_s)->setFocus();
        importPath(*screen, c.path);
        EXPECT_EQ(m_ui.messages(), QList<Message>({{c.message, Icon::Error}})) << c.path.toStdString();
        EXPECT_EQ(focused(), u"TxtPath"_s);
        EXPECT_TRUE(screen->isVisible());
        EXPECT_FALSE(m_ui.isBusy());
    }
    EXPECT_EQ(errorFile(), u"de una importacion anterior\n"_s);
}

TEST_F(ImportacionDDJJTest, OnlyBlankLinesOrAnEmptyFileEndWithSuccessAndAnEmptyErrorFile)
{
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\r\n   \n\t \r\n\n")}) {
        {
            QFile previous(errorFilePath());
            ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
            previous.write("de una importacion anterior\n");
        }
        m_ui.clearMessages();
        EXPECT_EQ(import(bytes), u""_s);
        EXPECT_TRUE(QFile::exists(errorFilePath()));
        EXPECT_EQ(m_ui.messages(), QList<Message>({{success, Icon::Information}}));
        EXPECT_EQ(detailCount(), 0);
    }
}

TEST_F(ImportacionDDJJTest, StoresGoodLinesInTheChosenDeclaration)
{
    Fields negative;
    negative.cbu = "0000000000000000000042";
    negative.moneda = "03";
    negative.signoBase = "-";
    negative.signoRetenido = "-";
    negative.depositos = "       12";
    Fields blanks; // numbers may carry blanks around them; the CBU is stored trimmed
    blanks.cbu = "  123  ";
    blanks.base = "  1234.5      ";
    blanks.moneda = "02";
    EXPECT_EQ(import(Fields().line() + "\r\n" + negative.line() + "\r\n" + blanks.line() + "\r\n"), u""_s);
    EXPECT_EQ(m_ui.messages(), QList<Message>({{success, Icon::Information}}));

    ASSERT_EQ(detailCount(), 3);
    auto rows = m_db.db().openRecordset(u"select * from DDJJ_Detalle order by N_CBU"_s);
    const auto row = [&](QStringView field) {
        return rows->field(field);
    };
    EXPECT_EQ(row(u"N_CBU").toString(), u"0000000000000000000042"_s);
    EXPECT_EQ(row(u"N_Cuit").toDouble(), 20123456786.0);
    EXPECT_EQ(row(u"N_Posicion_Fiscal").toDouble(), 200209) << "the file's year and month are only validated";
    EXPECT_EQ(row(u"Secuencia").toDouble(), 1);
    EXPECT_EQ(row(u"N_Agente").toDouble(), 1234);
    EXPECT_EQ(row(u"C_Tipo_Cuenta").toString(), u"00"_s);
    EXPECT_EQ(row(u"C_Tipo_Moneda").toString(), u"03"_s);
    EXPECT_EQ(row(u"I_Base_Imponible").toDouble(), -1234.5);
    EXPECT_EQ(row(u"I_Retenido").toDouble(), -12.3);
    EXPECT_EQ(row(u"N_Depositos").toDouble(), 12);
    EXPECT_EQ(row(u"F_Auditoria").toString(), u"01/10/2002"_s);
    EXPECT_TRUE(row(u"N_Comprobante").isNull());
    rows->moveNext();
    EXPECT_EQ(row(u"N_CBU").toString(), u"0170001540000001234567"_s);
    EXPECT_EQ(row(u"C_Tipo_Moneda").toString(), u"01"_s);
    EXPECT_EQ(row(u"I_Base_Imponible").toDouble(), 1234.5);
    EXPECT_EQ(row(u"I_Retenido").toDouble(), 12.3);
    EXPECT_EQ(row(u"N_Depositos").toDouble(), 3);
    rows->moveNext();
    EXPECT_EQ(row(u"N_CBU").toString(), u"123"_s);
    EXPECT_EQ(row(u"I_Base_Imponible").toDouble(), 1234.5);
}

TEST_F(ImportacionDDJJTest, ReportsEveryFailedCheckInOrderAndShortLinesFailTheirMissingFields)
{
    Fields cbuAndCurrency;
    cbuAndCurrency.cbu = "01700015400000012345AB";
    cbuAndCurrency.moneda = "04";
    const QByteArray bytes = QByteArray(80, 'x') + "\n"        // 1: every field wrong
                             + Fields().line().left(33) + "\n" // 2: CUIT and CBU only
                             + "20123\n"                       // 3: five bytes
                             + cbuAndCurrency.line() + "\n"    // 4: two checks far apart
                             + QByteArray(80, ' ') + "x\n";    // 5: blanks, then a byte past 80
    const QString expected =
        u"Error en la linea: 1. La CBU no es numérica. El CUIT no es numérico."_s + allFromYearOn + u"\n"_s +
        u"Error en la linea: 2."_s + allFromYearOn + u"\n"_s + u"Error en la linea: 3. La CBU no es numérica."_s +
        allFromYearOn + u"\n"_s + u"Error en la linea: 4. La CBU no es numérica. La moneda es incorrecta.\n"_s +
        u"Error en la linea: 5. La CBU no es numérica. El CUIT no es numérico."_s + allFromYearOn + u"\n"_s;
    EXPECT_EQ(import(bytes), expected);
    EXPECT_EQ(m_ui.messages(), QList<Message>({withErrors()}));
    EXPECT_EQ(detailCount(), 0);
}

TEST_F(ImportacionDDJJTest, FieldChecksFollowTheirRules)
{
    const auto with = [](auto change) {
        Fields fields;
        change(fields);
        return fields.line() + "\n";
    };
    const QByteArray bytes = with([](Fields& f) { f.signoBase = " "; }) +         // 1
                             with([](Fields& f) { f.signoRetenido = "*"; }) +     // 2
                             with([](Fields& f) { f.base = "1.234.50"; }) +       // 3: two separators
                             with([](Fields& f) { f.retenido = "12 30"; }) +      // 4: a blank inside
                             with([](Fields& f) { f.depositos = "         "; }) + // 5: blank is not numeric
                             with([](Fields& f) { f.moneda = "1 "; }) +           // 6
                             with([](Fields& f) { f.year = "20O2"; }) +           // 7: a letter O
                             with([](Fields& f) { f.month = "-"; }) +             // 8: a sign alone
                             with([](Fields& f) { f.cbu = "+.5"; }) +             // 9: a number, so the line goes on
                             with([](Fields& f) { f.cbu = "1,5"; });              // 10: so is one with a comma
    const QString expected = u"Error en la linea: 1. El signo del Importe Depositado es incorrecto.\n"
                             u"Error en la linea: 2. El signo del Importe Retenido es incorrecto.\n"
                             u"Error en la linea: 3. El Importe Depositado es incorrecto.\n"
                             u"Error en la linea: 4. El Importe Retenido es incorrecto.\n"
                             u"Error en la linea: 5. La cantidad depositada es incorrecta.\n"
                             u"Error en la linea: 6. La moneda es incorrecta.\n"
                             u"Error en la linea: 7. El año es incorrecto.\n"
                             u"Error en la linea: 8. La mes es incorrecto.\n"_s;
    EXPECT_EQ(import(bytes), expected);
    EXPECT_EQ(detailCount(), 2);
    EXPECT_EQ(detailCount(u"where N_CBU in ('+.5', '1,5')"_s), 2);
}

TEST_F(ImportacionDDJJTest, CuitAndDuplicateChecksRunOnlyOnOtherwiseGoodLines)
{
    // A line already in the declaration, and the same pair in another sequence (not a duplicate).
    Fields existing;
    existing.cbu = "999";
    ASSERT_TRUE(
        clsCodigo::instance().Insertar_Detalle_DDJJ(1, 200209, 1234, u"999"_s, u"00"_s, u"01"_s, 20123456786, 1, 1, 1));
    ASSERT_TRUE(clsCodigo::instance().Insertar_Detalle_DDJJ(2, 200209, 1234, u"0170001540000001234567"_s, u"00"_s,
                                                            u"01"_s, 20123456786, 1, 1, 1));

    Fields badDigitAndSign;
    badDigitAndSign.cuit = "20123456787";
    badDigitAndSign.signoBase = "*";
    Fields badDigit;
    badDigit.cuit = "20123456787";
    Fields folded; // a prefix from 40 is checked as if it began with 20
    folded.cuit = "40123456786";
    Fields duplicateAndCurrency;
    duplicateAndCurrency.moneda = "09";
    Fields zero;
    zero.cuit = "00000000000";

    const QByteArray bytes = badDigitAndSign.line() + "\n"        // 1
                             + badDigit.line() + "\n"             // 2
                             + Fields().line() + "\n"             // 3: inserted
                             + duplicateAndCurrency.line() + "\n" // 4: the currency only
                             + Fields().line() + "\n"             // 5: duplicate of line 3
                             + existing.line() + "\n"             // 6: duplicate of a line already there
                             + folded.line() + "\n"               // 7: inserted
                             + zero.line() + "\n";                // 8
    const QString expected = u"Error en la linea: 1. El signo del Importe Depositado es incorrecto.\n"
                             u"Error en la linea: 2. El CUIT es incorrecto.\n"
                             u"Error en la linea: 4. La moneda es incorrecta.\n"
                             u"Error en la linea: 5. Ya existen detalles con el CUIT-CBU especificados.\n"
                             u"Error en la linea: 6. Ya existen detalles con el CUIT-CBU especificados.\n"
                             u"Error en la linea: 8. El CUIT es incorrecto.\n"_s;
    EXPECT_EQ(import(bytes), expected);
    EXPECT_EQ(m_ui.messages(), QList<Message>({withErrors()}));
    EXPECT_EQ(detailCount(u"where Secuencia = 1"_s), 3);
    EXPECT_EQ(detailCount(u"where Secuencia = 1 and N_Cuit = 40123456786"_s), 1);
}

TEST_F(ImportacionDDJJTest, CountsLinesAcrossEveryKindOfLineEnd)
{
    Fields second;
    second.cbu = "2";
    Fields third;
    third.cbu = "3";
    Fields fourth;
    fourth.cbu = "4";
    // CR LF, a blank CR LF, LF, a blank LF, CR, a blank CR, then a last line with no line end.
    const QByteArray bytes = "bad\r\n" + QByteArray("\r\n") + Fields().line() + "\n" + "\n" + second.line() + "\r" +
                             "\r" + "bad\r" + third.line() + "\r\n" + "bad\n" + fourth.line();
    const QString tail = u" La CBU no es numérica. El CUIT no es numérico."_s + allFromYearOn + u"\n"_s;
    EXPECT_EQ(import(bytes), u"Error en la linea: 1."_s + tail + u"Error en la linea: 7."_s + tail +
                                 u"Error en la linea: 9."_s + tail);
    EXPECT_EQ(detailCount(), 4) << "a last line without a line end is imported too";
}

TEST_F(ImportacionDDJJTest, PositionsCountBytesOfWindows1252Text)
{
    Fields accentInCbu;
    accentInCbu.cbu = "01700015400000012345\xE9";
    Fields accentInSign;
    accentInSign.signoRetenido = "\xF1";
    // Accented letters and the euro sign past position 80 are ignored and move nothing.
    const QByteArray bytes = accentInCbu.line() + "\r\n" + accentInSign.line() + "\r\n" + Fields().line() +
                             " P\xE9rez \xD1"
                             "and\xFA \x80 S.A.\r\n";
    EXPECT_EQ(import(bytes), u"Error en la linea: 1. La CBU no es numérica.\n"
                             u"Error en la linea: 2. El signo del Importe Retenido es incorrecto.\n"_s);
    EXPECT_EQ(detailCount(), 1);
    EXPECT_EQ(m_db.scalar(u"select I_Retenido from DDJJ_Detalle"_s).toDouble(), 12.3);
}

TEST_F(ImportacionDDJJTest, IgnoresWhatFollowsPosition80)
{
    Fields other;
    other.cbu = "2";
    const QByteArray bytes = Fields().line() + QByteArray(5000, 'Z') + "\n" + other.line() + "  9999 sobrante";
    EXPECT_EQ(import(bytes), u""_s);
    EXPECT_EQ(m_ui.messages(), QList<Message>({{success, Icon::Information}}));
    EXPECT_EQ(detailCount(), 2);
}

TEST_F(ImportacionDDJJTest, ReportsLinesTheDatabaseRefuses)
{
    m_db.db().executeScript(u"CREATE TRIGGER rechazo BEFORE INSERT ON DDJJ_Detalle WHEN NEW.N_CBU = '666' "
                            u"BEGIN SELECT RAISE(ABORT, 'rechazada'); END;"_s);
    Fields refused;
    refused.cbu = "666";
    Fields after;
    after.cbu = "2";
    EXPECT_EQ(import(Fields().line() + "\n" + refused.line() + "\n" + after.line() + "\n"),
              u"Error al insertar detalle de la linea: 2\n"_s);
    EXPECT_EQ(m_ui.messages(), QList<Message>({withErrors()}));
    EXPECT_EQ(detailCount(), 2);
}

TEST_F(ImportacionDDJJTest, ReadsTheFileAgainAtEachImportAndRecreatesTheErrorFile)
{
    EXPECT_EQ(import("bad\n"),
              u"Error en la linea: 1. La CBU no es numérica. El CUIT no es numérico."_s + allFromYearOn + u"\n"_s);
    m_ui.clearMessages();
    EXPECT_EQ(import(Fields().line()), u""_s);
    EXPECT_EQ(m_ui.messages(), QList<Message>({{success, Icon::Information}}));
    m_ui.clearMessages();
    EXPECT_EQ(import(Fields().line()), u"Error en la linea: 1. Ya existen detalles con el CUIT-CBU especificados.\n"_s);
}

TEST_F(ImportacionDDJJTest, BrowseFillsThePathAndCancellingKeepsIt)
{
    auto screen = open();
    auto* path = child<QLineEdit>(*screen, u"TxtPath"_s);
    m_ui.setNextFileName(u"/tmp/interfase.txt"_s);
    QTest::mouseClick(child<QPushButton>(*screen, u"bBuscar"_s), Qt::LeftButton);
    EXPECT_EQ(path->text(), QDir::toNativeSeparators(u"/tmp/interfase.txt"_s));
    ASSERT_EQ(m_ui.fileRequests().size(), 1);
    EXPECT_EQ(m_ui.fileRequests().at(0).caption, u"Archivo para la Importación Detalle de DDJJ"_s);

    QTest::mouseClick(child<QPushButton>(*screen, u"bBuscar"_s), Qt::LeftButton); // cancelled: no name queued
    EXPECT_EQ(path->text(), QDir::toNativeSeparators(u"/tmp/interfase.txt"_s));
}

TEST_F(ImportacionDDJJTest, CancelAndBackCloseWithoutImporting)
{
    for (const QString& button : {u"bCancelar"_s, u"bVolver"_s}) {
        auto screen = open();
        child<QLineEdit>(*screen, u"TxtPath"_s)->setText(writeFile(Fields().line()));
        QTest::mouseClick(child<QPushButton>(*screen, button), Qt::LeftButton);
        EXPECT_FALSE(screen->isVisible());
        EXPECT_EQ(screen->result(), QDialog::Rejected);
    }
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_EQ(detailCount(), 0);
    EXPECT_FALSE(QFile::exists(errorFilePath()));
}

TEST_F(ImportacionDDJJTest, StaysOpenAndLockedWhileALongImportRuns)
{
    QByteArray bytes;
    for (int i = 0; i < 2000; ++i) {
        Fields fields;
        fields.cbu = QByteArray::number(i);
        bytes += fields.line() + "\r\n";
    }
    auto screen = open();
    bool sawProgress = false;
    bool locked = false;
    // Runs while the import lets window events through.
    QTimer::singleShot(0, screen.get(), [&] {
        sawProgress = screen->findChild<QProgressBar*>(u"pbProgreso"_s)->value() > 0;
        locked = !screen->findChild<QPushButton*>(u"bCancelar"_s)->isEnabled() &&
                 !screen->findChild<QLineEdit*>(u"TxtPath"_s)->isEnabled();
        screen->reject(); // Escape or the close box: refused until the import ends
    });
    importPath(*screen, writeFile(bytes));
    EXPECT_TRUE(sawProgress);
    EXPECT_TRUE(locked);
    EXPECT_EQ(m_ui.messages(), QList<Message>({{success, Icon::Information}}));
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(child<QProgressBar>(*screen, u"pbProgreso"_s)->value(), 1000);
    EXPECT_EQ(detailCount(), 2000);
}
