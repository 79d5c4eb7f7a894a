#include "PaymentsTest.h"

#include "platform/reportengine/PreviewWindow.h"
#include "platform/reportengine/QtReportEngine.h"
#include "platform/reportengine/ReportDocument.h"

#include <QDir>
#include <QPointer>
#include <QProcess>

#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using Parameters = std::vector<std::pair<QString, QString>>;

const QString letras1234 = u"PESOS UN MIL DOSCIENTOS TREINTA Y CUATRO CON CINCUENTA CENTAVOS.-"_s;

Parameters form(const QString& importe, const QString& semana, const QString& fecha, const QString& letras,
                const QString& mes, const QString& anio, const QString& nro)
{
    return {{u"Importe"_s, importe},
            {u"Semana"_s, semana},
            {u"FechaPago"_s, fecha},
            {u"Agente"_s, u"4521"_s},
            {u"Nombre"_s, u"Banco del Sur S.A."_s},
            {u"ImporteLet"_s, letras},
            {u"Mes"_s, mes},
            {u"Anio"_s, anio},
            {u"Nro"_s, nro}};
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
    ASSERT_EQ(m_engine->reportCount(), 1);
    const report::RecordedReport& first = m_engine->report(0);
    EXPECT_EQ(first.path, ProgramDirectory::filePath(u"AR03.rpt"_s));
    EXPECT_EQ(first.parameters,
              form(u"1.234,50"_s, u"3"_s, u"16/09/2002"_s, letras1234, u"09"_s, u"2002"_s, u"0000000001"_s));
    ASSERT_EQ(first.rows.size(), 1u);
    ASSERT_EQ(first.rows.at(0).size(), 1);
    EXPECT_EQ(first.rows.at(0).value(u"moneda").toString(), u"01"_s);
    EXPECT_TRUE(first.printerSetupButton);
    EXPECT_EQ(first.previewTitles, QStringList{u"AR03"_s});
    EXPECT_EQ(m_engine->closePreviewCalls(), 1);
    EXPECT_EQ(numero(m_id).toDouble(), 1);
    EXPECT_EQ(counter(), u"2"_s);

    ASSERT_TRUE(m_codigo.Reimpresion_AR03(m_id));
    const report::RecordedReport& reprint = m_engine->lastReport();
    EXPECT_EQ(reprint.parameters, first.parameters);
    EXPECT_EQ(reprint.previewTitles, QStringList{u"Reimpresión AR03"_s});
    EXPECT_TRUE(reprint.printerSetupButton);
    EXPECT_EQ(m_engine->closePreviewCalls(), 2) << "the previous preview is closed first";
    EXPECT_EQ(numero(m_id).toDouble(), 1);
    EXPECT_EQ(counter(), u"2"_s);

    // A second payment takes the next number.
    const double next = addPayment(u"200210"_s, u"1"_s, u"'01/10/2002'"_s, u"5"_s, u"'02'"_s);
    ASSERT_TRUE(m_codigo.Reporte_AR03(next));
    EXPECT_EQ(m_engine->lastReport().parameter(u"Nro"_s), u"0000000002"_s);
    EXPECT_EQ(counter(), u"3"_s);
}

