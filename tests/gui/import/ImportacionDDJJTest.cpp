#include "support/ReportFiles.h"
#include "support/ScreenFixture.h"

#include "data/clsCodigo.h"
#include "import/DetailImporter.h"
#include "import/InterfaceFileReader.h"
#include "platform/ProgramDirectory.h"
#include "screens/import/Importacion_DDJJ.h"

#include <QBuffer>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <tuple>
#include <vector>

using namespace Qt::StringLiterals;
using Icon = ui::Ui::Icon;
using Message = ui::ScriptedUi::Message;

namespace {

const QByteArray old = "de una importacion anterior\n";
const QString duplicate = u" Ya existen detalles con el CUIT-CBU especificados."_s;
const QString allFromYearOn = u" El año es incorrecto. La mes es incorrecto. El signo del Importe Depositado es "
                              u"incorrecto. El Importe Depositado es incorrecto. El signo del Importe Retenido es "
                              u"incorrecto. El Importe Retenido es incorrecto. La cantidad depositada es incorrecta. "
                              u"La moneda es incorrecta."_s;
const QString allWrong = u" La CBU no es numérica. El CUIT no es numérico."_s + allFromYearOn;

QString error(int line, const QString& failures)
{
    return u"Error en la linea: "_s + QString::number(line) + u'.' + failures;
}

/// The fields of a good interface line; its year is not the declaration's: it is only validated.
struct Fields
{
    QByteArray cuit = "20123456786", cbu = "0170001540000001234567", year = "1999", month = "12", moneda = "01";
    QByteArray signoBase = "+", base = "00000001234.50", signoRetenido = "+", retenido = "00000000012.30";
    QByteArray depositos = "000000003";

    static QByteArray fit(const QByteArray& v, qsizetype width) { return v.leftJustified(width, ' ', true); }
    [[nodiscard]] QByteArray line() const
    {
        return fit(cuit, 11) + fit(cbu, 22) + fit(year, 4) + fit(month, 2) + fit(moneda, 2) + fit(signoBase, 1) +
               fit(base, 14) + fit(signoRetenido, 1) + fit(retenido, 14) + fit(depositos, 9);
    }
};

QByteArray goodLines(int last, int first = 1)
{
    QByteArray bytes;
    for (int i = first; i <= last; ++i)
        bytes += Fields{.cbu = QByteArray::number(i)}.line() + "\n";
    return bytes;
}

/// A registered agent (1234), and the import into period 200209, sequence 1, by screen or importer alone.
class ImportTest : public ScreenFixture
{
protected:
    ImportTest() : ScreenFixture(QDate(2002, 10, 1)) { setRegistration(1234, {}, {}); }

    /// Writes these bytes to a file (by default the interface file) and gives its path.
    QString writeFile(const QByteArray& bytes, const QString& path = {})
    {
        return ReportFiles::write(path.isEmpty() ? m_files.filePath(u"interfase.txt"_s) : path, bytes);
    }
    [[nodiscard]] static QString errorFile()
    {
        return QString::fromUtf8(ReportFiles::read(ProgramDirectory::dataFilePath(u"Errores.txt"_s)));
    }
    int detailCount(const QString& where = {}) { return m_db.count(u"DDJJ_Detalle"_s, where); }

    static std::unique_ptr<Importacion_DDJJ> open() { return show<Importacion_DDJJ>(u"200209"_s, 1); }
    static void importPath(Importacion_DDJJ& screen, const QString& path)
    {
        child<QLineEdit>(screen, u"TxtPath"_s)->setText(path);
        click(screen, u"bAceptar"_s);
    }

    DetailImporter importer(const QByteArray& bytes, int groupSize = DetailImporter::defaultGroupSize)
    {
        DetailImporter importer(writeFile(bytes), 200209, 1);
        importer.setErrorSink([this](const QString& line) { m_errors.append(line); });
        importer.setGroupSize(groupSize);
        return importer;
    }

    QTemporaryDir m_files;
    QStringList m_errors;
};
using ImportacionDDJJTest = ImportTest;
using DetailImporterTest = ImportTest;

} // namespace

