#pragma once

#include "platform/reportengine/ReportContent.h"
#include "platform/reportengine/ReportEngine.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace report {

/// What one report opened through the recording engine received.
struct RecordedReport
{
    RecordedReport(const QString& path, int printing)
        : path(path), printing(printing), content(ReportDefinition::fromFile(path))
    {}

    QString path;
    int printing;          ///< the printing it was opened in, counted from 1; 0 for a report on its own
    ReportContent content; ///< the rows and parameters, checked as the real report checks them
    QStringList previewTitles;
    QString pdf; ///< where each preview writes the filled report, when the engine keeps PDFs

    [[nodiscard]] QString parameter(const QString& name) const { return content.parameter(name); }
};

/// A report engine for tests: it reads and checks report files and calls as the real one does, but opens no
/// window; it records what each report received, and fails when told to.
class RecordingReportEngine : public ReportEngine
{
public:
    void closePreview() override {}
    [[nodiscard]] std::unique_ptr<Report> openReport(const QString& path) override;
    /// The reports opened while the printing lives record its number.
    [[nodiscard]] std::unique_ptr<Printing> startPrinting(int sheets) override;

    [[nodiscard]] int printingCount() const { return m_printings; }
    /// The printings that ended without being kept, whose window the real engine closes.
    [[nodiscard]] const std::vector<int>& discardedPrintings() const { return m_discardedPrintings; }
    [[nodiscard]] int reportCount() const { return int(m_reports.size()); }
    [[nodiscard]] const RecordedReport& report(int index) const { return *m_reports.at(index); }
    [[nodiscard]] const RecordedReport& lastReport() const { return *m_reports.back(); }
    /// Every preview title so far, across reports, in order.
    [[nodiscard]] QStringList previewTitles() const;

    void setOpenFails(bool fails) { m_openFails = fails; }
    /// Lets this many more previews succeed and makes every one after them fail; -1 never fails.
    void setPreviewFailsAfter(int successes) { m_previewsBeforeFailure = successes; }
    /// Every preview from now on also writes its report into the directory as "1-AR04.pdf", "2-AR04_primera.pdf"...
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
