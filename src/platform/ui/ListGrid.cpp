#include "ListGrid.h"

#include "ListGridModel.h"
#include "ListRow.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

namespace ui {

namespace {
constexpr double twipsPerInch = 1440.0;
}

ListGrid::ListGrid(QWidget* parent) : QTreeView(parent), m_model(new ListGridModel(this))
{
    QTreeView::setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    // Every row has the same height: the view then lays out a hundred thousand rows without measuring each.
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);

    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setSortIndicatorShown(false);
    header()->setHighlightSections(false);
    // The columns keep the widths the screen gave them.
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(header(), &QHeaderView::sectionClicked, this, &ListGrid::headerClicked);
    connect(this, &QAbstractItemView::clicked, this, [this] { emit rowClicked(); });
}

void ListGrid::addColumn(const QString& caption, const QString& name, int widthTwips, bool visible)
{
    const int column = m_model->addColumn(caption);
    m_columnNames.append(name);
    setColumnWidth(column, qRound(widthTwips * logicalDpiX() / twipsPerInch));
    setColumnHidden(column, !visible || widthTwips <= 0);
    fitColumn(column);
}

void ListGrid::fitColumn(int column, const QString& widestContent)
{
    if (isColumnHidden(column))
        return;
    // The caption with a character's room on each side, or what the style asks for the heading if more.
    const QFontMetrics& captionFont = header()->fontMetrics();
    int width = std::max(header()->sectionSizeHint(column),
                         captionFont.horizontalAdvance(columnCaption(column)) + 2 * captionFont.averageCharWidth());
    // A cell's text is drawn between the item's margins; a dozen pixels keeps it clear of the next column.
    constexpr int cellPadding = 12;
    if (!widestContent.isEmpty())
        width = std::max(width, fontMetrics().horizontalAdvance(widestContent) + cellPadding);
    if (width > columnWidth(column))
        setColumnWidth(column, width);
}

int ListGrid::columnsWidth() const
{
    int width = 0;
    for (int column = 0; column < columnCount(); ++column) {
        if (!isColumnHidden(column))
            width += columnWidth(column);
    }
    return width + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
}

void ListGrid::alignRight(int column)
{
    m_model->setColumnAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
}

int ListGrid::columnCount() const
{
    return m_model->columnCount();
}

QString ListGrid::columnName(int column) const
{
    return m_columnNames.value(column);
}

QString ListGrid::columnCaption(int column) const
{
    return m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void ListGrid::addRow(ListRow& row)
{
    const bool first = m_model->storedRows() == 0;
    m_model->appendRow(row);
    row.clear();
    if (first) {
        m_model->publish();
        setCurrentRow(0);
    } else if (!m_publishQueued) {
        // Announcing each row alone costs the view more than the row itself. Whatever reads the grid
        // publishes first; the queued call covers a window that only repaints.
        m_publishQueued = true;
        QMetaObject::invokeMethod(this, &ListGrid::publishRows, Qt::QueuedConnection);
    }
}

void ListGrid::publishRows() const
{
    m_publishQueued = false;
    m_model->publish();
}

void ListGrid::clearRows()
{
    m_model->clearRows();
}

int ListGrid::rowCount() const
{
    publishRows();
    return m_model->rowCount();
}

int ListGrid::currentRow() const
{
    publishRows();
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

QString ListGrid::cell(int column) const
{
    return cell(currentRow(), column);
}

QString ListGrid::cell(int row, int column) const
{
    return m_model->cell(row, column);
}

void ListGrid::setCurrentRow(int row)
{
    publishRows();
    if (row < 0 || row >= rowCount()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (isVisible())
        scrollTo(index);
}

QByteArrayView ListGrid::cellOf(QByteArrayView rowText, int column)
{
    return ListGridModel::cellOf(rowText, column);
}

bool ListGrid::findNext(const std::function<bool(QByteArrayView rowText)>& matches)
{
    publishRows();
    const int found = m_model->findRow(currentRow(), matches);
    if (found < 0)
        return false;
    setCurrentRow(found);
    emit rowClicked();
    return true;
}

bool ListGrid::writeCsv(QIODevice& out, const std::function<bool(int written, int total)>& progress) const
{
    publishRows();
    QList<int> columns;
    for (int column = 0; column < columnCount(); ++column) {
        if (!isColumnHidden(column))
            columns.append(column);
    }
    return m_model->writeCsv(out, columns, progress);
}

void ListGrid::selectFirst()
{
    setCurrentRow(0);
}

bool ListGrid::moveFirst()
{
    if (rowCount() == 0)
        return false;
    setCurrentRow(0);
    return true;
}

bool ListGrid::moveNext()
{
    const int row = currentRow();
    if (row < 0 || row + 1 >= rowCount())
        return false;
    setCurrentRow(row + 1);
    return true;
}

void ListGrid::keyPressEvent(QKeyEvent* event)
{
    const int before = currentRow();
    QTreeView::keyPressEvent(event);
    if (currentRow() != before)
        emit rowClicked();
}

void ListGrid::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && !event->isAutoRepeat())
        emit deleteKeyReleased();
    QTreeView::keyReleaseEvent(event);
}

void ListGrid::showEvent(QShowEvent* event)
{
    QTreeView::showEvent(event);
    // Rows made current while the grid was hidden (returning to a remembered row) come into view.
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

QItemSelectionModel::SelectionFlags ListGrid::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    // Ctrl+click would unhighlight the current row; the current row is always the highlighted one.
    const auto command = QTreeView::selectionCommand(index, event);
    if (command.testFlag(QItemSelectionModel::Deselect))
        return QItemSelectionModel::NoUpdate;
    return command;
}

} // namespace ui
