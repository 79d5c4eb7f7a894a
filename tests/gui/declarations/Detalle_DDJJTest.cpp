#include "DeclarationsTest.h"

#include "data/clsCodigo.h"
#include "platform/ui/ListGrid.h"
#include "screens/declarations/Detalle_DDJJ.h"
#include "screens/declarations/Manual_DDJJ.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using ui::ScriptedUi;

namespace {

constexpr int colCBU = 1;
constexpr int colInc = 10;

const QString replicateQuestion = u"La posición fiscal seleccionada ya fue generada. Desea replicar la DDJJ?"_s;

class Detalle_DDJJTest : public DeclarationsTest
{
protected:
    // Three pending lines of 200210/1; the grid lists them by account: 0110, 0220, 0330.
    void addPendingDeclaration()
    {
        addDeclaration(u"200210"_s, 1, u"11/11/2002"_s, u"N"_s);
        addLine(u"200210"_s, 1, u"0330"_s, validCuit(2033333333), 3, 300, 3);
        addLine(u"200210"_s, 1, u"0110"_s, validCuit(2011111111), 1, 100, 1);
        addLine(u"200210"_s, 1, u"0220"_s, validCuit(2022222222), 2, 200, 2);
    }

    Detalle_DDJJ& openDetail(const QString& posicion, const QString& secuencia, const QString& generada)
    {
        m_detail = std::make_unique<Detalle_DDJJ>();
        m_detail->Posicion = posicion;
        m_detail->Secuencia = secuencia;
        m_detail->Generada = generada;
        m_detail->FecVto = u"11/11/2002"_s;
        m_detail->Form_Load();
        activate(*m_detail);
        return *m_detail;
    }

    ui::ListGrid& grid() { return *m_detail->findChild<ui::ListGrid*>(u"lvList"_s); }

