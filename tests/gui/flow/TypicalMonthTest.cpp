// A typical month, step by step, as the operator lives it: the agent is registered, the AR03 payments of
// September 2002 are recorded and their forms printed, the declaration of the period receives detail lines
// typed in and imported, is generated and printed, corrected by replication, and the replica is generated,
// printed, regenerated and reprinted. Every step goes through the real screens from the main menu; the
// screens' own tests check their fields and report parameters in detail, this one that they work together.

#include "DeliveredDatabase.h"
#include "support/Printers.h"
#include "support/ReportFiles.h"
#include "support/TempDatabase.h"

#include "app/Main.h"
#include "data/clsCodigo.h"
#include "platform/Clock.h"
#include "platform/ProgramDirectory.h"
#include "platform/cipher/Cipher.h"
#include "platform/cipher/CipherError.h"
#include "platform/db/Recordset.h"
#include "platform/reportengine/RecordedReport.h"
#include "platform/reportengine/RecordingReportEngine.h"
#include "platform/ui/ListGrid.h"
#include "platform/ui/ScriptedUi.h"
#include "platform/ui/Ui.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Message = ui::ScriptedUi::Message;
using Messages = QList<Message>;
using Rows = QList<QStringList>;

const QString saved = u"Se ha realizado la operación correctamente."_s;
const QString diskette = u"Se ha generado el diskette correctamente. A continuación se emitirá el formulario AR04."_s;
const QString today = u"08/10/2002"_s;
const QString agentCuit = u"30-70707070-2"_s;
const QString agentName = u"Banco Ostrel S.A."_s;

// Columns of the lists: the payment's week and AR03 number; the detail line's CBU and voucher.
constexpr int semanaColumn = 2, numeroColumn = 7;
constexpr int cbuColumn = 1, comprobanteColumn = 11;

/// A detail line of 200209 as the operator types it (positions in the account type and currency lists).
struct Line
{
    QString cbu, cuit;
    int tipoCuenta, moneda;
    QString depositos, base, retenido;
};
// A and B are typed in, C and D come from the interface file; the CBUs put them in this order everywhere.
const Line lineA{u"0110012300000000000011"_s, u"20123456786"_s, 1, 1, u"3"_s, u"15000.50"_s, u"150.25"_s};
const Line lineB{u"0110012300000000000022"_s, u"27280335148"_s, 2, 3, u"1"_s, u"2000"_s, u"20"_s};
const QString cuitC = u"20172543597"_s, cbuC = u"0170001540000001234567"_s;
const QString cuitD = u"24225609914"_s, cbuD = u"0170001540000007654321"_s;
const QStringList cbuOrder{lineA.cbu, lineB.cbu, cbuC, cbuD};

/// A record of the period 200209 as the declaration file and the interface file both lay it out:
/// CUIT, CBU, year and month, currency, signed base, signed amount withheld, deposits.
QString record(const QString& cuit, const QString& cbu, const QString& amounts)
{
    return cuit + cbu + u"200209"_s + amounts;
}
const QString amountsC = u"01+00000001234.50+00000000012.30000000003"_s;
const QString amountsD = u"02+00000000500.00-00000000005.00000000001"_s;

/// The plain records of the declaration, sorted, with line C withheld the amount given.
QStringList declaration(const QString& retenidoC)
{
    QStringList records{record(lineA.cuit, lineA.cbu, u"01+00000015000.50+00000000150.25000000003"_s),
                        record(lineB.cuit, lineB.cbu, u"03+00000002000.00+00000000020.00000000001"_s),
                        record(cuitC, cbuC, u"01+00000001234.50"_s + retenidoC + u"000000003"_s),
                        record(cuitD, cbuD, amountsD)};
    records.sort();
    return records;
}

void click(QWidget& screen, const QString& name)
{
    auto* pressed = screen.findChild<QPushButton*>(name);
    ASSERT_TRUE(pressed && pressed->isVisible() && pressed->isEnabled()) << name.toStdString() << " cannot be pressed";
    QTest::mouseClick(pressed, Qt::LeftButton);
}

