#include "platform/reportengine/QtReportEngine.h"
#include "platform/reportengine/Report.h"
#include "platform/reportengine/ReportDefinition.h"

#include "support/ReportFiles.h"
#include "support/TempDatabase.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
using report::ReportDefinition;

namespace {

using Parameters = std::vector<std::pair<QString, QString>>;

// The nine values in the order the payment list's printing sets them.
Parameters paymentParameters(const QString& importe, const QString& letras, const QString& nombre)
{
    return {{u"Importe"_s, importe},  {u"Semana"_s, u"3"_s},  {u"FechaPago"_s, u"05/10/2002"_s},
            {u"Agente"_s, u"4521"_s}, {u"Nombre"_s, nombre},  {u"ImporteLet"_s, letras},
            {u"Mes"_s, u"09"_s},      {u"Anio"_s, u"2002"_s}, {u"Nro"_s, u"0000000017"_s}};
}

class Ar03Form : public ::testing::Test
{
protected:
    // Prints the form of a payment in the given currency (null: none stored) and returns the PDF's text.
    QString printed(const QString& currency, const Parameters& parameters)
    {
        const QString code = currency.isNull() ? u"null"_s : u"'"_s + currency + u"'"_s;
        m_db.db().execute(u"insert into AR03 (Posicion_Fiscal, Semana, Fecha_Pago, Importe, Moneda) "
                          u"values (200209, 3, '16/09/2002', 1234.5, "_s +
                          code + u')');
        const double id = m_db.scalar(u"select max(Id) from AR03"_s).toDouble();

        report::QtReportEngine engine;
        const auto report = engine.openReport(ReportFiles::shipped(u"AR03.rpt"_s));
        report->setTable(m_db.db().openRecordset(u"Select moneda from AR03 WHERE Id = "_s + QString::number(id)));
        report->setPrinterSetupButton(true);
        for (const auto& [name, value] : parameters)
            report->setParameter(name, value);
        m_pdf = m_dir.filePath(u"AR03_"_s + QString::number(id) + u".pdf"_s);
        report->exportPdf(m_pdf);
        return ReportFiles::pdfText(m_pdf);
    }

    QTemporaryDir m_dir;
    TempDatabase m_db;
    QString m_pdf;
};

// How many times a value stands in the text as a whole: "2002" counts as the year, not inside 05/10/2002.
qsizetype occurrences(const QString& text, const QString& value)
{
    const QRegularExpression whole(u"(?<![\\w/.,])"_s + QRegularExpression::escape(value) + u"(?![\\w/.,])"_s);
    qsizetype count = 0;
    for (auto it = whole.globalMatch(text); it.hasNext(); it.next())
        ++count;
    return count;
}

} // namespace

TEST(Ar03Layout, DeclaresTheNineParametersAndShowsEveryOne)
{
    const ReportDefinition definition = ReportDefinition::fromFile(ReportFiles::shipped(u"AR03.rpt"_s));
    QStringList declared = definition.parameters();
    declared.sort();
    EXPECT_EQ(declared, (QStringList{u"Agente"_s, u"Anio"_s, u"FechaPago"_s, u"Importe"_s, u"ImporteLet"_s, u"Mes"_s,
                                     u"Nombre"_s, u"Nro"_s, u"Semana"_s}));
    EXPECT_TRUE(definition.unusedParameters().isEmpty()) << definition.unusedParameters().join(u' ').toStdString();
    EXPECT_EQ(definition.pageLayout().pageSize().id(), QPageSize::A4);
}

TEST_F(Ar03Form, PdfShowsEveryValueOnBothCopiesOfOnePage)
{
    const Parameters parameters =
        paymentParameters(u"1.234,50"_s, u"PESOS UN MIL DOSCIENTOS TREINTA Y CUATRO CON CINCUENTA CENTAVOS.-"_s,
                          u"Banco Fiduciario de Ostrel S.A."_s);
    const QString text = printed(u"01"_s, parameters);
    ASSERT_FALSE(text.isEmpty()) << "pdftotext could not read the form";
    EXPECT_EQ(ReportFiles::pdfPageCount(m_pdf), 1);
    for (const auto& [name, value] : parameters) {
        EXPECT_EQ(occurrences(text, value), 2)
            << name.toStdString() << " " << value.toStdString() << " in: " << text.toStdString();
    }
    for (const QString& caption : {u"MES"_s, u"AÑO"_s, u"SEMANA"_s, u"FECHA DE PAGO"_s, u"IMPORTE"_s, u"MONEDA"_s})
        EXPECT_EQ(occurrences(text, caption), 2) << caption.toStdString();
    EXPECT_TRUE(text.contains(u"OSTREL"_s) && text.contains(u"AR03"_s) && text.contains(u"BOLETA DE PAGO"_s));
    EXPECT_TRUE(text.contains(u"SELLO DEL BANCO"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"ORIGINAL PARA OSTREL"_s) && text.contains(u"DUPLICADO PARA EL AGENTE"_s));
    EXPECT_EQ(text.count(u"Pesos"_s), 2) << text.toStdString();
}

TEST_F(Ar03Form, CurrencyNameComesFromTheTableAndLongValuesFitOnePage)
{
    const QString longest = u"Banco de la Provincia de Ostrel Sociedad Anónima Sucursal Centro"_s;
    const struct
    {
        QString code;
        QString shown;
        QString nombre;
    } cases[] = {
        {u"02"_s, u"Lecop"_s, u"Banco"_s}, {QString(), u"Pesos"_s, u"Banco"_s}, {u"07"_s, u"Dolares"_s, longest}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code.isNull() ? std::string("null") : c.code.toStdString());
        const QString text = printed(c.code, paymentParameters(u"-999.999.999,99"_s, u"DIEZ.-"_s, c.nombre));
        for (const QString& name : {u"Pesos"_s, u"Lecop"_s, u"Dolares"_s})
            EXPECT_EQ(text.count(name), name == c.shown ? 2 : 0) << name.toStdString() << " in " << text.toStdString();
        EXPECT_EQ(text.count(c.nombre), 2) << text.toStdString();
        EXPECT_EQ(ReportFiles::pdfPageCount(m_pdf), 1);
    }
}
