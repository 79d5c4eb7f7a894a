#include "GenerationTest.h"

#include "platform/Clock.h"

#include "reports/AR04Printing.h"

using namespace Qt::StringLiterals;

class AR04PrintingTest : public GenerationTest
{
protected:
    bool print() { return clsCodigo::instance().Reporte_AR04(periodo, secuencia); }
    bool reprint()
    {
        return AR04Printing::reprint(periodo, secuencia, clsCodigo::instance().Get_Comprobante(periodo, secuencia));
    }
    QString stamps()
    {
        return m_db
            .scalar(u"select group_concat(N_Cuit || N_Comprobante || Hoja || F_Presentacion) from DDJJ_Detalle"_s)
            .toString();
    }

    void addThreePayments()
    {
        addPayment(100.5, u"06/09/2002"_s, 11);
        addPayment(200, u"13/09/2002"_s, 12);
        addPayment(300.25, u"20/09/2002"_s, 13);
    }
};

// The whole first printing for a number of pending lines: 16 fit the short form; past that, 41 lines to
// a detail sheet and a last sheet for the payments.
class AR04FirstPrinting : public AR04PrintingTest, public ::testing::WithParamInterface<int>
{};

TEST_P(AR04FirstPrinting, NumbersStampsAndPreviewsEverySheet)
{
    const int n = GetParam();
    addLines(n);
    addThreePayments();
    ASSERT_TRUE(print());

    const bool shortForm = n <= 16;
    const int details = shortForm ? 1 : (n + 40) / 41;
    const int total = shortForm ? 1 : details + 1;
    EXPECT_EQ(AR04Printing::sheetCount(n), details);
    ASSERT_EQ(m_engine.reportCount(), total);
    QStringList titles;
    for (int s = 1; s <= total; ++s) {
        const report::RecordedReport& sheet = m_engine.report(s - 1);
        const bool paymentsSheet = !shortForm && s == total;
        EXPECT_EQ(fileName(sheet),
                  shortForm ? u"AR04.rpt"_s : (paymentsSheet ? u"AR04_Pagos.rpt"_s : u"AR04_primera.rpt"_s));
        EXPECT_EQ(sheet.parameter(u"HojaA"_s), QString::number(s));
        EXPECT_EQ(sheet.parameter(u"HojaT"_s), QString::number(total));
        EXPECT_EQ(sheet.parameter(u"Nro"_s), u"0000000027"_s);
        EXPECT_EQ(sheet.parameter(u"Saldo"_s), s >= details ? withheld(n) : QString()) << "sheet " << s;
        EXPECT_TRUE(sheet.printerSetupButton);
        if (paymentsSheet) {
            EXPECT_EQ(sheet.rows.size(), 3u);
            EXPECT_EQ(sheet.parameter(u"TotDep"_s), u"600,75"_s);
        } else {
            // The sheet receives every line still pending; the first 41 are the ones it stamps.
            ASSERT_EQ(sheet.rows.size(), static_cast<size_t>(n - 41 * (s - 1)));
            EXPECT_EQ(sheet.rows.front().value(u"N_CBU").toString(), cbu(41 * (s - 1) + 1));
        }
        titles.append(u"AR04 - 27 Hoja Nro: "_s + QString::number(s));
    }
    EXPECT_EQ(m_engine.previewTitles(), titles);
    EXPECT_EQ(paymentsMarked(), shortForm ? 3 : 0) << "only the short form lists the payments and marks them";
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where N_Comprobante = 27 and F_Presentacion = '2002-10-15' and "
                                            u"Hoja = cast((N_Cuit - 20000000001) / 41 + 1 as text)"_s),
              n)
        << "every line stamped with its sheet";
    EXPECT_EQ(counter(), u"28"_s);
    EXPECT_EQ(generado(), u"S"_s);
    EXPECT_EQ(m_db.scalar(u"select Fecha_Pres from DDJJ"_s).toDate(), m_today);
}

INSTANTIATE_TEST_SUITE_P(PendingLines, AR04FirstPrinting, ::testing::Values(16, 17, 41, 42, 82, 83));

