#pragma once

#include "platform/reportengine/ReportEngine.h"
#include "platform/reportengine/ReportRow.h"

#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

namespace report {

/// What one report opened through the recording engine received, in the order the driver gave it.
struct RecordedReport
{
    QString path;
    int printing = 0; ///< the printing it was opened in, counted from 1; 0 for a report on its own
    std::vector<ReportRow> rows;
    std::vector<std::pair<QString, QString>> parameters; ///< every accepted one, in order
    QStringList previewTitles;
    QString pdf; ///< where each preview writes the filled report, when the engine keeps PDFs

    /// The last value set for the parameter; empty when it was never set.
    [[nodiscard]] QString parameter(const QString& name) const;
};

/// A report engine for tests: it reads and checks the report files and every call as the real one does (a
/// missing file or an undeclared parameter is refused the same way) but opens no window. It records what each
/// report received, and fails when told to, so that the drivers' failure paths can be tested.
class RecordingReportEngine : public ReportEngine
{
public:
    void closePreview() override {}
    [[nodiscard]] std::unique_ptr<Report> openReport(const QString& path) override;
    /// Numbers the printing; the reports opened while it lives record its number.
    [[nodiscard]] std::unique_ptr<Printing> startPrinting(int sheets) override;

    [[nodiscard]] int printingCount() const { return m_printings; }
    /// The printings that ended without being kept, whose window the real engine closes.
    [[nodiscard]] const std::vector<int>& discardedPrintings() const { return m_discardedPrintings; }
    /// The reports opened so far, oldest first.
    [[nodiscard]] int reportCount() const { return int(m_reports.size()); }
    [[nodiscard]] const RecordedReport& report(int index) const { return *m_reports.at(index); }
    [[nodiscard]] const RecordedReport& lastReport() const { return *m_reports.back(); }
    /// Every preview title so far, across reports, in order.
    [[nodiscard]] QStringList previewTitles() const;

    /// Makes openReport fail from now on, or stop failing.
    void setOpenFails(bool fails) { m_openFails = fails; }
    /// Lets this many more previews succeed and makes every one after them fail; -1 never fails.
    void setPreviewFailsAfter(int successes) { m_previewsBeforeFailure = successes; }
    /// From now on every preview also writes its report as a PDF into the directory, named after the order
    /// of opening and the report file ("1-AR04.pdf", "2-AR04_primera.pdf" ...).
    void keepPdfsIn(const QString& directory) { m_pdfDirectory = directory; }
    /// Forgets every report and printing; failure settings stay.
    void clear();

private:
    friend class RecordingReport;

    std::vector<std::shared_ptr<RecordedReport>> m_reports;
    int m_printings = 0;
    int m_currentPrinting = 0;
    std::vector<int> m_discardedPrintings;
    bool m_openFails = false;
    int m_previewsBeforeFailure = -1;
    QString m_pdfDirectory;
};

} // namespace report
