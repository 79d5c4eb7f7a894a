#include "PreviewWindow.h"

#include "ReportDocument.h"
#include "ReportError.h"

#include "platform/ui/Ui.h"
#include "platform/ui/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace report {

PreviewWindow::PreviewWindow(std::unique_ptr<ReportDocument> document, bool printerSetupButton)
    : QMainWindow(QApplication::activeModalWidget()), m_document(std::move(document)),
      m_printer(QPrinter::HighResolution)
{
    followOwner(parentWidget());
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_document->title());
    m_printer.setPageLayout(m_document->pageLayout());
    m_printer.setDocName(m_document->title());

    m_preview = new QPrintPreviewWidget(&m_printer, this);
    m_preview->setObjectName(u"preview"_s);
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { m_document->print(*printer); });
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, &PreviewWindow::updatePageControls);
    setCentralWidget(m_preview);

    QToolBar* toolBar = addToolBar(u"Vista previa"_s);
    toolBar->setObjectName(u"toolBar"_s);
    toolBar->setMovable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    const auto addAction = [&](const QString& name, const QString& text, const QIcon& icon) {
        QAction* action = toolBar->addAction(icon, text);
        action->setObjectName(name);
        return action;
    };
    // Page buttons show only their arrows (their names are the tooltips), so that the bar fits.
    const auto iconOnly = [&](QAction* action) {
        if (auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(action)))
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        return action;
    };

    QAction* print = addAction(u"actionPrint"_s, u"Imprimir…"_s, QIcon::fromTheme(u"document-print"_s));
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, &PreviewWindow::printDocument);
    QAction* setup =
        addAction(u"actionPrinterSetup"_s, u"Configurar impresora…"_s, QIcon::fromTheme(u"document-properties"_s));
    setup->setVisible(printerSetupButton);
    connect(setup, &QAction::triggered, this, &PreviewWindow::pageSetup);
    QAction* save =
        addAction(u"actionSavePdf"_s, u"Guardar como PDF…"_s, style()->standardIcon(QStyle::SP_DialogSaveButton));
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, &PreviewWindow::saveAsPdf);
    toolBar->addSeparator();

    QAction* first = iconOnly(
        addAction(u"actionFirstPage"_s, u"Primera página"_s, style()->standardIcon(QStyle::SP_MediaSkipBackward)));
    connect(first, &QAction::triggered, m_preview, [this] { m_preview->setCurrentPage(1); });
    QAction* previous = iconOnly(
        addAction(u"actionPreviousPage"_s, u"Página anterior"_s, style()->standardIcon(QStyle::SP_MediaSeekBackward)));
    connect(previous, &QAction::triggered, m_preview,
            [this] { m_preview->setCurrentPage(m_preview->currentPage() - 1); });
    m_pageNumber = new QSpinBox(toolBar);
    m_pageNumber->setObjectName(u"pageNumber"_s);
    m_pageNumber->setPrefix(u"Página "_s);
    m_pageNumber->setRange(1, 1);
    toolBar->addWidget(m_pageNumber);
    connect(m_pageNumber, &QSpinBox::valueChanged, m_preview, &QPrintPreviewWidget::setCurrentPage);
    m_pageTotal = new QLabel(toolBar);
    toolBar->addWidget(m_pageTotal);
    QAction* next = iconOnly(
        addAction(u"actionNextPage"_s, u"Página siguiente"_s, style()->standardIcon(QStyle::SP_MediaSeekForward)));
    connect(next, &QAction::triggered, m_preview, [this] { m_preview->setCurrentPage(m_preview->currentPage() + 1); });
    QAction* last = iconOnly(
        addAction(u"actionLastPage"_s, u"Última página"_s, style()->standardIcon(QStyle::SP_MediaSkipForward)));
    connect(last, &QAction::triggered, m_preview, [this] { m_preview->setCurrentPage(m_preview->pageCount()); });
    toolBar->addSeparator();

    QAction* zoomIn = toolBar->addAction(u"+"_s);
    zoomIn->setObjectName(u"actionZoomIn"_s);
    zoomIn->setToolTip(u"Acercar"_s);
    zoomIn->setShortcut(QKeySequence::ZoomIn);
    connect(zoomIn, &QAction::triggered, m_preview, [this] { m_preview->zoomIn(); });
    QAction* zoomOut = toolBar->addAction(u"−"_s);
    zoomOut->setObjectName(u"actionZoomOut"_s);
    zoomOut->setToolTip(u"Alejar"_s);
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    connect(zoomOut, &QAction::triggered, m_preview, [this] { m_preview->zoomOut(); });
    QAction* fitWidth = toolBar->addAction(u"Ajustar al ancho"_s);
    fitWidth->setObjectName(u"actionFitWidth"_s);
    connect(fitWidth, &QAction::triggered, m_preview, &QPrintPreviewWidget::fitToWidth);
    QAction* wholePage = toolBar->addAction(u"Página completa"_s);
    wholePage->setObjectName(u"actionFitPage"_s);
    connect(wholePage, &QAction::triggered, m_preview, &QPrintPreviewWidget::fitInView);
    toolBar->addSeparator();

    QAction* close = addAction(u"actionClose"_s, u"Cerrar"_s, style()->standardIcon(QStyle::SP_DialogCloseButton));
    connect(close, &QAction::triggered, this, &QWidget::close);

    m_preview->fitToWidth();
    // Wide enough for the whole tool bar, so that no button hides behind its overflow arrow; as
    // high as a page wants, but inside the screen and centred on the window that opened it.
    resize(std::max(1000, toolBar->sizeHint().width() + 40), 900);
    ui::placeWindow(*this, parentWidget());
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    // The window beneath takes the keyboard back once this one has gone.
    if (event->isAccepted() && m_owner)
        QTimer::singleShot(0, m_owner,
                           [owner = m_owner] { ui::returnFocus(owner->window(), owner->window()->focusWidget()); });
}

