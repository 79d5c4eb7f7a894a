#pragma once

#include "RecordedReport.h"
#include "ReportEngine.h"

#include <memory>
#include <vector>

namespace report {

/// A report engine for tests: it reads and checks the report files as the real engine does (a missing
/// file or an undeclared parameter is refused the same way) but opens no window. It keeps what every
/// report received, and can be told to fail so that the drivers' failure paths can be tested.
class RecordingReportEngine : public ReportEngine
{
public:
    void closePreview() override { ++m_closePreviewCalls; }
    [[nodiscard]] std::unique_ptr<Report> openReport(const QString& path) override;
    /// Numbers the printing; the reports opened while it lives record its number.
    [[nodiscard]] std::unique_ptr<Printing> startPrinting(int sheets) override;

    /// The printings started so far.
    [[nodiscard]] int printingCount() const { return m_printings; }
    /// The numbers of the printings that ended without being kept, whose window the real engine closes.
    [[nodiscard]] const std::vector<int>& discardedPrintings() const { return m_discardedPrintings; }
    /// The reports opened so far, oldest first.
    [[nodiscard]] int reportCount() const { return static_cast<int>(m_reports.size()); }
    [[nodiscard]] const RecordedReport& report(int index) const { return *m_reports.at(index); }
    [[nodiscard]] const RecordedReport& lastReport() const { return *m_reports.back(); }
    /// Every preview title shown so far, across reports, in order.
    [[nodiscard]] QStringList previewTitles() const;
    [[nodiscard]] int closePreviewCalls() const { return m_closePreviewCalls; }

    /// Makes openReport fail (raise ReportError) from now on, or stop failing.
    void setOpenFails(bool fails) { m_openFails = fails; }
    /// Lets this many more previews succeed and makes every one after them fail; -1 never fails.
    void setPreviewFailsAfter(int successes) { m_previewsBeforeFailure = successes; }
    /// From now on every preview also writes the filled report as a PDF into this directory, named
    /// after the order of opening and the report file ("1-AR04.pdf", "2-AR04_primera.pdf" ...).
    void keepPdfsIn(const QString& directory) { m_pdfDirectory = directory; }
    /// Where the preview of this report writes its PDF; "" when PDFs are not kept.
    [[nodiscard]] QString pdfPathFor(const RecordedReport& record) const;
    /// Forgets every report and count; failure settings stay.
    void clear();

    /// Called by the engine's reports at each preview: whether this one must fail.
    [[nodiscard]] bool nextPreviewFails();

private:
    std::vector<std::shared_ptr<RecordedReport>> m_reports;
    int m_closePreviewCalls = 0;
    int m_printings = 0;
    int m_currentPrinting = 0;
    std::vector<int> m_discardedPrintings;
    bool m_openFails = false;
    int m_previewsBeforeFailure = -1;
    QString m_pdfDirectory;
};

} // namespace report
