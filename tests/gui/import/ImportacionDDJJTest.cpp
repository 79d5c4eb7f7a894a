#include "ImportTest.h"

#include "data/clsCodigo.h"

#include <QDir>
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

const QList<Message> success{{u"La importación ha finalizado con éxito."_s, Icon::Information}};
const QByteArray old = "de una importacion anterior\n";
const QString duplicate = u" Ya existen detalles con el CUIT-CBU especificados."_s;
const QString allFromYearOn = u" El año es incorrecto. La mes es incorrecto. El signo del Importe Depositado es "
                              u"incorrecto. El Importe Depositado es incorrecto. El signo del Importe Retenido es "
                              u"incorrecto. El Importe Retenido es incorrecto. La cantidad depositada es incorrecta. "
                              u"La moneda es incorrecta."_s;
/// The texts after the line number for a line whose every field is wrong, in their order.
const QString allWrong = u" La CBU no es numérica. El CUIT no es numérico."_s + allFromYearOn;

QString error(int line, const QString& failures)
{
    return u"Error en la linea: "_s + QString::number(line) + u'.' + failures;
}

using ImportacionDDJJTest = ImportTest;
using DetailImporterTest = ImportTest;

} // namespace

TEST_F(ImportacionDDJJTest, RefusesMissingFilesAndBrowseCancelAndBackImportNothing)
{
    writeFile(old, errorPath());
    QDir(m_files.path()).mkdir(u"carpeta"_s);
    const QString file = writeFile(Fields().line());
    for (const QString& button : {u"bCancelar"_s, u"bVolver"_s}) {
        auto screen = open();
        auto* path = child<QLineEdit>(*screen, u"TxtPath"_s);
        EXPECT_EQ(focusName(), u"TxtPath"_s);
        // Enter moves on to the next control; it never starts the import by itself.
        path->setText(file);
        QTest::keyClick(path, Qt::Key_Return);
        EXPECT_EQ(focusName(), u"bBuscar"_s);
        for (const QString& typed : {u"   "_s, m_files.filePath(u"no_existe.txt"_s), m_files.filePath(u"carpeta"_s)}) {
            m_ui.clearMessages();
            importPath(*screen, typed);
            EXPECT_EQ(m_ui.messages(),
                      QList<Message>({{typed.trimmed().isEmpty() ? u"Debe especificar el Archivo de Interfase"_s
                                                                 : u"El archivo de Interfase no existe"_s,
                                       Icon::Error}}));
            EXPECT_EQ(focusName(), u"TxtPath"_s);
        }
        m_ui.clearMessages();
        m_ui.setNextFileName(file);
        click(*screen, u"bBuscar"_s);
        click(*screen, u"bBuscar"_s); // cancelled: the path stays
        EXPECT_EQ(path->text(), QDir::toNativeSeparators(file));
        click(*screen, button);
        EXPECT_EQ(screen->result(), QDialog::Rejected);
        EXPECT_TRUE(m_ui.messages().isEmpty());
    }
    EXPECT_EQ(detailCount(), 0);
    EXPECT_EQ(errorFile(), QString::fromUtf8(old));
}

TEST_F(ImportacionDDJJTest, StoresGoodLinesInTheChosenDeclarationAndEmptiesTheErrorFile)
{
    // Negative amounts; numbers may carry blanks around them and the CBU is stored trimmed.
    writeFile(old, errorPath());
    EXPECT_EQ(import(Fields().line() + "\n" +
                     Fields{.cbu = "0000000000000000000042",
                            .moneda = "03",
                            .signoBase = "-",
                            .signoRetenido = "-",
                            .depositos = "       12"}
                         .line() +
                     "\n" + Fields{.cbu = "  123  ", .moneda = "02", .base = "  1234.5      "}.line()),
              u""_s);
    EXPECT_EQ(m_ui.messages(), success);
    // The file's year and month are only validated: the rows go into the chosen declaration.
    EXPECT_EQ(
        m_db.scalar(u"select group_concat(r, ' | ') from (select N_CBU || ' ' || N_Cuit || ' ' || "
                    u"N_Posicion_Fiscal || ' ' || Secuencia || ' ' || N_Agente || ' ' || C_Tipo_Cuenta || ' ' || "
                    u"C_Tipo_Moneda || ' ' || I_Base_Imponible || ' ' || I_Retenido || ' ' || N_Depositos || ' ' "
                    u"|| F_Auditoria || ' ' || ifnull(N_Comprobante, '-') as r from DDJJ_Detalle order by N_CBU)"_s)
            .toString(),
        u"0000000000000000000042 20123456786 200209 1 1234 00 03 -1234.5 -12.3 12 2002-10-01 - | "
        u"0170001540000001234567 20123456786 200209 1 1234 00 01 1234.5 12.3 3 2002-10-01 - | "
        u"123 20123456786 200209 1 1234 00 02 1234.5 12.3 3 2002-10-01 -"_s);
}

