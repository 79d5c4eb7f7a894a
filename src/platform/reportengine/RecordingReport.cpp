#include "RecordingReport.h"

#include "RecordedReport.h"
#include "RecordingReportEngine.h"
#include "ReportDocument.h"
#include "ReportError.h"
#include "platform/db/Recordset.h"

using namespace Qt::StringLiterals;

namespace report {

RecordingReport::RecordingReport(RecordingReportEngine& engine, ReportDefinition definition,
                                 std::shared_ptr<RecordedReport> record)
    : m_engine(engine), m_content(std::move(definition)), m_record(std::move(record))
{}

void RecordingReport::setTable(std::unique_ptr<db::Recordset> table)
{
    m_content.setTable(std::move(table));
    m_record->tableSet = true;
    m_record->rows = m_content.rows();
}

void RecordingReport::setPrinterSetupButton(bool shown)
{
    m_content.setPrinterSetupButton(shown);
    m_record->printerSetupButton = shown;
}

void RecordingReport::setParameter(const QString& name, const QString& value)
{
    m_content.setParameter(name, value);
    m_record->parameters.emplace_back(name, value);
}

void RecordingReport::preview(const QString& title)
{
    if (m_engine.nextPreviewFails())
        throw ReportError(u"no se pudo mostrar la vista previa \""_s + title + u"\" (fallo simulado)"_s);
    // Filling the layout here finds a template that cannot be filled, as the real preview would.
    m_record->html = m_content.html();
    m_record->previewTitles.append(title);
    if (const QString pdf = m_engine.pdfPathFor(*m_record); !pdf.isEmpty()) {
        exportPdf(pdf);
        m_record->pdf = pdf;
    }
}

void RecordingReport::exportPdf(const QString& path)
{
    m_content.document(m_content.definition().title())->exportPdf(path, m_content.definition().pageLayout());
}

} // namespace report
