#include "QtReport.h"

#include "PreviewWindow.h"
#include "QtReportEngine.h"
#include "ReportDocument.h"
#include "ReportError.h"
#include "platform/db/Recordset.h"

using namespace Qt::StringLiterals;

namespace report {

QtReport::QtReport(QtReportEngine& engine, ReportDefinition definition)
    : m_engine(engine), m_content(std::move(definition))
{}

void QtReport::setTable(std::unique_ptr<db::Recordset> table)
{
    m_content.setTable(std::move(table));
}

void QtReport::setPrinterSetupButton(bool shown)
{
    m_content.setPrinterSetupButton(shown);
}

void QtReport::setParameter(const QString& name, const QString& value)
{
    m_content.setParameter(name, value);
}

void QtReport::preview(const QString& title)
{
    // The window owns the filled document, so it stays usable after the driver drops this report.
    auto* window = new PreviewWindow(m_content.document(title), m_content.printerSetupButton());
    window->show();
    m_engine.setLastPreview(window);
}

void QtReport::exportPdf(const QString& path)
{
    m_content.document(m_content.definition().title())->exportPdf(path, m_content.definition().pageLayout());
}

} // namespace report
