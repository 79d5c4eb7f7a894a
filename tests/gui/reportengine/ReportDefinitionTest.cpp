#include "platform/reportengine/ReportDefinition.h"
#include "platform/reportengine/ReportError.h"

#include "ReportFiles.h"

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
    return header + u"\n[layout]\n"_s + layout;
}

} // namespace

TEST(ReportDefinitionFile, MissingOrUnreadableFilesAreRefused)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"NoExiste.rpt"_s);
    try {
        (void)ReportDefinition::fromFile(missing);
        FAIL() << "a missing file was accepted";
    } catch (const ReportError& error) {
        EXPECT_NE(std::string(error.what()).find("NoExiste.rpt"), std::string::npos) << error.what();
    }
    EXPECT_THROW((void)ReportDefinition::fromFile(dir.path()), ReportError) << "a folder is not a report";

    const QString latin1 = dir.filePath(u"latin1.rpt"_s);
    QFile file(latin1);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[report]\ntitle = Boleta de Pago\n[layout]\n<p>A\xf1o</p>\n"); // "Año" in Latin-1
    file.close();
    EXPECT_THROW((void)ReportDefinition::fromFile(latin1), ReportError);

    const QString empty = ReportFiles::write(dir.filePath(u"vacio.rpt"_s), {});
    EXPECT_THROW((void)ReportDefinition::fromFile(empty), ReportError);
}