TEST_F(ReporteAR03Test, TheFormShowsEachPaymentAsStored)
{
    const struct
    {
        QString posicion, semana, fecha, importe, moneda, numero;
        Parameters expected;
    } cases[] = {
        {u"200112"_s, u"5"_s, u"'31/12/2001'"_s, u"1000000"_s, u"'03'"_s, u"12"_s,
         form(u"1.000.000,00"_s, u"5"_s, u"31/12/2001"_s, u"DOLARES UN MILLON .-"_s, u"12"_s, u"2001"_s,
              u"0000000012"_s)},
        {u"200201"_s, u"2"_s, u"'01/01/2002'"_s, u"-21.21"_s, u"'02'"_s, u"3"_s,
         form(u"-21,21"_s, u"2"_s, u"01/01/2002"_s, u"LECOP VEINTIUNO CON VEINTIUN CENTAVOS.-"_s, u"01"_s, u"2002"_s,
              u"0000000003"_s)},
        {u"200202"_s, u"1"_s, u"'04/02/2002'"_s, u"0.996"_s, u"'99'"_s, u"null"_s,
         form(u"1,00"_s, u"1"_s, u"04/02/2002"_s, u"DOLARES UNO .-"_s, u"02"_s, u"2002"_s, u"0000000000"_s)},
        {u"200203"_s, u"null"_s, u"null"_s, u"null"_s, u"null"_s, u"0"_s,
         form(u"0,00"_s, u"1"_s, u""_s, u"PESOS CERO..-"_s, u"03"_s, u"2002"_s, u"0000000000"_s)},
    };
    for (const auto& c : cases) {
        const double id = addPayment(c.posicion, c.semana, c.fecha, c.importe, c.moneda, c.numero);
        ASSERT_TRUE(m_codigo.Reimpresion_AR03(id)) << c.posicion.toStdString();
        EXPECT_EQ(m_engine->lastReport().parameters, c.expected) << c.posicion.toStdString();
    }
    EXPECT_EQ(m_engine->previewTitles().size(), 4);
}

TEST_F(ReporteAR03Test, WithoutACounterRowNothingIsNumbered)
{
    setCounter(QString());
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id));
    EXPECT_TRUE(numero(m_id).isNull());
    EXPECT_EQ(m_db.count(u"PARAMETROS"_s), 0);
    EXPECT_TRUE(m_engine->previewTitles().isEmpty());

    // A row without a value counts as 0.
    execute(u"insert into PARAMETROS (ID, Descripcion, Valor) values (4, 'Nro AR03', null)"_s);
    ASSERT_TRUE(m_codigo.Reporte_AR03(m_id));
    EXPECT_EQ(m_engine->lastReport().parameter(u"Nro"_s), u"0000000000"_s);
    EXPECT_EQ(numero(m_id).toDouble(), 0);
    EXPECT_EQ(counter(), u"1"_s);
}

TEST_F(ReporteAR03Test, NumberAndCounterMoveTogetherOrNotAtAll)
{
    // The counter cannot be written: the payment keeps no number.
    setCounter(u"5"_s);
    execute(u"create trigger frozen before update on PARAMETROS begin select raise(abort, 'locked'); end"_s);
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id));
    EXPECT_TRUE(numero(m_id).isNull());
    EXPECT_EQ(counter(), u"5"_s);
    execute(u"drop trigger frozen"_s);

    // The payment cannot be numbered: the counter stays.
    execute(u"create trigger frozen before update on AR03 begin select raise(abort, 'locked'); end"_s);
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id));
    EXPECT_EQ(counter(), u"5"_s);
    execute(u"drop trigger frozen"_s);

    // A counter that is not a whole number numbers nothing.
    for (const QString& bad : {u"abc"_s, u"-3"_s, u"2.5"_s}) {
        setCounter(bad);
        EXPECT_FALSE(m_codigo.Reporte_AR03(m_id)) << bad.toStdString();
        EXPECT_TRUE(numero(m_id).isNull()) << bad.toStdString();
        EXPECT_EQ(counter(), bad);
    }
    EXPECT_TRUE(m_engine->previewTitles().isEmpty());
}

TEST_F(ReporteAR03Test, AFailedPreviewComesAfterTheNumberIsKept)
{
    setCounter(u"8"_s);
    m_engine->setPreviewFailsAfter(0);
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id));
    EXPECT_EQ(numero(m_id).toDouble(), 8);
    EXPECT_EQ(counter(), u"9"_s);
    EXPECT_FALSE(m_codigo.Reimpresion_AR03(m_id));
    EXPECT_EQ(numero(m_id).toDouble(), 8);
    EXPECT_EQ(counter(), u"9"_s);
}