/// Empties a box as the operator does (select all, Backspace) and types the text through its key filter.
void type(QWidget& screen, const QString& box, const QString& text)
{
    auto* edit = screen.findChild<QLineEdit*>(box);
    ASSERT_NE(edit, nullptr) << box.toStdString();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

ui::ListGrid& grid(QWidget& screen)
{
    return *screen.findChild<ui::ListGrid*>(u"lvList"_s);
}

QStringList cells(const ui::ListGrid& grid, int row, std::initializer_list<int> columns)
{
    QStringList texts;
    for (const int column : columns)
        texts.append(grid.cell(row, column));
    return texts;
}

/// Clicks the first row whose cells hold the given texts (column, text).
void clickRowWhere(ui::ListGrid& grid, std::initializer_list<std::pair<int, QString>> wanted)
{
    int row = 0;
    while (row < grid.rowCount() && !std::all_of(wanted.begin(), wanted.end(), [&](const auto& cell) {
               return grid.cell(row, cell.first) == cell.second;
           }))
        ++row;
    ASSERT_LT(row, grid.rowCount()) << "no such row";
    int column = 0;
    while (grid.isColumnHidden(column))
        ++column;
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(row, column)).center());
    ASSERT_EQ(grid.currentRow(), row);
}

/// Selects the declaration of 200209 with the given sequence in the declaration list.
void clickDeclaration(QWidget& list, const QString& secuencia)
{
    clickRowWhere(grid(list), {{0, u"200209"_s}, {1, secuencia}});
}

/// The actions the declaration list offers for its current row.
QStringList actions(QWidget& list)
{
    QStringList enabled;
    for (const QString& name :
         {u"bVer"_s, u"BEliminar"_s, u"bGenerar"_s, u"bImprimir"_s, u"bManual"_s, u"bAutomatica"_s}) {
        if (list.findChild<QPushButton*>(name)->isEnabled())
            enabled.append(name);
    }
    return enabled;
}
const QStringList pendingActions{u"bVer"_s, u"BEliminar"_s, u"bGenerar"_s, u"bManual"_s, u"bAutomatica"_s};
const QStringList generatedActions{u"bVer"_s, u"BEliminar"_s, u"bImprimir"_s};

/// The decrypted records of a declaration file, sorted.
QStringList records(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString text = QString::fromLatin1(file.readAll());
    EXPECT_TRUE(text.endsWith(u"\r\n"_s)) << "every record is followed by CR LF";
    QStringList plain;
    try {
        for (const QString& line : text.split(u"\r\n"_s, Qt::SkipEmptyParts))
            plain.append(Cipher().decrypt(line, u"TOLBRANE"_s));
    } catch (const CipherError& error) {
        ADD_FAILURE() << "a record does not decrypt: " << error.what();
    }
    plain.sort();
    return plain;
}

/// The parameters name1..name<count> of a sheet.
QStringList numbered(const report::RecordedReport& sheet, const QString& name, int count)
{
    QStringList values;
    for (int k = 1; k <= count; ++k)
        values.append(sheet.parameter(name + QString::number(k)));
    return values;
}

} // namespace

/// The database file as it is delivered (counters, help document, the first declaration of 200208 to
/// 200210), the report layouts beside the program, a scripted operator, a recording report engine and a
/// fixed date early in October 2002, when September's declaration is due on the 15th.
class TypicalMonthTest : public ::testing::Test
{
protected:
    TypicalMonthTest() : m_ui(ui::ScriptedUi::install())
    {
        Clock::fix(QDate(2002, 10, 8));
        ProgramDirectory::override(m_db.dir());
        DeliveredDatabase::addParameters(m_db.db(), u"ayuda.html"_s);
        DeliveredDatabase::addPeriods(m_db.db(), {200208, 200210, 15});
        for (const QString& name : {u"AR03.rpt"_s, u"AR04.rpt"_s, u"AR04_primera.rpt"_s, u"AR04_Pagos.rpt"_s})
            QFile::copy(ReportFiles::shipped(name), QDir(m_db.dir()).filePath(name));
        auto engine = std::make_unique<report::RecordingReportEngine>();
        m_engine = engine.get();
        report::ReportEngine::install(std::move(engine));
        // Start-up found no registration in the file.
        clsCodigo::instance().Par_Agente = 0;
        clsCodigo::instance().Par_CUIT.clear();
    }

