#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QPrinter>

#include <memory>

class QAction;
class QLabel;
class QListView;
class QProgressBar;
class QSpinBox;
class QToolBar;

namespace report {

class PageView;
class PreviewDocument;

/// The non-modal window that shows a filled report, or every sheet of one printing, page by page: a list
/// of the pages by their sheets' titles, zoom, printing (all pages or a range, as one job), the printer
/// set-up (when the report asks for it) and saving as one PDF, both with progress and a way to cancel.
/// The window's title is the title of the sheet shown. It deletes itself when closed.
///
/// A modal screen blocks every window that is not its own, so a preview opened while one is open
/// belongs to it, as a window of its own: the operator can print from the preview while the list that
/// opened it waits. When that screen closes, the preview passes to the window beneath it and stays open.
class PreviewWindow : public QMainWindow
{
    Q_OBJECT

public:
    /// The window belongs to the modal screen open at the moment, if any.
    PreviewWindow(std::unique_ptr<PreviewDocument> document, bool printerSetupButton);
    ~PreviewWindow() override;

    [[nodiscard]] PageView* pageView() const { return m_view; }
    [[nodiscard]] PreviewDocument& document() const { return *m_document; }

    /// Shows that sheets are still being prepared: `done` of `total` so far.
    void showPreparation(int done, int total);
    /// Hides the preparation's progress: every sheet is there.
    void endPreparation();

    /// Prints pages `from` to `to` (from 0) on a device, showing progress with a way to cancel; false
    /// when cancelled.
    bool printPages(QPagedPaintDevice& device, int from, int to);
    /// Writes every page as one PDF file, showing progress with a way to cancel. False when cancelled or
    /// when the file could not be written (the operator is told).
    bool savePdf(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolBar(bool printerSetupButton);
    void fitToolBar(QToolBar& toolBar);
    void stepClearOfOtherPreviews();
    void followOwner(QWidget* owner);
    void passToWindowBeneathOwner();
    void printDocument();
    void pageSetup();
    void saveAsPdf();
    void pagesChanged();
    void showPage(int page);

    std::unique_ptr<PreviewDocument> m_document;
    QPrinter m_printer;
    PageView* m_view = nullptr;
    QListView* m_pageList = nullptr;
    QSpinBox* m_pageNumber = nullptr;
    QLabel* m_pageTotal = nullptr;
    QLabel* m_preparing = nullptr;
    QProgressBar* m_preparation = nullptr;
    QPointer<QWidget> m_owner;
    /// The window that was active when this one opened.
    QPointer<QWidget> m_cameFrom;
};

} // namespace report
