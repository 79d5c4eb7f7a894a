#pragma once

#include <QFont>
#include <QObject>
#include <QPageLayout>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QRectF;

namespace report {

class FilledLayout;
class MarkedForm;
class ReportDocument;

/// What one preview window shows: the sheets of one printing, in order, each a filled report with its own
/// title. A printing of a long declaration has thousands of sheets, so each is kept as its compressed values
/// (or text) and laid out only when one of its pages is shown, printed or saved; a few laid-out sheets are
/// kept for the pages the operator is looking at. Consecutive sheets of one form share its marked text, read
/// once (see MarkedForm). Memory grows by a kilobyte or two a sheet.
///
/// Until a sheet has been laid out it counts as one page (every sheet of the forms fits on one); when it
/// turns out longer, the pages after it move on and pagesChanged() is emitted.
class PreviewDocument : public QObject
{
    Q_OBJECT

public:
    /// Called after each page printed or saved with the pages done and the pages in all; false cancels.
    using Progress = std::function<bool(int done, int total)>;

    /// Pages are laid out for this page layout until setPageLayout() changes it.
    explicit PreviewDocument(const QPageLayout& pageLayout);
    ~PreviewDocument() override;

    /// Adds a sheet after the last one.
    void addSheet(const FilledLayout& filled, const QFont& font, const QString& title);

    [[nodiscard]] int sheetCount() const { return static_cast<int>(m_sheets.size()); }
    [[nodiscard]] const QString& sheetTitle(int sheet) const { return m_sheets.at(sheet).title; }
    /// The pages of every sheet, counted as described above.
    [[nodiscard]] int pageCount() const;
    /// The sheet a page (from 0) belongs to.
    [[nodiscard]] int sheetOfPage(int page) const;
    /// The first page (from 0) of a sheet.
    [[nodiscard]] int firstPageOf(int sheet) const { return m_sheets.at(sheet).firstPage; }
    /// How a page is named in the page list: its sheet's title, and its place in the sheet when the sheet
    /// has several pages.
    [[nodiscard]] QString pageTitle(int page) const;

    [[nodiscard]] const QPageLayout& pageLayout() const { return m_pageLayout; }
    /// Lays every sheet out again for another page (the printer set-up).
    void setPageLayout(const QPageLayout& layout);

    /// Draws one page (from 0) into `target`, the page's printable area in the painter's coordinates.
    void drawPage(QPainter& painter, int page, const QRectF& target);
    /// Prints pages `from` to `to` (from 0, both included) on a device laid out as pageLayout(), one page
    /// after the other, as one job. False when `progress` cancelled.
    bool print(QPagedPaintDevice& device, int from, int to, const Progress& progress);
    /// Writes every page as one PDF file; the file takes its name only once every page is written. False
    /// when `progress` cancelled (no file is left). Raises ReportError when the file cannot be written.
    bool exportPdf(const QString& path, const QString& title, const Progress& progress);

signals:
    /// Sheets were added or a sheet turned out to have more (or fewer) pages than counted.
    void pagesChanged();
    /// Every page was laid out anew (another page layout): what is shown must be drawn again.
    void layoutChanged();

private:
    struct Sheet
    {
        QString title;
        /// Shared with the sheets next to it that have the same marked text; null for an unmarked one.
        std::shared_ptr<MarkedForm> form;
        QByteArray text; // compressed: the values of the form's markers, or else the filled HTML
        QFont font;
        int pages = 1;
        int firstPage = 0;
        bool laidOut = false;
    };

    /// The laid-out document of a sheet, from the few kept or laid out now. Shared, so that a sheet being
    /// printed stays whole while the window repaints other pages.
    std::shared_ptr<ReportDocument> laidOut(int sheet);
    void countPages(int sheet, int pages);
    /// Keeps the reading of a form just used, and lets the oldest kept go.
    void keepReading(const std::shared_ptr<MarkedForm>& form);

    QPageLayout m_pageLayout;
    std::vector<Sheet> m_sheets;
    /// The sheets laid out most recently, the latest last.
    std::vector<std::pair<int, std::shared_ptr<ReportDocument>>> m_laidOut;
    /// The form of the last sheet added, and its marked text, which the next sheet's is compared with.
    std::shared_ptr<MarkedForm> m_lastForm;
    QString m_lastMarked;
    /// The forms whose readings are kept, the one used latest last.
    std::vector<std::shared_ptr<MarkedForm>> m_readForms;
};

} // namespace report
