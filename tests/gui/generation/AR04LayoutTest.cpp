#include "GenerationTest.h"

#include "gui/ui/Printers.h"
#include "reports/AR04Printing.h"

#include "platform/reportengine/RecordingReport.h"
#include "platform/reportengine/ReportDefinition.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

/// A report that also writes itself as a PDF each time it is previewed, through the engine's real
/// page layout and PDF output.
class PdfReport : public report::Report
{
public:
    PdfReport(std::unique_ptr<report::Report> inner, QString pdfPath)
        : m_inner(std::move(inner)), m_pdfPath(std::move(pdfPath))
    {}

    void setTable(std::unique_ptr<db::Recordset> table) override { m_inner->setTable(std::move(table)); }
    void setPrinterSetupButton(bool shown) override { m_inner->setPrinterSetupButton(shown); }
    void setParameter(const QString& name, const QString& value) override { m_inner->setParameter(name, value); }
    void exportPdf(const QString& path) override { m_inner->exportPdf(path); }
    void preview(const QString& title) override
    {
        m_inner->preview(title);
        m_inner->exportPdf(m_pdfPath);
    }

private:
    std::unique_ptr<report::Report> m_inner;
    QString m_pdfPath;
};

/// The recording engine, keeping a PDF of every sheet shown ("01-AR04.pdf", "02-AR04_primera.pdf"...).
class PdfEngine : public report::RecordingReportEngine
{
public:
    explicit PdfEngine(QString directory) : m_directory(std::move(directory)) {}

    std::unique_ptr<report::Report> openReport(const QString& path) override
    {
        auto inner = RecordingReportEngine::openReport(path);
        const QString name =
            u"%1-%2.pdf"_s.arg(++m_opened, 2, 10, QLatin1Char('0')).arg(QFileInfo(path).completeBaseName());
        m_pdfs.append(QDir(m_directory).filePath(name));
        return std::make_unique<PdfReport>(std::move(inner), m_pdfs.last());
    }

    [[nodiscard]] const QStringList& pdfs() const { return m_pdfs; }

private:
    QString m_directory;
    QStringList m_pdfs;
    int m_opened = 0;
};

