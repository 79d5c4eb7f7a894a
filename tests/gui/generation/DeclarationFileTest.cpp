#include "GenerationTest.h"

#include "support/ReportFiles.h"

#include "generation/DeclarationFile.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ListGrid.h"
#include "screens/declarations/DDJJ.h"
#include "screens/generation/Generacion_DDJJ.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

/// Passes a number of bytes on to the file, then refuses every write, as a full or removed disk would;
/// or, when silent, says every later write went well while the bytes are lost, as a bad medium may.
/// A watch, when given, is told of every write first.
struct FailingDevice : QIODevice
{
    FailingDevice(
        QIODevice& target, bool silent, qint64 left = 700, std::function<void()> watch = [] {})
        : target(target), silent(silent), left(left), watch(std::move(watch))
    {
        open(QIODevice::WriteOnly);
    }
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 n) override
    {
        watch();
        return (left -= n) >= 0 ? target.write(data, n) : silent ? n : -1;
    }
    QIODevice& target;
    bool silent;
    qint64 left;
    std::function<void()> watch;
};

} // namespace

TEST_F(GenerationTest, RecordsHoldEightFieldsOnTheirSideAndRefuseFieldsThatDoNotFit)
{
    const auto recordOf = [this](const QString& values) {
        execute(u"delete from DDJJ_Detalle"_s);
        execute(u"insert into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_CUIT, N_CBU, C_Tipo_Moneda, "
                u"I_Base_Imponible, I_Retenido, N_Depositos) values (1, 200209, "_s +
                values + u')');
        const auto lines = clsCodigo::instance().Get_Detalle_DDJJs_Disk_1(periodo, secuencia);
        return lines && !lines->eof() ? DeclarationFile::record(*lines, u"200209"_s).value_or(u"-"_s) : QString();
    };
    EXPECT_EQ(recordOf(u"20123456786, '2850590940090418135201', '03', 1234.5, -12.3, 7"_s),
              u"20123456786 2850590940090418135201 200209 03 +00000001234.50 -00000000012.30 000000007"_s.remove(u' '));
    EXPECT_EQ(recordOf(u"null, null, null, null, null, null"_s),
              QString(33, u' ') + u"20020900+00000000000.00+00000000000.00000000000"_s);
    EXPECT_EQ(recordOf(u"123, '45', '1', 0.5, 0, 1234"_s),
              u"123        45                    2002091 +00000000000.50+00000000000.00000001234"_s);
    // Too long or not a number: refused rather than shifting the record.
    for (const QString& values :
         {u"20123456786, '28505909400904181352012', '01', 1, 1, 1"_s, u"20123456786, '1', '01', 123456789012, 1, 1"_s,
          u"20123456786, '1', '01', 1, 1, 1234567890"_s, u"201234567861, '1', '01', 1, 1, 1"_s,
          u"20123456786, '1', '011', 1, 1, 1"_s, u"20123456786, '1', '01', 1, 'mil', 1"_s})
        EXPECT_EQ(recordOf(values), u"-"_s) << values.toStdString();
}

class GeneracionDDJJTest : public GenerationTest
{
protected:
    GeneracionDDJJTest() : m_screen(m_cancelado)
    {
        m_screen.Posicion = u"200209"_s;
        m_screen.Secuencia = u"1"_s;
        activate(m_screen);
    }

    QLineEdit* path() { return child<QLineEdit>(m_screen, u"TxtPath"_s); }
    void generate(const QString& file)
    {
        path()->setText(file);
        click(m_screen, u"bAceptar"_s);
    }

    bool m_cancelado = false;
    Generacion_DDJJ m_screen;
};

