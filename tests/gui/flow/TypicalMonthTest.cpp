// A month of work through the real screens from the main menu: the agent is registered, the AR03 payments
// of September 2002 are recorded, the declaration of the period receives a line typed in and
// lines imported, is generated, corrected by replication, and the replica is generated and regenerated.
// The screens' own tests check their messages and focus; this one checks what passes from screen to
// screen: rows, stamps, counters, sheets and files.

#include "DeliveredDatabase.h"
#include "support/ScreenFixture.h"

#include "app/Main.h"
#include "data/clsCodigo.h"
#include "platform/cipher/Cipher.h"
#include "platform/db/Recordset.h"
#include "platform/reportengine/RecordedReport.h"
#include "platform/ui/ListGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Line A is typed in; C and D come from an interface file.
const QString cuitA = u"20123456786"_s, cbuA = u"0110012300000000000011"_s;
const QString cuitC = u"20172543597"_s, cbuC = u"0170001540000001234567"_s;
const QString cuitD = u"24225609914"_s, cbuD = u"0170001540000007654321"_s;

/// A record of 200209 as the declaration and interface files lay it out: CUIT, CBU, period, currency,
/// signed base, signed amount withheld, deposits.
QString record(const QString& cuit, const QString& cbu, const QString& amounts)
{
    return cuit + cbu + u"200209"_s + amounts;
}
const QString amountsC = u"01+00000001234.50+00000000012.30000000003"_s;
const QString amountsD = u"02+00000000500.00-00000000005.00000000001"_s;

/// The records a declaration file should hold, sorted, with line C's amounts given.
QStringList declaration(const QString& amountsOfC)
{
    QStringList all{record(cuitA, cbuA, u"01+00000015000.50+00000000150.25000000003"_s),
                    record(cuitC, cbuC, amountsOfC), record(cuitD, cbuD, amountsD)};
    all.sort();
    return all;
}

/// The decrypted records of a declaration file, sorted.
QStringList records(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QStringList plain;
    for (const QString& line : QString::fromLatin1(file.readAll()).split(u"\r\n"_s, Qt::SkipEmptyParts))
        plain.append(Cipher().decrypt(line, u"TOLBRANE"_s));
    plain.sort();
    return plain;
}

/// Empties a box as the operator does (select all, Backspace) and types the text through its key filter.
void type(QWidget& screen, const QString& box, const QString& text)
{
    auto* edit = screen.findChild<QLineEdit*>(box);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

/// Clicks the first row of the screen's list whose cells hold the texts (column, text).
void clickRowWhere(QWidget& screen, std::initializer_list<std::pair<int, QString>> wanted)
{
    auto& grid = *screen.findChild<ui::ListGrid*>(u"lvList"_s);
    int row = 0;
    while (row < grid.rowCount() && !std::all_of(wanted.begin(), wanted.end(), [&](const auto& cell) {
               return grid.cell(row, cell.first) == cell.second;
           }))
        ++row;
    ASSERT_LT(row, grid.rowCount()) << "no such row";
    const int column = grid.isColumnHidden(0) ? 1 : 0;
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(row, column)).center());
}

} // namespace

/// The database file as it is delivered (counters, help document, the first declaration of 200208 to
/// 200210) and a date early in October 2002, when September's declaration is due on the 15th.
class TypicalMonthTest : public ScreenFixture
{
protected:
    TypicalMonthTest() : ScreenFixture(QDate(2002, 10, 8))
    {
        DeliveredDatabase::addParameters(m_db.db(), u"ayuda.html"_s);
        DeliveredDatabase::addPeriods(m_db.db(), {200208, 200210, 15});
    }

    ~TypicalMonthTest() override { delete m_menu.data(); }

    /// Queues the work on the screen a main-menu button opens, presses the button, and checks that the
    /// screens expected were opened and every question and file name queued was used.
    void fromMenu(const QString& button, const QStringList& screens, const std::function<void(QDialog&)>& work)
    {
        ASSERT_TRUE(m_menu && m_menu->isVisible()) << "the main menu is up";
        const qsizetype seen = m_ui.shownScreens().size();
        m_ui.onNextModal(work);
        click(*m_menu, button);
        EXPECT_EQ(m_ui.shownScreens().mid(seen), screens);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(m_ui.pendingModals() + m_ui.pendingAnswers() + m_ui.pendingFileNames(), 0);
        ASSERT_TRUE(m_ui.unansweredQuestions().isEmpty()) << m_ui.unansweredQuestions().join(u" | "_s).toStdString();
    }

