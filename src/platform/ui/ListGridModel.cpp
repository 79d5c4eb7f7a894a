#include "ListGridModel.h"

#include <algorithm>

namespace ui {

namespace {
// Bytes per block of row text: some two thousand rows of a detail list.
constexpr qsizetype blockBytes = 256 * 1024;
} // namespace

ListGridModel::ListGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int ListGridModel::addColumn(const QString& caption)
{
    const int column = static_cast<int>(m_captions.size());
    beginInsertColumns({}, column, column);
    m_captions.append(caption);
    endInsertColumns();
    return column;
}

void ListGridModel::setColumnAlignment(int column, Qt::Alignment alignment)
{
    while (m_alignments.size() <= column)
        m_alignments.append(Qt::AlignLeft | Qt::AlignVCenter);
    m_alignments[column] = alignment;
}

void ListGridModel::appendRow(QStringView tabSeparatedCells)
{
    // The most UTF-8 the text can take; a longer row than a block holds gets a block of its own.
    const qsizetype room = 3 * tabSeparatedCells.size();
    if (m_blocks.empty() || m_blocks.back().size - m_blocks.back().used < room) {
        const qsizetype size = std::max(blockBytes, room);
        m_blocks.push_back({std::make_unique_for_overwrite<char[]>(static_cast<size_t>(size)), 0, size});
    }
    Block& block = m_blocks.back();
    char* const start = block.bytes.get() + block.used;
    const char* const end = m_toUtf8.appendToBuffer(start, tabSeparatedCells);
    m_rows.push_back({static_cast<quint32>(m_blocks.size() - 1), static_cast<quint32>(block.used),
                      static_cast<quint32>(end - start)});
    block.used += end - start;
}

void ListGridModel::publish()
{
    const int stored = storedRows();
    if (stored == m_published)
        return;
    beginInsertRows({}, m_published, stored - 1);
    m_published = stored;
    endInsertRows();
}

void ListGridModel::clearRows()
{
    beginResetModel();
    m_rows = std::vector<RowText>();
    m_blocks = std::vector<Block>();
    m_published = 0;
    endResetModel();
}

QByteArrayView ListGridModel::rowText(int row) const
{
    const RowText& text = m_rows[static_cast<size_t>(row)];
    return QByteArrayView(m_blocks[text.block].bytes.get() + text.start, text.length);
}

QString ListGridModel::cell(int row, int column) const
{
    if (row < 0 || row >= storedRows() || column < 0)
        return {};
    QByteArrayView rest = rowText(row);
    for (int skipped = 0; skipped < column; ++skipped) {
        const qsizetype tab = rest.indexOf('\t');
        if (tab < 0)
            return {};
        rest = rest.sliced(tab + 1);
    }
    const qsizetype tab = rest.indexOf('\t');
    return QString::fromUtf8(tab < 0 ? rest : rest.first(tab));
}

int ListGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_published;
}

int ListGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_captions.size());
}

QVariant ListGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_published)
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
