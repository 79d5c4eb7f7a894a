#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QPrinter>

#include <memory>

class QAction;
class QLabel;
class QPrintPreviewWidget;
class QSpinBox;

namespace report {

class ReportDocument;

/// The non-modal window that shows a filled report page by page, with zoom, printing, the printer
/// set-up (when the report asks for it) and saving as PDF. It deletes itself when closed.
///
/// A modal screen blocks every window that is not its own, so a preview opened while one is open
/// belongs to it, as a window of its own: the operator can print from the preview while the list that
/// opened it waits. When that screen closes, the preview passes to the window beneath it and stays open.
class PreviewWindow : public QMainWindow
{
    Q_OBJECT

public:
    /// The window belongs to the modal screen open at the moment, if any.
    PreviewWindow(std::unique_ptr<ReportDocument> document, bool printerSetupButton);
    ~PreviewWindow() override;

    [[nodiscard]] QPrintPreviewWidget* previewWidget() const { return m_preview; }
    [[nodiscard]] ReportDocument& document() const { return *m_document; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void followOwner(QWidget* owner);
    void passToWindowBeneathOwner();
    void printDocument();
    void pageSetup();
    void saveAsPdf();
    void updatePageControls();

    std::unique_ptr<ReportDocument> m_document;
    QPrinter m_printer;
    QPrintPreviewWidget* m_preview = nullptr;
    QSpinBox* m_pageNumber = nullptr;
    QLabel* m_pageTotal = nullptr;
    QPointer<QWidget> m_owner;
};

} // namespace report