TEST_F(AR04PrintingTest, ShortFormSlotsWithTheirFormatsAndEmptyValues)
{
    addLines(2);
    execute(u"update DDJJ_Detalle set C_Tipo_Moneda = '03', I_Base_Imponible = 1234567.5, N_Depositos = 1500 "
            u"where N_Cuit = 20000000002"_s);
    addThreePayments();
    ASSERT_TRUE(print());
    const report::RecordedReport& sheet = m_engine.lastReport();
    // Fec1 is read before the line is stamped; slot 3 is empty.
    QStringList values;
    for (const QString& name :
         {u"Fec1"_s, u"TotRet1"_s, u"Moneda1"_s, u"TotCred2"_s, u"Cant2"_s, u"Moneda2"_s, u"Fec3"_s, u"Cuit16"_s,
          u"Nombre"_s, u"Cuit"_s, u"Saldo"_s, u"FecPago1"_s, u"ImpPago3"_s, u"Pago4"_s, u"TotDep"_s})
        values.append(sheet.parameter(name));
    EXPECT_EQ(values, (QStringList{u"01/01/1900"_s, u"0,50"_s, u"Pesos"_s, u"1.234.567,50"_s, u"1.500"_s, u"Dolares"_s,
                                   u"01/01/1900"_s, QString(), u"Banco de la Provincia S.A."_s, u"30-50001091-2"_s,
                                   u"1,50"_s, u"06/09/2002"_s, u"300,25"_s, QString(), u"600,75"_s}));
}

TEST_F(AR04PrintingTest, WithoutPendingLinesNothingIsPrintedAndOtherDeclarationsAreLeftAlone)
{
    EXPECT_FALSE(print());
    EXPECT_EQ(m_engine.reportCount(), 0);
    EXPECT_EQ(counter(), u"27"_s);

    execute(u"insert into DDJJ (Posicion_Fiscal, Secuencia, Generado) values ('200209', 2, 'N')"_s);
    addLines(3);
    addLines(4, 2);
    ASSERT_TRUE(print());
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where Secuencia = 2 and N_Comprobante is null"_s), 4);
    EXPECT_EQ(m_db.scalar(u"select Generado from DDJJ where Secuencia = 2"_s).toString(), u"N"_s);

    // Each printing takes the next voucher.
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, 2));
    EXPECT_EQ(m_engine.lastReport().parameter(u"Nro"_s), u"0000000028"_s);
    EXPECT_EQ(counter(), u"29"_s);
}

// A sheet that fails, on either form, leaves the declaration, its lines, the counter and the payments
// as they were; the same declaration prints whole once the engine works.
class AR04FailedPrinting : public AR04PrintingTest, public ::testing::WithParamInterface<std::pair<int, int>>
{};

TEST_P(AR04FailedPrinting, LeavesEverythingAsItWas)
{
    const auto [lines, shownSheets] = GetParam();
    addLines(lines);
    addThreePayments();
    execute(u"update AR03 set Impresion = 'S' where Numero = 11"_s);
    m_engine.setPreviewFailsAfter(shownSheets);
    EXPECT_FALSE(print());
    EXPECT_EQ(m_engine.previewTitles().size(), shownSheets);
    EXPECT_EQ(pendingLines(), lines) << "the lines of a sheet already shown are pending again";
    EXPECT_EQ(counter(), u"27"_s);
    EXPECT_EQ(generado(), u"N"_s);
    EXPECT_EQ(paymentsMarked(), 1);

    m_engine.setPreviewFailsAfter(-1);
    m_engine.setOpenFails(true);
    EXPECT_FALSE(print());
    EXPECT_EQ(pendingLines(), lines);

    m_engine.setOpenFails(false);
    EXPECT_TRUE(print());
    EXPECT_EQ(pendingLines(), 0);
}

INSTANTIATE_TEST_SUITE_P(Forms, AR04FailedPrinting, ::testing::Values(std::pair{5, 0}, std::pair{61, 1}));

TEST_F(AR04PrintingTest, BadDataStopsThePrintingAndChangesNothing)
{
    // A line without CUIT cannot be found to be stamped; a counter that is not a number; no counter row
    // to store the next number in (its sheet shows 0).
    for (const QString& sql :
         {u"insert into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_CBU) values (1, 200209, '999')"_s,
          u"update PARAMETROS set Valor = 'veinte' where ID = 5"_s, u"delete from PARAMETROS where ID = 5"_s}) {
        execute(u"delete from DDJJ_Detalle"_s);
        addLines(5);
        execute(sql);
        const int pending = pendingLines();
        EXPECT_FALSE(print()) << sql.toStdString();
        EXPECT_EQ(pendingLines(), pending) << sql.toStdString();
        EXPECT_EQ(generado(), u"N"_s);
    }
    EXPECT_EQ(m_engine.lastReport().parameter(u"Nro"_s), u"0000000000"_s);
}

