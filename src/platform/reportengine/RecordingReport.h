#pragma once

#include "Report.h"
#include "ReportContent.h"

#include <memory>

namespace report {

class RecordingReportEngine;
struct RecordedReport;

/// A report of the recording engine: it checks every call as the real engine does and writes down
/// the accepted ones. Its PDF is the real one.
class RecordingReport : public Report
{
public:
    RecordingReport(RecordingReportEngine& engine, ReportDefinition definition, std::shared_ptr<RecordedReport> record);

    void setTable(std::unique_ptr<db::Recordset> table) override;
    void setPrinterSetupButton(bool shown) override;
    void setParameter(const QString& name, const QString& value) override;
    void preview(const QString& title) override;
    void exportPdf(const QString& path) override;

private:
    RecordingReportEngine& m_engine;
    ReportContent m_content;
    std::shared_ptr<RecordedReport> m_record;
};

} // namespace report
