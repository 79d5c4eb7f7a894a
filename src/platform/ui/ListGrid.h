#pragma once

#include <QByteArrayView>
#include <QIODevice>
#include <QStringList>
#include <QTreeView>

#include <functional>

namespace ui {

class ListGridModel;
class ListRow;

/// The list screens' grid: text columns with captions and widths, rows added one at a time cell by cell,
/// and one current row, always the highlighted one, whenever there are rows.
/// The grid never sorts by itself: a header click is only reported, and the screen reloads the rows
/// in the order it wants. In Designer, promote a QTreeView to ui::ListGrid (header
/// "platform/ui/ListGrid.h"). Do not give it another model.
class ListGrid : public QTreeView
{
    Q_OBJECT

public:
    explicit ListGrid(QWidget* parent = nullptr);

    /// Appends a column. The width is in twips (1440 per inch, 15 per pixel at 96 dpi), widened where the
    /// caption would not show whole; a width of 0 or visible = false hides the column, whose cells can
    /// still be read.
    void addColumn(const QString& caption, const QString& name, int widthTwips, bool visible = true);
    /// Widens a visible column, if needed, so that its caption and a sample of its widest content show
    /// whole: the widths screens give in twips were measured for a smaller font than today's desktops use.
    void fitColumn(int column, const QString& widestContent = {});
    /// The width the grid needs to show every visible column without scrolling sideways.
    [[nodiscard]] int columnsWidth() const;
    /// Lines the cells of a column up to the right, as amounts read best.
    void alignRight(int column);
    [[nodiscard]] int columnCount() const;
    /// The name given to addColumn; "" for a column that does not exist.
    [[nodiscard]] QString columnName(int column) const;
    /// The caption given to addColumn; "" for a column that does not exist.
    [[nodiscard]] QString columnCaption(int column) const;

    /// Appends a row with the cells written into `row`, which it empties for the next.
    /// The first row added to an empty grid becomes the current row, as in a data grid after loading.
    /// The view learns of the rows added in a row in one step, when the grid is next asked anything or the
    /// window next repaints: a list of 300 000 rows loads as fast as its text can be copied.
    void addRow(ListRow& row);
    /// Removes every row; afterwards there is no current row.
    void clearRows();
    [[nodiscard]] int rowCount() const;

    /// The index of the current row, -1 when there is none.
    [[nodiscard]] int currentRow() const;
    /// The text of a cell of the current row; "" when there is no current row or no such cell.
    [[nodiscard]] QString cell(int column) const;
    /// The text of a cell; "" when there is no such row or cell.
    [[nodiscard]] QString cell(int row, int column) const;

    /// Makes a row current and highlighted and scrolls to it; an index out of range leaves no current row.
    void setCurrentRow(int row);
    /// Makes the first row current and highlighted (a list screen does this after loading).
    void selectFirst();
    /// Makes current, as a click does (rowClicked is emitted), the first row after the current one that
    /// matches, going on from the top past the last row; false, moving nowhere, when none does. The match
    /// is given each row's stored text: UTF-8 cells between Tab characters, read with cellOf.
    bool findNext(const std::function<bool(QByteArrayView rowText)>& matches);
    /// A cell of a row's stored text, as findNext gives it.
    [[nodiscard]] static QByteArrayView cellOf(QByteArrayView rowText, int column);
    /// Writes the rows in their order to a spreadsheet file (see ListGridModel::writeCsv): the visible
    /// columns, under their captions. False when a write failed or `progress` returned false.
    bool writeCsv(QIODevice& out, const std::function<bool(int written, int total)>& progress) const;

    /// Moves to the first row; false when the grid is empty.
    bool moveFirst();
    /// Moves to the next row; false, staying where it is, when there is no next row or no current row.
    bool moveNext();

signals:
    /// A column heading was clicked (index of the column as added).
    void headerClicked(int column);
    /// The operator picked a row: clicked one, or moved to another with the keyboard.
    /// Rows made current by the program do not emit it.
    void rowClicked();
    /// The Delete key was released while the grid had the focus.
    void deleteKeyReleased();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    [[nodiscard]] QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                                       const QEvent* event) const override;

private:
    /// Lets the view know of the rows added since it last heard.
    void publishRows() const;

    ListGridModel* m_model;
    mutable bool m_publishQueued = false;
    QStringList m_columnNames;
};

} // namespace ui