TEST_F(AR04PrintingTest, ShortFormReprintsItsOneSheetWithThePayments)
{
    addLines(10);
    addPayment(100, u"06/09/2002"_s, 11);
    addPayment(50.5, u"13/09/2002"_s, 12);
    ASSERT_TRUE(print());
    m_engine.clear();
    const QString stamped = stamps();
    Clock::fix(QDate(2002, 11, 20));
    execute(u"update AR03 set Impresion = 'N'"_s);

    ASSERT_TRUE(reprint());
    ASSERT_EQ(m_engine.reportCount(), 1);
    const report::RecordedReport& sheet = m_engine.report(0);
    EXPECT_EQ(fileName(sheet), u"AR04.rpt"_s);
    EXPECT_EQ(sheet.parameter(u"Nro"_s), u"0000000027"_s);
    EXPECT_EQ(sheet.parameter(u"Fec1"_s), u"15/10/2002"_s) << "the date the line was presented";
    EXPECT_EQ(sheet.parameter(u"Cuit10"_s), u"20000000010"_s);
    EXPECT_EQ(sheet.parameter(u"Fec11"_s), u"01/01/1900"_s);
    EXPECT_EQ(sheet.parameter(u"Saldo"_s), withheld(10));
    EXPECT_EQ(sheet.parameter(u"Pago2"_s), u"12"_s);
    EXPECT_EQ(sheet.parameter(u"TotDep"_s), u"150,50"_s);
    EXPECT_EQ(m_engine.previewTitles(), QStringList{u"Reimpresión AR04 - 27 Hoja Nro: 1"_s});
    EXPECT_EQ(paymentsMarked(), 2);
    EXPECT_EQ(stamps(), stamped) << "a reprint changes no line";
    EXPECT_EQ(counter(), u"28"_s) << "the counter does not move";

    // A sheet that fails leaves the payments' marks as they were.
    execute(u"update AR03 set Impresion = 'N'"_s);
    m_engine.setPreviewFailsAfter(0);
    EXPECT_FALSE(reprint());
    EXPECT_EQ(paymentsMarked(), 0);
}

TEST_F(AR04PrintingTest, LongFormReprintsEachStoredSheetAndThePaymentsSheet)
{
    addLines(50);
    addPayment(100, u"06/09/2002"_s, 11);
    ASSERT_TRUE(print());
    m_engine.clear();
    const QString stamped = stamps();

    ASSERT_TRUE(reprint());
    ASSERT_EQ(m_engine.reportCount(), 3);
    // 50 lines as 41 and 9, then the payments.
    const std::pair<size_t, QString> sheets[] = {{41, QString()}, {9, withheld(50)}, {1, withheld(50)}};
    for (int s = 0; s < 3; ++s) {
        const report::RecordedReport& sheet = m_engine.report(s);
        EXPECT_EQ(fileName(sheet), s < 2 ? u"AR04_primera.rpt"_s : u"AR04_Pagos.rpt"_s);
        ASSERT_EQ(sheet.rows.size(), sheets[s].first);
        EXPECT_EQ(sheet.parameter(u"HojaA"_s) + u'/' + sheet.parameter(u"HojaT"_s), u"%1/3"_s.arg(s + 1));
        EXPECT_EQ(sheet.parameter(u"Saldo"_s), sheets[s].second) << "sheet " << s + 1;
    }
    EXPECT_EQ(m_engine.report(1).rows.front().value(u"N_CBU").toString(), cbu(42));
    EXPECT_EQ(m_engine.report(2).parameter(u"TotDep"_s), u"100,00"_s);
    EXPECT_EQ(m_engine.previewTitles(),
              (QStringList{u"Reimpresión AR04 - 27 Hoja Nro: 1"_s, u"Reimpresión AR04 - 27 Hoja Nro: 2"_s,
                           u"Reimpresion AR04 - 27 Hoja: 3"_s}));
    EXPECT_EQ(stamps(), stamped) << "a reprint changes no line";
}

TEST_F(AR04PrintingTest, SheetsAreVisitedInNumericOrder)
{
    // Two lines to a sheet, sheets "1" to "11": a text order would put "10" and "11" right after "1".
    addLines(22);
    execute(u"update DDJJ_Detalle set N_Comprobante = 27, F_Presentacion = '2002-10-15', "
            u"Hoja = cast((N_Cuit - 20000000001) / 2 + 1 as text)"_s);
    ASSERT_TRUE(reprint());
    ASSERT_EQ(m_engine.reportCount(), 12);
    for (int k = 1; k <= 11; ++k)
        EXPECT_EQ(m_engine.report(k - 1).rows.front().value(u"N_CBU").toString(), cbu(2 * k - 1)) << "sheet " << k;
}
