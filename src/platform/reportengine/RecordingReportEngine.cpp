#include "platform/reportengine/RecordingReportEngine.h"

#include "platform/db/Recordset.h"
#include "platform/reportengine/Report.h"
#include "platform/reportengine/ReportDocument.h"
#include "platform/reportengine/ReportError.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace report {

// Takes every call through the content the real report uses, so that the same calls are refused.
class RecordingReport : public Report
{
public:
    RecordingReport(RecordingReportEngine& engine, std::shared_ptr<RecordedReport> record)
        : m_engine(engine), m_record(std::move(record))
    {}

    void setTable(std::unique_ptr<db::Recordset> table) override { m_record->content.setTable(std::move(table)); }
    void setPrinterSetupButton(bool shown) override { m_record->content.setPrinterSetupButton(shown); }
    void setParameter(const QString& name, const QString& value) override
    {
        m_record->content.setParameter(name, value);
    }
    void preview(const QString& title) override
    {
        int& successesLeft = m_engine.m_previewsBeforeFailure;
        if (successesLeft == 0)
            throw ReportError(u"no se pudo mostrar la vista previa \""_s + title + u"\" (fallo simulado)"_s);
        successesLeft -= successesLeft > 0;
        (void)m_record->content.html(); // a layout that cannot be filled fails here, as in the real preview
        m_record->previewTitles.append(title);
        if (!m_record->pdf.isEmpty())
            exportPdf(m_record->pdf);
    }
    void exportPdf(const QString& path) override
    {
        const ReportContent& content = m_record->content;
        content.document(content.definition().title())->exportPdf(path, content.definition().pageLayout());
    }

private:
    RecordingReportEngine& m_engine;
    std::shared_ptr<RecordedReport> m_record;
};

std::unique_ptr<Report> RecordingReportEngine::openReport(const QString& path)
{
    if (m_openFails)
        throw ReportError(u"no se puede abrir el reporte "_s + QDir::toNativeSeparators(path) + u" (fallo simulado)"_s);
    auto record = std::make_shared<RecordedReport>(path, m_currentPrinting);
    m_reports.push_back(record);
    if (!m_pdfDirectory.isEmpty())
        record->pdf =
            QDir(m_pdfDirectory).filePath(u"%1-%2.pdf"_s.arg(m_reports.size()).arg(QFileInfo(path).baseName()));
    return std::make_unique<RecordingReport>(*this, std::move(record));
}

std::unique_ptr<Printing> RecordingReportEngine::startPrinting(int /*sheets*/)
{
    class RecordedPrinting : public Printing
    {
    public:
        explicit RecordedPrinting(RecordingReportEngine& engine) : m_engine(engine) {}
        ~RecordedPrinting() override
        {
            if (!kept())
                m_engine.m_discardedPrintings.push_back(m_engine.m_currentPrinting);
            m_engine.m_currentPrinting = 0;
        }

    private:
        RecordingReportEngine& m_engine;
    };
    m_currentPrinting = ++m_printings;
    return std::make_unique<RecordedPrinting>(*this);
}

QStringList RecordingReportEngine::previewTitles() const
{
    QStringList titles;
    for (const auto& record : m_reports)
        titles += record->previewTitles;
    return titles;
}

void RecordingReportEngine::clear()
{
    m_reports.clear();
    m_printings = 0;
    m_discardedPrintings.clear();
}

} // namespace report
