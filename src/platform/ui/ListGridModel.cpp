#include "ListGridModel.h"

#include "ListRow.h"

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

void ListGridModel::appendRow(const ListRow& row)
{
    const QStringView text = row.m_text;
    // The most UTF-8 the text can take; a longer row than a block holds gets a block of its own.
    const qsizetype room = 3 * text.size();
    if (m_blocks.empty() || m_blocks.back().size - m_blocks.back().used < room) {
        const qsizetype size = std::max(blockBytes, room);
        m_blocks.push_back({std::make_unique_for_overwrite<char[]>(static_cast<size_t>(size)), 0, size});
    }
    Block& block = m_blocks.back();
    char* const start = block.bytes.get() + block.used;
    const char* const end = m_toUtf8.appendToBuffer(start, text);
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

QByteArrayView ListGridModel::cellOf(QByteArrayView rowText, int column)
{
    QByteArrayView rest = rowText;
    for (int skipped = 0; skipped < column; ++skipped) {
        const qsizetype tab = rest.indexOf('\t');
        if (tab < 0)
            return {};
        rest = rest.sliced(tab + 1);
    }
    const qsizetype tab = rest.indexOf('\t');
    return tab < 0 ? rest : rest.first(tab);
}

QString ListGridModel::cell(int row, int column) const
{
    if (row < 0 || row >= storedRows() || column < 0)
        return {};
    return QString::fromUtf8(cellOf(rowText(row), column));
}

int ListGridModel::findRow(int after, const RowMatch& matches) const
{
    const int rows = storedRows();
    const int first = after < 0 || after >= rows ? 0 : after + 1;
    for (int i = 0; i < rows; ++i) {
        const int row = (first + i) % rows;
        if (matches(rowText(row)))
            return row;
    }
    return -1;
}

namespace {

/// A cell as a spreadsheet reads it: between quotes, with its quotes doubled, when it holds a separator,
/// a quote or a line end.
void appendCsvCell(QByteArray& line, QByteArrayView cell)
{
    const bool quoted = cell.contains(';') || cell.contains('"') || cell.contains('\n') || cell.contains('\r');
    if (!quoted) {
        line += cell;
        return;
    }
    line += '"';
    line += cell.toByteArray().replace('"', "\"\"");
    line += '"';
}

} // namespace

bool ListGridModel::writeCsv(QIODevice& out, const QList<int>& columns,
                             const std::function<bool(int written, int total)>& progress) const
{
    QByteArray line = "\xEF\xBB\xBF";
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (i > 0)
            line += ';';
        appendCsvCell(line, m_captions.value(columns[i]).toUtf8());
    }
    line += "\r\n";
    const int rows = storedRows();
    for (int row = 0; row < rows; ++row) {
        const QByteArrayView text = rowText(row);
        for (qsizetype i = 0; i < columns.size(); ++i) {
            if (i > 0)
                line += ';';
            appendCsvCell(line, cellOf(text, columns[i]));
        }
        line += "\r\n";
        // Written in pieces of some 64 KiB: few calls, little memory.
        if (line.size() >= 65536 || row == rows - 1) {
            if (out.write(line) != line.size())
                return false;
            line.resize(0);
        }
        if ((row % 4096 == 0 || row == rows - 1) && progress && !progress(row + 1, rows))
            return false;
    }
    return rows > 0 || out.write(line) == line.size();
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