TEST(ReportDefinitionFile, MalformedHeadersAreRefusedWithTheirLine)
{
    const QString parameters = u"[report]\nparameters = Nro\n"_s;
    const struct
    {
        QString text;
        std::string expected; // part of the message
    } cases[] = {
        {withLayout(u"title = sin sección"_s), "línea 1"},
        {withLayout(parameters + u"[reporte]"_s), "línea 3"},
        {withLayout(parameters + u"[report"_s), "línea 3"},
        {withLayout(parameters + u"papel = A4"_s), "papel"},
        {withLayout(parameters + u"solo texto"_s), "línea 3"},
        {withLayout(parameters + u"page = A5"_s), "A5"},
        {withLayout(parameters + u"page = A4 sideways"_s), "sideways"},
        {withLayout(parameters + u"margins = 10 10 10"_s), "márgenes"},
        {withLayout(parameters + u"margins = -1"_s), "-1"},
        {withLayout(parameters + u"margins = 150"_s), "márgenes"},
        {withLayout(parameters + u"font = 9"_s), "fuente"},
        {withLayout(parameters + u"font = DejaVu Sans grande"_s), "fuente"},
        {withLayout(parameters + u"rows = 0"_s), "filas"},
        {withLayout(parameters + u"copies = A | | B"_s), "copia"},
        {withLayout(parameters + u"parameters = Nro"_s), "repetido"},
        {withLayout(parameters + u"parameters = nro"_s), "repetido"},
        {withLayout(parameters + u"parameters = Fecha Pago"_s), "Fecha Pago"},
        {withLayout(parameters + u"parameters = filas"_s), "reservado"},
        {withLayout(parameters + u"parameters = Fec{16..1}"_s), "rango"},
        {withLayout(parameters + u"[format]\nImporte = #.##0,00"_s), "#.##0,00"},
        {withLayout(parameters + u"[map]\n01 = Pesos"_s), "sección"},
        {parameters, "[layout]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const std::string message = refusal(c.text);
        ASSERT_FALSE(message.empty()) << "accepted";
        EXPECT_NE(message.find("prueba.rpt"), std::string::npos) << message;
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
}

TEST(ReportDefinitionFile, LayoutTagsMustBeValidAndDeclared)
{
    const QString header = u"[report]\nparameters = Nro, Nombre\n"_s;
    EXPECT_NE(refusal(withLayout(header, u"<p>{{#filas}}{{moneda}}</p>"_s)).find("plantilla"), std::string::npos)
        << "an unclosed section";
    const std::string misspelt = refusal(withLayout(header, u"<p>{{Nro}}</p>\n<p>{{Nombres}}</p>"_s));
    EXPECT_NE(misspelt.find("Nombres"), std::string::npos) << misspelt;
    EXPECT_NE(misspelt.find("línea 6"), std::string::npos) << "the layout starts on line 5: " << misspelt;
    EXPECT_FALSE(refusal(withLayout(header, u"{{> otra}}"_s)).empty()) << "partials are not supported";
    EXPECT_FALSE(refusal(withLayout(header, u"{{=<% %>=}}<%Nro%>"_s)).empty()) << "nor changed delimiters";
    EXPECT_FALSE(refusal(withLayout(header, u"{{copia}}"_s)).empty()) << "a copy's caption only inside copias";

    // Accepted: any case, fields inside the band, comments, the template's own lists.
    EXPECT_EQ(refusal(withLayout(header, u"{{! nota }}{{NRO}} {{{nombre}}} {{#Nombre}}x{{/Nombre}}"
                                         u"{{#filas}}{{cualquier_campo}}{{Nro}}{{/filas}}{{^filas}}-{{/filas}}"
                                         u"{{#relleno}}.{{/relleno}}{{#copias}}{{copia}}{{^ultima}}|{{/ultima}}"
                                         u"{{/copias}}"_s)),
              "");
}

TEST(ReportDefinitionFile, HeaderGivesParametersPageAndFont)
{
    const ReportDefinition definition = ReportDefinition::fromText(u"\uFEFF# comentario\n"
                                                                   u"; otro comentario\n"
                                                                   u"[report]\n"
                                                                   u"title = Declaración AR04\n"
                                                                   u"page = legal LANDSCAPE\n"
                                                                   u"margins = 10 20\n"
                                                                   u"font = DejaVu Serif 11\n"
                                                                   u"parameters = Nro, Fec{1..3}\n"
                                                                   u"parameters = HojaA,\n"
                                                                   u"rows = 41\n"
                                                                   u"[layout]\n"
                                                                   u"{{Nro}} {{Fec1}} {{fec2}}"_s,
                                                                   u"prueba.rpt"_s);
    EXPECT_EQ(definition.title(), u"Declaración AR04"_s);
    EXPECT_EQ(definition.parameters(), (QStringList{u"Nro"_s, u"Fec1"_s, u"Fec2"_s, u"Fec3"_s, u"HojaA"_s}));
    EXPECT_TRUE(definition.declares(u"Fec3"_s));
    EXPECT_FALSE(definition.declares(u"Fec4"_s));
    EXPECT_FALSE(definition.declares(u"nro"_s)) << "a driver must use the declared spelling";
    EXPECT_EQ(definition.unusedParameters(), (QStringList{u"Fec3"_s, u"HojaA"_s}));

    const QPageLayout& page = definition.pageLayout();
    EXPECT_EQ(page.pageSize().id(), QPageSize::Legal);
    EXPECT_EQ(page.orientation(), QPageLayout::Landscape);
    const QMarginsF margins = page.margins(QPageLayout::Millimeter);
    EXPECT_DOUBLE_EQ(margins.top(), 10);
    EXPECT_DOUBLE_EQ(margins.bottom(), 10);
    EXPECT_DOUBLE_EQ(margins.left(), 20);
    EXPECT_DOUBLE_EQ(margins.right(), 20);
    EXPECT_EQ(definition.font().family(), u"DejaVu Serif"_s);
    EXPECT_DOUBLE_EQ(definition.font().pointSizeF(), 11);
    EXPECT_TRUE(definition.font().styleStrategy() & QFont::PreferNoShaping) << "no ligatures in the PDF text";
    EXPECT_EQ(definition.rowLimit(), 41);
}

TEST(ReportDefinitionRender, ParametersAreEscapedAndEmptyOnesCountAsFalse)
{
    const ReportDefinition definition = ReportDefinition::fromText(
        withLayout(u"[report]\nparameters = Nombre, Saldo, Nota\n"_s,
                   u"<b>{{nombre}}</b>|{{#Saldo}}Saldo: {{Saldo}}{{/Saldo}}{{^Saldo}}sin saldo{{/Saldo}}|{{Nota}}|"_s),
        u"prueba.rpt"_s);
    EXPECT_EQ(definition.render({{u"Nombre"_s, u"O'Brien & Cía <SA>"_s}, {u"Saldo"_s, u"1.234,50"_s}}, {}),
              u"<b>O&apos;Brien &amp; Cía &lt;SA&gt;</b>|Saldo: 1.234,50||"_s);
    EXPECT_EQ(definition.render({{u"Saldo"_s, QString()}}, {}), u"<b></b>|sin saldo||"_s);
}

TEST(ReportDefinitionRender, RowsUseFormatsMapsAndCaseInsensitiveNames)
{
    const ReportDefinition definition = ReportDefinition::fromText(u"[report]\n"
                                                                   u"parameters = Nro\n"
                                                                   u"[format]\n"
                                                                   u"I_Retenido = ##,##0.00\n"
                                                                   u"N_Cuit = 0\n"
                                                                   u"F_Presentacion = date\n"
                                                                   u"[map C_Tipo_Moneda]\n"
                                                                   u"01 = Pesos\n"
                                                                   u"\"\" = (sin moneda)\n"
                                                                   u"* = Otra\n"
                                                                   u"[map C_Tipo_Cuenta]\n"
                                                                   u"01 = Caja de Ahorro\n"
                                                                   u"[layout]\n"
                                                                   u"{{#filas}}[{{n_cbu}};{{I_RETENIDO}};{{n_cuit}};"
                                                                   u"{{f_presentacion}};{{c_tipo_moneda}};"
                                                                   u"{{c_tipo_cuenta}};{{Nro}}]{{/filas}}"
                                                                   u"{{^filas}}sin líneas{{/filas}}"_s,
                                                                   u"prueba.rpt"_s);
    const std::vector<ReportRow> rows{
        {{u"N_CBU"_s, u"0110"_s},
         {u"I_Retenido"_s, 1234.5},
         {u"N_Cuit"_s, 20123456786.0},
         {u"F_Presentacion"_s, QDate(2002, 9, 5)},
         {u"C_Tipo_Moneda"_s, u"01"_s},
         {u"C_Tipo_Cuenta"_s, u"01"_s}},
        {{u"N_CBU"_s, u"0220"_s},
         {u"I_Retenido"_s, u"-0.5"_s},
         {u"N_Cuit"_s, db::Value()},
         {u"F_Presentacion"_s, db::Value()},
         {u"C_Tipo_Moneda"_s, db::Value()},
         {u"C_Tipo_Cuenta"_s, u"02"_s}},
        {{u"N_CBU"_s, u"0330"_s},
         {u"I_Retenido"_s, u"no es número"_s},
         {u"N_Cuit"_s, 1.0},
         {u"F_Presentacion"_s, u"2002-10-01"_s},
         {u"C_Tipo_Moneda"_s, u" 07 "_s},
         {u"C_Tipo_Cuenta"_s, u"03"_s}},
    };
    EXPECT_EQ(definition.render({{u"Nro"_s, u"0000000027"_s}}, rows),
              u"[0110;1.234,50;20123456786;05/09/2002;Pesos;Caja de Ahorro;0000000027]"
              u"[0220;-0,50;;;(sin moneda);02;0000000027]"
              u"[0330;no es número;1;01/10/2002;Otra;03;0000000027]"_s);
    EXPECT_EQ(definition.render({}, {}), u"sin líneas"_s);
}

TEST(ReportDefinitionRender, RowLimitAndBlankRowsFillTheBand)
{
    const ReportDefinition definition = ReportDefinition::fromText(
        u"[report]\nrows = 3\n[layout]\n{{#filas}}<{{n}}>{{/filas}}{{#relleno}}<>{{/relleno}}"_s, u"prueba.rpt"_s);
    std::vector<ReportRow> rows;
    for (int n = 1; n <= 5; ++n)
        rows.push_back({{u"n"_s, n}});
    EXPECT_EQ(definition.render({}, rows), u"<1><2><3>"_s) << "the first rows, in order, up to the limit";
    rows.resize(1);
    EXPECT_EQ(definition.render({}, rows), u"<1><><>"_s);
    EXPECT_EQ(definition.render({}, {}), u"<><><>"_s);
}

TEST(ReportDefinitionRender, CopiesRepeatTheLayout)
{
    const ReportDefinition definition =
        ReportDefinition::fromText(u"[report]\nparameters = Nro\ncopies = Original | Duplicado | Triplicado\n"
                                   u"[layout]\n{{#copias}}{{copia}} {{Nro}}{{^ultima}} / {{/ultima}}{{/copias}}"_s,
                                   u"prueba.rpt"_s);
    EXPECT_EQ(definition.render({{u"Nro"_s, u"7"_s}}, {}), u"Original 7 / Duplicado 7 / Triplicado 7"_s);
}