TEST_F(ImportacionDDJJTest, RefusesMissingFilesBrowseCancelAndBackImportNothingAndALongImportLocksTheScreen)
{
    writeFile(old, ProgramDirectory::dataFilePath(u"Errores.txt"_s));
    QDir(m_files.path()).mkdir(u"carpeta"_s);
    const QString file = writeFile(goodLines(3000));
    auto screen = open();
    auto* path = child<QLineEdit>(*screen, u"TxtPath"_s);
    EXPECT_EQ(focusName(), u"TxtPath"_s);
    // Enter moves on to the next control; it never starts the import by itself.
    path->setText(file);
    QTest::keyClick(path, Qt::Key_Return);
    EXPECT_EQ(focusName(), u"bBuscar"_s);
    for (const QString& typed : {u"   "_s, m_files.filePath(u"no_existe.txt"_s), m_files.filePath(u"carpeta"_s)}) {
        importPath(*screen, typed);
        const QString said = typed.trimmed().isEmpty() ? u"Debe especificar el Archivo de Interfase"_s
                                                       : u"El archivo de Interfase no existe"_s;
        EXPECT_EQ(m_operator.messages().last(), (Message{said, Icon::Error}));
        EXPECT_EQ(focusName(), u"TxtPath"_s);
    }
    m_operator.setNextFileName(file);
    click(*screen, u"bBuscar"_s);
    click(*screen, u"bBuscar"_s); // cancelled: the path stays
    EXPECT_EQ(path->text(), QDir::toNativeSeparators(file));
    click(*screen, u"bCancelar"_s);
    auto back = open();
    click(*back, u"bVolver"_s);
    EXPECT_EQ(std::tuple(screen->result(), back->result(), m_operator.messages().size()),
              std::tuple(QDialog::Rejected, QDialog::Rejected, 3));
    EXPECT_EQ(std::tuple(detailCount(), errorFile()), std::tuple(0, QString::fromUtf8(old)));

    // A file without errors locks the screen while it shows its progress, and empties the error file.
    auto good = open();
    QString during; // TxtPath, bBuscar, bAceptar, bCancelar and bVolver enabled, the bar part-way
    QTimer::singleShot(0, good.get(), [&] { // runs at the first progress report
        for (const QString& name : {u"TxtPath"_s, u"bBuscar"_s, u"bAceptar"_s, u"bCancelar"_s, u"bVolver"_s})
            during += QString::number(child<QWidget>(*good, name)->isEnabled());
        const int progress = child<QProgressBar>(*good, u"pbProgreso"_s)->value();
        during += QString::number(progress > 0 && progress < 1000);
    });
    importPath(*good, file);
    EXPECT_EQ(during, u"000001"_s);
    EXPECT_EQ(m_operator.messages().last(), (Message{u"La importación ha finalizado con éxito."_s, Icon::Information}));
    EXPECT_EQ(std::tuple(good->result(), detailCount(), errorFile(), child<QWidget>(*good, u"bAceptar"_s)->isEnabled()),
              std::tuple(QDialog::Accepted, 3000, u""_s, true));
}

// What cannot be saved stops the import, which says how far it got: another program reading the file, a
// full disk. A bad line first, so that an error file that cannot be written is said to be incomplete.
TEST_F(ImportacionDDJJTest, AnImportThatCannotSaveStopsAndSaysHowFarItGot)
{
    const QString file = writeFile(goodLines(2) + "bad\n" + goodLines(900, 3));
    const QString notImported = u" Quedaron importadas 0 líneas; desde la línea 1 el archivo no se importó. Se han "
                                u"detectado además algunos errores "_s;
    m_db.whileOtherProgramReads([&] { importPath(*open(), file); });
    const QString errorPath = ProgramDirectory::dataFilePath(u"Errores.txt"_s);
    EXPECT_EQ(m_operator.messages().last(),
              (Message{u"La importación se ha detenido porque no se pudieron guardar los detalles en la base de datos. "
                       u"Es posible que otro programa la esté utilizando."_s +
                           notImported + u"que están registrados en el archivo: "_s + errorPath + u"."_s,
                       Icon::Error}));
    EXPECT_EQ(errorFile(), error(3, allWrong) + u'\n');

    // No room for the lines, nor for the error list.
    ASSERT_TRUE(QFile::remove(errorPath) && QFile::link(u"/dev/full"_s, errorPath));
    const int pages = static_cast<int>(m_db.scalar(u"PRAGMA page_count"_s).toDouble());
    m_db.db().executeScript(u"PRAGMA max_page_count = "_s + QString::number(pages + 4));
    importPath(*open(), file);
    EXPECT_EQ(m_operator.messages().last(),
              (Message{u"La importación se ha detenido porque el disco está lleno."_s + notImported +
                           u"pero no se pudo escribir su lista completa en el archivo: "_s + errorPath +
                           u". Es posible que el disco esté lleno."_s,
                       Icon::Error}));
    m_db.reconnect();
    EXPECT_EQ(detailCount(), 0);
}

