#include "PreviewWindow.h"

#include "PageView.h"
#include "PreviewDocument.h"
#include "ReportError.h"

#include "platform/ui/Ui.h"
#include "platform/ui/WindowPlacement.h"

#include <QAbstractListModel>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QProgressBar>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace report {

namespace {

constexpr int progressMs = 100;

/// The pages of a preview document, one row each, named by their sheets' titles.
class PageListModel : public QAbstractListModel
{
public:
    PageListModel(PreviewDocument& document, QObject* parent) : QAbstractListModel(parent), m_document(document) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : m_rows; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_document.pageCount())
            return {};
        return m_document.pageTitle(index.row());
    }

    /// Follows the document's pages: sheets added, or a sheet found longer or shorter than counted.
    void update()
    {
        const int pages = m_document.pageCount();
        if (pages > m_rows) {
            beginInsertRows({}, m_rows, pages - 1);
            m_rows = pages;
            endInsertRows();
        } else if (pages < m_rows) {
            beginRemoveRows({}, pages, m_rows - 1);
            m_rows = pages;
            endRemoveRows();
        }
        if (m_rows > 0)
            emit dataChanged(index(0), index(m_rows - 1));
    }

private:
    PreviewDocument& m_document;
    int m_rows = 0;
};

/// A modal progress box for printing and saving, with "Cancelar"; `verb` says what is being done.
PreviewDocument::Progress progressBox(QWidget* window, QProgressDialog& box, const QString& verb)
{
    box.setWindowTitle(window->windowTitle());
    box.setCancelButtonText(u"Cancelar"_s);
    box.setWindowModality(Qt::WindowModal);
    box.setMinimumDuration(300);
    box.setAutoReset(false);
    box.setAutoClose(false);
    // The box is brought up to date a few times a second: a page costs less than repainting it.
    auto sinceUpdate = std::make_shared<QElapsedTimer>();
    return [&box, verb, sinceUpdate](int done, int total) {
        if (sinceUpdate->isValid() && sinceUpdate->elapsed() < progressMs && done < total)
            return !box.wasCanceled();
        sinceUpdate->start();
        box.setMaximum(total);
        box.setLabelText(u"%1 la página %2 de %3…"_s.arg(verb).arg(done).arg(total));
        box.setValue(done); // lets the window repaint and take the click on "Cancelar"
        return !box.wasCanceled();
    };
}

} // namespace

