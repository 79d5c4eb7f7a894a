#include "RecordingReportEngine.h"

#include "RecordingReport.h"
#include "ReportDefinition.h"
#include "ReportError.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace report {

std::unique_ptr<Report> RecordingReportEngine::openReport(const QString& path)
{
    if (m_openFails)
        throw ReportError(u"no se puede abrir el reporte "_s + QDir::toNativeSeparators(path) + u" (fallo simulado)"_s);
    ReportDefinition definition = ReportDefinition::fromFile(path);
    auto record = std::make_shared<RecordedReport>();
    record->path = path;
    record->printing = m_currentPrinting;
    m_reports.push_back(record);
    return std::make_unique<RecordingReport>(*this, std::move(definition), std::move(record));
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

QString RecordingReportEngine::pdfPathFor(const RecordedReport& record) const
{
    if (m_pdfDirectory.isEmpty())
        return {};
    const auto opened =
        std::find_if(m_reports.cbegin(), m_reports.cend(), [&](const auto& known) { return known.get() == &record; });
    return QDir(m_pdfDirectory)
        .filePath(u"%1-%2.pdf"_s.arg(opened - m_reports.cbegin() + 1).arg(QFileInfo(record.path).baseName()));
}

void RecordingReportEngine::clear()
{
    m_reports.clear();
    m_closePreviewCalls = 0;
    m_printings = 0;
    m_discardedPrintings.clear();
}

bool RecordingReportEngine::nextPreviewFails()
{
    if (m_previewsBeforeFailure < 0)
        return false;
    if (m_previewsBeforeFailure == 0)
        return true;
    --m_previewsBeforeFailure;
    return false;
}

} // namespace report
