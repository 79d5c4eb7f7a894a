#include "ImportTest.h"

#include "screens/import/DetailImporter.h"
#include "screens/import/Importacion_DDJJ.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <tuple>
#include <vector>

using namespace Qt::StringLiterals;
using Icon = ui::Ui::Icon;
using Message = ui::ScriptedUi::Message;

namespace {

const QString success = u"La importación ha finalizado con éxito."_s;
const QString allFromYearOn = u" El año es incorrecto. La mes es incorrecto. El signo del Importe Depositado es "
                              u"incorrecto. El Importe Depositado es incorrecto. El signo del Importe Retenido es "
                              u"incorrecto. El Importe Retenido es incorrecto. La cantidad depositada es incorrecta. "
                              u"La moneda es incorrecta."_s;
/// The texts after the line number for a line whose every field is wrong, in their order.
const QString allWrong = u" La CBU no es numérica. El CUIT no es numérico."_s + allFromYearOn + u"\n"_s;

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
        activate(*screen);
        return screen;
    }

    void importPath(Importacion_DDJJ& screen, const QString& path)
    {
        child<QLineEdit>(screen, u"TxtPath"_s)->setText(path);
        click(screen, u"bAceptar"_s);
    }

    /// Imports these bytes through the screen, which must run to its end (one final message, the screen
    /// accepted), and gives the error file's text.
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

    /// The lines of these fields, LF ends.
    static QByteArray lines(std::initializer_list<Fields> fields)
    {
        QByteArray bytes;
        for (const Fields& f : fields)
            bytes += f.line() + "\n";
        return bytes;
    }

    /// Good lines with the CBUs first to last, LF ends.
    static QByteArray goodLines(int last, int first = 1)
    {
        QByteArray bytes;
        for (int i = first; i <= last; ++i)
            bytes += Fields{.cbu = QByteArray::number(i)}.line() + "\n";
        return bytes;
    }

    /// The importer alone, its error lines collected in m_errors.
    DetailImporter importer(const QByteArray& bytes, int groupSize = DetailImporter::defaultGroupSize)
    {
        DetailImporter importer(writeFile(bytes), 200209, 1);
        importer.setErrorSink([this](const QString& line) { m_errors.append(line); });
        importer.setGroupSize(groupSize);
        return importer;
    }

    void writeOldErrorFile() { writeFile("de una importacion anterior\n", errorFilePath()); }

    [[nodiscard]] QList<Message> withErrors() const
    {
        return {{u"La importación ha finalizado. Se han detectado algunos errores que están registrados en el "
                 u"archivo: "_s +
                     QDir::toNativeSeparators(m_db.dir()) + QDir::separator() + u"Errores.txt."_s,
                 Icon::Information}};
    }

    QStringList m_errors;
};
using DetailImporterTest = ImportacionDDJJTest;
const QString duplicate = u". Ya existen detalles con el CUIT-CBU especificados."_s;

} // namespace

TEST_F(ImportacionDDJJTest, PathChecksStopBeforeAnythingIsTouched)
{
    writeOldErrorFile();
    QDir(m_files.path()).mkdir(u"carpeta"_s);
    auto screen = open();
    EXPECT_EQ(focusName(), u"TxtPath"_s);
    // Enter moves on to the next control; it never starts the import by itself.
    child<QLineEdit>(*screen, u"TxtPath"_s)->setText(writeFile(Fields().line()));
    QTest::keyClick(child<QLineEdit>(*screen, u"TxtPath"_s), Qt::Key_Return);
    EXPECT_EQ(focusName(), u"bBuscar"_s);
    EXPECT_TRUE(m_ui.messages().isEmpty());

    const std::pair<QString, QString> cases[] = {
        {u"   "_s, u"Debe especificar el Archivo de Interfase"_s},
        {m_files.filePath(u"no_existe.txt"_s), u"El archivo de Interfase no existe"_s},
        {m_files.filePath(u"carpeta"_s), u"El archivo de Interfase no existe"_s},
    };
    for (const auto& [path, message] : cases) {
        m_ui.clearMessages();
        child<QPushButton>(*screen, u"bBuscar"_s)->setFocus();
        importPath(*screen, path);
        EXPECT_EQ(m_ui.messages(), QList<Message>({{message, Icon::Error}})) << path.toStdString();
        EXPECT_EQ(focusName(), u"TxtPath"_s);
        EXPECT_TRUE(screen->isVisible());
    }
    EXPECT_EQ(errorFile(), u"de una importacion anterior\n"_s);
}

