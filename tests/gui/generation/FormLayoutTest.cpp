// The printed forms as PDF pages: every sheet one page, with what the operator must read on it,
// also with the longest values the screens accept.

#include "GenerationTest.h"

#include "platform/Regional.h"
#include "support/ReportFiles.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// How many times a value stands in the text as a whole, not broken by a wrap: "2002" counts as the
// year, not inside 05/10/2002.
qsizetype occurrences(const QString& text, const QString& value)
{
    return text.count(QRegularExpression(u"(?<![\\w/.,])"_s + QRegularExpression::escape(value) + u"(?![\\w/.,])"_s));
}

} // namespace

class FormLayoutTest : public GenerationTest
{
protected:
    FormLayoutTest()
    {
        m_engine.keepPdfsIn(qEnvironmentVariableIsSet("KEEP_PDFS") ? qEnvironmentVariable("KEEP_PDFS") : m_db.dir());
        clsCodigo::instance().Par_Denomin = u"Banco Cooperativo de Ñorquinco S.A."_s;
        addPayment(15320.4, u"06/09/2002"_s, 101);
        addPayment(9870, u"13/09/2002"_s, 102);
        addPayment(12004.75, u"20/09/2002"_s, 103);
    }

    /// The text of the sheet's PDF; fails the test when it is not exactly one page.
    QString page(int sheet)
    {
        const QString pdf = m_engine.report(sheet).pdf;
        EXPECT_EQ(ReportFiles::pdfPageCount(pdf), 1) << QFileInfo(pdf).fileName().toStdString();
        return ReportFiles::pdfText(pdf);
    }

    /// Lines first to last with the widest values the detail entry takes: a 22-digit account,
    /// 21-character amounts, a 10-digit number of deposits, a current account in dollars.
    void addLongestLines(int first, int last)
    {
        clsCodigo& codigo = clsCodigo::instance();
        for (int i = first; i <= last; ++i) {
            const QString account = u"99999999999999999999%1"_s.arg(i, 2, 10, QChar(u'0'));
            ASSERT_TRUE(codigo.Insertar_Detalle_DDJJ(secuencia, periodo, 999999999999, account, u"02"_s, u"03"_s,
                                                     99999999900.0 + i, 9999999999, -99999999999999999.99,
                                                     -99999999999999999.99));
        }
    }
};

TEST_F(FormLayoutTest, Ar03ShowsEveryValueOnBothCopiesAndTheCurrencyOfItsCode)
{
    setRegistration(4521, {}, u"Banco Fiduciario de Ostrel S.A."_s);
    execute(u"insert into PARAMETROS (ID, Descripcion, Valor) values (4, 'Nro AR03', '17')"_s);
    for (const auto& [code, shown] : {std::pair{u"'01'"_s, u"Pesos"_s}, std::pair{u"null"_s, u"Pesos"_s},
                                      std::pair{u"'02'"_s, u"Lecop"_s}, std::pair{u"'07'"_s, u"Dolares"_s}}) {
        SCOPED_TRACE(code.toStdString());
        execute(u"insert into AR03 (Posicion_Fiscal, Semana, Fecha_Pago, Importe, Moneda) "
                u"values (200209, 3, '05/10/2002', 1234.5, %1)"_s.arg(code));
        ASSERT_TRUE(clsCodigo::instance().Reporte_AR03(m_db.scalar(u"select max(Id) from AR03"_s).toDouble()));
        const int sheet = m_engine.reportCount() - 1;
        const QString text = page(sheet);
        for (const QString& name : {u"Pesos"_s, u"Lecop"_s, u"Dolares"_s})
            EXPECT_EQ(text.count(name), name == shown ? 2 : 0) << name.toStdString();
        for (const QString& name : m_engine.report(sheet).content.definition().parameters()) {
            const QString value = m_engine.report(sheet).parameter(name);
            EXPECT_EQ(occurrences(text, value), 2) << name.toStdString() << " " << value.toStdString();
        }
    }
}

TEST_F(FormLayoutTest, ShortFormOnOnePageWithoutThePlaceholderDate)
{
    addLines(16);
    execute(u"update DDJJ_Detalle set C_Tipo_Moneda = '03' where N_Cuit = 20000000002"_s);
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    ASSERT_EQ(m_engine.reportCount(), 1);
    const QString text = page(0);
    for (const QString& expected :
         {u"DECLARACIÓN JURADA"_s, u"0000000027"_s, u"Hoja 1 de 1"_s, u"Banco Cooperativo de Ñorquinco S.A."_s,
          u"30-50001091-2"_s, u"200209"_s, u"20000000016"_s, cbu(16), u"1.016,00"_s, u"Dolares"_s, u"68,00"_s,
          u"06/09/2002"_s, u"15.320,40"_s, u"37.195,15"_s, u"Declaro bajo juramento"_s})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " in\n" << text.toStdString();
    EXPECT_FALSE(text.contains(u"1900"_s)) << "the placeholder date given for a pending line is not printed";

    // The reprint shows the date the first printing stamped.
    m_engine.clear();
    ASSERT_TRUE(clsCodigo::instance().Reimpresion_AR04(periodo, secuencia, true, 1, 1, u"27"_s, u"1"_s));
    EXPECT_EQ(occurrences(page(0), u"15/10/2002"_s), 16);
}