TEST_F(ReporteAR03Test, FailuresReturnFalseAndWriteNothing)
{
    setCounter(u"1"_s);
    // No such payment.
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id + 100));
    EXPECT_FALSE(m_codigo.Reimpresion_AR03(m_id + 100));

    // The report file cannot be opened: missing, or refused by the engine.
    QFile::remove(m_db.dir() + u"/AR03.rpt"_s);
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id));
    EXPECT_FALSE(m_codigo.Reimpresion_AR03(m_id));
    ASSERT_TRUE(QFile::copy(ReportFiles::shipped(u"AR03.rpt"_s), m_db.dir() + u"/AR03.rpt"_s));
    m_engine->setOpenFails(true);
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id));
    m_engine->setOpenFails(false);

    // A form that does not declare the nine parameters.
    ReportFiles::write(m_db.dir() + u"/AR03.rpt"_s,
                       u"[report]\ntitle = AR03\nparameters = Importe\n[layout]\n<p>{{Importe}}</p>\n"_s);
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id));
    EXPECT_FALSE(m_codigo.Reimpresion_AR03(m_id));

    EXPECT_TRUE(numero(m_id).isNull());
    EXPECT_EQ(counter(), u"1"_s);
    EXPECT_TRUE(m_engine->previewTitles().isEmpty());

    // No engine, no database.
    ASSERT_TRUE(QFile::remove(m_db.dir() + u"/AR03.rpt"_s));
    ASSERT_TRUE(QFile::copy(ReportFiles::shipped(u"AR03.rpt"_s), m_db.dir() + u"/AR03.rpt"_s));
    report::ReportEngine::install(nullptr);
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id));
    EXPECT_TRUE(numero(m_id).isNull());
    report::ReportEngine::install(std::make_unique<report::RecordingReportEngine>());
    TempDatabase::disconnect();
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_id));
    EXPECT_FALSE(m_codigo.Reimpresion_AR03(m_id));
}

// The form as the operator gets it: the real engine, the shipped layout and a stored payment.
TEST_F(ReporteAR03Test, TheShippedFormPrintsThePayment)
{
    auto installed = std::make_unique<report::QtReportEngine>();
    report::QtReportEngine& engine = *installed;
    report::ReportEngine::install(std::move(installed));
    setCounter(u"17"_s);

    ASSERT_TRUE(m_codigo.Reporte_AR03(m_id));
    const QPointer<report::PreviewWindow> firstWindow = engine.lastPreview();
    ASSERT_TRUE(firstWindow);
    EXPECT_EQ(firstWindow->windowTitle(), u"AR03"_s);
    ASSERT_TRUE(m_codigo.Reimpresion_AR03(m_id));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(firstWindow.isNull()) << "the first preview was closed by the reprint";
    report::PreviewWindow* window = engine.lastPreview();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), u"Reimpresión AR03"_s);

    const QString pdf = m_db.dir() + u"/AR03.pdf"_s;
    window->document().exportPdf(pdf, window->document().pageLayout());
    const QString text = ReportFiles::pdfText(pdf);
    ASSERT_FALSE(text.isEmpty()) << "pdftotext could not read the form";
    for (const QString& shown : {u"0000000017"_s, u"1.234,50"_s, letras1234, u"Banco del Sur S.A."_s, u"4521"_s,
                                 u"16/09/2002"_s, u"2002"_s, u"09"_s, u"Pesos"_s})
        EXPECT_TRUE(text.contains(shown)) << shown.toStdString() << "\n" << text.toStdString();
    EXPECT_EQ(ReportFiles::pdfPageCount(pdf), 1);

    // Left in the build folder for a person to look at.
    QDir().mkpath(QStringLiteral(TOLBRANE_SCREENSHOTS_DIR));
    const QString kept = QStringLiteral(TOLBRANE_SCREENSHOTS_DIR) + u"/AR03.pdf"_s;
    QFile::remove(kept);
    QFile::copy(pdf, kept);
    QProcess::execute(u"pdftoppm"_s, {u"-png"_s, u"-r"_s, u"80"_s, u"-singlefile"_s, kept,
                                      QStringLiteral(TOLBRANE_SCREENSHOTS_DIR) + u"/AR03"_s});
    window->close();
}
