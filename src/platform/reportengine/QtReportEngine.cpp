#include "QtReportEngine.h"

#include "FilledLayout.h"
#include "PreviewDocument.h"
#include "PreviewWindow.h"
#include "QtReport.h"
#include "ReportDefinition.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include <algorithm>

namespace report {

namespace {

// How often the window of a printing under way repaints while its sheets are prepared: often enough to
// look alive, seldom enough to cost little beside the sheets themselves.
constexpr int repaintMs = 100;

} // namespace

struct QtReportEngine::ReadDefinition
{
    QDateTime modified;
    qint64 size = 0;
    ReportDefinition definition;
};

class QtReportEngine::QtPrinting : public Printing
{
public:
    explicit QtPrinting(QtReportEngine& engine) : m_engine(engine) {}
    ~QtPrinting() override
    {
        if (!kept())
            m_engine.discardPrinting();
        m_engine.endPrinting();
    }

private:
    QtReportEngine& m_engine;
};

void QtReportEngine::closePreview()
{
    if (m_lastPreview)
        m_lastPreview->close();
}

PreviewWindow* QtReportEngine::lastPreview() const
{
    return m_lastPreview;
}

std::unique_ptr<Report> QtReportEngine::openReport(const QString& path)
{
    // A file changed since it was read (a layout edited while the program runs) is read again.
    const QFileInfo file(path);
    const auto read = m_definitions.constFind(path);
    if (read != m_definitions.cend() && file.exists() && (*read)->modified == file.lastModified() &&
        (*read)->size == file.size())
        return std::make_unique<QtReport>(*this, (*read)->definition);
    auto definition = std::make_shared<const ReadDefinition>(
        ReadDefinition{file.lastModified(), file.size(), ReportDefinition::fromFile(path)});
    m_definitions.insert(path, definition);
    return std::make_unique<QtReport>(*this, definition->definition);
}

std::unique_ptr<Printing> QtReportEngine::startPrinting(int sheets)
{
    endPrinting(); // a printing left open by mistake ends here
    m_printing = true;
    m_sheetsExpected = std::max(sheets, 1);
    m_sheetsAdded = 0;
    m_printingWindow.clear();
    return std::make_unique<QtPrinting>(*this);
}

void QtReportEngine::preview(const FilledLayout& filled, const QPageLayout& layout, const QFont& font,
                             const QString& title, bool printerSetupButton)
{
    if (m_printing)
        return addSheet(filled, layout, font, title, printerSetupButton);
    openWindow(filled, layout, font, title, printerSetupButton)->show();
}

PreviewWindow* QtReportEngine::openWindow(const FilledLayout& filled, const QPageLayout& layout, const QFont& font,
                                          const QString& title, bool printerSetupButton)
{
    auto document = std::make_unique<PreviewDocument>(layout);
    document->addSheet(filled, font, title);
    auto* window = new PreviewWindow(std::move(document), printerSetupButton);
    m_lastPreview = window;
    return window;
}

void QtReportEngine::addSheet(const FilledLayout& filled, const QPageLayout& layout, const QFont& font,
                              const QString& title, bool printerSetupButton)
{
    ++m_sheetsAdded;
    m_sheetsExpected = std::max(m_sheetsExpected, m_sheetsAdded);
    if (m_sheetsAdded == 1) {
        m_printingWindow = openWindow(filled, layout, font, title, printerSetupButton);
        m_printingWindow->showPreparation(1, m_sheetsExpected);
        m_printingWindow->show();
    } else {
        // A window closed meanwhile is not opened again; the printing goes on without it.
        if (!m_printingWindow)
            return;
        m_printingWindow->document().addSheet(filled, font, title);
        if (m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < repaintMs)
            return;
        m_printingWindow->showPreparation(m_sheetsAdded, m_sheetsExpected);
    }
    // The window shows its first page and its progress while the rest is prepared; the operator's clicks
    // and keys wait until the printing is done, so that nothing runs in the middle of it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_sinceRepaint.start();
}

void QtReportEngine::discardPrinting()
{
    if (m_printing && m_printingWindow)
        m_printingWindow->close();
}

void QtReportEngine::endPrinting()
{
    if (!m_printing)
        return;
    m_printing = false;
    if (m_printingWindow)
        m_printingWindow->endPreparation();
    m_printingWindow.clear();
}

} // namespace report