    ~TypicalMonthTest() override
    {
        EXPECT_EQ(m_ui.pendingAnswers(), 0);
        EXPECT_EQ(m_ui.pendingFileNames(), 0);
        delete m_menu.data();
        report::ReportEngine::install(nullptr);
        ui::Ui::install(nullptr);
        ProgramDirectory::release();
        Clock::release();
    }

    static Message info(const QString& text) { return {text, ui::Ui::Icon::Information, false}; }
    static Message question(const QString& text) { return {text, ui::Ui::Icon::Question, true}; }

    /// Queues the work to be done on the screen a main-menu button opens, then presses that button.
    void openFromMenu(const QString& menuButton, std::function<void(QDialog&)> work)
    {
        ASSERT_TRUE(m_menu && m_menu->isVisible()) << "the main menu is up";
        m_ui.onNextModal(std::move(work));
        click(*m_menu, menuButton);
    }

    /// Checks the screens a step opened and the boxes it showed, in order, and that every screen it expected was
    /// opened, every question answered and the pointer is back to normal.
    void stepShowed(const QStringList& screens, const Messages& messages)
    {
        EXPECT_EQ(m_ui.shownScreens().mid(m_screensSeen), screens);
        EXPECT_EQ(m_ui.messages().mid(m_messagesSeen), messages);
        m_screensSeen = m_ui.shownScreens().size();
        m_messagesSeen = m_ui.messages().size();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(m_ui.pendingModals(), 0) << "a screen the step expected did not open";
        ASSERT_TRUE(m_ui.unansweredQuestions().isEmpty()) << m_ui.unansweredQuestions().join(u" | "_s).toStdString();
        ASSERT_FALSE(m_ui.isBusy()) << "the pointer is back to normal";
    }

    /// Every row of a query, each field as text: numbers plain ("1234.5"), dates dd/mm/yyyy, null "".
    Rows rows(const QString& sql)
    {
        Rows result;
        const auto recordset = m_db.db().openRecordset(sql);
        for (; !recordset->eof(); recordset->moveNext()) {
            QStringList fields;
            for (int i = 0; i < recordset->fieldCount(); ++i)
                fields.append(recordset->field(i).toString());
            result.append(fields);
        }
        return result;
    }

    QString parameter(int id)
    {
        return m_db.scalar(u"select Valor from PARAMETROS where ID = "_s + QString::number(id)).toString();
    }

    QString operatorFile(const QString& name) const { return QDir::toNativeSeparators(m_files.filePath(name)); }

    /// Generates the selected declaration into the operator's folder, the path typed over the diskette's.
    void generateInto(const QString& path)
    {
        m_ui.onNextModal([path](QDialog& generation) {
            EXPECT_EQ(generation.findChild<QLineEdit*>(u"TxtPath"_s)->text(), u"A:\\ddjj.txt"_s);
            type(generation, u"TxtPath"_s, path);
            click(generation, u"bAceptar"_s);
            EXPECT_FALSE(generation.isVisible()) << "the screen closes once the file is written";
        });
    }

    /// The sheet's voucher number, balance withheld and total of payments.
    static QStringList totals(const report::RecordedReport& sheet)
    {
        return {sheet.parameter(u"Nro"_s), sheet.parameter(u"Saldo"_s), sheet.parameter(u"TotDep"_s)};
    }

    TempDatabase m_db;
    QTemporaryDir m_files; // the operator's own folder
    ui::ScriptedUi& m_ui;
    report::RecordingReportEngine* m_engine = nullptr;
    QPointer<Main> m_menu;

private:
    qsizetype m_messagesSeen = 0;
    qsizetype m_screensSeen = 0;
};

