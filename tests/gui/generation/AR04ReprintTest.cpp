#include "GenerationTest.h"

#include "gui/ui/Printers.h"
#include "reports/AR04Printing.h"

#include "data/Regional.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/reportengine/RecordedReport.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QString fileName(const report::RecordedReport& report)
{
    return QFileInfo(report.path).fileName();
}

} // namespace

class AR04ReprintTest : public GenerationTest
{
protected:
    /// Prints the declaration for the first time and forgets what the engine saw.
    void printFirst()
    {
        ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
        m_engine->clear();
    }

    bool reprint()
    {
        return AR04Printing::reprint(periodo, secuencia, clsCodigo::instance().Get_Comprobante(periodo, secuencia));
    }

    /// Every line's stamps, to prove a reprint changes none of them.
    QStringList stamps()
    {
        QStringList all;
        const auto rows = m_db.db().openRecordset(
            u"select N_Cuit, N_Comprobante, Hoja, F_Presentacion from DDJJ_Detalle order by N_Cuit"_s);
        for (; !rows->eof(); rows->moveNext()) {
            all.append(rows->field(0).toString() + u'|' + rows->field(1).toString() + u'|' + rows->field(2).toString() +
                       u'|' + rows->field(3).toString());
        }
        return all;
    }

    int paymentsMarked() { return m_db.count(u"AR03"_s, u"where Impresion = 'S'"_s); }
};

TEST_F(AR04ReprintTest, ShortFormReprintsItsOneSheetWithThePayments)
{
    addLines(10);
    addPayment(100, u"06/09/2002"_s, 11);
    addPayment(50.5, u"13/09/2002"_s, 12);
    printFirst();
    Clock::fix(QDate(2002, 11, 20));
    const QStringList before = stamps();
    execute(u"update AR03 set Impresion = 'N'"_s);

    ASSERT_TRUE(reprint());
    ASSERT_EQ(m_engine->reportCount(), 1);
    const report::RecordedReport& sheet = m_engine->report(0);
    EXPECT_EQ(fileName(sheet), u"AR04.rpt"_s);
    EXPECT_EQ(sheet.parameter(u"HojaA"_s), u"1"_s);
    EXPECT_EQ(sheet.parameter(u"HojaT"_s), u"1"_s);
    EXPECT_EQ(sheet.parameter(u"Nro"_s), u"0000000027"_s);
    EXPECT_EQ(sheet.parameter(u"Fec1"_s), u"15/10/2002"_s) << "the date the line was presented";
    EXPECT_EQ(sheet.parameter(u"Cuit10"_s), u"20000000010"_s);
    EXPECT_EQ(sheet.parameter(u"Fec11"_s), u"01/01/1900"_s);
    EXPECT_EQ(sheet.parameter(u"Saldo"_s), Regional::format(withheld(10), u"##,##0.00"));
    EXPECT_EQ(sheet.parameter(u"Pago2"_s), u"12"_s);
    EXPECT_EQ(sheet.parameter(u"TotDep"_s), u"150,50"_s);
    EXPECT_EQ(m_engine->previewTitles(), QStringList{u"Reimpresión AR04 - 27 Hoja Nro: 1"_s});
    EXPECT_EQ(paymentsMarked(), 2);
    EXPECT_EQ(stamps(), before);
    EXPECT_EQ(m_db.scalar(u"select Valor from PARAMETROS where ID = 5"_s).toString(), u"28"_s)
        << "the counter does not move";
}

