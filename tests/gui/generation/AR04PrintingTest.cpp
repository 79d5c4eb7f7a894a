#include "GenerationTest.h"

#include "gui/ui/Printers.h"
#include "reports/AR04Printing.h"

#include "data/Regional.h"
#include "platform/db/Database.h"
#include "platform/reportengine/RecordedReport.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QString fileName(const report::RecordedReport& report)
{
    return QFileInfo(report.path).fileName();
}

QString money(double value)
{
    return Regional::format(value, u"##,##0.00");
}

} // namespace

class AR04PrintingTest : public GenerationTest
{
protected:
    bool print() { return clsCodigo::instance().Reporte_AR04(periodo, secuencia); }

    void addThreePayments()
    {
        m_payments = {addPayment(100.5, u"06/09/2002"_s, 11), addPayment(200, u"13/09/2002"_s, 12),
                      addPayment(300.25, u"20/09/2002"_s, 13)};
    }

    /// The sheet stamped on line i (as numbered by addLines), or "" while it is pending.
    QString sheetOf(int i)
    {
        return m_db.scalar(u"select Hoja from DDJJ_Detalle where N_Cuit = "_s + QString::number(20000000000LL + i))
            .toString();
    }

    int pendingLines() { return m_db.count(u"DDJJ_Detalle"_s, u"where N_Comprobante is null"_s); }
    QString counter() { return m_db.scalar(u"select Valor from PARAMETROS where ID = 5"_s).toString(); }
    QString generado() { return m_db.scalar(u"select Generado from DDJJ"_s).toString(); }
    int paymentsMarked() { return m_db.count(u"AR03"_s, u"where Impresion = 'S'"_s); }

    std::vector<int> m_payments;
};

TEST(AR04SheetCount, SixteenOnOneShortSheetThenFortyOneToASheet)
{
    EXPECT_EQ(AR04Printing::sheetCount(1), 1);
    EXPECT_EQ(AR04Printing::sheetCount(16), 1);
    EXPECT_EQ(AR04Printing::sheetCount(17), 1);
    EXPECT_EQ(AR04Printing::sheetCount(41), 1);
    EXPECT_EQ(AR04Printing::sheetCount(42), 2);
    EXPECT_EQ(AR04Printing::sheetCount(82), 2);
    EXPECT_EQ(AR04Printing::sheetCount(83), 3);
}

// The whole first printing for a number of pending lines: which forms, their sheets, totals and titles,
// and what it leaves stamped in the database.
class AR04FirstPrinting : public AR04PrintingTest, public ::testing::WithParamInterface<int>
{};