// "Verificar" writes the error file the import would write and counts the good lines, writing nothing.
TEST_F(ImportacionDDJJTest, WritesEveryFailedCheckInOrderAndStoresTheGoodLinesInTheChosenDeclaration)
{
    // A line already in the declaration, and the same pair in another sequence (not a duplicate).
    clsCodigo& codigo = clsCodigo::instance();
    ASSERT_TRUE(codigo.Insertar_Detalle_DDJJ(1, 200209, 1234, u"999"_s, u"00"_s, u"01"_s, 20123456786, 1, 1, 1));
    ASSERT_TRUE(codigo.Insertar_Detalle_DDJJ(2, 200209, 1234, u"0170001540000001234567"_s, u"00"_s, u"01"_s,
                                             20123456786, 1, 1, 1));
    const std::pair<QByteArray, QString> cases[] = {
        {Fields().line().left(33), allFromYearOn}, // CUIT and CBU only
        {"", {}},                                  // a blank line: numbered, but no line of the file
        {"20123", u" La CBU no es numérica."_s + allFromYearOn},
        {QByteArray(80, ' ') + "x", allWrong}, // blanks, then a byte past 80
        {Fields{.cbu = "017000154000000123456B", .moneda = "04"}.line(),
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
        // Negative amounts; numbers may carry blanks around them and the CBU is stored trimmed.
        {Fields{.cbu = "42", .moneda = "03", .signoBase = "-", .signoRetenido = "-"}.line(), {}},
        {Fields{.cbu = "  123  ", .moneda = "02", .base = "  1234.5      ", .depositos = "   12"}.line(), {}},
    };
    QByteArray bytes;
    QString expected;
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        bytes += cases[i].first + "\n";
        if (!cases[i].second.isEmpty())
            expected += error(i + 1, cases[i].second) + u'\n';
    }
    // "Verificar" writes the error file the import would write and counts the good lines, changing nothing.
    auto screen = open();
    child<QLineEdit>(*screen, u"TxtPath"_s)->setText(writeFile(bytes));
    click(*screen, u"bVerificar"_s);
    const QString errorPath = QDir::toNativeSeparators(m_db.dir()) + QDir::separator() + u"Errores.txt"_s;
    EXPECT_EQ(errorFile(), expected);
    EXPECT_EQ(m_operator.messages(),
              QList<Message>({{u"La verificación ha finalizado: de 19 líneas, 5 son correctas y 14 "
                               u"tienen errores, que están registrados en el archivo: "_s +
                               errorPath + u". No se ha modificado ningún dato."_s}}));
    EXPECT_EQ(std::tuple(focusName(), detailCount()), std::tuple(u"bVerificar"_s, 2));
    m_operator.clearMessages();
    click(*screen, u"bAceptar"_s);
    EXPECT_EQ(errorFile(), expected);
    EXPECT_EQ(m_operator.messages(),
              QList<Message>({{u"La importación ha finalizado. Se han detectado algunos errores que "
                               u"están registrados en el archivo: "_s +
                               errorPath + u"."_s}}));
    EXPECT_EQ(std::tuple(detailCount(u"where Secuencia = 1 and N_CBU in ('+.5', '1,5', '999')"_s), detailCount()),
              std::tuple(3, 7));
    // The file's year and month are only validated: the rows go into the chosen declaration.
    EXPECT_EQ(
        m_db.scalar(u"select group_concat(r, ' | ') from (select N_CBU || ' ' || N_Cuit || ' ' || "
                    u"N_Posicion_Fiscal || ' ' || N_Agente || ' ' || C_Tipo_Cuenta || ' ' || C_Tipo_Moneda || ' ' "
                    u"|| I_Base_Imponible || ' ' || I_Retenido || ' ' || N_Depositos || ' ' || F_Auditoria || ' ' "
                    u"|| ifnull(N_Comprobante, '-') as r from DDJJ_Detalle where Secuencia = 1 and N_CBU not in "
                    u"('+.5', '1,5', '999') order by N_CBU)"_s)
            .toString(),
        u"0170001540000001234567 20123456786 200209 1234 00 01 1234.5 12.3 3 2002-10-01 - | "
        u"123 20123456786 200209 1234 00 02 1234.5 12.3 12 2002-10-01 - | "
        u"42 20123456786 200209 1234 00 03 -1234.5 -12.3 3 2002-10-01 -"_s);
}

TEST_F(DetailImporterTest, CountsLinesOfEveryEndAndBufferSplitAndReadsOnlyTheFirst80Bytes)
{
    constexpr int bufferBytes = 64 * 1024;
    // A UTF-8 byte-order mark does not shift the first line; positions count Windows-1252 bytes.
    QByteArray bytes = "\xEF\xBB\xBF" + Fields{.cbu = "01700015400000012345\xE9"}.line() + "\r\n\r\n"; // 1; 2 blank
    bytes += Fields{.cbu = "1"}.line();
    bytes += QByteArray(bufferBytes - 1 - bytes.size(), 'Z') + "\r\n"; // 3: its CR ends one read, its LF the next
    bytes += Fields{.cbu = "2"}.line() + QByteArray(5 * bufferBytes, 'Z') + "\n \t\n";          // 4; 5 blank
    bytes += Fields{.signoRetenido = "\xF1"}.line() + "\r\rbad\r" + Fields{.cbu = "3"}.line() + // 6; 7 blank; 8
             " P\xE9rez \x80 S.A.\r\nbad\n" + Fields{.cbu = "4"}.line() + "  9999 sobrante";    // 9; 10; 11
    const DetailImporter::Result result = importer(bytes).run();
    EXPECT_EQ(m_errors, QStringList({error(1, u" La CBU no es numérica."_s),
                                     error(6, u" El signo del Importe Retenido es incorrecto."_s), error(8, allWrong),
                                     error(10, allWrong)}));
    EXPECT_EQ(std::tuple(result.lines, result.imported), std::tuple(11, 4))
        << "a last line without a line end is imported too";
}

