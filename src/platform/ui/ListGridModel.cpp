#include "ListGridModel.h"

namespace ui {

ListGridModel::ListGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int ListGridModel::addColumn(const QString& caption)
{
    const int column = static_cast<int>(m_captions.size());
    beginInsertColumns({}, column, column);
    m_captions.append(caption);
    endInsertColumns();
    return column;
}

void ListGridModel::addRow(QStringList cells)
{
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.append(std::move(cells));
    endInsertRows();
}

void ListGridModel::setRows(QList<QStringList> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void ListGridModel::clearRows()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QString ListGridModel::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows.at(row).value(column);
}

int ListGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ListGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_captions.size());
}

void ListGridModel::setColumnAlignment(int column, Qt::Alignment alignment)
{
    while (m_alignments.size() <= column)
        m_alignments.append(Qt::AlignLeft | Qt::AlignVCenter);
    m_alignments[column] = alignment;
}

QVariant ListGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_alignments.value(index.column(), Qt::AlignLeft | Qt::AlignVCenter));
    if (role != Qt::DisplayRole)
        return {};
    return cell(index.row(), index.column());
}

QVariant ListGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return m_captions.value(section);
}

Qt::ItemFlags ListGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace ui
