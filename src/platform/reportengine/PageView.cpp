#include "PageView.h"

#include "PreviewDocument.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace report {

namespace {

constexpr qreal zoomStep = 1.25;
constexpr qreal minZoom = 0.1;
constexpr qreal maxZoom = 8;
// Room around the page, so that its edge shows against the background.
constexpr int pageMargin = 8;

} // namespace

PageView::PageView(PreviewDocument& document, QWidget* parent)
    : QScrollArea(parent), m_document(document), m_canvas(new QLabel(this))
{
    setObjectName(u"pageView"_s);
    setBackgroundRole(QPalette::Dark);
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::StrongFocus);
    m_canvas->setObjectName(u"page"_s);
    m_canvas->setAlignment(Qt::AlignCenter);
    setWidget(m_canvas);
    setWidgetResizable(false);
}

int PageView::pageCount() const
{
    return m_document.pageCount();
}

QSizeF PageView::paperSize() const
{
    const QSizeF points = m_document.pageLayout().fullRect(QPageLayout::Point).size();
    return points * logicalDpiX() / 72.0;
}

void PageView::setCurrentPage(int page)
{
    page = std::clamp(page, std::min(1, pageCount()), pageCount());
    if (page == m_page)
        return;
    m_page = page;
    draw();
    verticalScrollBar()->setValue(0);
    emit currentPageChanged(m_page);
}

void PageView::pagesChanged()
{
    if (m_page == 0 || m_page > pageCount()) {
        m_page = 0;
        setCurrentPage(1);
    }
}

void PageView::redraw()
{
    applyFit();
}

void PageView::zoomIn()
{
    setZoom(m_zoom * zoomStep, Fit::None);
}

void PageView::zoomOut()
{
    setZoom(m_zoom / zoomStep, Fit::None);
}

void PageView::fitToWidth()
{
    m_fit = Fit::Width;
    applyFit();
}

void PageView::fitInView()
{
    m_fit = Fit::Page;
    applyFit();
}

void PageView::setZoom(qreal zoom, Fit fit)
{
    m_fit = fit;
    m_zoom = std::clamp(zoom, minZoom, maxZoom);
    draw();
}

void PageView::applyFit()
{
    const QSizeF paper = paperSize();
    const QSizeF room = QSizeF(viewport()->size()) - QSizeF(2 * pageMargin, 2 * pageMargin);
    if (m_fit == Fit::None || paper.isEmpty() || room.width() <= 0 || room.height() <= 0)
        return draw();
    // Fitting the width leaves room for the vertical scroll bar the taller page will need.
    const qreal width = room.width() - (m_fit == Fit::Width ? verticalScrollBar()->sizeHint().width() : 0);
    const qreal zoom = m_fit == Fit::Width ? width / paper.width()
                                           : std::min(room.width() / paper.width(), room.height() / paper.height());
    m_zoom = std::clamp(zoom, minZoom, maxZoom);
    draw();
}

void PageView::draw()
{
    if (m_page == 0) {
        m_canvas->clear();
        return;
    }
    const QSizeF paper = paperSize() * m_zoom;
    const qreal ratio = devicePixelRatioF();
    QImage image((paper * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const QPageLayout& layout = m_document.pageLayout();
        const QRectF full = layout.fullRect(QPageLayout::Point);
        const QRectF printable = layout.paintRect(QPageLayout::Point);
        const qreal scale = paper.width() / full.width();
        const QRectF target(printable.left() * scale, printable.top() * scale, printable.width() * scale,
                            printable.height() * scale);
        m_document.drawPage(painter, m_page - 1, target);
    }
    m_canvas->setPixmap(QPixmap::fromImage(image));
    m_canvas->resize(paper.toSize() + QSize(2 * pageMargin, 2 * pageMargin));
}

void PageView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (m_fit != Fit::None)
        applyFit();
}

void PageView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageDown:
        return setCurrentPage(m_page + 1);
    case Qt::Key_PageUp:
        return setCurrentPage(m_page - 1);
    default:
        QScrollArea::keyPressEvent(event);
    }
}

} // namespace report
