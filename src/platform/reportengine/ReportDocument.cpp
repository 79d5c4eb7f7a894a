#include "ReportDocument.h"

#include "ReportError.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextFrame>

#include <cmath>

using namespace Qt::StringLiterals;

namespace report {

namespace {

constexpr int s_layoutDpi = 1200;

} // namespace

ReportDocument::ReportDocument(const QString& html, const QPageLayout& pageLayout, const QFont& font,
                               const QString& title)
    : m_metrics(1, 1, QImage::Format_RGB32), m_pageLayout(pageLayout), m_title(title)
{
    const int dotsPerMeter = static_cast<int>(std::lround(s_layoutDpi / 0.0254));
    m_metrics.setDotsPerMeterX(dotsPerMeter);
    m_metrics.setDotsPerMeterY(dotsPerMeter);
    m_document.documentLayout()->setPaintDevice(&m_metrics);
    m_document.setUseDesignMetrics(true);
    m_document.setDefaultFont(font);
    m_document.setDocumentMargin(0); // the page margins are the report's own
    m_document.setMetaInformation(QTextDocument::DocumentTitle, title);
    m_document.setHtml(html);
    layOut(pageLayout);
}

void ReportDocument::layOut(const QPageLayout& layout)
{
    // A page size in device units of the layout device makes the document paginated: print() then keeps
    // our page breaks and margins instead of adding its own margins and page numbers.
    const QSizeF points = layout.paintRect(QPageLayout::Point).size();
    const QSizeF size(points.width() * s_layoutDpi / 72.0, points.height() * s_layoutDpi / 72.0);
    if (m_document.pageSize() != size)
        m_document.setPageSize(size);
}

int ReportDocument::pageCount(const QPageLayout& layout)
{
    layOut(layout);
    return m_document.pageCount();
}

void ReportDocument::print(QPagedPaintDevice& device)
{
    layOut(device.pageLayout());
    m_document.print(&device);
}

void ReportDocument::exportPdf(const QString& path, const QPageLayout& layout)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportError(u"no se puede escribir "_s + shownPath + u": "_s + file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setResolution(s_layoutDpi);
        writer.setPageLayout(layout);
        writer.setTitle(m_title);
        writer.setCreator(u"TOLBRANE"_s);
        print(writer);
    }
    if (file.error() != QFileDevice::NoError || file.size() == 0) {
        file.cancelWriting();
        throw ReportError(u"no se pudo escribir el PDF "_s + shownPath);
    }
    if (!file.commit())
        throw ReportError(u"no se pudo guardar "_s + shownPath + u": "_s + file.errorString());
}

} // namespace report