QString pdfText(const QString& path, bool keepLayout = true)
{
    QProcess process;
    QStringList arguments{u"-enc"_s, u"UTF-8"_s, path, u"-"_s};
    if (keepLayout)
        arguments.prepend(u"-layout"_s);
    process.start(u"pdftotext"_s, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pageCount(const QString& path)
{
    return static_cast<int>(pdfText(path).count(u'\f'));
}

} // namespace

class AR04LayoutTest : public GenerationTest
{
protected:
    AR04LayoutTest()
    {
        // TOLBRANE_PDF_DIR keeps the sheets for a look at them (pdftoppm -png).
        const QString keep = qEnvironmentVariable("TOLBRANE_PDF_DIR");
        m_pdfDir = keep.isEmpty() ? m_temporary.path() : keep;
        QDir().mkpath(m_pdfDir);
        auto engine = std::make_unique<PdfEngine>(m_pdfDir);
        m_pdfEngine = engine.get();
        m_engine = engine.get();
        report::ReportEngine::install(std::move(engine));

        clsCodigo::instance().Par_Denomin = u"Banco Cooperativo de Ñorquinco S.A."_s;
        addPayment(15320.4, u"06/09/2002"_s, 101);
        addPayment(9870, u"13/09/2002"_s, 102);
        addPayment(12004.75, u"20/09/2002"_s, 103);
    }

    QTemporaryDir m_temporary;
    QString m_pdfDir;
    PdfEngine* m_pdfEngine = nullptr;
};

TEST_F(AR04LayoutTest, EveryLayoutOpensAndShowsEveryParameterItDeclares)
{
    for (const QString& name : {u"AR04.rpt"_s, u"AR04_primera.rpt"_s, u"AR04_Pagos.rpt"_s}) {
        const report::ReportDefinition definition = report::ReportDefinition::fromFile(QDir(m_db.dir()).filePath(name));
        EXPECT_TRUE(definition.unusedParameters().isEmpty())
            << name.toStdString() << ": " << definition.unusedParameters().join(u", "_s).toStdString();
    }
}

TEST_F(AR04LayoutTest, ShortFormOnOnePage)
{
    addLines(16);
    execute(u"update DDJJ_Detalle set C_Tipo_Moneda = '03' where N_Cuit = 20000000002"_s);
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    ASSERT_EQ(m_pdfEngine->pdfs().size(), 1);
    const QString pdf = m_pdfEngine->pdfs().front();
    EXPECT_EQ(pageCount(pdf), 1);

    const QString text = pdfText(pdf).simplified();
    for (const QString& expected : {u"DECLARACIÓN JURADA"_s,
                                    u"AR04"_s,
                                    u"0000000027"_s,
                                    u"Hoja 1 de 1"_s,
                                    u"1234"_s,
                                    u"Banco Cooperativo de Ñorquinco S.A."_s,
                                    u"30-50001091-2"_s,
                                    u"200209"_s,
                                    u"20000000001"_s,
                                    cbu(1),
                                    u"20000000016"_s,
                                    cbu(16),
                                    u"1.016,00"_s,
                                    u"8,00"_s,
                                    u"Dolares"_s,
                                    u"Pesos"_s,
                                    u"68,00"_s,
                                    u"101"_s,
                                    u"06/09/2002"_s,
                                    u"15.320,40"_s,
                                    u"12.004,75"_s,
                                    u"37.195,15"_s,
                                    u"Declaro bajo juramento"_s}) {
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " in\n" << text.toStdString();
    }
}

TEST_F(AR04LayoutTest, ShortFormReprintShowsThePresentationDates)
{
    addLines(3);
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    ASSERT_TRUE(AR04Printing::reprint(periodo, secuencia, 27));
    ASSERT_EQ(m_pdfEngine->pdfs().size(), 2);
    const QString text = pdfText(m_pdfEngine->pdfs().back()).simplified();
    EXPECT_TRUE(text.contains(u"15/10/2002"_s)) << text.toStdString();
    EXPECT_FALSE(text.contains(u"01/01/1900"_s)) << "empty slots show no date";
}

TEST_F(AR04LayoutTest, LongFormDetailSheetsAndPaymentsSheet)
{
    addLines(61);
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    ASSERT_EQ(m_pdfEngine->pdfs().size(), 3);
    for (const QString& pdf : m_pdfEngine->pdfs())
        EXPECT_EQ(pageCount(pdf), 1) << pdf.toStdString();

    const QString first = pdfText(m_pdfEngine->pdfs()[0]).simplified();
    EXPECT_TRUE(first.contains(u"Hoja 1 de 3"_s));
    EXPECT_TRUE(first.contains(cbu(41)));
    EXPECT_FALSE(first.contains(cbu(42))) << "41 lines to a sheet";
    EXPECT_TRUE(first.contains(u"CONTINÚA EN LA HOJA SIGUIENTE"_s));
    EXPECT_TRUE(first.contains(u"Caja de Ahorro"_s));

    const QString second = pdfText(m_pdfEngine->pdfs()[1]).simplified();
    EXPECT_TRUE(second.contains(u"Hoja 2 de 3"_s));
    EXPECT_TRUE(second.contains(cbu(42)));
    EXPECT_TRUE(second.contains(cbu(61)));
    EXPECT_TRUE(second.contains(u"TOTAL RETENIDO DE LA DECLARACIÓN"_s));
    EXPECT_TRUE(second.contains(u"945,50"_s)) << "the total withheld";

    const QString payments = pdfText(m_pdfEngine->pdfs()[2]).simplified();
    for (const QString& expected : {u"Hoja 3 de 3"_s, u"0000000027"_s, u"101"_s, u"13/09/2002"_s, u"9.870,00"_s,
                                    u"37.195,15"_s, u"945,50"_s, u"Declaro bajo juramento"_s}) {
        EXPECT_TRUE(payments.contains(expected)) << expected.toStdString() << " in\n" << payments.toStdString();
    }
}