    /// Picks sequence secuencia of 200209 in the declaration list and generates it ("bGenerar") or
    /// regenerates it ("bImprimir") into a file of the operator's folder.
    void generate(const QString& secuencia, const QString& button, const QString& file)
    {
        fromMenu(u"bAR04"_s, {u"DDJJ"_s, u"Generacion_DDJJ"_s}, [this, secuencia, button, file](QDialog& list) {
            clickRowWhere(list, {{0, u"200209"_s}, {1, secuencia}});
            m_ui.onNextModal([this, file](QDialog& generation) {
                type(generation, u"TxtPath"_s, operatorFile(file));
                click(generation, u"bAceptar"_s);
            });
            click(list, button);
            click(list, u"bVolver"_s);
        });
    }

    /// The rows of a query as "field|field row2field|...": numbers plain, dates dd/mm/yyyy, null "".
    QString rows(const QString& sql)
    {
        QStringList result;
        for (const auto recordset = m_db.db().openRecordset(sql); !recordset->eof(); recordset->moveNext()) {
            QStringList fields;
            for (int i = 0; i < recordset->fieldCount(); ++i)
                fields.append(recordset->field(i).toString());
            result.append(fields.join(u'|'));
        }
        return result.join(u' ');
    }

    /// The stamps of a sequence's lines, the voucher counter, and the last sheet's voucher,
    /// balance withheld and total of payments.
    QString stamps(int secuencia)
    {
        const auto& sheet = m_engine.lastReport();
        return QStringList{rows(u"select distinct N_Comprobante, Hoja, F_Presentacion from DDJJ_Detalle "
                                u"where Secuencia = "_s +
                                QString::number(secuencia)),
                           rows(u"select Valor from PARAMETROS where ID = 5"_s), sheet.parameter(u"Nro"_s),
                           sheet.parameter(u"Saldo"_s), sheet.parameter(u"TotDep"_s)}
            .join(u' ');
    }

    QString operatorFile(const QString& name) const { return QDir::toNativeSeparators(m_files.filePath(name)); }

    QTemporaryDir m_files; // the operator's own folder
    QPointer<Main> m_menu;
};