TEST_F(AR04ReprintTest, LongFormReprintsEachStoredSheetAndThePaymentsSheet)
{
    addLines(50);
    addPayment(100, u"06/09/2002"_s, 11);
    printFirst();
    const QStringList before = stamps();

    ASSERT_TRUE(reprint());
    ASSERT_EQ(m_engine->reportCount(), 3);
    const report::RecordedReport& first = m_engine->report(0);
    const report::RecordedReport& second = m_engine->report(1);
    const report::RecordedReport& payments = m_engine->report(2);
    EXPECT_EQ(fileName(first), u"AR04_primera.rpt"_s);
    EXPECT_EQ(first.rows.size(), 41u);
    EXPECT_EQ(first.rows.front().value(u"N_CBU").toString(), cbu(1));
    EXPECT_EQ(first.parameter(u"HojaA"_s), u"1"_s);
    EXPECT_EQ(first.parameter(u"HojaT"_s), u"3"_s);
    EXPECT_EQ(first.parameter(u"Saldo"_s), QString());
    EXPECT_EQ(fileName(second), u"AR04_primera.rpt"_s);
    EXPECT_EQ(second.rows.size(), 9u);
    EXPECT_EQ(second.rows.front().value(u"N_CBU").toString(), cbu(42));
    EXPECT_EQ(second.parameter(u"HojaA"_s), u"2"_s);
    EXPECT_EQ(second.parameter(u"Saldo"_s), Regional::format(withheld(50), u"##,##0.00"));
    EXPECT_EQ(fileName(payments), u"AR04_Pagos.rpt"_s);
    EXPECT_EQ(payments.parameter(u"HojaA"_s), u"3"_s);
    EXPECT_EQ(payments.parameter(u"HojaT"_s), u"3"_s);
    EXPECT_EQ(payments.parameter(u"TotDep"_s), u"100,00"_s);
    EXPECT_EQ(payments.rows.size(), 1u);
    EXPECT_EQ(m_engine->previewTitles(),
              (QStringList{u"Reimpresión AR04 - 27 Hoja Nro: 1"_s, u"Reimpresión AR04 - 27 Hoja Nro: 2"_s,
                           u"Reimpresion AR04 - 27 Hoja: 3"_s}));
    EXPECT_EQ(stamps(), before);
}

TEST_F(AR04ReprintTest, SheetsAreVisitedInNumericOrder)
{
    // Twenty-two lines stamped two to a sheet: the sheet values "1" to "11", where a text order would
    // put "10" and "11" right after "1".
    addLines(22);
    execute(u"update DDJJ_Detalle set N_Comprobante = 27, F_Presentacion = '2002-10-15', "
            u"Hoja = cast((N_Cuit - 20000000001) / 2 + 1 as text)"_s);
    EXPECT_EQ(AR04Printing::sheetValues(periodo, secuencia),
              (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s, u"10"_s, u"11"_s}));

    ASSERT_TRUE(reprint());
    ASSERT_EQ(m_engine->reportCount(), 12);
    for (int k = 1; k <= 11; ++k) {
        const report::RecordedReport& sheet = m_engine->report(k - 1);
        ASSERT_EQ(sheet.rows.size(), 2u);
        EXPECT_EQ(sheet.rows.front().value(u"N_CBU").toString(), cbu(2 * k - 1)) << "sheet " << k;
        EXPECT_EQ(sheet.parameter(u"HojaA"_s), QString::number(k));
    }
    EXPECT_EQ(m_engine->report(11).parameter(u"HojaA"_s), u"12"_s);
}

TEST_F(AR04ReprintTest, AFailedSheetStopsAndLeavesThePaymentMarksAsTheyWere)
{
    addLines(10);
    addPayment(100, u"06/09/2002"_s, 11);
    printFirst();
    ASSERT_EQ(paymentsMarked(), 1);

    m_engine->setPreviewFailsAfter(0);
    EXPECT_FALSE(reprint());
    EXPECT_EQ(paymentsMarked(), 1);

    m_engine->setPreviewFailsAfter(-1);
    execute(u"delete from PARAMETROS"_s);
    m_engine->setOpenFails(true);
    EXPECT_FALSE(reprint());
}

TEST_F(AR04ReprintTest, ALongFormWhosePaymentsSheetFailsReportsIt)
{
    addLines(20);
    printFirst();
    m_engine->setPreviewFailsAfter(1);
    EXPECT_FALSE(reprint());
    EXPECT_EQ(m_engine->previewTitles(), QStringList{u"Reimpresión AR04 - 27 Hoja Nro: 1"_s});
}