TEST_F(ImportacionDDJJTest, OnlyBlankLinesOrAnEmptyFileEndWithSuccessAndAnEmptyErrorFile)
{
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\r\n   \n\t \r\n\n")}) {
        writeOldErrorFile();
        EXPECT_EQ(import(bytes), u""_s);
        EXPECT_EQ(m_ui.messages(), QList<Message>({{success, Icon::Information}}));
    }
    EXPECT_EQ(detailCount(), 0);
}

TEST_F(ImportacionDDJJTest, StoresGoodLinesInTheChosenDeclaration)
{
    // Negative amounts; numbers may carry blanks around them and the CBU is stored trimmed.
    EXPECT_EQ(import(lines({{},
                            {.cbu = "0000000000000000000042",
                             .moneda = "03",
                             .signoBase = "-",
                             .signoRetenido = "-",
                             .depositos = "       12"},
                            {.cbu = "  123  ", .moneda = "02", .base = "  1234.5      "}})),
              u""_s);
    EXPECT_EQ(m_ui.messages(), QList<Message>({{success, Icon::Information}}));

    // One text per row: the columns in this order, then whether the receipt number is empty.
    auto rows = m_db.db().openRecordset(u"select N_CBU, N_Cuit, N_Posicion_Fiscal, Secuencia, N_Agente, C_Tipo_Cuenta, "
                                        u"C_Tipo_Moneda, I_Base_Imponible, I_Retenido, N_Depositos, F_Auditoria, "
                                        u"N_Comprobante is null from DDJJ_Detalle order by N_CBU"_s);
    QStringList found;
    for (; !rows->eof(); rows->moveNext()) {
        QStringList values;
        for (int i = 0; i < rows->fieldCount(); ++i)
            values << rows->field(i).toString();
        found << values.join(u' ');
    }
    // The file's year and month are only validated: the rows go into the chosen declaration.
    EXPECT_EQ(found,
              QStringList({u"0000000000000000000042 20123456786 200209 1 1234 00 03 -1234.5 -12.3 12 01/10/2002 1"_s,
                           u"0170001540000001234567 20123456786 200209 1 1234 00 01 1234.5 12.3 3 01/10/2002 1"_s,
                           u"123 20123456786 200209 1 1234 00 02 1234.5 12.3 3 01/10/2002 1"_s}));
}

TEST_F(ImportacionDDJJTest, ReportsEveryFailedCheckInOrderAndShortLinesFailTheirMissingFields)
{
    const QByteArray bytes = QByteArray(80, 'x') + "\n"        // 1: every field wrong
                             + Fields().line().left(33) + "\n" // 2: CUIT and CBU only
                             + "20123\n"                       // 3: five bytes
                             + QByteArray(80, ' ') + "x\n"     // 4: blanks, then a byte past 80
                             + lines({{.cbu = "01700015400000012345AB", .moneda = "04"}, // 5: far apart
                                      {.signoBase = " "},
                                      {.base = "1.234.50"},
                                      {.retenido = "12 30"},
                                      {.depositos = "         "},
                                      {.month = "-"},
                                      {.cbu = "+.5"}, // 11, 12: numbers, so the lines go on
                                      {.cbu = "1,5"}});
    EXPECT_EQ(import(bytes), u"Error en la linea: 1."_s + allWrong + u"Error en la linea: 2."_s + allFromYearOn +
                                 u"\nError en la linea: 3. La CBU no es numérica."_s + allFromYearOn +
                                 u"\nError en la linea: 4."_s + allWrong +
                                 u"Error en la linea: 5. La CBU no es numérica. La moneda es incorrecta.\n"
                                 u"Error en la linea: 6. El signo del Importe Depositado es incorrecto.\n"
                                 u"Error en la linea: 7. El Importe Depositado es incorrecto.\n"
                                 u"Error en la linea: 8. El Importe Retenido es incorrecto.\n"
                                 u"Error en la linea: 9. La cantidad depositada es incorrecta.\n"
                                 u"Error en la linea: 10. La mes es incorrecto.\n"_s);
    EXPECT_EQ(m_ui.messages(), withErrors());
    EXPECT_EQ(detailCount(u"where N_CBU in ('+.5', '1,5')"_s), 2);
    EXPECT_EQ(detailCount(), 2);
}