TEST_F(GeneracionDDJJTest, RefusalsAndAFailedWriteKeepThePreviousFileThenThePendingLinesAreWritten)
{
    addLines(30);
    execute(u"update DDJJ_Detalle set N_Comprobante = 3 where N_Cuit % 2 = 0"_s);
    execute(u"update DDJJ_Detalle set I_Retenido = -I_Retenido where N_Cuit % 3 = 0"_s);
    ASSERT_TRUE(QFile::copy(m_db.path(), target())); // any file longer than the new one
    const qint64 previous = QFileInfo(target()).size();

    execute(u"update DDJJ_Detalle set N_CBU = '12345678901234567890123' where N_Cuit = 20000000003"_s);
    generate(target());
    execute(u"delete from DDJJ_Detalle where N_Cuit = 20000000003"_s);
    generate(QDir(m_db.dir()).filePath(u"no/existe/ddjj.txt"_s));
    generate(u"  "_s);
    generate(u"A:\\ddjj.txt"_s);
    m_screen.Posicion = u"2002AB"_s;
    generate(target());
    m_screen.Posicion = u"200209"_s;
    for (const bool silent : {false, true}) {
        m_screen.setOutputFilter([silent](QIODevice& file) { return std::make_unique<FailingDevice>(file, silent); });
        generate(target());
    }

    const QString openError = u"No se ha podido abrir el archivo especificado."_s;
    EXPECT_EQ(m_operator.messageTexts(),
              (QStringList{u"Error en alguno de los datos que se obtuvieron para generar."_s, openError, openError,
                           openError, u"Error en la obtención de los datos a generar."_s, openError, openError}));
    EXPECT_EQ(QFileInfo(target()).size(), previous);
    EXPECT_TRUE(m_cancelado && m_screen.isVisible()) << "the screen stays open for another attempt";

    // A first generation: the 14 pending lines, over the longer file, each record decrypting back.
    m_screen.setOutputFilter({});
    m_operator.clearMessages();
    generate(target());
    EXPECT_TRUE(m_operator.messages().isEmpty()) << m_operator.messageTexts().join(u" | "_s).toStdString();
    EXPECT_TRUE(!m_cancelado && m_screen.result() == QDialog::Accepted);
    const QStringList records = ReportFiles::declarationRecords(target());
    ASSERT_EQ(records.size(), 14);
    EXPECT_EQ(QFileInfo(target()).size(), 14 * 146) << "no old bytes after the records";
    auto lines = clsCodigo::instance().Get_Detalle_DDJJs_Disk_1(periodo, secuencia);
    for (int i = 0; i < 14; ++i, lines->moveNext())
        EXPECT_EQ(records[i], DeclarationFile::record(*lines, u"200209"_s));
    EXPECT_EQ(state(), u"14 27 N 0"_s) << "the database is not changed";
}

TEST_F(GeneracionDDJJTest, EnterBrowsingAndLeavingGenerateNothing)
{
    addLines(1);
    path()->setFocus();
    path()->setText(target());
    QTest::keyClick(path(), Qt::Key_Return);
    EXPECT_EQ(focusName(), u"bAceptar"_s) << "Enter moves on without generating";

    const QString chosen = QDir(m_db.dir()).filePath(u"nueva.txt"_s);
    m_operator.setNextFileName(chosen);
    click(m_screen, u"bBuscar"_s);
    click(m_screen, u"bBuscar"_s); // the operator cancels the dialog
    EXPECT_EQ(path()->text(), QDir::toNativeSeparators(chosen)) << "a file that does not exist yet";
    EXPECT_EQ(m_operator.fileRequests(),
              QStringList(2, u"Archivo para la Generación del Detalle de DDJJ||Todos los archivos (*.txt)|save txt"_s));

    click(m_screen, u"bVolver"_s);
    EXPECT_TRUE(m_cancelado && m_screen.result() == QDialog::Rejected);
    EXPECT_EQ(QDir(m_db.dir()).entryList({u"*.txt"_s}, QDir::Files), QStringList());
}

