#pragma once

#include "MarkedForm.h"

#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <QTextDocument>

class QPagedPaintDevice;
class QPainter;
class QRectF;

namespace report {

/// A filled report laid out on pages, ready to paint on the preview, a real printer or a PDF.
/// The text is laid out once at a fixed resolution, and each device gets the page layout it asks for,
/// so the preview and the PDF of the same page layout break pages at the same places.
class ReportDocument
{
public:
    /// The filled HTML of a report.
    ReportDocument(const QString& html, const QPageLayout& pageLayout, const QFont& font, const QString& title);
    /// A sheet of a marked form: the form's document with its markers replaced by `values`.
    ReportDocument(MarkedForm& form, const QStringList& values, const QPageLayout& pageLayout, const QFont& font,
                   const QString& title);

    /// Reads a filled HTML into a document that has no layout, the columns its tables give as shares of their
    /// width set to the widths those come to on the page.
    static void read(QTextDocument& source, const QString& html, const QPageLayout& pageLayout, const QFont& font);

    /// The page layout the report file asks for.
    [[nodiscard]] const QPageLayout& pageLayout() const { return m_pageLayout; }
    [[nodiscard]] const QString& title() const { return m_title; }
    [[nodiscard]] QString plainText() const { return m_document.toPlainText(); }

    /// The number of pages on the given page layout.
    [[nodiscard]] int pageCount(const QPageLayout& layout);
    /// Draws one page (from 0) of the document laid out for `layout` into `target`, the printable area of
    /// the page in the painter's coordinates.
    void drawPage(QPainter& painter, int page, const QPageLayout& layout, const QRectF& target);
    /// Paints every page on a device, laid out for the device's own page layout.
    void print(QPagedPaintDevice& device);
    /// Writes the document as a PDF file; the file is replaced only when the whole document was written.
    /// Raises ReportError when it cannot be written.
    void exportPdf(const QString& path, const QPageLayout& layout);

    /// The resolution the text is laid out at.
    static constexpr int layoutDpi = 1200;

private:
    ReportDocument(const QPageLayout& pageLayout, const QFont& font, const QString& title);
    /// Reads a filled HTML and brings it into the document, laid out.
    void insertHtml(const QString& html, const QFont& font);
    /// The same for the reading of a marked form, its markers replaced by `values`.
    void insert(const MarkedForm::Reading& reading, const QStringList& values);
    void layOut(const QPageLayout& layout);

    QImage m_metrics; // the fixed-resolution device the text is measured on
    QTextDocument m_document;
    QPageLayout m_pageLayout;
    QString m_title;
};

} // namespace report
