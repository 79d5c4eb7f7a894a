#include "support/Printers.h"

#include "platform/ui/ListGrid.h"
#include "platform/ui/Posicionar_Grilla.h"

#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using ui::ListGrid;

namespace {

// The payment list's grid: a hidden code, three visible columns and the hidden row counter "Inc".
class ListGridTest : public ::testing::Test
{
protected:
    ListGridTest()
    {
        auto* layout = new QVBoxLayout(&m_window);
        m_other = new QLineEdit(&m_window);
        m_grid = new ListGrid(&m_window);
        layout->addWidget(m_other);
        layout->addWidget(m_grid);
        m_grid->addColumn(u"Código"_s, u"Codigo"_s, 1200, false);
        m_grid->addColumn(u"Posición Fiscal"_s, u"Posicion"_s, 1200);
        m_grid->addColumn(u"Semana"_s, u"Semana"_s, 1500);
        m_grid->addColumn(u"Importe a depositar"_s, u"Importe"_s, 1200);
        m_grid->addColumn(u"Inc"_s, u"Inc"_s, 0);
        m_window.resize(640, 480);
        m_window.show();
        m_window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_window));
    }

    // Row i: code 100+i, position 2002ii, week i%5+1, amount i*10.5, Inc i.
    void addPayments(int count)
    {
        for (int i = 1; i <= count; ++i)
            m_grid->addRow(u"%1\t2002%2\t%3\t%4.5\t%5"_s.arg(100 + i)
                               .arg(i, 2, 10, QChar(u'0'))
                               .arg(i % 5 + 1)
                               .arg(i * 10)
                               .arg(i));
    }

    QDialog m_window;
    QLineEdit* m_other;
    ListGrid* m_grid;
};

} // namespace

TEST_F(ListGridTest, RowsComeFromTabSeparatedTextAndCellsFollowTheCurrentRow)
{
    EXPECT_FALSE(m_grid->moveFirst());
    m_grid->addRow(u"7\t200209\t\t1234.5\t1"_s);
    m_grid->addRow(u"8\t200210"_s); // fewer cells than columns
    ASSERT_EQ(m_grid->rowCount(), 2);
    EXPECT_EQ(m_grid->currentRow(), 0) << "a loaded grid stands on its first row";
    EXPECT_EQ(m_grid->cell(0), u"7"_s) << "hidden columns are readable";
    EXPECT_EQ(m_grid->cell(1, 4), QString());
    EXPECT_TRUE(m_grid->moveNext());
    EXPECT_FALSE(m_grid->moveNext());
    EXPECT_EQ(m_grid->cell(1), u"200210"_s);
    m_grid->clearRows();
    EXPECT_EQ(m_grid->cell(0), QString());
}

TEST_F(ListGridTest, ColumnsFitTheirCaptionsAndAmountsLineUpRight)
{
    // 1200 twips is narrower than "Importe a depositar" in today's fonts.
    const int captionWidth = m_grid->header()->fontMetrics().horizontalAdvance(u"Importe a depositar"_s);
    EXPECT_GT(m_grid->columnWidth(3), captionWidth);
    EXPECT_EQ(m_grid->columnWidth(2), qRound(1500 * m_grid->logicalDpiX() / 1440.0)) << "a wide column keeps its width";

    m_grid->alignRight(3);
    addPayments(1);
    const auto alignment = [&](int column) {
        return m_grid->model()->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    };
    EXPECT_TRUE(alignment(3) & Qt::AlignRight);
    EXPECT_TRUE(alignment(1) & Qt::AlignLeft);
}

TEST_F(ListGridTest, OperatorKeysClicksAndHeaderAreReported)
{
    addPayments(5);
    m_grid->selectFirst();
    m_grid->setFocus();
    QSignalSpy clicked(m_grid, &ListGrid::rowClicked);
    QSignalSpy deleted(m_grid, &ListGrid::deleteKeyReleased);
    QSignalSpy headers(m_grid, &ListGrid::headerClicked);

    QTest::keyClick(m_grid, Qt::Key_Down);
    EXPECT_EQ(m_grid->currentRow(), 1);
    QTest::keyClick(m_grid, Qt::Key_End);
    QTest::keyClick(m_grid, Qt::Key_Down); // already on the last row: no move, no report
    EXPECT_EQ(m_grid->currentRow(), 4);
    EXPECT_EQ(clicked.count(), 2);

    const QRect third = m_grid->visualRect(m_grid->model()->index(2, 1));
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(m_grid->cell(4), u"3"_s);
    EXPECT_EQ(clicked.count(), 3);
    // Ctrl+click does not take the highlight off the current row.
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, Qt::ControlModifier, third.center());
    EXPECT_EQ(m_grid->selectionModel()->selectedRows(), QModelIndexList{m_grid->model()->index(2, 0)});
    // Moves made by the program are not the operator's.
    const auto byOperator = clicked.count();
    m_grid->setCurrentRow(0);
    m_grid->moveNext();
    EXPECT_EQ(clicked.count(), byOperator);

    QTest::keyClick(m_grid, Qt::Key_Delete);
    QTest::keyClick(m_grid, Qt::Key_Backspace);
    EXPECT_EQ(deleted.count(), 1);
    EXPECT_EQ(m_grid->rowCount(), 5);

    // A header click is reported, and the view does not sort.
    QHeaderView* header = m_grid->header();
    const QPoint week(header->sectionViewportPosition(2) + header->sectionSize(2) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, week);
    ASSERT_EQ(headers.count(), 1);
    EXPECT_EQ(headers.at(0).at(0).toInt(), 2);
    EXPECT_EQ(m_grid->cell(0, 2), u"2"_s);
    EXPECT_EQ(m_grid->cell(1, 2), u"3"_s);
}

TEST_F(ListGridTest, PosicionarGrillaFindsTheRowHoldingTheValue)
{
    addPayments(6);
    m_grid->addRow(u"200\t200299\t1\t 7 \t 1 "_s); // cells are trimmed
    struct Case
    {
        int column;
        double value;
        int row;
    };
    for (const Case& c :
         {Case{4, 3, 2}, Case{4, 1.0, 0}, Case{3, 7, 6}, Case{3, 20.5, 1}, Case{4, 0, 6}, // no match: the last row
          Case{9, 1, 6}}) {                                                               // a column no row has
        m_grid->setCurrentRow(5);
        m_grid->setFocus();
        ui::Posicionar_Grilla(*m_grid, c.column, c.value);
        EXPECT_EQ(m_grid->currentRow(), c.row) << c.column << ' ' << c.value;
        EXPECT_TRUE(m_grid->isVisible());
        EXPECT_TRUE(m_grid->hasFocus());
    }

    m_grid->clearRows(); // an empty grid: nothing moves, not even the focus
    m_other->setFocus();
    ui::Posicionar_Grilla(*m_grid, 4, 1);
    EXPECT_EQ(m_grid->currentRow(), -1);
    EXPECT_TRUE(m_other->hasFocus());
}
