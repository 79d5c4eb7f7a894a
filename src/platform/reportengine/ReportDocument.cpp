#include "ReportDocument.h"

#include "FilledLayout.h"
#include "MarkedForm.h"
#include "PdfFile.h"

#include <QPdfWriter>

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace report {

namespace {

// Widths in a text document's formats are in pixels of 96 to the inch, whatever the device.
constexpr qreal formatDpi = 96;

/// Sets the columns of a table given as shares of its width to the widths those shares come to, for a table
/// of `width` (format pixels) whose every column has a share. Columns of fixed widths are laid out without
/// measuring every cell's text for the narrowest and widest it could be, which is most of what a long form's
/// layout costs; the columns come out as the shares would place them.
void fixShares(QTextTable& table, qreal width)
{
    QTextTableFormat format = table.format();
    QList<QTextLength> columns = format.columnWidthConstraints();
    if (columns.size() != table.columns() || columns.isEmpty())
        return;
    if (std::any_of(columns.cbegin(), columns.cend(),
                    [](const QTextLength& c) { return c.type() != QTextLength::PercentageLength; }))
        return;
    // What the borders and the spacing take: the table's own border and padding, and each cell's border
    // on both sides beside the spacing between cells.
    const qreal border = format.border();
    const qreal spacing = format.cellSpacing();
    const qreal available = width - 2 * (border + format.padding()) - format.leftMargin() - format.rightMargin() -
                            columns.size() * (2 * border + spacing) - spacing;
    for (QTextLength& column : columns)
        column = QTextLength(QTextLength::FixedLength, available * column.rawValue() / 100);
    format.setColumnWidthConstraints(columns);
    table.setFormat(format);
}

/// The same for every table at the top of a document laid out `width` format pixels wide.
void fixShares(QTextDocument& document, qreal width)
{
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        const QTextLength tableWidth = table->format().width();
        if (tableWidth.type() == QTextLength::PercentageLength)
            fixShares(*table, width * tableWidth.rawValue() / 100);
        else if (tableWidth.type() == QTextLength::FixedLength)
            fixShares(*table, tableWidth.rawValue());
    }
}

} // namespace

ReportDocument::ReportDocument(const QPageLayout& pageLayout, const QFont& font, const QString& title)
    : m_metrics(1, 1, QImage::Format_RGB32), m_pageLayout(pageLayout), m_title(title)
{
    const int dotsPerMeter = static_cast<int>(std::lround(layoutDpi / 0.0254));
    m_metrics.setDotsPerMeterX(dotsPerMeter);
    m_metrics.setDotsPerMeterY(dotsPerMeter);
    m_document.setUndoRedoEnabled(false);
    m_document.setUseDesignMetrics(true);
    m_document.setDefaultFont(font);
    m_document.setDocumentMargin(0);
    m_document.setMetaInformation(QTextDocument::DocumentTitle, title);
    m_document.documentLayout()->setPaintDevice(&m_metrics);
}

ReportDocument::ReportDocument(const QString& html, const QPageLayout& pageLayout, const QFont& font,
                               const QString& title)
    : ReportDocument(pageLayout, font, title)
{
    insertHtml(html, font);
}

ReportDocument::ReportDocument(MarkedForm& form, const QStringList& values, const QPageLayout& pageLayout,
                               const QFont& font, const QString& title)
    : ReportDocument(pageLayout, font, title)
{
    if (const MarkedForm::Reading* reading = form.reading(pageLayout, font);
        reading && MarkedForm::fit(*reading, values)) {
        insert(*reading, values);
        return;
    }
    insertHtml(FilledLayout(form.text(), values).html(), font);
}

void ReportDocument::read(QTextDocument& source, const QString& html, const QPageLayout& pageLayout, const QFont& font)
{
    source.setUndoRedoEnabled(false);
    source.setDefaultFont(font);
    source.setDocumentMargin(0); // the page margins are the report's own
    source.setHtml(html);
    fixShares(source, pageLayout.paintRect(QPageLayout::Point).width() * formatDpi / 72);
}

void ReportDocument::insertHtml(const QString& html, const QFont& font)
{
    QTextDocument source;
    read(source, html, m_pageLayout, font);
    // The text comes whole into this document, which is already on its pages: Qt lays an insertion out in one
    // pass. A whole new text or page size is laid out in steps instead, each ending at the first table past
    // some length, the next starting again at the table before; at this resolution that lays the form's long
    // table out twice.
    m_document.rootFrame()->setFrameFormat(source.rootFrame()->frameFormat());
    layOut(m_pageLayout);
    QTextCursor(&m_document).insertFragment(QTextDocumentFragment(&source));
}

void ReportDocument::insert(const MarkedForm::Reading& reading, const QStringList& values)
{
    m_document.rootFrame()->setFrameFormat(reading.root);
    layOut(m_pageLayout);
    // One edit, laid out when it ends, as above.
    QTextCursor cursor(&m_document);
    cursor.beginEditBlock();
    cursor.insertFragment(reading.text);
    for (const MarkedForm::Reading::Marker& marker : reading.markers) {
        cursor.setPosition(marker.position);
        cursor.setPosition(marker.position + 1, QTextCursor::KeepAnchor);
        QString value = values.at(marker.value);
        if (marker.space != u' ')
            value.replace(u' ', marker.space);
        cursor.insertText(value, cursor.charFormat()); // in the marker's format
    }
    cursor.endEditBlock();
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