PreviewWindow::PreviewWindow(std::unique_ptr<PreviewDocument> document, bool printerSetupButton)
    : QMainWindow(QApplication::activeModalWidget()), m_document(std::move(document)),
      m_printer(QPrinter::HighResolution), m_cameFrom(QApplication::activeWindow())
{
    followOwner(parentWidget());
    setAttribute(Qt::WA_DeleteOnClose);
    m_printer.setPageLayout(m_document->pageLayout());

    auto* splitter = new QSplitter(this);
    m_pageList = new QListView(splitter);
    m_pageList->setObjectName(u"pageList"_s);
    m_pageList->setUniformItemSizes(true);
    m_pageList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* pages = new PageListModel(*m_document, m_pageList);
    m_pageList->setModel(pages);
    m_pageList->hide(); // shown once there is a second page to pick
    m_view = new PageView(*m_document, splitter);
    splitter->addWidget(m_pageList);
    splitter->addWidget(m_view);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 780});
    setCentralWidget(splitter);

    m_preparing = new QLabel(this);
    m_preparation = new QProgressBar(this);
    m_preparation->setObjectName(u"preparation"_s);
    m_preparation->setMaximumWidth(300);
    statusBar()->addWidget(m_preparing);
    statusBar()->addPermanentWidget(m_preparation);
    statusBar()->hide();

    buildToolBar(printerSetupButton);

    connect(m_document.get(), &PreviewDocument::pagesChanged, this, [this, pages] {
        pages->update();
        pagesChanged();
    });
    connect(m_document.get(), &PreviewDocument::layoutChanged, m_view, &PageView::redraw);
    connect(m_view, &PageView::currentPageChanged, this, &PreviewWindow::showPage);
    connect(m_pageList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    m_view->setCurrentPage(current.row() + 1);
            });
    pages->update();
    pagesChanged();
    m_view->setFocus(); // Page Up and Page Down turn the pages as soon as the window opens

    // Wide enough for the whole tool bar, so that no button hides behind its overflow arrow; as
    // high as a page wants, but inside the screen and centred on the window that opened it.
    auto* toolBar = findChild<QToolBar*>();
    fitToolBar(*toolBar);
    resize(std::max(1000, toolBar->sizeHint().width() + 40), 900);
    ui::placeWindow(*this, parentWidget());
    stepClearOfOtherPreviews();
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::buildToolBar(bool printerSetupButton)
{
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
    connect(first, &QAction::triggered, m_view, [this] { m_view->setCurrentPage(1); });
    QAction* previous = iconOnly(
        addAction(u"actionPreviousPage"_s, u"Página anterior"_s, style()->standardIcon(QStyle::SP_MediaSeekBackward)));
    connect(previous, &QAction::triggered, m_view, [this] { m_view->setCurrentPage(m_view->currentPage() - 1); });
    m_pageNumber = new QSpinBox(toolBar);
    m_pageNumber->setObjectName(u"pageNumber"_s);
    m_pageNumber->setPrefix(u"Página "_s);
    m_pageNumber->setRange(1, 1);
    toolBar->addWidget(m_pageNumber);
    connect(m_pageNumber, &QSpinBox::valueChanged, m_view, &PageView::setCurrentPage);
    m_pageTotal = new QLabel(toolBar);
    toolBar->addWidget(m_pageTotal);
    QAction* next = iconOnly(
        addAction(u"actionNextPage"_s, u"Página siguiente"_s, style()->standardIcon(QStyle::SP_MediaSeekForward)));
    connect(next, &QAction::triggered, m_view, [this] { m_view->setCurrentPage(m_view->currentPage() + 1); });
    QAction* last = iconOnly(
        addAction(u"actionLastPage"_s, u"Última página"_s, style()->standardIcon(QStyle::SP_MediaSkipForward)));
    connect(last, &QAction::triggered, m_view, [this] { m_view->setCurrentPage(m_view->pageCount()); });
    toolBar->addSeparator();

    QAction* zoomIn = toolBar->addAction(u"+"_s);
    zoomIn->setObjectName(u"actionZoomIn"_s);
    zoomIn->setToolTip(u"Acercar"_s);
    zoomIn->setShortcut(QKeySequence::ZoomIn);
    connect(zoomIn, &QAction::triggered, m_view, &PageView::zoomIn);
    QAction* zoomOut = toolBar->addAction(u"−"_s);
    zoomOut->setObjectName(u"actionZoomOut"_s);
    zoomOut->setToolTip(u"Alejar"_s);
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    connect(zoomOut, &QAction::triggered, m_view, &PageView::zoomOut);
    QAction* fitWidth = toolBar->addAction(u"Ajustar al ancho"_s);
    fitWidth->setObjectName(u"actionFitWidth"_s);
    connect(fitWidth, &QAction::triggered, m_view, &PageView::fitToWidth);
    QAction* wholePage = toolBar->addAction(u"Página completa"_s);
    wholePage->setObjectName(u"actionFitPage"_s);
    connect(wholePage, &QAction::triggered, m_view, &PageView::fitInView);
    toolBar->addSeparator();

    QAction* close = addAction(u"actionClose"_s, u"Cerrar"_s, style()->standardIcon(QStyle::SP_DialogCloseButton));
    close->setShortcut(Qt::Key_Escape);
    connect(close, &QAction::triggered, this, &QWidget::close);
}

void PreviewWindow::fitToolBar(QToolBar& toolBar)
{
    // On a small screen (1024 pixels) or with large fonts the whole bar would not fit: the buttons with
    // an icon show it alone, their text kept as the tooltip, until the bar fits; "Cerrar" last.
    const QScreen* shown = screen();
    const int room = (shown ? shown->availableGeometry().width() : 1024) - 40;
    for (const QString& name : {u"actionSavePdf"_s, u"actionPrinterSetup"_s, u"actionPrint"_s, u"actionClose"_s}) {
        toolBar.layout()->invalidate();
        if (toolBar.sizeHint().width() <= room)
            return;
        if (auto* button = qobject_cast<QToolButton*>(toolBar.widgetForAction(findChild<QAction*>(name))))
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
}

void PreviewWindow::stepClearOfOtherPreviews()
{
    // Previews opened one after the other would sit exactly on each other, the first hidden whole behind
    // the second: each new one is set down a step from those already open, shrinking if the screen ends.
    const int step = 2 * fontMetrics().height();
    const QPoint placed = pos(); // where the frame goes, as placeWindow set it
    QPoint at = placed;
    const auto onAnother = [this, &at, step] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.cbegin(), windows.cend(), [&](const QWidget* other) {
            return other != this && qobject_cast<const PreviewWindow*>(other) && other->isVisible() &&
                   (other->pos() - at).manhattanLength() < step;
        });
    };
    for (int tries = 0; tries < 20 && onAnother(); ++tries)
        at += QPoint(step, step);
    if (at == placed)
        return;
    move(at);
    resize(size() - QSize(at.x() - placed.x(), at.y() - placed.y()));
}