TEST_F(TypicalMonthTest, SeptemberIsPaidDeclaredCorrectedAndReprinted)
{
    // The program starts on a file without registration; the menu asks for it by itself.
    m_ui.onNextModal([](QDialog& registracion) {
        type(registracion, u"TxCuit"_s, u"30707070702"_s);
        type(registracion, u"txRazonSocial"_s, u"Banco Ostrel S.A."_s);
        type(registracion, u"txNroAgente"_s, u"4521"_s);
        click(registracion, u"bAceptar"_s);
    });
    m_menu = Main::showMenu();
    EXPECT_EQ(clsCodigo::instance().Par_Agente, 4521);

    // 1. Two AR03 payments are entered; the declaration's sheet adds them up.
    fromMenu(u"bAR03"_s, {u"Impresion_AR03"_s, u"Pago_AR03"_s, u"Pago_AR03"_s}, [this](QDialog& list) {
        for (const auto& [day, amount] : {std::pair{6, u"1234.5"_s}, std::pair{13, u"800"_s}}) {
            m_ui.onNextModal([day, amount](QDialog& entry) {
                type(entry, u"txPosicion"_s, u"200209"_s);
                entry.findChild<QComboBox*>(u"cbSemana"_s)->setCurrentIndex(day / 7);
                entry.findChild<QDateEdit*>(u"txFecha"_s)->setDate(QDate(2002, 9, day));
                type(entry, u"txImporte"_s, amount);
                entry.findChild<QComboBox*>(u"cbTipoMoneda"_s)->setCurrentIndex(1);
                click(entry, u"bAceptar"_s);
            });
            click(list, u"BAgregar"_s);
        }
        click(list, u"bVolver"_s);
    });

    // 2. Line A is typed in on the declaration of 200209; C and D come from an interface file.
    fromMenu(u"bAR04"_s, {u"DDJJ"_s, u"Manual_DDJJ"_s}, [this](QDialog& list) {
        clickRowWhere(list, {{0, u"200209"_s}, {1, u"1"_s}});
        m_ui.onNextModal([](QDialog& entry) {
            type(entry, u"txCBU"_s, cbuA);
            entry.findChild<QComboBox*>(u"cbTipoCuenta"_s)->setCurrentIndex(1);
            entry.findChild<QComboBox*>(u"cbTipoMoneda"_s)->setCurrentIndex(1);
            type(entry, u"txCant"_s, u"3"_s);
            type(entry, u"txImporte"_s, u"15000.50"_s);
            type(entry, u"txTotal"_s, u"150.25"_s);
            type(entry, u"TxCuit"_s, cuitA);
            click(entry, u"bAceptar"_s);
        });
        click(list, u"bManual"_s);
        click(list, u"bVolver"_s);
    });
    QFile interfaceFile(m_files.filePath(u"interfase.txt"_s));
    ASSERT_TRUE(interfaceFile.open(QIODevice::WriteOnly));
    interfaceFile.write(
        (record(cuitC, cbuC, amountsC) + u"\r\n"_s + record(cuitD, cbuD, amountsD) + u"\r\n"_s).toLatin1());
    interfaceFile.close();
    fromMenu(u"bAR04"_s, {u"DDJJ"_s, u"Importacion_DDJJ"_s}, [this](QDialog& list) {
        clickRowWhere(list, {{0, u"200209"_s}, {1, u"1"_s}});
        m_ui.onNextModal([this](QDialog& import) {
            m_ui.setNextFileName(operatorFile(u"interfase.txt"_s));
            click(import, u"bBuscar"_s);
            click(import, u"bAceptar"_s);
        });
        click(list, u"bAutomatica"_s);
        click(list, u"bVolver"_s);
    });

    // 3. Generating writes the file of the three lines and prints voucher 1 from parameter row 5, with the
    // lines and the payments; the printing stamps every line.
    generate(u"1"_s, u"bGenerar"_s, u"ddjj.txt"_s);
    EXPECT_EQ(stamps(1), u"1|1|08/10/2002 2 0000000001 157,55 2.034,50"_s);
    EXPECT_EQ(records(operatorFile(u"ddjj.txt"_s)), declaration(amountsC));

    // 4. Line C was withheld 12,80, not 12,30. The declaration is generated, so the correction from the
    // detail list replicates it as sequence 2, which is generated with the next voucher.
    fromMenu(u"bAR04"_s, {u"DDJJ"_s, u"Detalle_DDJJ"_s, u"Manual_DDJJ"_s}, [this](QDialog& list) {
        clickRowWhere(list, {{0, u"200209"_s}, {1, u"1"_s}});
        m_ui.onNextModal([this](QDialog& detail) {
            clickRowWhere(detail, {{1, cbuC}});
            m_ui.answerNext(true);
            m_ui.onNextModal([](QDialog& entry) {
                type(entry, u"txTotal"_s, u"12.80"_s);
                click(entry, u"bAceptar"_s);
            });
            click(detail, u"bModificar"_s);
        });
        click(list, u"bVer"_s);
        click(list, u"bVolver"_s);
    });
    EXPECT_EQ(rows(u"select Secuencia, I_Retenido, N_Comprobante from DDJJ_Detalle where N_CBU = '"_s + cbuC +
                   u"' order by Secuencia"_s),
              u"1|12.3|1 2|12.8|"_s);
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where Secuencia = 2 and N_Comprobante is null"_s), 3);
    generate(u"2"_s, u"bGenerar"_s, u"ddjj2.txt"_s);
    EXPECT_EQ(stamps(2), u"2|1|08/10/2002 3 0000000002 158,05 2.034,50"_s);
    const QStringList corrected = declaration(u"01+00000001234.50+00000000012.80000000003"_s);
    EXPECT_EQ(records(operatorFile(u"ddjj2.txt"_s)), corrected);

    // 5. Regenerating writes every line again and reprints the stored sheet, using no voucher number.
    generate(u"2"_s, u"bImprimir"_s, u"ddjj_otra_vez.txt"_s);
    EXPECT_EQ(stamps(2), u"2|1|08/10/2002 3 0000000002 158,05 2.034,50"_s);
    EXPECT_EQ(records(operatorFile(u"ddjj_otra_vez.txt"_s)), corrected);

    // What the month left in the file.
    EXPECT_EQ(rows(u"select Valor from PARAMETROS where ID <= 3 order by ID"_s),
              u"30-70707070-2 Banco Ostrel S.A. 4521"_s);
    EXPECT_EQ(rows(u"select Posicion_Fiscal, Secuencia, Generado, Fecha_Pres from DDJJ order by 1, 2"_s),
              u"200208|1|N| 200209|1|S|08/10/2002 200209|2|S|08/10/2002 200210|1|N|"_s);
    EXPECT_EQ(rows(u"select Semana, Fecha_Pago, Importe, Moneda from AR03 order by Id"_s),
              u"1|06/09/2002|1234.5|01 2|13/09/2002|800|01"_s);
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s), 6) << "no other period got lines";
}
