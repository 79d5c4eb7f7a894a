#include "platform/reportengine/MarkedForm.h"
#include "platform/reportengine/QtReportEngine.h"
#include "platform/reportengine/Report.h"
#include "platform/reportengine/ReportDefinition.h"
#include "platform/reportengine/ReportDocument.h"
#include "platform/reportengine/ReportError.h"

#include "support/ReportFiles.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using report::ReportDefinition;
using report::ReportError;
using report::ReportRow;

namespace {

// The message of the ReportError that reading the text raises; empty when it is accepted.
std::string refusal(const QString& text)
{
    try {
        (void)ReportDefinition::fromText(text, u"prueba.rpt"_s);
    } catch (const ReportError& error) {
        return error.what();
    }
    return {};
}

QString withLayout(const QString& header, const QString& layout = u"<p>{{Nro}}</p>"_s)
{
    return u"[report]\nparameters = Nro\n"_s + header + u"\n[layout]\n"_s + layout;
}

} // namespace

TEST(ReportDefinitionFile, MalformedFilesAreRefusedWithTheFileAndWhatIsWrong)
{
    const std::pair<QString, std::string> cases[] = {
        // the text, and part of the message
        {withLayout(u"[reporte]"_s), "línea 3"},
        {withLayout(u"page = A5"_s), "A5"},
        {withLayout(u"margins = 10 10 10"_s), "márgenes"},
        {withLayout(u"font = 9"_s), "fuente"},
        {withLayout(u"rows = 0"_s), "filas"},
        {withLayout(u"parameters = nro"_s), "repetido"},
        {withLayout(u"parameters = Fecha Pago"_s), "Fecha Pago"},
        {withLayout(u"[format]\nImporte = #.##0,00"_s), "#.##0,00"},
        {withLayout({}, u"<p>{{#filas}}{{moneda}}</p>"_s), "plantilla"},
        // A misspelt tag is named with its line (the layout starts on line 5).
        {withLayout({}, u"<p>{{Nro}}</p>\n<p>{{Nros}}</p>"_s), "línea 6"},
        {withLayout({}, u"{{> otra}}"_s), "prueba.rpt"},
        {u"[report]\nparameters = Nro\n"_s, "[layout]"},
        {withLayout(u"[map Fec{3..1}]"_s), "rango"},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text.toStdString());
        const std::string message = refusal(text);
        EXPECT_NE(message.find("prueba.rpt"), std::string::npos) << message;
        EXPECT_NE(message.find(expected), std::string::npos) << message;
    }

    // Files that cannot be read as a report: missing, empty, or not UTF-8 ("Año" in Latin-1).
    QTemporaryDir dir;
    EXPECT_THROW((void)ReportDefinition::fromFile(dir.filePath(u"NoExiste.rpt"_s)), ReportError);
    EXPECT_THROW((void)ReportDefinition::fromFile(ReportFiles::write(dir.filePath(u"vacio.rpt"_s), {})), ReportError);
    const QString latin1 =
        ReportFiles::write(dir.filePath(u"latin1.rpt"_s), "[report]\ntitle = Boleta\n[layout]\n<p>A\xf1o</p>\n");
    EXPECT_THROW((void)ReportDefinition::fromFile(latin1), ReportError);
}

TEST(ReportDefinitionFile, HeaderExpandsParametersAndReportsUnusedOnes)
{
    const ReportDefinition definition = ReportDefinition::fromText(
        u"\uFEFF# comentario\n[report]\npage = legal LANDSCAPE\n"
        u"parameters = Nro, Fec{1..3}\nparameters = HojaA,\n[layout]\n{{Nro}} {{Fec1}} {{fec2}}"_s,
        u"prueba.rpt"_s);
    EXPECT_EQ(definition.parameters(), (QStringList{u"Nro"_s, u"Fec1"_s, u"Fec2"_s, u"Fec3"_s, u"HojaA"_s}));
    EXPECT_FALSE(definition.declares(u"nro"_s)) << "a driver must use the declared spelling";
    EXPECT_EQ(definition.unusedParameters(), (QStringList{u"Fec3"_s, u"HojaA"_s}));
    EXPECT_EQ(definition.pageLayout().orientation(), QPageLayout::Landscape);
}

