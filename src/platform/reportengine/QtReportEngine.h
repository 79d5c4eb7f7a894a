#pragma once

#include "ReportEngine.h"

#include <QElapsedTimer>
#include <QFont>
#include <QHash>
#include <QPageLayout>
#include <QPointer>

#include <memory>

namespace report {

class FilledLayout;
class PreviewWindow;

/// The program's report engine: fills report files, previews them in windows and prints through
/// Qt's printing system.
class QtReportEngine : public ReportEngine
{
public:
    void closePreview() override;
    [[nodiscard]] std::unique_ptr<Report> openReport(const QString& path) override;
    [[nodiscard]] std::unique_ptr<Printing> startPrinting(int sheets) override;

    /// The window of the latest preview while it is open; null once it has closed.
    [[nodiscard]] PreviewWindow* lastPreview() const;
    /// Called by the engine's reports to preview a filled report: in a window of its own, or as the next
    /// sheet of the printing under way.
    void preview(const FilledLayout& filled, const QPageLayout& layout, const QFont& font, const QString& title,
                 bool printerSetupButton);

private:
    class QtPrinting;
    struct ReadDefinition;

    /// A new preview window of one sheet, the latest preview from now on; not shown yet.
    PreviewWindow* openWindow(const FilledLayout& filled, const QPageLayout& layout, const QFont& font,
                              const QString& title, bool printerSetupButton);
    void addSheet(const FilledLayout& filled, const QPageLayout& layout, const QFont& font, const QString& title,
                  bool printerSetupButton);
    void endPrinting();
    /// Closes the window of a printing whose work was not saved.
    void discardPrinting();

    /// Report files already read, by path: a printing opens the same file for each of thousands of sheets.
    QHash<QString, std::shared_ptr<const ReadDefinition>> m_definitions;
    QPointer<PreviewWindow> m_lastPreview;
    bool m_printing = false;
    int m_sheetsExpected = 0;
    int m_sheetsAdded = 0;
    QPointer<PreviewWindow> m_printingWindow;
    QElapsedTimer m_sinceRepaint;
};

} // namespace report
