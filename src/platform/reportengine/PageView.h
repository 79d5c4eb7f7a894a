#pragma once

#include <QPixmap>
#include <QScrollArea>

class QLabel;

namespace report {

class PreviewDocument;

/// Shows one page of a preview document at a time, drawn when it is shown, at a zoom that fits the
/// page's width, the whole page, or is set step by step. Page Up and Page Down turn the pages.
class PageView : public QScrollArea
{
    Q_OBJECT

public:
    PageView(PreviewDocument& document, QWidget* parent);

    /// The page shown, from 1 (as the page number box counts); 0 while the document has none.
    [[nodiscard]] int currentPage() const { return m_page; }
    [[nodiscard]] int pageCount() const;
    /// The page's size on screen against its size on paper.
    [[nodiscard]] qreal zoomFactor() const { return m_zoom; }

    void setCurrentPage(int page);
    void zoomIn();
    void zoomOut();
    void fitToWidth();
    void fitInView();
    /// Follows a change of the document's pages: the page shown stays unless it is gone.
    void pagesChanged();
    /// Draws the page again: the document laid its pages out anew.
    void redraw();

signals:
    void currentPageChanged(int page);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Fit { Width, Page, None };

    /// The page on paper, in screen pixels at zoom 1.
    [[nodiscard]] QSizeF paperSize() const;
    void setZoom(qreal zoom, Fit fit);
    void applyFit();
    void draw();

    PreviewDocument& m_document;
    QLabel* m_canvas;
    int m_page = 0;
    qreal m_zoom = 1;
    Fit m_fit = Fit::Width;
};

} // namespace report