    std::unique_ptr<Detalle_DDJJ> m_detail;
};

TEST_F(Detalle_DDJJTest, ShowsEachLineWithNamesForItsCodesAndItsGenerationStamp)
{
    addGeneratedExample();
    addLine(u"200209"_s, 2, u"0999"_s, validCuit(2099999999), 12, -150.25, 1234567.5, u"00"_s, u"03"_s);
    openDetail(u"200209"_s, u"2"_s, u"S"_s);

    EXPECT_EQ(m_detail->findChild<QLabel*>(u"lbPosicion"_s)->text(), u"Posición Fiscal: 200209"_s);
    ASSERT_EQ(grid().columnCount(), 13);
    for (const int hidden : {8, 9, 10})
        EXPECT_TRUE(grid().isColumnHidden(hidden)) << hidden;
    EXPECT_EQ(grid().columnName(12), u"Fecha Pres"_s);

    ASSERT_EQ(grid().rowCount(), 6);
    const auto rowText = [this](int row) {
        QStringList cells;
        for (int column = 0; column < 13; ++column)
            cells.append(grid().cell(row, column));
        return cells.join(u'|');
    };
    // By account, then account type.
    EXPECT_EQ(columnCells(grid(), colCBU).first(), exampleCbu(0));
    EXPECT_EQ(rowText(0), u"77|%1|Caja de Ahorro|Pesos|%2|1|1000,50|10,25|01|01|1|27|08/10/2002"_s.arg(
                              exampleCbu(0), db::Value::numberText(exampleCuit(0))));
    EXPECT_EQ(rowText(5), u"77|0999||Dólares|%1|12|-150,25|1234567,50|00|03|6||"_s.arg(
                              db::Value::numberText(validCuit(2099999999))));
    EXPECT_EQ(grid().currentRow(), 0);
}

TEST_F(Detalle_DDJJTest, AnEmptyDeclarationOffersOnlyNew)
{
    addDeclaration(u"200210"_s, 1, u"11/11/2002"_s, u"N"_s);
    openDetail(u"200210"_s, u"1"_s, u"N"_s);
    EXPECT_EQ(grid().rowCount(), 0);
    EXPECT_TRUE(button(*m_detail, u"BAgregar"_s)->isEnabled());
    EXPECT_FALSE(button(*m_detail, u"bModificar"_s)->isEnabled());
    EXPECT_FALSE(button(*m_detail, u"BEliminar"_s)->isEnabled());
}

TEST_F(Detalle_DDJJTest, AHeaderClickReloadsInTheSameOrder)
{
    addPendingDeclaration();
    openDetail(u"200210"_s, u"1"_s, u"N"_s);
    const QStringList byAccount{u"0110"_s, u"0220"_s, u"0330"_s};
    for (const int column : {4, 4, 6, 1}) {
        clickHeader(grid(), column);
        EXPECT_EQ(columnCells(grid(), colCBU), byAccount) << column;
    }
}

TEST_F(Detalle_DDJJTest, OnAPendingDeclarationNewAndModifyOpenModesZeroAndOne)
{
    addPendingDeclaration();
    openDetail(u"200210"_s, u"1"_s, u"N"_s);

    m_ui.onNextModal([](QDialog& screen) {
        auto& manual = dynamic_cast<Manual_DDJJ&>(screen);
        EXPECT_EQ(manual.Accion, Manual_DDJJ::NewLine);
        EXPECT_EQ(manual.Posicion, u"200210"_s);
        EXPECT_EQ(manual.Secuencia, u"1"_s);
    });
    click(*m_detail, u"BAgregar"_s);

    clickRow(grid(), 1);
    m_ui.onNextModal([](QDialog& screen) {
        auto& manual = dynamic_cast<Manual_DDJJ&>(screen);
        EXPECT_EQ(manual.Accion, Manual_DDJJ::ModifyLine);
        EXPECT_EQ(manual.FecVto, u"11/11/2002"_s);
        EXPECT_EQ(manual.CBUId, u"0220"_s);
        EXPECT_EQ(manual.CuitId, validCuit(2022222222));
        // The entry is loaded with the line being corrected.
        EXPECT_EQ(screen.findChild<QLineEdit*>(u"txImporte"_s)->text(), u"200.00"_s);
    });
    click(*m_detail, u"bModificar"_s);

    EXPECT_EQ(m_ui.shownScreens(), (QStringList{u"Manual_DDJJ"_s, u"Manual_DDJJ"_s}));
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_TRUE(m_detail->isVisible());
    EXPECT_EQ(grid().currentRow(), 1) << "back on the corrected line";
}

TEST_F(Detalle_DDJJTest, ANewLineOnAPendingDeclarationNeedsTheRegistration)
{
    addPendingDeclaration();
    openDetail(u"200210"_s, u"1"_s, u"N"_s);
    clsCodigo::instance().Par_Denomin.clear();
    click(*m_detail, u"BAgregar"_s);
    EXPECT_EQ(m_ui.messageTexts(),
              QStringList{u"Para poder generar el diskette e imprimir el detalle deberá especificar la Razón Social o "
                          u"Denominación en la opción de Registración."_s});
    EXPECT_TRUE(m_ui.shownScreens().isEmpty());
}

TEST_F(Detalle_DDJJTest, OnAGeneratedDeclarationNewAsksToReplicateAndClosesEvenWhenNothingIsSaved)
{
    addGeneratedExample();
    openDetail(u"200209"_s, u"2"_s, u"S"_s);

    m_ui.answerNext(false);
    click(*m_detail, u"BAgregar"_s);
    EXPECT_TRUE(m_ui.shownScreens().isEmpty());
    EXPECT_TRUE(m_detail->isVisible());

    m_ui.answerNext(true);
    m_ui.onNextModal([](QDialog& screen) {
        auto& manual = dynamic_cast<Manual_DDJJ&>(screen);
        EXPECT_EQ(manual.Accion, Manual_DDJJ::NewReplicating);
        EXPECT_EQ(manual.FecVto, u"11/11/2002"_s);
        EXPECT_EQ(manual.Posicion, u"200209"_s);
        EXPECT_EQ(manual.Secuencia, u"2"_s);
        click(screen, u"bCancelar"_s);
    });
    click(*m_detail, u"BAgregar"_s);

    EXPECT_EQ(m_ui.messageTexts(), (QStringList{replicateQuestion, replicateQuestion}));
    EXPECT_FALSE(m_detail->isVisible());
    EXPECT_EQ(m_db.count(u"DDJJ"_s), 2);
}

TEST_F(Detalle_DDJJTest, OnAGeneratedDeclarationModifyReplicatesInModeTwoAndCloses)
{
    addGeneratedExample();
    openDetail(u"200209"_s, u"2"_s, u"S"_s);
    clickRow(grid(), 2);

    m_ui.answerNext(false);
    click(*m_detail, u"bModificar"_s);
    EXPECT_TRUE(m_detail->isVisible());

    const QString cbu = grid().cell(colCBU);
    m_ui.answerNext(true);
    m_ui.onNextModal([cbu](QDialog& screen) {
        auto& manual = dynamic_cast<Manual_DDJJ&>(screen);
        EXPECT_EQ(manual.Accion, Manual_DDJJ::ModifyReplicating);
        EXPECT_EQ(manual.CBUId, cbu);
        click(screen, u"bAceptar"_s);
    });
    click(*m_detail, u"bModificar"_s);

    EXPECT_FALSE(m_detail->isVisible());
    EXPECT_EQ(lineCount(u"200209"_s, 3), 5);
    EXPECT_EQ(m_ui.messageTexts().last(), u"Se ha realizado la operación correctamente."_s);
}

TEST_F(Detalle_DDJJTest, ALineOfAGeneratedDeclarationIsNeverDeletedAlone)
{
    addGeneratedExample();
    openDetail(u"200209"_s, u"2"_s, u"S"_s);
    click(*m_detail, u"BEliminar"_s);
    const ScriptedUi::Message refused{u"No se puede realizar la operación. La DDJJ ya está generada, no se podrá "
                                      u"eliminar este detalle individualmente. Si lo desea, deberá eliminar todo el "
                                      u"detalle asociado al período."_s,
                                      ui::Ui::Icon::Information, false};
    EXPECT_EQ(m_ui.messages(), QList<ScriptedUi::Message>{refused});
    EXPECT_EQ(lineCount(u"200209"_s, 2), 5);
}

TEST_F(Detalle_DDJJTest, DeletingALineReturnsToTheRowBefore)
{
    addPendingDeclaration();
    openDetail(u"200210"_s, u"1"_s, u"N"_s);
    clickRow(grid(), 2);

    m_ui.answerNext(true);
    click(*m_detail, u"BEliminar"_s);

    EXPECT_EQ(m_ui.messageTexts(), (QStringList{u"Desea eliminar realmente el detalle seleccionado?"_s,
                                                u"Se ha realizado la operación correctamente."_s}));
    EXPECT_EQ(columnCells(grid(), colCBU), (QStringList{u"0110"_s, u"0220"_s}));
    EXPECT_EQ(grid().currentRow(), 1);
    EXPECT_EQ(lineCount(u"200210"_s, 1), 2);
}

TEST_F(Detalle_DDJJTest, AnsweringNoMovesUpARowAndDeletingTheFirstLeavesTheLast)
{
    addPendingDeclaration();
    openDetail(u"200210"_s, u"1"_s, u"N"_s);
    clickRow(grid(), 2);

    m_ui.answerNext(false);
    click(*m_detail, u"BEliminar"_s);
    EXPECT_EQ(m_ui.messages().size(), 1);
    EXPECT_EQ(grid().currentRow(), 1);
    EXPECT_EQ(lineCount(u"200210"_s, 1), 3);

    clickRow(grid(), 0);
    m_ui.answerNext(true);
    click(*m_detail, u"BEliminar"_s);
    EXPECT_EQ(columnCells(grid(), colCBU), (QStringList{u"0220"_s, u"0330"_s}));
    // Row number 0 does not exist: the grid is left on its last row.
    EXPECT_EQ(grid().currentRow(), 1);
    EXPECT_EQ(grid().cell(colInc), u"2"_s);
}

TEST_F(Detalle_DDJJTest, APeriodThatIsNotSixDigitsOpensNoEntry)
{
    addDeclaration(u"20021"_s, 1, u"11/11/2002"_s, u"N"_s);
    openDetail(u"20021"_s, u"1"_s, u"N"_s);
    click(*m_detail, u"BAgregar"_s);
    m_detail->Posicion = u"2002X1"_s;
    m_detail->Generada = u"S"_s;
    m_ui.answerNext(true);
    click(*m_detail, u"BAgregar"_s);

    EXPECT_EQ(m_ui.messageTexts(),
              (QStringList{u"El formato de la posición fiscal debe ser: 'AAAAMM'."_s, replicateQuestion,
                           u"La posición seleccionada debe ser numérica (AAAAMM)."_s}));
    EXPECT_TRUE(m_ui.shownScreens().isEmpty());
    EXPECT_TRUE(m_detail->isVisible());
}

} // namespace