TEST_F(ImportacionDDJJTest, CuitAndDuplicateChecksRunOnlyOnOtherwiseGoodLines)
{
    // A line already in the declaration, and the same pair in another sequence (not a duplicate).
    ASSERT_TRUE(
        clsCodigo::instance().Insertar_Detalle_DDJJ(1, 200209, 1234, u"999"_s, u"00"_s, u"01"_s, 20123456786, 1, 1, 1));
    ASSERT_TRUE(clsCodigo::instance().Insertar_Detalle_DDJJ(2, 200209, 1234, u"0170001540000001234567"_s, u"00"_s,
                                                            u"01"_s, 20123456786, 1, 1, 1));
    const QByteArray bytes = lines({{.cuit = "20123456787", .signoBase = "*"},
                                    {.cuit = "20123456787"},
                                    {},                      // 3: inserted
                                    {.moneda = "09"},        // 4: the currency only
                                    {},                      // 5: duplicate of 3
                                    {.cbu = "999"},          // 6: already there
                                    {.cuit = "40123456786"}, // 7: checked as if it began with 20, inserted
                                    {.cuit = "00000000000"}});
    EXPECT_EQ(import(bytes), u"Error en la linea: 1. El signo del Importe Depositado es incorrecto.\n"
                             u"Error en la linea: 2. El CUIT es incorrecto.\n"
                             u"Error en la linea: 4. La moneda es incorrecta.\n"
                             u"Error en la linea: 5. Ya existen detalles con el CUIT-CBU especificados.\n"
                             u"Error en la linea: 6. Ya existen detalles con el CUIT-CBU especificados.\n"
                             u"Error en la linea: 8. El CUIT es incorrecto.\n"_s);
    EXPECT_EQ(m_ui.messages(), withErrors());
    EXPECT_EQ(detailCount(u"where Secuencia = 1"_s), 3);
    EXPECT_EQ(detailCount(u"where Secuencia = 1 and N_Cuit = 40123456786"_s), 1);
}

TEST_F(ImportacionDDJJTest, CountsLinesAcrossEveryKindOfLineEndAndIgnoresWhatFollowsPosition80)
{
    // CR LF, a blank CR LF, an over-long LF line, a blank LF, CR, a blank CR, then a last line with no line end.
    const QByteArray bytes = "bad\r\n\r\n" + Fields().line() + QByteArray(5000, 'Z') + "\n\n" +
                             Fields{.cbu = "2"}.line() + "\r\rbad\r" + Fields{.cbu = "3"}.line() + "\r\nbad\n" +
                             Fields{.cbu = "4"}.line() + "  9999 sobrante";
    EXPECT_EQ(import(bytes), u"Error en la linea: 1."_s + allWrong + u"Error en la linea: 7."_s + allWrong +
                                 u"Error en la linea: 9."_s + allWrong);
    EXPECT_EQ(detailCount(), 4) << "a last line without a line end is imported too";
}

TEST_F(ImportacionDDJJTest, PositionsCountBytesOfWindows1252Text)
{
    // A UTF-8 byte-order mark does not shift the first line; accented letters and the euro sign past
    // position 80 are ignored and move nothing.
    const QByteArray bytes = "\xEF\xBB\xBF" + Fields{.cbu = "01700015400000012345\xE9"}.line() + "\r\n" +
                             Fields{.signoRetenido = "\xF1"}.line() + "\r\n" + Fields().line() +
                             " P\xE9rez \xD1"
                             "and\xFA \x80 S.A.\r\n";
    EXPECT_EQ(import(bytes), u"Error en la linea: 1. La CBU no es numérica.\n"
                             u"Error en la linea: 2. El signo del Importe Retenido es incorrecto.\n"_s);
    EXPECT_EQ(m_db.scalar(u"select sum(I_Retenido) from DDJJ_Detalle"_s).toDouble(), 12.3);
}

TEST_F(ImportacionDDJJTest, BrowseFillsThePathAndCancelAndBackCloseWithoutImporting)
{
    const QString file = writeFile(Fields().line());
    for (const QString& button : {u"bCancelar"_s, u"bVolver"_s}) {
        auto screen = open();
        m_ui.setNextFileName(file);
        click(*screen, u"bBuscar"_s);
        click(*screen, u"bBuscar"_s); // cancelled: the path stays
        EXPECT_EQ(child<QLineEdit>(*screen, u"TxtPath"_s)->text(), QDir::toNativeSeparators(file));
        click(*screen, button);
        EXPECT_EQ(screen->result(), QDialog::Rejected);
    }
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_EQ(detailCount(), 0);
    EXPECT_FALSE(QFile::exists(errorFilePath()));
}