void PreviewWindow::pagesChanged()
{
    const int pages = std::max(1, m_document->pageCount());
    {
        const QSignalBlocker blocker(m_pageNumber);
        m_pageNumber->setRange(1, pages);
    }
    m_pageTotal->setText(u" de "_s + QString::number(pages) + u' ');
    m_pageList->setVisible(m_document->pageCount() > 1);
    m_view->pagesChanged();
    showPage(m_view->currentPage());
}

void PreviewWindow::showPage(int page)
{
    if (page < 1)
        return;
    {
        const QSignalBlocker blocker(m_pageNumber);
        m_pageNumber->setValue(page);
    }
    const QModelIndex row = m_pageList->model()->index(page - 1, 0);
    if (m_pageList->currentIndex() != row) {
        const QSignalBlocker blocker(m_pageList->selectionModel());
        m_pageList->setCurrentIndex(row);
    }
    const QString title = m_document->sheetTitle(m_document->sheetOfPage(page - 1));
    setWindowTitle(title);
    m_printer.setDocName(title);
}

void PreviewWindow::showPreparation(int done, int total)
{
    statusBar()->show();
    m_preparing->setText(u"Preparando la hoja %1 de %2…"_s.arg(done).arg(total));
    m_preparation->setRange(0, total);
    m_preparation->setValue(done);
}

void PreviewWindow::endPreparation()
{
    statusBar()->hide();
}

void PreviewWindow::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    // The window the operator came from (another preview, the list) takes the keyboard back once this one
    // has gone; when it has closed meanwhile, the window beneath.
    if (!event->isAccepted())
        return;
    const QPointer<QWidget> back = m_cameFrom && m_cameFrom->isVisible() ? m_cameFrom.data()
                                   : m_owner                             ? m_owner->window()
                                                                         : nullptr;
    if (back)
        QTimer::singleShot(0, back, [back] { ui::returnFocus(back, back->focusWidget()); });
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

bool PreviewWindow::printPages(QPagedPaintDevice& device, int from, int to)
{
    QProgressDialog box(this);
    return m_document->print(device, from, to, progressBox(this, box, u"Imprimiendo"_s));
}

void PreviewWindow::printDocument()
{
    QPrintDialog dialog(&m_printer, this);
    dialog.setWindowTitle(u"Imprimir"_s);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setMinMax(1, std::max(1, m_document->pageCount()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool range = m_printer.printRange() == QPrinter::PageRange && m_printer.fromPage() > 0;
    const int from = range ? m_printer.fromPage() - 1 : 0;
    const int to = range ? std::max(m_printer.toPage(), m_printer.fromPage()) - 1 : m_document->pageCount() - 1;
    // A cancelled job stops where it is; the pages already sent are the printer's.
    (void)printPages(m_printer, from, to);
}

void PreviewWindow::pageSetup()
{
    QPageSetupDialog dialog(&m_printer, this);
    dialog.setWindowTitle(u"Configurar impresora"_s);
    if (dialog.exec() == QDialog::Accepted)
        m_document->setPageLayout(m_printer.pageLayout());
}

bool PreviewWindow::savePdf(const QString& path)
{
    try {
        QProgressDialog box(this);
        return m_document->exportPdf(path, m_document->sheetTitle(0), progressBox(this, box, u"Guardando"_s));
    } catch (const ReportError&) {
        ui::Ui::current().message(u"No se ha podido guardar el documento en "_s + QDir::toNativeSeparators(path) + u'.',
                                  ui::Ui::Icon::Error);
        return false;
    }
}

void PreviewWindow::saveAsPdf()
{
    QString suggested = m_document->sheetTitle(0);
    suggested.replace(QRegularExpression(u"[\\\\/:*?\"<>|]"_s), u"_"_s);
    const QString path =
        ui::Ui::current().saveFileName(this, u"Guardar como PDF"_s, QDir::home().filePath(suggested + u".pdf"_s),
                                       u"Documentos PDF (*.pdf)"_s, u"pdf"_s);
    if (!path.isEmpty())
        (void)savePdf(path);
}

} // namespace report
