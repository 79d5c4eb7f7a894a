#include "QtReportEngine.h"

#include "PreviewWindow.h"
#include "QtReport.h"
#include "ReportDefinition.h"

namespace report {

void QtReportEngine::closePreview()
{
    if (m_lastPreview)
        m_lastPreview->close();
}

PreviewWindow* QtReportEngine::lastPreview() const
{
    return m_lastPreview;
}

void QtReportEngine::setLastPreview(PreviewWindow* window)
{
    m_lastPreview = window;
}

std::unique_ptr<Report> QtReportEngine::openReport(const QString& path)
{
    return std::make_unique<QtReport>(*this, ReportDefinition::fromFile(path));
}

} // namespace report