TEST_P(AR04FirstPrinting, NumbersStampsAndPreviewsEverySheet)
{
    const int n = GetParam();
    addLines(n);
    addThreePayments();
    ASSERT_TRUE(print());

    const QString saldo = money(withheld(n));
    if (n <= 16) {
        ASSERT_EQ(m_engine->reportCount(), 1);
        const report::RecordedReport& sheet = m_engine->report(0);
        EXPECT_EQ(fileName(sheet), u"AR04.rpt"_s);
        EXPECT_EQ(sheet.parameter(u"HojaA"_s), u"1"_s);
        EXPECT_EQ(sheet.parameter(u"HojaT"_s), u"1"_s);
        EXPECT_EQ(sheet.parameter(u"Saldo"_s), saldo);
        EXPECT_EQ(sheet.parameter(u"TotDep"_s), u"600,75"_s);
        EXPECT_EQ(sheet.parameter(u"Pago3"_s), u"13"_s);
        EXPECT_EQ(sheet.rows.size(), static_cast<size_t>(n));
        EXPECT_EQ(m_engine->previewTitles(), QStringList{u"AR04 - 27 Hoja Nro: 1"_s});
        EXPECT_EQ(paymentsMarked(), 3) << "the short form lists the payments and marks them";
        for (int i = 1; i <= n; ++i)
            EXPECT_EQ(sheetOf(i), u"1"_s);
    } else {
        const int total = (n + 40) / 41;
        ASSERT_EQ(m_engine->reportCount(), total + 1);
        QStringList titles;
        for (int s = 1; s <= total; ++s) {
            const report::RecordedReport& sheet = m_engine->report(s - 1);
            EXPECT_EQ(fileName(sheet), u"AR04_primera.rpt"_s) << "sheet " << s;
            EXPECT_EQ(sheet.parameter(u"HojaA"_s), QString::number(s));
            EXPECT_EQ(sheet.parameter(u"HojaT"_s), QString::number(total + 1));
            EXPECT_EQ(sheet.parameter(u"Saldo"_s), s == total ? saldo : QString()) << "sheet " << s;
            EXPECT_EQ(sheet.parameter(u"Nro"_s), u"0000000027"_s);
            // The sheet receives every line still pending; the first 41 are the ones it stamps.
            ASSERT_EQ(sheet.rows.size(), static_cast<size_t>(n - 41 * (s - 1)));
            EXPECT_EQ(sheet.rows.front().value(u"N_CBU").toString(), cbu(41 * (s - 1) + 1));
            titles.append(u"AR04 - 27 Hoja Nro: "_s + QString::number(s));
        }
        const report::RecordedReport& payments = m_engine->report(total);
        EXPECT_EQ(fileName(payments), u"AR04_Pagos.rpt"_s);
        EXPECT_EQ(payments.parameter(u"HojaA"_s), QString::number(total + 1));
        EXPECT_EQ(payments.parameter(u"HojaT"_s), QString::number(total + 1));
        EXPECT_EQ(payments.parameter(u"TotDep"_s), u"600,75"_s);
        EXPECT_EQ(payments.parameter(u"Saldo"_s), saldo);
        EXPECT_EQ(payments.rows.size(), 3u);
        EXPECT_EQ(payments.parameterNames(), (QStringList{u"Nro"_s, u"Agente"_s, u"Nombre"_s, u"Cuit"_s, u"Posicion"_s,
                                                          u"HojaA"_s, u"HojaT"_s, u"TotDep"_s, u"Saldo"_s}));
        titles.append(u"AR04 - 27 Hoja Nro: "_s + QString::number(total + 1));
        EXPECT_EQ(m_engine->previewTitles(), titles);
        EXPECT_EQ(paymentsMarked(), 0) << "the long form does not mark the payments";
        for (int i = 1; i <= n; ++i)
            EXPECT_EQ(sheetOf(i), QString::number((i - 1) / 41 + 1)) << "line " << i;
    }
    for (int r = 0; r < m_engine->reportCount(); ++r) {
        EXPECT_TRUE(m_engine->report(r).printerSetupButton);
        EXPECT_EQ(m_engine->report(r).parameter(u"Agente"_s), u"1234"_s);
        EXPECT_EQ(m_engine->report(r).parameter(u"Posicion"_s), u"200209"_s);
    }
    EXPECT_EQ(pendingLines(), 0);
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where N_Comprobante = 27 and F_Presentacion = '2002-10-15'"_s), n);
    EXPECT_EQ(counter(), u"28"_s);
    EXPECT_EQ(generado(), u"S"_s);
    EXPECT_EQ(m_db.scalar(u"select Fecha_Pres from DDJJ"_s).toDate(), m_today);
}

INSTANTIATE_TEST_SUITE_P(PendingLines, AR04FirstPrinting, ::testing::Values(3, 16, 17, 20, 41, 42, 61, 82, 83));