TEST(ReportDefinitionRender, ValuesAreEscapedFormattedMappedAndRowsFillTheBand)
{
    const ReportDefinition definition = ReportDefinition::fromText(
        u"[report]\nparameters = Nombre, Saldo, Fec{1..2}\nrows = 3\ncopies = Original | Duplicado\n"
        u"[format]\nI_Retenido = ##,##0.00\nF_Presentacion = date\n"
        u"[map C_Tipo_Moneda]\n01 = Pesos\n\"\" = (sin moneda)\n* = Otra\n[map Fec{1..2}]\n01/01/1900 = "
        u"\"\"\n[layout]\n"
        u"{{#copias}}{{copia}}{{Fec1}}{{Fec2}}:<b>{{nombre}}</b>{{^Saldo}} sin saldo{{/Saldo}}"
        u"{{#filas}}[{{i_retenido}};{{F_PRESENTACION}};{{c_tipo_moneda}}]{{/filas}}{{#relleno}}[]{{/relleno}}"
        u"{{^ultima}} / {{/ultima}}{{/copias}}"_s,
        u"prueba.rpt"_s);
    const std::vector<ReportRow> rows{
        {{u"I_Retenido"_s, 1234.5}, {u"F_Presentacion"_s, QDate(2002, 9, 5)}, {u"C_Tipo_Moneda"_s, u"01"_s}},
        {{u"I_Retenido"_s, u"no es número"_s}, {u"F_Presentacion"_s, db::Value()}, {u"C_Tipo_Moneda"_s, db::Value()}},
    };
    // A parameter's map blanks the placeholder date and lets any other value through.
    EXPECT_EQ(definition.render({{u"Nombre"_s, u"O'Brien & Cía"_s},
                                 {u"Saldo"_s, QString()},
                                 {u"Fec1"_s, u"01/01/1900"_s},
                                 {u"Fec2"_s, u" 05/09/2002"_s}},
                                rows),
              u"Original 05/09/2002:<b>O&apos;Brien &amp; Cía</b> sin saldo[1.234,50;05/09/2002;Pesos]"
              u"[no es número;;(sin moneda)][] / "
              u"Duplicado 05/09/2002:<b>O&apos;Brien &amp; Cía</b> sin saldo[1.234,50;05/09/2002;Pesos]"
              u"[no es número;;(sin moneda)][]"_s);

    std::vector<ReportRow> many;
    for (int n = 1; n <= 5; ++n)
        many.push_back({{u"C_Tipo_Moneda"_s, u" 07 "_s}, {u"I_Retenido"_s, n}, {u"F_Presentacion"_s, db::Value()}});
    EXPECT_TRUE(definition.render({{u"Saldo"_s, u"1"_s}}, many)
                    .startsWith(u"Original:<b></b>[1,00;;Otra][2,00;;Otra][3,00;;Otra] / "_s))
        << "the first rows, in order, up to the limit";
}

// What the forms print is read back from their PDFs in the form layout test; here, the failures.
TEST(QtReportEngine, FailuresRaiseReportErrorsAndAnExistingPdfIsReplaced)
{
    QTemporaryDir dir;
    report::QtReportEngine engine;
    EXPECT_THROW((void)engine.openReport(dir.filePath(u"NoExiste.rpt"_s)), ReportError);
    const auto report = engine.openReport(ReportFiles::write(
        dir.filePath(u"Listado.rpt"_s), "[report]\nparameters = Titulo\n[layout]\n<h2>{{Titulo}}</h2>\n"));
    EXPECT_THROW(report->setParameter(u"Cuit"_s, u"x"_s), ReportError) << "an undeclared parameter";
    report->setParameter(u"Titulo"_s, u"Declaración del año"_s);
    EXPECT_THROW(report->exportPdf(dir.filePath(u"no/hay/carpeta.pdf"_s)), ReportError);
    const QString existing = ReportFiles::write(dir.filePath(u"previo.pdf"_s), "previo");
    EXPECT_NO_THROW(report->exportPdf(existing));
    EXPECT_EQ(ReportFiles::pdfText(existing), u"Declaración del año"_s) << "an existing file is replaced";
}

// A sheet of a marked form is laid out as its filled HTML: its plain values put in place of the markers, each
// space kept from wrapping where the layout asks; a value the HTML reader would change, one in an attribute or
// one that would run into an entity has the sheet read from the HTML.
TEST(ReportDefinitionRender, MarkedSheetsLayOutAsTheirFilledHtml)
{
    const auto page = [](report::ReportDocument& document, const QPageLayout& layout) {
        QImage image(620, 877, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        document.drawPage(painter, 0, layout, image.rect());
        return image;
    };
    const QString layouts[] = {
        u"<table width=\"100%\"><tr><td width=\"8%\"><span style=\"white-space: nowrap;\">{{A}}</span></td>"
        u"<td>{{B}} y {{B}}</td></tr></table>"_s,
        u"<p title=\"{{A}}\">{{B}}</p>"_s, u"<p>{{A}}: &{{B}}</p>"_s};
    for (const QString& layout : layouts) {
        const ReportDefinition definition =
            ReportDefinition::fromText(u"[report]\nparameters = A, B\n[layout]\n"_s + layout, u"prueba.rpt"_s);
        const QPageLayout& pageLayout = definition.pageLayout();
        for (const auto& [a, b] :
             {std::pair{u"Banco del Sur S.A."_s, u"1.234,50"_s},
              std::pair{u" dos  espacios"_s, u"O'Brien & <b>Cía</b>"_s}, std::pair{QString(), u"amp;"_s}}) {
            SCOPED_TRACE((layout.left(12) + a).toStdString());
            const QHash<QString, QString> parameters{{u"A"_s, a}, {u"B"_s, b}};
            const report::FilledLayout filled = definition.fill(parameters, {});
            ASSERT_TRUE(filled.isMarked());
            report::MarkedForm form(filled.text());
            const report::MarkedForm::Reading* reading = form.reading(pageLayout, definition.font());
            EXPECT_EQ(reading && report::MarkedForm::fit(*reading, filled.values()),
                      layout == layouts[0] ? !a.startsWith(u' ') : layout == layouts[1] && a.isEmpty());
            report::ReportDocument marked(form, filled.values(), pageLayout, definition.font(), {});
            report::ReportDocument read(definition.render(parameters, {}), pageLayout, definition.font(), {});
            EXPECT_TRUE(page(marked, pageLayout) == page(read, pageLayout));
        }
    }
}