TEST_F(DetailImporterTest, CommitsEveryGroupReportsTheLinesOfADroppedOneAndFindsEveryDuplicate)
{
    // A second connection, as the program would find the file after a crash, sees only committed groups.
    auto other = db::Database::open(m_db.path(), u";pwd=ferlon"_s);
    std::vector<double> seen;
    auto run = importer(goodLines(7) + "bad\n" + goodLines(8, 8) + goodLines(3, 3), 3);
    run.setErrorSink([&](const QString& line) {
        seen.push_back(other->openRecordset(u"select count(*) from DDJJ_Detalle"_s)->field(0).toDouble());
        m_errors.append(line);
    });
    // The key index refuses a repeated pair: the count runs after a refused insert. RAISE(ROLLBACK) drops the
    // whole transaction, as a full disk would, here on a pair already there (CBU 6): that refusal ends the group.
    m_db.db().executeScript(u"INSERT INTO DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_CBU, N_Cuit) VALUES (1, "
                            u"200209, '6', 20123456786); CREATE TRIGGER perdida BEFORE INSERT ON DDJJ_Detalle WHEN "
                            u"NEW.N_CBU = '6' BEGIN SELECT RAISE(ROLLBACK, 'perdida'); END;"_s);
    const DetailImporter::Result result = run.run();
    EXPECT_EQ(m_errors,
              QStringList({u"Error al insertar detalle de la linea: 4"_s, u"Error al insertar detalle de la linea: 5"_s,
                           error(6, duplicate), error(8, allWrong), error(10, duplicate)}));
    EXPECT_EQ(std::tuple(seen, result.lines, result.imported, result.rejected, detailCount()),
              std::tuple(std::vector<double>({4, 4, 4, 4, 4}), 10, 5, 5, 6))
        << "a duplicate leaves its group (lines 7 and 9) open";
}

TEST_F(DetailImporterTest, CountsBeforeEachInsertWhereTheDatabaseDoesNotKeepThePairsUnique)
{
    // None of these indexes refuses a second time the line already there, which has been printed on a sheet.
    m_db.db().executeScript(
        u"DROP INDEX DDJJ_Detalle_Clave; CREATE INDEX a ON DDJJ_Detalle (N_Posicion_Fiscal, Secuencia, N_CBU, N_Cuit); "
        u"CREATE UNIQUE INDEX b ON DDJJ_Detalle (N_Posicion_Fiscal, Secuencia, N_CBU, N_Cuit) WHERE Hoja IS NULL; "
        u"CREATE UNIQUE INDEX c ON DDJJ_Detalle (N_Posicion_Fiscal, Secuencia, N_CBU, N_Cuit, Hoja); "
        u"INSERT INTO DDJJ_Detalle (N_Posicion_Fiscal, Secuencia, N_CBU, N_Cuit, Hoja) VALUES "
        u"(200209, 1, '9', 20123456786, 1)"_s);
    const DetailImporter::Result result = importer(goodLines(9, 9) + goodLines(1) + goodLines(1)).run();
    EXPECT_EQ(std::tuple(m_errors, result.imported, detailCount()),
              std::tuple(QStringList({error(1, duplicate), error(3, duplicate)}), 1, 2));
}

TEST(InterfaceFileReader, AByteOrderMarkGivenAByteAtATimeIsNoPartOfTheFirstLine)
{
    // As a pipe or a slow network share may give the start of a file.
    struct OneByteAtATime : QBuffer
    {
        qint64 readData(char* data, qint64 size) override { return QBuffer::readData(data, std::min<qint64>(size, 1)); }
    };
    QByteArray bytes = "\xEF\xBB\xBF"
                       "20123456786\r\nsegunda";
    OneByteAtATime device;
    device.setBuffer(&bytes);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    InterfaceFileReader reader(device);
    QList<QByteArray> heads;
    for (InterfaceFileReader::Line line; reader.next(line);)
        heads << line.head;
    EXPECT_EQ(heads, (QList<QByteArray>{"20123456786", "segunda"}));
    EXPECT_EQ(reader.position(), bytes.size());
}
