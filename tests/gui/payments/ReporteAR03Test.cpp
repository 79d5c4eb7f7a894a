#include "PaymentsTest.h"

#include "support/ReportFiles.h"

#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using Parameters = std::vector<std::pair<QString, QString>>;

const QString letras1234 = u"PESOS UN MIL DOSCIENTOS TREINTA Y CUATRO CON CINCUENTA CENTAVOS.-"_s;

/// The form's nine parameters, in the order they are given.
Parameters form(const QStringList& values)
{
    const QStringList names{u"Importe"_s,    u"Semana"_s, u"FechaPago"_s, u"Agente"_s, u"Nombre"_s,
                            u"ImporteLet"_s, u"Mes"_s,    u"Anio"_s,      u"Nro"_s};
    Parameters parameters;
    for (qsizetype i = 0; i < names.size(); ++i)
        parameters.emplace_back(names.at(i), values.value(i));
    return parameters;
}

class ReporteAR03Test : public PaymentsTest
{
protected:
    ReporteAR03Test()
    {
        registerAgent();
        m_id = addPayment(u"200209"_s, u"3"_s, u"'16/09/2002'"_s, u"1234.5"_s, u"'01'"_s);
    }

    clsCodigo& m_codigo = clsCodigo::instance();
    double m_id = 0;
};

} // namespace

TEST_F(ReporteAR03Test, FirstPrintingNumbersThePaymentAndAReprintShowsTheSameNumber)
{
    setCounter(u"1"_s);
    ASSERT_TRUE(m_codigo.Reporte_AR03(m_id));
    ASSERT_EQ(m_engine.reportCount(), 1);
    const report::RecordedReport& first = m_engine.report(0);
    EXPECT_EQ(first.parameters, form({u"1.234,50"_s, u"3"_s, u"16/09/2002"_s, u"4521"_s, u"Banco del Sur S.A."_s,
                                      letras1234, u"09"_s, u"2002"_s, u"0000000001"_s}));
    EXPECT_TRUE(first.printerSetupButton);
    EXPECT_EQ(first.previewTitles, QStringList{u"AR03"_s});
    EXPECT_EQ(numero(m_id).toDouble(), 1);
    EXPECT_EQ(counter(), u"2"_s);

    ASSERT_TRUE(m_codigo.Reimpresion_AR03(m_id));
    EXPECT_EQ(m_engine.lastReport().parameters, first.parameters);
    EXPECT_EQ(m_engine.lastReport().previewTitles, QStringList{u"Reimpresión AR03"_s});
    EXPECT_EQ(m_engine.closePreviewCalls(), 2) << "each printing closes the previous preview first";
    EXPECT_EQ(numero(m_id).toDouble(), 1);
    EXPECT_EQ(counter(), u"2"_s);
}

TEST_F(ReporteAR03Test, TheFormShowsEachPaymentAsStored)
{
    // Rounded amount, unknown currency, no number; then a payment with nothing but its period, printed
    // for the first time with a counter row without a value, which counts as 0.
    const double rounded = addPayment(u"200202"_s, u"1"_s, u"'04/02/2002'"_s, u"0.996"_s, u"'99'"_s);
    const double empty = addPayment(u"200112"_s, u"null"_s, u"null"_s, u"null"_s, u"null"_s);
    execute(u"insert into PARAMETROS (ID, Descripcion, Valor) values (4, 'Nro AR03', null)"_s);
    ASSERT_TRUE(m_codigo.Reimpresion_AR03(rounded));
    EXPECT_EQ(m_engine.lastReport().parameters,
              form({u"1,00"_s, u"1"_s, u"04/02/2002"_s, u"4521"_s, u"Banco del Sur S.A."_s, u"DOLARES UNO .-"_s,
                    u"02"_s, u"2002"_s, u"0000000000"_s}));
    ASSERT_TRUE(m_codigo.Reporte_AR03(empty));
    EXPECT_EQ(m_engine.lastReport().parameters, form({u"0,00"_s, u"1"_s, u""_s, u"4521"_s, u"Banco del Sur S.A."_s,
                                                      u"PESOS CERO..-"_s, u"12"_s, u"2001"_s, u"0000000000"_s}));
    EXPECT_EQ(counter(), u"1"_s);
}

TEST_F(ReporteAR03Test, FailuresNumberNothingAndLeaveTheCounter)
{
    setCounter(QString()); // no counter row: nothing is numbered and no row is made
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id));
    EXPECT_EQ(m_db.count(u"PARAMETROS"_s), 0);

    setCounter(u"5"_s);
    // Number and counter move together: either write refused, neither is kept.
    for (const QString& table : {u"PARAMETROS"_s, u"AR03"_s}) {
        execute(u"create trigger frozen before update on "_s + table + u" begin select raise(abort, 'x'); end"_s);
        EXPECT_FALSE(m_codigo.Reporte_AR03(m_id)) << table.toStdString();
        EXPECT_EQ(counter(), u"5"_s);
        execute(u"drop trigger frozen"_s);
    }
    setCounter(u"2.5"_s); // not a whole number
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id));
    setCounter(u"5"_s);
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id + 100)); // no such payment
    EXPECT_FALSE(m_codigo.Reimpresion_AR03(m_id + 100));
    ReportFiles::write(m_db.dir() + u"/AR03.rpt"_s,
                       u"[report]\ntitle = AR03\nparameters = Importe\n[layout]\n<p>{{Importe}}</p>\n"_s);
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id)); // a form without the nine parameters
    EXPECT_TRUE(numero(m_id).isNull());
    EXPECT_EQ(counter(), u"5"_s);
    EXPECT_TRUE(m_engine.previewTitles().isEmpty());

    TempDatabase::disconnect();
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id));
    EXPECT_FALSE(m_codigo.Reimpresion_AR03(m_id));
}
