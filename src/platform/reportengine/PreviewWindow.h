#pragma once

#include <QMainWindow>
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
class PreviewWindow : public QMainWindow
{
    Q_OBJECT

public:
    PreviewWindow(std::unique_ptr<ReportDocument> document, bool printerSetupButton, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    [[nodiscard]] QPrintPreviewWidget* previewWidget() const { return m_preview; }
    [[nodiscard]] ReportDocument& document() const { return *m_document; }

private:
    void printDocument();
    void pageSetup();
    void saveAsPdf();
    void updatePageControls();

    std::unique_ptr<ReportDocument> m_document;
    QPrinter m_printer;
    QPrintPreviewWidget* m_preview = nullptr;
    QSpinBox* m_pageNumber = nullptr;
    QLabel* m_pageTotal = nullptr;
};

} // namespace report