TEST_F(ImportacionDDJJTest, WritesEveryFailedCheckInOrderThenTheCuitAndDuplicatesOfGoodLines)
{
    // A line already in the declaration, and the same pair in another sequence (not a duplicate).
    clsCodigo& codigo = clsCodigo::instance();
    ASSERT_TRUE(codigo.Insertar_Detalle_DDJJ(1, 200209, 1234, u"999"_s, u"00"_s, u"01"_s, 20123456786, 1, 1, 1));
    ASSERT_TRUE(codigo.Insertar_Detalle_DDJJ(2, 200209, 1234, u"0170001540000001234567"_s, u"00"_s, u"01"_s,
                                             20123456786, 1, 1, 1));
    const std::pair<QByteArray, QString> cases[] = {
        {Fields().line().left(33), allFromYearOn}, // CUIT and CBU only
        {"20123", u" La CBU no es numérica."_s + allFromYearOn},
        {QByteArray(80, ' ') + "x", allWrong}, // blanks, then a byte past 80
        {Fields{.cbu = "01700015400000012345AB", .moneda = "04"}.line(),
         u" La CBU no es numérica. La moneda es incorrecta."_s},
        {Fields{.signoBase = " "}.line(), u" El signo del Importe Depositado es incorrecto."_s},
        {Fields{.base = "1.234.50"}.line(), u" El Importe Depositado es incorrecto."_s},
        {Fields{.retenido = "12 30"}.line(), u" El Importe Retenido es incorrecto."_s},
        {Fields{.depositos = "         "}.line(), u" La cantidad depositada es incorrecta."_s},
        {Fields{.month = "-"}.line(), u" La mes es incorrecto."_s},
        {Fields{.cbu = "+.5"}.line(), {}}, // numbers, so inserted
        {Fields{.cbu = "1,5"}.line(), {}},
        // The check digit waits for the other fields, and the duplicate test for the check digit.
        {Fields{.cuit = "20123456787", .signoBase = "*"}.line(), u" El signo del Importe Depositado es incorrecto."_s},
        {Fields{.cuit = "20123456787"}.line(), u" El CUIT es incorrecto."_s},
        {Fields().line(), {}},
        {Fields{.moneda = "00"}.line(), u" La moneda es incorrecta."_s},
        {Fields().line(), duplicate},
        {Fields{.cbu = "999"}.line(), duplicate}, // already there
    };
    QByteArray bytes;
    QString expected;
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        bytes += cases[i].first + "\n";
        if (!cases[i].second.isEmpty())
            expected += error(i + 1, cases[i].second) + u'\n';
    }
    EXPECT_EQ(import(bytes), expected);
    EXPECT_EQ(m_ui.messages(),
              QList<Message>({{u"La importación ha finalizado. Se han detectado algunos errores que están registrados "
                               u"en el archivo: "_s +
                                   QDir::toNativeSeparators(m_db.dir()) + QDir::separator() + u"Errores.txt."_s,
                               Icon::Information}}));
    EXPECT_EQ(detailCount(u"where Secuencia = 1 and N_CBU in ('+.5', '1,5', '0170001540000001234567')"_s), 3);
    EXPECT_EQ(detailCount(u"where Secuencia = 1"_s), 4);
}