TEST_F(ImportacionDDJJTest, StaysOpenAndLockedWhileALongImportRuns)
{
    auto screen = open();
    bool sawProgressWhileLocked = false;
    // Runs while the import lets window events through.
    QTimer::singleShot(0, screen.get(), [&] {
        sawProgressWhileLocked = child<QProgressBar>(*screen, u"pbProgreso"_s)->value() > 0 &&
                                 !child<QPushButton>(*screen, u"bCancelar"_s)->isEnabled() &&
                                 !child<QLineEdit>(*screen, u"TxtPath"_s)->isEnabled();
        screen->reject(); // Escape or the close box: refused until the import ends
    });
    importPath(*screen, writeFile(goodLines(2000)));
    EXPECT_TRUE(sawProgressWhileLocked);
    EXPECT_EQ(m_ui.messages(), QList<Message>({{success, Icon::Information}}));
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(child<QProgressBar>(*screen, u"pbProgreso"_s)->value(), 1000);
    EXPECT_EQ(detailCount(), 2000);
}

TEST_F(DetailImporterTest, CommitsEveryGroupSoThatOnlyTheLastCanBeLost)
{
    // A second connection, as the program would find the file after a crash, sees only committed groups.
    auto other = db::Database::open(m_db.path(), u";pwd=ferlon"_s);
    const auto committed = [&] {
        return static_cast<int>(other->openRecordset(u"select count(*) from DDJJ_Detalle"_s)->field(0).toDouble());
    };
    std::vector<int> seen;
    DetailImporter run = importer(goodLines(3) + "bad\n" + goodLines(7, 4) + "bad\n", 3);
    run.setErrorSink([&](const QString&) { seen.push_back(committed()); });
    const DetailImporter::Result result = run.run();

    EXPECT_EQ(seen, std::vector<int>({3, 6})) << "the seventh line is still in an open group at the last error";
    EXPECT_EQ(committed(), 7) << "everything counted as imported is in the database at the end";
    EXPECT_EQ(std::tuple(result.lines, result.imported, result.rejected, result.errors()), std::tuple(9, 7, 2, true));
}

TEST_F(DetailImporterTest, ReportsEveryLineOfAGroupTheEngineDropped)
{
    // RAISE(ROLLBACK) makes the engine drop the whole transaction, as a full disk would.
    m_db.db().executeScript(u"CREATE TRIGGER perdida BEFORE INSERT ON DDJJ_Detalle WHEN NEW.N_CBU = '5' "
                            u"BEGIN SELECT RAISE(ROLLBACK, 'perdida'); END;"_s);
    const DetailImporter::Result result = importer(goodLines(8), 3).run();
    EXPECT_EQ(m_errors, QStringList({u"Error al insertar detalle de la linea: 4"_s,
                                     u"Error al insertar detalle de la linea: 5"_s}));
    EXPECT_EQ(detailCount(u"where N_CBU not in ('4', '5')"_s), 6);
    EXPECT_EQ(std::tuple(result.imported, result.rejected), std::tuple(6, 2));
}

TEST_F(DetailImporterTest, FindsDuplicatesAcrossGroupsAndFromOtherWriters)
{
    EXPECT_EQ(importer(goodLines(4) + goodLines(4), 2).run().imported, 4);
    EXPECT_EQ(m_errors.size(), 4);
    EXPECT_EQ(m_errors.last(), u"Error en la linea: 8"_s + duplicate);

    // Into an empty declaration the count is skipped for pairs this import has not inserted; a pair that
    // another writer put in meanwhile (here a trigger, when CBU 1 goes in) is still a duplicate.
    m_errors.clear();
    m_db.db().executeScript(u"DELETE FROM DDJJ_Detalle; CREATE TRIGGER otro AFTER INSERT ON DDJJ_Detalle "
                            u"WHEN NEW.N_CBU = '1' BEGIN INSERT INTO DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, "
                            u"N_CBU, N_Cuit) VALUES (1, 200209, '2', 20123456786); END;"_s);
    EXPECT_EQ(importer(goodLines(3)).run().imported, 2);
    EXPECT_EQ(m_errors, QStringList({u"Error en la linea: 2"_s + duplicate}));
    EXPECT_EQ(detailCount(), 3);
}

TEST_F(DetailImporterTest, ReadsLinesLongerThanItsBuffer)
{
    constexpr int bufferBytes = 64 * 1024;
    // A line far longer than one read; then a CR that ends one read and the LF that starts the next.
    const QByteArray split = Fields{.cbu = "1"}.line() + QByteArray(bufferBytes - 80 - 1, 'Z') + "\r\n" +
                             Fields{.cbu = "2"}.line() + QByteArray(5 * bufferBytes, 'Z') + "\r";
    ASSERT_EQ(split.at(bufferBytes - 1), '\r');
    const DetailImporter::Result result = importer(split).run();
    EXPECT_EQ(std::tuple(result.lines, result.imported), std::tuple(2, 2));
}
