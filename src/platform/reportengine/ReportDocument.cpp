#include "ReportDocument.h"

#include "PdfFile.h"

#include <QPdfWriter>

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace report {

ReportDocument::ReportDocument(const QString& html, const QPageLayout& pageLayout, const QFont& font,
                               const QString& title)
    : m_metrics(1, 1, QImage::Format_RGB32), m_pageLayout(pageLayout), m_title(title)
{
    const int dotsPerMeter = static_cast<int>(std::lround(layoutDpi / 0.0254));
    m_metrics.setDotsPerMeterX(dotsPerMeter);
    m_metrics.setDotsPerMeterY(dotsPerMeter);
    m_document.setUndoRedoEnabled(false);
    m_document.documentLayout()->setPaintDevice(&m_metrics);
    m_document.setUseDesignMetrics(true);
    m_document.setDefaultFont(font);
    m_document.setDocumentMargin(0); // the page margins are the report's own
    m_document.setMetaInformation(QTextDocument::DocumentTitle, title);
    // The page size goes first, so that the text is laid out once, on its pages.
    layOut(pageLayout);
    m_document.setHtml(html);
}

void ReportDocument::layOut(const QPageLayout& layout)
{
    // A page size in device units of the layout device makes the document paginated: printing then keeps
    // our page breaks and margins instead of adding its own margins and page numbers.
    const QSizeF points = layout.paintRect(QPageLayout::Point).size();
    const QSizeF size(points.width() * layoutDpi / 72.0, points.height() * layoutDpi / 72.0);
    if (m_document.pageSize() != size)
        m_document.setPageSize(size);
}

int ReportDocument::pageCount(const QPageLayout& layout)
{
    layOut(layout);
    return m_document.pageCount();
}

void ReportDocument::drawPage(QPainter& painter, int page, const QPageLayout& layout, const QRectF& target)
{
    layOut(layout);
    const QSizeF size = m_document.pageSize();
    const QRectF source(QPointF(0, page * size.height()), size);
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / size.width(), target.height() / size.height());
    painter.setClipRect(QRectF(QPointF(0, 0), size), Qt::IntersectClip);
    painter.translate(0, -source.top());
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = source;
    m_document.documentLayout()->draw(&painter, context);
    painter.restore();
}

void ReportDocument::print(QPagedPaintDevice& device)
{
    const QPageLayout layout = device.pageLayout();
    QPainter painter(&device);
    const int pages = pageCount(layout);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        drawPage(painter, page, layout, QRectF(0, 0, device.width(), device.height()));
    }
}

void ReportDocument::exportPdf(const QString& path, const QPageLayout& layout)
{
    PdfFile file(path, layout, m_title);
    print(file.writer());
    file.commit();
}

} // namespace report
