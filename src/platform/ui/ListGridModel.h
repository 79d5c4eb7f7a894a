#pragma once

#include <QAbstractTableModel>
#include <QByteArrayView>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringEncoder>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <memory>
#include <vector>

namespace ui {

class ListRow;

/// The rows behind a ListGrid: plain text cells, a caption per column, no sorting and no editing.
///
/// A row is kept as the text of its cells with a Tab between each two, in UTF-8, end to end with the other rows in
/// large blocks, and cut into cells only when a cell is read: a declaration of 300 000 lines then costs little more
/// memory than its digits, and loading it makes no string per cell.
class ListGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ListGridModel(QObject* parent = nullptr);

    /// Appends a column with its header caption; returns its index.
    int addColumn(const QString& caption);
    /// How the cells of a column line up (amounts to the right).
    void setColumnAlignment(int column, Qt::Alignment alignment);
    /// Appends a row. It is shown only once publish() is called: rows added one by one are announced to the
    /// views in one step.
    void appendRow(const ListRow& row);
    /// Announces the rows appended since the last call.
    void publish();
    /// Removes every row; the columns stay.
    void clearRows();
    /// The rows appended so far, announced or not.
    [[nodiscard]] int storedRows() const { return static_cast<int>(m_rows.size()); }
    /// The text of a cell; "" for a cell the row does not have.
    [[nodiscard]] QString cell(int row, int column) const;

    /// Tells whether a row, given as its stored text (UTF-8 cells between Tab characters), is the one looked for.
    using RowMatch = std::function<bool(QByteArrayView rowText)>;
    /// The first row after `after` that matches, going on from the top once past the last row (so `after`
    /// itself comes last); -1 when no row matches. Rows are compared as stored, without a string made for
    /// each, so that a list of 300 000 rows is searched at once.
    [[nodiscard]] int findRow(int after, const RowMatch& matches) const;
    /// A cell of a row's stored text; empty for a cell the row does not have.
    [[nodiscard]] static QByteArrayView cellOf(QByteArrayView rowText, int column);
    /// Writes the rows as a spreadsheet reads them: UTF-8 with a byte-order mark, a header line of the
    /// columns' captions, then one line per row, the cells of `columns` in that order between ";" (a cell
    /// holding ";", a quote or a line end quoted). Reports the rows written every few thousand; false when
    /// a write failed or `progress` returned false.
    bool writeCsv(QIODevice& out, const QList<int>& columns,
                  const std::function<bool(int written, int total)>& progress) const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    /// A piece of memory that rows are written into one after the other. Blocks never grow, so a long
    /// list never has its whole text copied into a bigger one.
    struct Block
    {
        std::unique_ptr<char[]> bytes;
        qsizetype used = 0;
        qsizetype size = 0;
    };
    /// Where a row's text lies: which block, from where, how long.
    struct RowText
    {
        quint32 block;
        quint32 start;
        quint32 length;
    };

    [[nodiscard]] QByteArrayView rowText(int row) const;

    QStringList m_captions;
    QList<Qt::Alignment> m_alignments;
    std::vector<Block> m_blocks;
    std::vector<RowText> m_rows;
    QStringEncoder m_toUtf8{QStringConverter::Utf8, QStringConverter::Flag::Stateless};
    int m_published = 0;
};

} // namespace ui
