#include "Printers.h"

#include "platform/ui/ListGrid.h"
#include "platform/ui/Posicionar_Grilla.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using ui::ListGrid;

namespace {

// The payment list's grid: a hidden code, four visible columns and the hidden row counter "Inc".
class ListGridTest : public ::testing::Test
{
protected:
    ListGridTest()
    {
        m_window.resize(640, 480);
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
    }

    void addPayments(int count)
    {
        for (int i = 1; i <= count; ++i)
            m_grid->addRow(u"%1\t2002%2\t%3\t%4.5\t%5"_s.arg(100 + i)
                               .arg(i, 2, 10, QChar(u'0'))
                               .arg(i % 5 + 1)
                               .arg(i * 10)
                               .arg(i));
    }

    void showWindow()
    {
        m_window.show();
        m_window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    }

    QDialog m_window;
    QLineEdit* m_other;
    ListGrid* m_grid;
};

} // namespace

TEST_F(ListGridTest, ColumnsKeepCaptionNameWidthAndVisibility)
{
    ASSERT_EQ(m_grid->columnCount(), 5);
    EXPECT_EQ(m_grid->columnCaption(1), u"Posición Fiscal"_s);
    EXPECT_EQ(m_grid->model()->headerData(3, Qt::Horizontal).toString(), u"Importe a depositar"_s);
    EXPECT_EQ(m_grid->columnName(4), u"Inc"_s);
    EXPECT_EQ(m_grid->columnName(9), QString());

    EXPECT_TRUE(m_grid->isColumnHidden(0)); // visible = false
    EXPECT_FALSE(m_grid->isColumnHidden(1));
    EXPECT_TRUE(m_grid->isColumnHidden(4)); // width 0
    const double pixelsPerTwip = m_grid->logicalDpiX() / 1440.0;
    EXPECT_EQ(m_grid->columnWidth(1), qRound(1200 * pixelsPerTwip));
    EXPECT_EQ(m_grid->columnWidth(2), qRound(1500 * pixelsPerTwip));
    if (m_grid->logicalDpiX() == 96) {
        EXPECT_EQ(m_grid->columnWidth(2), 100);
    }
}

TEST_F(ListGridTest, RowsComeFromTabSeparatedTextAndCellsFollowTheCurrentRow)
{
    EXPECT_EQ(m_grid->currentRow(), -1);
    EXPECT_EQ(m_grid->cell(1), QString());
    EXPECT_FALSE(m_grid->moveFirst());

    m_grid->addRow(u"7\t200209\t\t1234.5\t1"_s);
    m_grid->addRow(u"8\t200210"_s); // fewer cells than columns
    m_grid->addRow(u"9\t200211\t3\t10\t3"_s);
    ASSERT_EQ(m_grid->rowCount(), 3);
    EXPECT_EQ(m_grid->currentRow(), 0); // a loaded grid stands on its first row
    EXPECT_EQ(m_grid->cell(0, 3), u"1234.5"_s);
    EXPECT_EQ(m_grid->cell(0, 2), QString());
    EXPECT_EQ(m_grid->cell(1, 4), QString());
    EXPECT_EQ(m_grid->cell(5, 0), QString());
    EXPECT_EQ(m_grid->cell(0, -1), QString());

    EXPECT_EQ(m_grid->cell(0), u"7"_s); // hidden columns are readable
    EXPECT_TRUE(m_grid->moveNext());
    EXPECT_EQ(m_grid->cell(1), u"200210"_s);
    EXPECT_TRUE(m_grid->moveNext());
    EXPECT_FALSE(m_grid->moveNext());
    EXPECT_EQ(m_grid->currentRow(), 2);
    EXPECT_EQ(m_grid->selectionModel()->selectedRows(), QModelIndexList{m_grid->model()->index(2, 0)});

    m_grid->setCurrentRow(1);
    EXPECT_EQ(m_grid->cell(0), u"8"_s);
    m_grid->setCurrentRow(3);
    EXPECT_EQ(m_grid->currentRow(), -1);
    EXPECT_FALSE(m_grid->moveNext());
    m_grid->selectFirst();
    EXPECT_EQ(m_grid->currentRow(), 0);

    m_grid->clearRows();
    EXPECT_EQ(m_grid->rowCount(), 0);
    EXPECT_EQ(m_grid->currentRow(), -1);
    EXPECT_EQ(m_grid->cell(0), QString());
    EXPECT_EQ(m_grid->columnCount(), 5);
    m_grid->addRow(u"10\t200301"_s);
    EXPECT_EQ(m_grid->cell(1), u"200301"_s);
}