// A long declaration is written under the hourglass, the bar below the screen's controls filling as the
// records go out and ending full; a failed attempt leaves it empty.
TEST_F(GeneracionDDJJTest, TheFileIsWrittenUnderTheHourglassWithABarThatEndsFull)
{
    auto& bar = *child<QProgressBar>(m_screen, u"pbProgreso"_s);
    for (const char* name : {"Frame1", "bAceptar", "bCancelar", "bVolver"}) // which keep their places
        EXPECT_GT(bar.geometry().top(), child<QWidget>(m_screen, QString::fromLatin1(name))->geometry().bottom());

    addLines(3000);
    std::vector<std::pair<bool, int>> seen; // hourglass and bar at each write
    m_screen.setOutputFilter([&](QIODevice& file) {
        return std::make_unique<FailingDevice>(file, false, 1 << 30,
                                               [&] { seen.emplace_back(m_operator.isBusy(), bar.value()); });
    });
    bar.setValue(bar.maximum() / 2); // as an earlier attempt might have left it
    generate(QDir(m_db.dir()).filePath(u"no/existe/ddjj.txt"_s));
    EXPECT_EQ(bar.value(), 0);
    generate(target());
    EXPECT_TRUE(m_operator.messages().size() == 1 && !m_cancelado);
    ASSERT_EQ(seen.size(), size_t(3000));
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](const auto& at) { return at.first; }));
    EXPECT_TRUE(
        std::is_sorted(seen.begin(), seen.end(), [](const auto& a, const auto& b) { return a.second < b.second; }));
    EXPECT_LE(seen.back().second, bar.maximum() / 2) << "writing fills half the bar, reading back the rest";
    EXPECT_EQ(bar.value(), bar.maximum());
}

// The declaration list's Generar and Imprimir: the generation screen, then the AR04 printing, and the
// return to the row the operator was on, 200209 between two other periods.
class DDJJGenerationTest : public GenerationTest
{
protected:
    DDJJGenerationTest()
    {
        execute(u"insert into DDJJ (Posicion_Fiscal, Secuencia, Generado) values ('200208', 1, 'S')"_s);
        execute(u"insert into DDJJ (Posicion_Fiscal, Secuencia, Generado) values ('200210', 1, 'N')"_s);
        addLines(20);
        m_list = show<DDJJ>();
        clickRow(grid(), 1);
    }

    ui::ListGrid& grid() { return *child<ui::ListGrid>(*m_list, u"lvList"_s); }

    /// Presses a button of the list; the screen it opens generates the target file or is left.
    void press(const QString& name, bool generates)
    {
        m_operator.onNextModal([this, generates](QDialog& screen) {
            if (generates)
                child<QLineEdit>(screen, u"TxtPath"_s)->setText(target());
            click(screen, generates ? u"bAceptar"_s : u"bVolver"_s);
        });
        click(*m_list, name);
    }

    std::unique_ptr<DDJJ> m_list;
};

TEST_F(DDJJGenerationTest, GenerarAndImprimirWriteTheFilePrintAndReturnToTheRow)
{
    // Refusals come before any screen opens.
    clsCodigo::instance().Par_Denomin.clear();
    click(*m_list, u"bGenerar"_s);
    setRegistration(1234, u"30-50001091-2"_s, u"Banco de la Provincia S.A."_s);
    press(u"bGenerar"_s, false);

    press(u"bGenerar"_s, true);
    EXPECT_EQ(m_engine.previewTitles(), (QStringList{u"AR04 - 27 Hoja Nro: 1"_s, u"AR04 - 27 Hoja Nro: 2"_s}));
    EXPECT_EQ(state(), u"0 28 S 0"_s);
    EXPECT_EQ(grid().cell(0) + grid().cell(3), u"200209S"_s) << "back on the same declaration";

    // Imprimir writes every line again and reprints the stored sheets.
    m_engine.clear();
    press(u"bImprimir"_s, true);
    EXPECT_EQ(m_engine.previewTitles(),
              (QStringList{u"Reimpresión AR04 - 27 Hoja Nro: 1"_s, u"Reimpresion AR04 - 27 Hoja: 2"_s}));
    QFile::remove(target());
    m_engine.setPreviewFailsAfter(0);
    press(u"bImprimir"_s, true);
    EXPECT_EQ(ReportFiles::declarationRecords(target()).size(), 20) << "the file is written when the printing fails";
    clickRow(grid(), 0); // 200208 is generated and has no lines
    click(*m_list, u"bImprimir"_s);

    const QString generated =
        u"Se ha generado el diskette correctamente. A continuación se emitirá el formulario AR04."_s;
    EXPECT_EQ(m_operator.messageTexts(),
              (QStringList{u"Para poder generar el diskette e imprimir el detalle deberá especificar la Razón Social o "
                           u"Denominación en la opción de Registración."_s,
                           generated, generated, generated, u"No se ha podido generar la impresión."_s,
                           u"La posición fiscal seleccionada no tiene detalles."_s}));
    EXPECT_EQ(m_operator.shownScreens().size(), 4);
}