void PreviewWindow::followOwner(QWidget* owner)
{
    if (m_owner)
        m_owner->removeEventFilter(this);
    m_owner = owner;
    if (owner)
        owner->installEventFilter(this);
}

bool PreviewWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A modal screen hides when it closes (the window system's own hiding, such as minimising, is
    // spontaneous); the main menu is not modal and takes its previews with it when the program ends.
    if (watched == m_owner && event->type() == QEvent::Hide && !event->spontaneous() && m_owner->isModal())
        passToWindowBeneathOwner();
    return QMainWindow::eventFilter(watched, event);
}

void PreviewWindow::passToWindowBeneathOwner()
{
    QWidget* beneath = m_owner->parentWidget() ? m_owner->parentWidget()->window() : nullptr;
    const QRect place = geometry();
    const bool shown = isVisible();
    // A new parent hides the window; put it back where it was.
    setParent(beneath, windowFlags());
    followOwner(beneath);
    setGeometry(place);
    if (shown)
        show();
}

void PreviewWindow::updatePageControls()
{
    const int pages = std::max(1, m_preview->pageCount());
    const QSignalBlocker blocker(m_pageNumber);
    m_pageNumber->setRange(1, pages);
    m_pageNumber->setValue(std::clamp(m_preview->currentPage(), 1, pages));
    m_pageTotal->setText(u" de "_s + QString::number(pages) + u' ');
}

void PreviewWindow::printDocument()
{
    QPrintDialog dialog(&m_printer, this);
    dialog.setWindowTitle(u"Imprimir"_s);
    if (dialog.exec() == QDialog::Accepted)
        m_preview->print();
}

void PreviewWindow::pageSetup()
{
    QPageSetupDialog dialog(&m_printer, this);
    dialog.setWindowTitle(u"Configurar impresora"_s);
    if (dialog.exec() == QDialog::Accepted)
        m_preview->updatePreview();
}

void PreviewWindow::saveAsPdf()
{
    QString suggested = m_document->title();
    suggested.replace(QRegularExpression(u"[\\\\/:*?\"<>|]"_s), u"_"_s);
    const QString path =
        ui::Ui::current().saveFileName(this, u"Guardar como PDF"_s, QDir::home().filePath(suggested + u".pdf"_s),
                                       u"Documentos PDF (*.pdf)"_s, u"pdf"_s);
    if (path.isEmpty())
        return;
    try {
        // The page layout of the preview, which the operator may have changed, so that the file
        // matches what is on screen.
        m_document->exportPdf(path, m_printer.pageLayout());
    } catch (const ReportError&) {
        ui::Ui::current().message(u"No se ha podido guardar el documento en "_s + QDir::toNativeSeparators(path) + u'.',
                                  ui::Ui::Icon::Error);
    }
}

} // namespace report