TEST_F(ListGridTest, KeyboardAndMouseMoveTheCurrentRowAndReportIt)
{
    addPayments(5);
    showWindow();
    m_grid->selectFirst();
    m_grid->setFocus();
    QSignalSpy clicked(m_grid, &ListGrid::rowClicked);

    QTest::keyClick(m_grid, Qt::Key_Down);
    EXPECT_EQ(m_grid->currentRow(), 1);
    QTest::keyClick(m_grid, Qt::Key_End);
    EXPECT_EQ(m_grid->currentRow(), 4);
    EXPECT_EQ(clicked.count(), 2);
    QTest::keyClick(m_grid, Qt::Key_Down); // already on the last row
    EXPECT_EQ(clicked.count(), 2);

    const QRect third = m_grid->visualRect(m_grid->model()->index(2, 1));
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(m_grid->currentRow(), 2);
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
}

TEST_F(ListGridTest, HeaderClickIsReportedAndTheViewDoesNotSort)
{
    m_grid->addRow(u"1\t200212\t1\t5\t1"_s);
    m_grid->addRow(u"2\t200201\t2\t9\t2"_s);
    showWindow();
    QSignalSpy headers(m_grid, &ListGrid::headerClicked);

    QHeaderView* header = m_grid->header();
    const QPoint second(header->sectionViewportPosition(2) + header->sectionSize(2) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, second);

    ASSERT_EQ(headers.count(), 2);
    EXPECT_EQ(headers.at(0).at(0).toInt(), 2);
    EXPECT_EQ(m_grid->cell(0, 1), u"200212"_s);
    EXPECT_EQ(m_grid->cell(1, 1), u"200201"_s);
}

TEST_F(ListGridTest, DeleteKeyReleaseIsReported)
{
    addPayments(2);
    showWindow();
    m_grid->setFocus();
    QSignalSpy deleted(m_grid, &ListGrid::deleteKeyReleased);

    QTest::keyClick(m_grid, Qt::Key_Delete);
    QTest::keyClick(m_grid, Qt::Key_Backspace);
    EXPECT_EQ(deleted.count(), 1);
    EXPECT_EQ(m_grid->rowCount(), 2);
}

TEST_F(ListGridTest, PositionsOnTheRowHoldingTheValue)
{
    addPayments(6);
    showWindow();
    m_grid->setCurrentRow(5);
    m_grid->setFocus();

    ui::Posicionar_Grilla(*m_grid, 4, 3);
    EXPECT_EQ(m_grid->currentRow(), 2);
    EXPECT_TRUE(m_grid->isVisible());
    EXPECT_TRUE(m_grid->hasFocus());

    // The cell is trimmed; 1.0 reads as "1".
    m_grid->addRow(u"200\t200299\t1\t 7 \t 1 "_s);
    ui::Posicionar_Grilla(*m_grid, 4, 1.0);
    EXPECT_EQ(m_grid->currentRow(), 0);
    ui::Posicionar_Grilla(*m_grid, 3, 7);
    EXPECT_EQ(m_grid->currentRow(), 6);
    ui::Posicionar_Grilla(*m_grid, 3, 20.5);
    EXPECT_EQ(m_grid->currentRow(), 1);
}

TEST_F(ListGridTest, PositioningWithoutMatchLeavesTheLastRow)
{
    addPayments(4);
    showWindow();
    m_grid->selectFirst();

    ui::Posicionar_Grilla(*m_grid, 4, 0); // the row above the first one
    EXPECT_EQ(m_grid->currentRow(), 3);
    EXPECT_TRUE(m_grid->isVisible());

    ui::Posicionar_Grilla(*m_grid, 9, 1); // a column no row has
    EXPECT_EQ(m_grid->currentRow(), 3);
}

TEST_F(ListGridTest, PositioningAnEmptyGridDoesNothing)
{
    showWindow();
    m_other->setFocus();

    ui::Posicionar_Grilla(*m_grid, 4, 1);
    EXPECT_EQ(m_grid->currentRow(), -1);
    EXPECT_TRUE(m_grid->isVisible());
    EXPECT_TRUE(m_other->hasFocus());
}

TEST_F(ListGridTest, HundredThousandRowsLoadAndPosition)
{
    showWindow();
    QElapsedTimer timer;
    timer.start();
    addPayments(100'000);
    const qint64 loaded = timer.restart();
    QApplication::processEvents();
    const qint64 shown = timer.restart();
    ui::Posicionar_Grilla(*m_grid, 4, 99'999);
    const qint64 positioned = timer.elapsed();
    RecordProperty("load_ms", static_cast<int>(loaded));
    RecordProperty("layout_ms", static_cast<int>(shown));
    RecordProperty("position_ms", static_cast<int>(positioned));

    EXPECT_EQ(m_grid->rowCount(), 100'000);
    EXPECT_EQ(m_grid->currentRow(), 99'998);
    EXPECT_EQ(m_grid->cell(0), u"100099"_s);
    m_grid->clearRows();
    EXPECT_EQ(m_grid->rowCount(), 0);
}