TEST_F(AR04PrintingTest, ShortFormSlotsInOrderWithTheirFormatsAndEmptyValues)
{
    addLines(2);
    execute(u"update DDJJ_Detalle set C_Tipo_Moneda = '03', I_Base_Imponible = 1234567.5, N_Depositos = 1500 "
            u"where N_Cuit = 20000000002"_s);
    addThreePayments();
    ASSERT_TRUE(print());
    const report::RecordedReport& sheet = m_engine->lastReport();

    QStringList expectedNames;
    for (int k = 1; k <= 16; ++k) {
        for (const QString& name : {u"Fec"_s, u"Cuit"_s, u"CBU"_s, u"TotCred"_s, u"TotRet"_s, u"Cant"_s, u"Moneda"_s})
            expectedNames.append(name + QString::number(k));
    }
    expectedNames += {u"Nro"_s, u"Agente"_s, u"Nombre"_s, u"Cuit"_s, u"Posicion"_s, u"Saldo"_s, u"HojaA"_s, u"HojaT"_s};
    for (int k = 1; k <= 15; ++k) {
        for (const QString& name : {u"Pago"_s, u"FecPago"_s, u"ImpPago"_s})
            expectedNames.append(name + QString::number(k));
    }
    expectedNames.append(u"TotDep"_s);
    EXPECT_EQ(sheet.parameterNames(), expectedNames);

    EXPECT_EQ(sheet.parameter(u"Fec1"_s), u"01/01/1900"_s) << "read before the line was stamped";
    EXPECT_EQ(sheet.parameter(u"Cuit1"_s), u"20000000001"_s);
    EXPECT_EQ(sheet.parameter(u"CBU1"_s), cbu(1));
    EXPECT_EQ(sheet.parameter(u"TotCred1"_s), u"1.001,00"_s);
    EXPECT_EQ(sheet.parameter(u"TotRet1"_s), u"0,50"_s);
    EXPECT_EQ(sheet.parameter(u"Cant1"_s), u"1"_s);
    EXPECT_EQ(sheet.parameter(u"Moneda1"_s), u"Pesos"_s);
    EXPECT_EQ(sheet.parameter(u"TotCred2"_s), u"1.234.567,50"_s);
    EXPECT_EQ(sheet.parameter(u"Cant2"_s), u"1.500"_s);
    EXPECT_EQ(sheet.parameter(u"Moneda2"_s), u"Dolares"_s);
    EXPECT_EQ(sheet.parameter(u"Fec3"_s), u"01/01/1900"_s) << "an empty slot";
    for (const QString& name : {u"Cuit16"_s, u"CBU16"_s, u"TotCred16"_s, u"TotRet16"_s, u"Cant16"_s, u"Moneda16"_s})
        EXPECT_EQ(sheet.parameter(name), QString()) << name.toStdString();

    EXPECT_EQ(sheet.parameter(u"Nro"_s), u"0000000027"_s);
    EXPECT_EQ(sheet.parameter(u"Nombre"_s), u"Banco de la Provincia S.A."_s);
    EXPECT_EQ(sheet.parameter(u"Cuit"_s), u"30-50001091-2"_s);
    EXPECT_EQ(sheet.parameter(u"Saldo"_s), u"1,50"_s);
    EXPECT_EQ(sheet.parameter(u"Pago1"_s), u"11"_s);
    EXPECT_EQ(sheet.parameter(u"FecPago1"_s), u"06/09/2002"_s);
    EXPECT_EQ(sheet.parameter(u"ImpPago1"_s), u"100,50"_s);
    EXPECT_EQ(sheet.parameter(u"ImpPago3"_s), u"300,25"_s);
    EXPECT_EQ(sheet.parameter(u"Pago4"_s), QString());
    EXPECT_EQ(sheet.parameter(u"FecPago15"_s), QString());
    EXPECT_EQ(sheet.parameter(u"ImpPago15"_s), QString());
    EXPECT_EQ(sheet.parameter(u"TotDep"_s), u"600,75"_s);
}

TEST_F(AR04PrintingTest, APeriodWithoutPaymentsShowsEmptySlotsAndAZeroDeposit)
{
    addLines(61);
    ASSERT_TRUE(print());
    EXPECT_EQ(m_engine->lastReport().parameter(u"TotDep"_s), u"0,00"_s);
    EXPECT_TRUE(m_engine->lastReport().rows.empty());

    m_engine->clear();
    execute(u"delete from DDJJ_Detalle"_s);
    execute(u"update DDJJ set Generado = 'N'"_s);
    addLines(4);
    ASSERT_TRUE(print());
    const report::RecordedReport& sheet = m_engine->lastReport();
    EXPECT_EQ(sheet.parameter(u"TotDep"_s), u"0,00"_s);
    for (int k = 1; k <= 15; ++k)
        EXPECT_EQ(sheet.parameter(u"Pago"_s + QString::number(k)), QString());
    EXPECT_EQ(counter(), u"29"_s) << "each printing takes the next voucher";
    EXPECT_EQ(sheet.parameter(u"Nro"_s), u"0000000028"_s);
}

