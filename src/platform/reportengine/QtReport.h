#pragma once

#include "Report.h"
#include "ReportContent.h"

namespace report {

class QtReportEngine;

/// A report of the Qt engine: previewed in a PreviewWindow, exported with Qt's PDF writer.
class QtReport : public Report
{
public:
    QtReport(QtReportEngine& engine, ReportDefinition definition);

    void setTable(std::unique_ptr<db::Recordset> table) override;
    void setPrinterSetupButton(bool shown) override;
    void setParameter(const QString& name, const QString& value) override;
    void preview(const QString& title) override;
    void exportPdf(const QString& path) override;

private:
    QtReportEngine& m_engine;
    ReportContent m_content;
};

} // namespace report
