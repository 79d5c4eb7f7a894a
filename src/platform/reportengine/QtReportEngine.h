#pragma once

#include "ReportEngine.h"

#include <QPointer>

namespace report {

class PreviewWindow;

/// The program's report engine: fills report files, previews them in windows and prints through
/// Qt's printing system.
class QtReportEngine : public ReportEngine
{
public:
    void closePreview() override;
    [[nodiscard]] std::unique_ptr<Report> openReport(const QString& path) override;

    /// The window of the latest preview while it is open; null once it has closed.
    [[nodiscard]] PreviewWindow* lastPreview() const;
    /// Called by the engine's reports when they open a preview.
    void setLastPreview(PreviewWindow* window);

private:
    QPointer<PreviewWindow> m_lastPreview;
};

} // namespace report