TEST_F(DetailImporterTest, CountsLinesOfEveryEndAndBufferSplitAndReadsOnlyTheFirst80Bytes)
{
    constexpr int bufferBytes = 64 * 1024;
    // A UTF-8 byte-order mark does not shift the first line; positions count Windows-1252 bytes.
    QByteArray bytes = "\xEF\xBB\xBF" + Fields{.cbu = "01700015400000012345\xE9"}.line() + "\r\n\r\n"; // 1; 2 blank
    bytes += Fields{.cbu = "1"}.line();
    bytes += QByteArray(bufferBytes - 1 - bytes.size(), 'Z') + "\r\n"; // 3: its CR ends one read, its LF the next
    ASSERT_EQ(bytes.at(bufferBytes - 1), '\r');
    bytes += Fields{.cbu = "2"}.line() + QByteArray(5 * bufferBytes, 'Z') + "\n\n";             // 4; 5 blank
    bytes += Fields{.signoRetenido = "\xF1"}.line() + "\r\rbad\r" + Fields{.cbu = "3"}.line() + // 6; 7 blank; 8
             " P\xE9rez \x80 S.A.\r\nbad\n" + Fields{.cbu = "4"}.line() + "  9999 sobrante";    // 9; 10; 11
    const DetailImporter::Result result = importer(bytes).run();
    EXPECT_EQ(m_errors, QStringList({error(1, u" La CBU no es numérica."_s),
                                     error(6, u" El signo del Importe Retenido es incorrecto."_s), error(8, allWrong),
                                     error(10, allWrong)}));
    EXPECT_EQ(std::tuple(result.lines, result.imported), std::tuple(11, 4))
        << "a last line without a line end is imported too";
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
    EXPECT_EQ(m_ui.messages(), success);
    EXPECT_EQ(child<QProgressBar>(*screen, u"pbProgreso"_s)->value(), 1000);
    EXPECT_EQ(detailCount(), 2000);
}

TEST_F(DetailImporterTest, CommitsEveryGroupSoThatOnlyTheLastCanBeLostAndFindsDuplicatesAcrossThem)
{
    // A second connection, as the program would find the file after a crash, sees only committed groups.
    auto other = db::Database::open(m_db.path(), u";pwd=ferlon"_s);
    const auto committed = [&] {
        return static_cast<int>(other->openRecordset(u"select count(*) from DDJJ_Detalle"_s)->field(0).toDouble());
    };
    std::vector<int> seen;
    DetailImporter run = importer(goodLines(3) + "bad\n" + goodLines(7, 4) + "bad\n" + goodLines(1), 3);
    run.setErrorSink([&](const QString& line) {
        seen.push_back(committed());
        m_errors.append(line);
    });
    const DetailImporter::Result result = run.run();
    EXPECT_EQ(seen, std::vector<int>({3, 6, 6})) << "the seventh line is still in an open group at the last errors";
    EXPECT_EQ(m_errors.last(), error(10, duplicate));
    EXPECT_EQ(committed(), 7) << "everything counted as imported is in the database at the end";
    EXPECT_EQ(std::tuple(result.lines, result.imported, result.rejected, result.errors()), std::tuple(10, 7, 3, true));
}

TEST_F(DetailImporterTest, ReportsTheLinesOfAGroupTheEngineDroppedAndPairsAnotherWriterPutIn)
{
    // RAISE(ROLLBACK) makes the engine drop the whole transaction, as a full disk would. Into an empty
    // declaration the count is skipped for pairs this import has not inserted; a pair that another
    // writer put in meanwhile (here a trigger, when CBU 1 goes in) is still a duplicate.
    m_db.db().executeScript(u"CREATE TRIGGER perdida BEFORE INSERT ON DDJJ_Detalle WHEN NEW.N_CBU = '5' BEGIN "
                            u"SELECT RAISE(ROLLBACK, 'perdida'); END; CREATE TRIGGER otro AFTER INSERT ON DDJJ_Detalle "
                            u"WHEN NEW.N_CBU = '1' BEGIN INSERT INTO DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, "
                            u"N_CBU, N_Cuit) VALUES (1, 200209, '2', 20123456786); END;"_s);
    const DetailImporter::Result result = importer(goodLines(8), 3).run();
    EXPECT_EQ(m_errors, QStringList({error(2, duplicate), u"Error al insertar detalle de la linea: 3"_s,
                                     u"Error al insertar detalle de la linea: 4"_s,
                                     u"Error al insertar detalle de la linea: 5"_s}));
    EXPECT_EQ(detailCount(u"where N_CBU in ('1', '2', '6', '7', '8')"_s), 5);
    EXPECT_EQ(std::tuple(result.imported, result.rejected, detailCount()), std::tuple(4, 4, 5));
}
