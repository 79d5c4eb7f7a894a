#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace ui {

/// The rows behind a ListGrid: plain text cells, a caption per column, no sorting and no editing.
/// Kept this small so that a hundred thousand rows load and scroll quickly.
class ListGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ListGridModel(QObject* parent = nullptr);

    /// Appends a column with its header caption; returns its index.
    int addColumn(const QString& caption);
    /// How the cells of a column line up (amounts to the right).
    void setColumnAlignment(int column, Qt::Alignment alignment);
    /// Appends a row of cells.
    void addRow(QStringList cells);
    /// Replaces every row at once.
    void setRows(QList<QStringList> rows);
    /// Removes every row; the columns stay.
    void clearRows();
    /// The text of a cell; "" for a cell the row does not have.
    [[nodiscard]] QString cell(int row, int column) const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QStringList m_captions;
    QList<Qt::Alignment> m_alignments;
    QList<QStringList> m_rows;
};

} // namespace ui