TEST_F(AR04PrintingTest, NothingWithheldLeavesSaldoEmptyOnDetailSheetsAndZeroOnThePaymentsSheet)
{
    addLines(50);
    execute(u"update DDJJ_Detalle set I_Retenido = 0"_s);
    ASSERT_TRUE(print());
    ASSERT_EQ(m_engine->reportCount(), 3);
    EXPECT_EQ(m_engine->report(1).parameter(u"Saldo"_s), QString());
    EXPECT_EQ(m_engine->report(2).parameter(u"Saldo"_s), u"0,00"_s);
}

TEST_F(AR04PrintingTest, WithoutPendingLinesNothingIsPrinted)
{
    EXPECT_FALSE(print());
    EXPECT_EQ(m_engine->reportCount(), 0);
    EXPECT_EQ(counter(), u"27"_s);
    EXPECT_EQ(generado(), u"N"_s);
}

TEST_F(AR04PrintingTest, AFailedSheetLeavesEverythingAsItWas)
{
    addLines(61);
    addThreePayments();
    execute(u"update AR03 set Impresion = 'S' where Numero = 11"_s);
    m_engine->setPreviewFailsAfter(1);
    EXPECT_FALSE(print());
    EXPECT_EQ(m_engine->previewTitles(), QStringList{u"AR04 - 27 Hoja Nro: 1"_s});
    EXPECT_EQ(pendingLines(), 61) << "the lines of the sheet already shown are pending again";
    EXPECT_EQ(counter(), u"27"_s);
    EXPECT_EQ(generado(), u"N"_s);
    EXPECT_EQ(paymentsMarked(), 1) << "the payments' marks are as they were";

    // The same declaration prints whole once the engine works.
    m_engine->setPreviewFailsAfter(-1);
    m_engine->clear();
    EXPECT_TRUE(print());
    EXPECT_EQ(m_engine->reportCount(), 3);
    EXPECT_EQ(pendingLines(), 0);
}

TEST_F(AR04PrintingTest, AFailedShortSheetOrMissingReportLeavesEverythingAsItWas)
{
    addLines(5);
    addThreePayments();
    m_engine->setPreviewFailsAfter(0);
    EXPECT_FALSE(print());
    EXPECT_EQ(pendingLines(), 5);
    EXPECT_EQ(paymentsMarked(), 0);
    EXPECT_EQ(counter(), u"27"_s);

    m_engine->setPreviewFailsAfter(-1);
    m_engine->setOpenFails(true);
    EXPECT_FALSE(print());
    EXPECT_EQ(pendingLines(), 5);
}

TEST_F(AR04PrintingTest, ALineThatCannotBeStampedStopsThePrinting)
{
    addLines(5);
    execute(u"insert into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_CBU) values (1, 200209, '999')"_s);
    EXPECT_FALSE(print()) << "a line without CUIT cannot be found to be stamped";
    EXPECT_EQ(pendingLines(), 6);
    EXPECT_EQ(generado(), u"N"_s);
}

TEST_F(AR04PrintingTest, AVoucherCounterThatIsNotANumberPrintsNothing)
{
    addLines(5);
    execute(u"update PARAMETROS set Valor = 'veinte' where ID = 5"_s);
    EXPECT_FALSE(print());
    EXPECT_EQ(pendingLines(), 5);
}

TEST_F(AR04PrintingTest, AMissingVoucherCounterPrintsWithZeroButCannotComplete)
{
    addLines(2);
    execute(u"delete from PARAMETROS where ID = 5"_s);
    EXPECT_FALSE(print()) << "there is no row to store the next number in";
    EXPECT_EQ(m_engine->previewTitles(), QStringList{u"AR04 - 0 Hoja Nro: 1"_s});
    EXPECT_EQ(m_engine->lastReport().parameter(u"Nro"_s), u"0000000000"_s);
    EXPECT_EQ(pendingLines(), 2);
    EXPECT_EQ(generado(), u"N"_s);
}

TEST_F(AR04PrintingTest, OtherDeclarationsAreLeftAlone)
{
    execute(u"insert into DDJJ (Posicion_Fiscal, Secuencia, Generado) values ('200209', 2, 'N')"_s);
    addLines(3);
    addLines(4, 2);
    ASSERT_TRUE(print());
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where Secuencia = 2 and N_Comprobante is null"_s), 4);
    EXPECT_EQ(m_db.scalar(u"select Generado from DDJJ where Secuencia = 2"_s).toString(), u"N"_s);
}