TEST_F(FormLayoutTest, EveryFormStaysOnePageWithTheLongestValues)
{
    // The longest identity the registration accepts: a 12-digit agent and a 50-character name.
    setRegistration(999999999999, u"30-99999999-9"_s, u"BANCO DE LA PROVINCIA DE OSTREL SOCIEDAD ANONIMA S"_s);
    // Twenty sevens, as many characters as the payment entry takes: every group reads "setecientos
    // setenta y siete", the longest amount in words.
    const double importe = 77777777777777777777.0;
    for (int i = 0; i < 12; ++i)
        addPayment(importe, u"30/09/2002"_s, 9999999990 + i);
    execute(u"update AR03 set Moneda = '03', Semana = 5"_s);
    const double payment = m_db.scalar(u"select max(Id) from AR03"_s).toDouble();

    clsCodigo& codigo = clsCodigo::instance();
    execute(u"insert into PARAMETROS (ID, Descripcion, Valor) values (4, 'Nro AR03', '9999999999')"_s);
    ASSERT_TRUE(codigo.Reporte_AR03(payment));
    addLongestLines(1, 16);
    ASSERT_TRUE(codigo.Reporte_AR04(periodo, secuencia));
    execute(u"update DDJJ set Generado = 'N'"_s);
    execute(u"update DDJJ_Detalle set N_Comprobante = null, F_Presentacion = null, Hoja = null"_s);
    addLongestLines(17, 82);
    ASSERT_TRUE(codigo.Reporte_AR04(periodo, secuencia));

    // Sheet by sheet: the form, and how many line amounts and payment amounts it shows whole.
    const std::tuple<QString, int, int> sheets[] = {{u"AR03"_s, 0, 2},
                                                    {u"AR04"_s, 32, 12},
                                                    {u"AR04_primera"_s, 82, 0},
                                                    {u"AR04_primera"_s, 82, 0},
                                                    {u"AR04_Pagos"_s, 0, 12}};
    const QString lineAmount = Regional::format(-99999999999999999.99, u"##,##0.00"_s);
    const QString paymentAmount = Regional::format(importe, u"##,##0.00"_s);
    ASSERT_EQ(m_engine.reportCount(), std::size(sheets));
    for (int sheet = 0; sheet < m_engine.reportCount(); ++sheet) {
        SCOPED_TRACE(QFileInfo(m_engine.report(sheet).pdf).fileName().toStdString());
        const auto& [form, lineAmounts, paymentAmounts] = sheets[sheet];
        EXPECT_EQ(QFileInfo(m_engine.report(sheet).path).baseName(), form);
        const QString text = page(sheet);
        const int copies = sheet == 0 ? 2 : 1;
        EXPECT_TRUE(form != u"AR04_primera"_s || text.contains(sheet == 2 ? u"CONTINÚA EN LA HOJA SIGUIENTE"_s
                                                                          : u"TOTAL RETENIDO DE LA DECLARACIÓN"_s));
        EXPECT_EQ(occurrences(text, u"999999999999"_s), copies) << "the agent number, unwrapped";
        EXPECT_EQ(text.count(clsCodigo::instance().Par_Denomin), copies) << "the name on one line";
        EXPECT_EQ(occurrences(text, lineAmount), lineAmounts) << text.toStdString();
        EXPECT_EQ(occurrences(text, paymentAmount), paymentAmounts) << text.toStdString();
        for (const QString& total : {u"Saldo"_s, u"TotDep"_s}) {
            const QString value = m_engine.report(sheet).parameter(total);
            EXPECT_TRUE(value.isEmpty() || value == u"0,00"_s || occurrences(text, value) >= 1)
                << total.toStdString() << " " << value.toStdString();
        }
    }
    const QString ar03 = page(0);
    EXPECT_EQ(ar03.count(u"DUPLICADO PARA EL AGENTE"_s), 1) << "both copies on the one page";
    EXPECT_TRUE(ar03.contains(m_engine.report(0).parameter(u"ImporteLet"_s).left(40))) << ar03.toStdString();
}