TEST_F(TypicalMonthTest, SeptemberIsPaidDeclaredCorrectedAndReprinted)
{
    // The program starts on a file without registration; the menu asks for it by itself.
    m_ui.onNextModal([](QDialog& registracion) {
        type(registracion, u"TxCuit"_s, u"30707070702"_s);
        type(registracion, u"txRazonSocial"_s, agentName);
        type(registracion, u"txNroAgente"_s, u"4521"_s);
        click(registracion, u"bAceptar"_s);
    });
    m_menu = Main::showMenu();
    ASSERT_TRUE(m_menu && m_menu->isVisible()) << "the menu is shown after the registration";
    EXPECT_EQ(clsCodigo::instance().Par_Agente, 4521);
    ASSERT_NO_FATAL_FAILURE(
        stepShowed({u"Registracion"_s}, {info(u"Se ha realizado la registración correctamente."_s)}));

    // 1. The AR03 payments of 200209 are entered from the payment list, none numbered yet.
    openFromMenu(u"bAR03"_s, [this](QDialog& list) {
        EXPECT_FALSE(list.findChild<QPushButton*>(u"bImprimir"_s)->isEnabled()) << "nothing to print yet";
        struct Payment
        {
            int semana, day;
            QString amount;
            int moneda;
        };
        for (const Payment& payment :
             {Payment{1, 6, u"1234.5"_s, 1}, Payment{2, 13, u"800"_s, 1}, Payment{3, 20, u"250.75"_s, 3}}) {
            m_ui.onNextModal([payment](QDialog& entry) {
                type(entry, u"txPosicion"_s, u"200209"_s);
                entry.findChild<QComboBox*>(u"cbSemana"_s)->setCurrentIndex(payment.semana - 1);
                entry.findChild<QDateEdit*>(u"txFecha"_s)->setDate(QDate(2002, 9, payment.day));
                type(entry, u"txImporte"_s, payment.amount);
                entry.findChild<QComboBox*>(u"cbTipoMoneda"_s)->setCurrentIndex(payment.moneda);
                click(entry, u"bAceptar"_s);
            });
            click(list, u"BAgregar"_s);
        }
        EXPECT_EQ(grid(list).rowCount(), 3);
        click(list, u"bVolver"_s);
    });
    ASSERT_NO_FATAL_FAILURE(stepShowed({u"Impresion_AR03"_s, u"Pago_AR03"_s, u"Pago_AR03"_s, u"Pago_AR03"_s},
                                       {info(saved), info(saved), info(saved)}));

    // 2. "&Imprimir" on each payment numbers it from parameter row 4 and previews its AR03 form; printing a
    // numbered payment again is a reprint.
    openFromMenu(u"bAR03"_s, [this](QDialog& list) {
        ui::ListGrid& shown = grid(list);
        for (const QString& semana : {u"1"_s, u"2"_s, u"3"_s}) {
            clickRowWhere(shown, {{semanaColumn, semana}});
            click(list, u"bImprimir"_s);
            EXPECT_EQ(m_engine->lastReport().previewTitles, QStringList{u"AR03"_s});
            EXPECT_EQ(m_engine->lastReport().parameter(u"Nro"_s), u"000000000"_s + semana) << "in printing order";
            EXPECT_EQ(shown.cell(numeroColumn), semana) << "the printed row shows its number";
            EXPECT_EQ(parameter(4), QString::number(semana.toInt() + 1)) << "the counter moves on";
        }
        clickRowWhere(shown, {{semanaColumn, u"1"_s}});
        click(list, u"bImprimir"_s);
        EXPECT_EQ(m_engine->lastReport().previewTitles, QStringList{u"Reimpresión AR03"_s});
        EXPECT_EQ(m_engine->lastReport().parameter(u"Nro"_s), u"0000000001"_s);
        EXPECT_EQ(parameter(4), u"4"_s) << "a reprint gives no number";
        click(list, u"bVolver"_s);
    });
    EXPECT_EQ(m_engine->closePreviewCalls(), 4) << "each AR03 preview replaces the previous one";
    ASSERT_NO_FATAL_FAILURE(stepShowed({u"Impresion_AR03"_s}, {})) << "printing says nothing when it works";

    // 3a. In the declaration list the operator picks 200209, still open, and types two lines in.
    openFromMenu(u"bAR04"_s, [this](QDialog& list) {
        ASSERT_EQ(grid(list).rowCount(), 3) << "the first declaration of each delivered period";
        EXPECT_EQ(cells(grid(list), 1, {0, 1, 2, 3, 4}),
                  (QStringList{u"200209"_s, u"1"_s, u"15/10/2002"_s, u"N"_s, QString()}));
        clickDeclaration(list, u"1"_s);
        EXPECT_EQ(actions(list), pendingActions);
        for (const Line& line : {lineA, lineB}) {
            m_ui.onNextModal([&line](QDialog& entry) {
                type(entry, u"txCBU"_s, line.cbu);
                entry.findChild<QComboBox*>(u"cbTipoCuenta"_s)->setCurrentIndex(line.tipoCuenta);
                entry.findChild<QComboBox*>(u"cbTipoMoneda"_s)->setCurrentIndex(line.moneda);
                type(entry, u"txCant"_s, line.depositos);
                type(entry, u"txImporte"_s, line.base);
                type(entry, u"txTotal"_s, line.retenido);
                type(entry, u"TxCuit"_s, line.cuit);
                click(entry, u"bAceptar"_s);
            });
            click(list, u"bManual"_s);
        }
        EXPECT_EQ(grid(list).cell(0), u"200209"_s) << "the list stays on the declaration";
        click(list, u"bVolver"_s);
    });
    ASSERT_NO_FATAL_FAILURE(stepShowed({u"DDJJ"_s, u"Manual_DDJJ"_s, u"Manual_DDJJ"_s}, {info(saved), info(saved)}));

    // 3b. Lines C and D come from an interface file prepared outside the program (CR LF, a blank line); a
    // line the operator had already typed in is refused and listed in the error file.
    const QString interfaceFile = operatorFile(u"interfase_200209.txt"_s);
    {
        QFile file(interfaceFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write((record(cuitC, cbuC, amountsC) + u"\r\n\r\n"_s + record(lineA.cuit, lineA.cbu, amountsC) +
                    u"\r\n"_s + record(cuitD, cbuD, amountsD) + u"\r\n"_s)
                       .toLatin1());
    }
    openFromMenu(u"bAR04"_s, [this, interfaceFile](QDialog& list) {
        clickDeclaration(list, u"1"_s);
        m_ui.onNextModal([this, interfaceFile](QDialog& import) {
            m_ui.setNextFileName(interfaceFile);
            click(import, u"bBuscar"_s);
            click(import, u"bAceptar"_s);
        });
        click(list, u"bAutomatica"_s);
        click(list, u"bVolver"_s);
    });
    const QString errorFile = QDir::toNativeSeparators(QDir(m_db.dir()).filePath(u"Errores.txt"_s));
    QFile errors(errorFile);
    ASSERT_TRUE(errors.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_EQ(QString::fromUtf8(errors.readAll()),
              u"Error en la linea: 3. Ya existen detalles con el CUIT-CBU especificados.\n"_s);
    ASSERT_NO_FATAL_FAILURE(stepShowed({u"DDJJ"_s, u"Importacion_DDJJ"_s},
                                       {info(u"La importación ha finalizado. Se han detectado algunos errores que "
                                             u"están registrados en el archivo: "_s +
                                             errorFile + u"."_s)}));

    // 4. "&Generar Diskette / Imprimir DDJJ " writes the file and runs the AR04 first printing: one short sheet
    // with voucher 1 from parameter row 5, the four lines in CBU order and the three payments.
    openFromMenu(u"bAR04"_s, [this](QDialog& list) {
        clickDeclaration(list, u"1"_s);
        generateInto(operatorFile(u"ddjj.txt"_s));
        click(list, u"bGenerar"_s);
        EXPECT_EQ(cells(grid(list), grid(list).currentRow(), {0, 1, 3, 4}),
                  (QStringList{u"200209"_s, u"1"_s, u"S"_s, today}));
        EXPECT_EQ(actions(list), generatedActions);
        click(list, u"bVolver"_s);
    });
    EXPECT_TRUE(m_engine->lastReport().path.endsWith(u"AR04.rpt"_s));
    EXPECT_EQ(m_engine->lastReport().previewTitles, QStringList{u"AR04 - 1 Hoja Nro: 1"_s});
    EXPECT_EQ(totals(m_engine->lastReport()), (QStringList{u"0000000001"_s, u"177,55"_s, u"2.285,25"_s}));
    EXPECT_EQ(numbered(m_engine->lastReport(), u"CBU"_s, 5), cbuOrder + QStringList{QString()});
    // The printing stamped every line, and moved the voucher counter on.
    EXPECT_EQ(rows(u"select distinct N_Comprobante, Hoja, F_Presentacion from DDJJ_Detalle where Secuencia = 1"_s),
              (Rows{{u"1"_s, u"1"_s, today}}));
    EXPECT_EQ(parameter(5), u"2"_s);
    // The file: one encrypted record of 80 characters per line.
    EXPECT_EQ(records(operatorFile(u"ddjj.txt"_s)), declaration(u"+00000000012.30"_s));
    ASSERT_NO_FATAL_FAILURE(stepShowed({u"DDJJ"_s, u"Generacion_DDJJ"_s}, {info(diskette)}));

    // 5a. Line C was withheld 12,80, not 12,30. The declaration is generated, so the correction from the
    // detail list replicates it as sequence 2.
    openFromMenu(u"bAR04"_s, [this](QDialog& list) {
        clickDeclaration(list, u"1"_s);
        m_ui.onNextModal([this](QDialog& detail) {
            // The four lines, typed and imported alike, in CBU order, stamped with the voucher and the date.
            ASSERT_EQ(grid(detail).rowCount(), 4);
            for (int row = 0; row < 4; ++row)
                EXPECT_EQ(cells(grid(detail), row, {cbuColumn, comprobanteColumn, 12}),
                          (QStringList{cbuOrder[row], u"1"_s, today}));
            clickRowWhere(grid(detail), {{cbuColumn, cbuC}});
            m_ui.answerNext(true);
            m_ui.onNextModal([](QDialog& entry) {
                EXPECT_EQ(entry.findChild<QLineEdit*>(u"txTotal"_s)->text(), u"12.30"_s) << "the line to correct";
                type(entry, u"txTotal"_s, u"12.80"_s);
                click(entry, u"bAceptar"_s);
            });
            click(detail, u"bModificar"_s);
            EXPECT_FALSE(detail.isVisible()) << "the detail list of the superseded sequence closes";
        });
        click(list, u"bVer"_s);
        // The cursor is back on the superseded sequence, which offers nothing any more.
        ui::ListGrid& shown = grid(list);
        ASSERT_EQ(shown.rowCount(), 4);
        EXPECT_EQ(shown.cell(1), u"1"_s);
        EXPECT_EQ(actions(list), QStringList{});
        clickDeclaration(list, u"2"_s);
        EXPECT_EQ(cells(shown, shown.currentRow(), {2, 3, 4}), (QStringList{u"15/10/2002"_s, u"N"_s, QString()}));
        EXPECT_EQ(actions(list), pendingActions);
        click(list, u"bVolver"_s);
    });
    // Sequence 2 holds the corrected line and copies of the other three, all pending; sequence 1 is untouched.
    EXPECT_EQ(rows(u"select Secuencia, I_Retenido, N_Comprobante from DDJJ_Detalle where N_CBU = '"_s + cbuC +
                   u"' order by Secuencia"_s),
              (Rows{{u"1"_s, u"12.3"_s, u"1"_s}, {u"2"_s, u"12.8"_s, QString()}}));
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where Secuencia = 2 and N_Comprobante is null"_s), 4);
    ASSERT_NO_FATAL_FAILURE(stepShowed(
        {u"DDJJ"_s, u"Detalle_DDJJ"_s, u"Manual_DDJJ"_s},
        {question(u"La posición fiscal seleccionada ya fue generada. Desea replicar la DDJJ?"_s), info(saved)}));

    // 5b. Sequence 2 is generated and printed the same way, with the next voucher number.
    openFromMenu(u"bAR04"_s, [this](QDialog& list) {
        clickDeclaration(list, u"2"_s);
        generateInto(operatorFile(u"ddjj_secuencia2.txt"_s));
        click(list, u"bGenerar"_s);
        EXPECT_EQ(cells(grid(list), grid(list).currentRow(), {1, 3, 4}), (QStringList{u"2"_s, u"S"_s, today}));
        click(list, u"bVolver"_s);
    });
    EXPECT_EQ(m_engine->lastReport().previewTitles, QStringList{u"AR04 - 2 Hoja Nro: 1"_s});
    EXPECT_EQ(totals(m_engine->lastReport()), (QStringList{u"0000000002"_s, u"178,05"_s, u"2.285,25"_s}));
    EXPECT_EQ(rows(u"select distinct N_Comprobante, Hoja, F_Presentacion from DDJJ_Detalle where Secuencia = 2"_s),
              (Rows{{u"2"_s, u"1"_s, today}}));
    EXPECT_EQ(parameter(5), u"3"_s);
    EXPECT_EQ(records(operatorFile(u"ddjj_secuencia2.txt"_s)), declaration(u"+00000000012.80"_s));
    ASSERT_NO_FATAL_FAILURE(stepShowed({u"DDJJ"_s, u"Generacion_DDJJ"_s}, {info(diskette)}));

    // 5c. "&Regenerar Diskette / Reimprimir DDJJ" writes the file again, with every line, and reprints the stored
    // sheet; nothing in the declaration changes.
    const QString regenerated = operatorFile(u"ddjj_regenerado"_s);
    openFromMenu(u"bAR04"_s, [this, regenerated](QDialog& list) {
        clickDeclaration(list, u"2"_s);
        EXPECT_EQ(actions(list), generatedActions);
        m_ui.onNextModal([this, regenerated](QDialog& generation) {
            // This time the operator browses for the file; the screen adds the extension.
            m_ui.setNextFileName(regenerated);
            click(generation, u"bBuscar"_s);
            click(generation, u"bAceptar"_s);
        });
        click(list, u"bImprimir"_s);
        click(list, u"bVolver"_s);
    });
    EXPECT_EQ(records(regenerated + u".txt"_s), declaration(u"+00000000012.80"_s));
    EXPECT_EQ(m_engine->lastReport().previewTitles, QStringList{u"Reimpresión AR04 - 2 Hoja Nro: 1"_s});
    EXPECT_EQ(totals(m_engine->lastReport()), (QStringList{u"0000000002"_s, u"178,05"_s, u"2.285,25"_s}));
    EXPECT_EQ(numbered(m_engine->lastReport(), u"Fec"_s, 4), QStringList(4, today)) << "the lines show their date";
    EXPECT_EQ(parameter(5), u"3"_s) << "a reprint uses no voucher number";
    ASSERT_NO_FATAL_FAILURE(stepShowed({u"DDJJ"_s, u"Generacion_DDJJ"_s}, {info(diskette)}));

    // The end of the day: "Salir del Sistema", confirmed; then what the month left in the file.
    m_ui.answerNext(true);
    click(*m_menu, u"bSalir"_s);
    EXPECT_TRUE(m_menu.isNull() || !m_menu->isVisible());
    EXPECT_EQ(rows(u"select Valor from PARAMETROS order by ID"_s),
              (Rows{{agentCuit}, {agentName}, {u"4521"_s}, {u"4"_s}, {u"3"_s}, {u"ayuda.html"_s}}));
    EXPECT_EQ(rows(u"select Posicion_Fiscal, Secuencia, Generado, Fecha_Pres from DDJJ "
                   u"order by Posicion_Fiscal, Secuencia"_s),
              (Rows{{u"200208"_s, u"1"_s, u"N"_s, QString()},
                    {u"200209"_s, u"1"_s, u"S"_s, today},
                    {u"200209"_s, u"2"_s, u"S"_s, today},
                    {u"200210"_s, u"1"_s, u"N"_s, QString()}}));
    EXPECT_EQ(
        rows(u"select Posicion_Fiscal, Semana, Fecha_Pago, Importe, Moneda, Numero, Impresion from AR03 order by Id"_s),
        (Rows{{u"200209"_s, u"1"_s, u"06/09/2002"_s, u"1234.5"_s, u"01"_s, u"1"_s, u"S"_s},
              {u"200209"_s, u"2"_s, u"13/09/2002"_s, u"800"_s, u"01"_s, u"2"_s, u"S"_s},
              {u"200209"_s, u"3"_s, u"20/09/2002"_s, u"250.75"_s, u"03"_s, u"3"_s, u"S"_s}}));
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s), 8) << "no other period got lines";
    ASSERT_NO_FATAL_FAILURE(stepShowed({}, {question(u"Está seguro que desea salir de la aplicación?"_s)}));
}
