#include "QtReport.h"

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
    // The window keeps the filled text, so it stays usable after the driver drops this report.
    const ReportDefinition& definition = m_content.definition();
    m_engine.preview(m_content.filled(), definition.pageLayout(), definition.font(), title,
                     m_content.printerSetupButton());
}

void QtReport::exportPdf(const QString& path)
{
    m_content.document(m_content.definition().title())->exportPdf(path, m_content.definition().pageLayout());
}

} // namespace report
