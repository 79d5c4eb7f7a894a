#include "GenerationTest.h"

#include "platform/reportengine/RecordingReport.h"
#include "platform/reportengine/ReportEngine.h"

#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

/// A report that also writes itself as a PDF, through the engine's real page layout, when previewed.
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

/// The recording engine, keeping a PDF of every sheet shown ("1-AR04.pdf", "2-AR04_primera.pdf"...).
class PdfEngine : public report::RecordingReportEngine
{
public:
    explicit PdfEngine(QString directory) : m_directory(std::move(directory)) {}

    std::unique_ptr<report::Report> openReport(const QString& path) override
    {
        m_pdfs.append(
            QDir(m_directory).filePath(u"%1-%2.pdf"_s.arg(m_pdfs.size() + 1).arg(QFileInfo(path).baseName())));
        return std::make_unique<PdfReport>(RecordingReportEngine::openReport(path), m_pdfs.last());
    }

    QStringList m_pdfs;

private:
    QString m_directory;
};

/// The text of a one-page PDF, spaces simplified; empty when it has another number of pages.
QString onePageText(const QString& path)
{
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, u"-enc"_s, u"UTF-8"_s, path, u"-"_s});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    return text.count(u'\f') == 1 ? text.simplified() : QString();
}

} // namespace

class AR04LayoutTest : public GenerationTest
{
protected:
    AR04LayoutTest()
    {
        auto engine = std::make_unique<PdfEngine>(m_db.dir());
        m_pdfEngine = engine.get();
        m_engine = engine.get();
        report::ReportEngine::install(std::move(engine));

        clsCodigo::instance().Par_Denomin = u"Banco Cooperativo de Ñorquinco S.A."_s;
        addPayment(15320.4, u"06/09/2002"_s, 101);
        addPayment(9870, u"13/09/2002"_s, 102);
        addPayment(12004.75, u"20/09/2002"_s, 103);
    }

    /// Checks that the sheet's PDF is one page holding every text.
    void expectPage(int sheet, const QStringList& texts)
    {
        const QString text = onePageText(m_pdfEngine->m_pdfs.value(sheet));
        for (const QString& expected : texts)
            EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " in\n" << text.toStdString();
    }

    PdfEngine* m_pdfEngine = nullptr;
};

TEST_F(AR04LayoutTest, ShortFormOnOnePage)
{
    addLines(16);
    execute(u"update DDJJ_Detalle set C_Tipo_Moneda = '03' where N_Cuit = 20000000002"_s);
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    ASSERT_EQ(m_pdfEngine->m_pdfs.size(), 1);
    expectPage(0, {u"DECLARACIÓN JURADA"_s, u"0000000027"_s, u"Hoja 1 de 1"_s, u"Banco Cooperativo de Ñorquinco S.A."_s,
                   u"30-50001091-2"_s, u"200209"_s, u"20000000016"_s, cbu(16), u"1.016,00"_s, u"Dolares"_s, u"68,00"_s,
                   u"06/09/2002"_s, u"15.320,40"_s, u"37.195,15"_s, u"Declaro bajo juramento"_s});
}

TEST_F(AR04LayoutTest, LongFormDetailSheetsAndPaymentsSheet)
{
    addLines(61);
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    ASSERT_EQ(m_pdfEngine->m_pdfs.size(), 3);
    expectPage(0, {u"Hoja 1 de 3"_s, cbu(41), u"CONTINÚA EN LA HOJA SIGUIENTE"_s, u"Caja de Ahorro"_s});
    EXPECT_FALSE(onePageText(m_pdfEngine->m_pdfs[0]).contains(cbu(42))) << "41 lines to a sheet";
    expectPage(1, {u"Hoja 2 de 3"_s, cbu(42), cbu(61), u"TOTAL RETENIDO DE LA DECLARACIÓN"_s, u"945,50"_s});
    expectPage(2, {u"Hoja 3 de 3"_s, u"0000000027"_s, u"101"_s, u"13/09/2002"_s, u"9.870,00"_s, u"37.195,15"_s,
                   u"945,50"_s, u"Declaro bajo juramento"_s});
}
