#include "DeclarationsTest.h"

#include "data/clsCodigo.h"
#include "platform/ui/ListGrid.h"
#include "screens/declarations/DDJJ.h"
#include "screens/declarations/Detalle_DDJJ.h"
#include "screens/declarations/Manual_DDJJ.h"
#include "screens/import/Importacion_DDJJ.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using ui::ScriptedUi;

namespace {

constexpr int colPosicion = 0;
constexpr int colSecuencia = 1;
constexpr int colGenerado = 3;
constexpr int colFecPres = 4;
constexpr int colInc = 5;

const ScriptedUi::Message done{u"Se ha realizado la operación correctamente."_s, ui::Ui::Icon::Information, false};

class DDJJTest : public DeclarationsTest
{
protected:
    // Four declarations in period order: generated and newest, superseded, open and newest, open with a null state.
    void addList()
    {
        addDeclaration(u"200208"_s, 1, u"10/09/2002"_s, u"S"_s, u"05/09/2002"_s);
        addDeclaration(u"200209"_s, 1, u"10/10/2002"_s, u"S"_s, u"02/10/2002"_s);
        addDeclaration(u"200209"_s, 2, u"10/10/2002"_s, u"N"_s);
        addDeclaration(u"200210"_s, 1, u"11/11/2002"_s, QString());
    }

    DDJJ& openList()
    {
        m_list = std::make_unique<DDJJ>();
        activate(*m_list);
        return *m_list;
    }

    ui::ListGrid& grid() { return *m_list->findChild<ui::ListGrid*>(u"lvList"_s); }

    // The six action buttons, in the order bVer, BEliminar, bGenerar, bImprimir, bManual, bAutomatica: "1" on, "0" off.
    QString actions()
    {
        QString states;
        for (const auto* name : {u"bVer", u"BEliminar", u"bGenerar", u"bImprimir", u"bManual", u"bAutomatica"})
            states += button(*m_list, QString::fromUtf16(name))->isEnabled() ? u'1' : u'0';
        return states;
    }

    QStringList order()
    {
        QStringList rows;
        for (int row = 0; row < grid().rowCount(); ++row)
            rows.append(grid().cell(row, colPosicion) + u'/' + grid().cell(row, colSecuencia));
        return rows;
    }

    std::unique_ptr<DDJJ> m_list;
};

TEST_F(DDJJTest, ListsEveryDeclarationWithItsStateRowNumberAndNewestMark)
{
    addList();
    openList();

    ASSERT_EQ(grid().columnCount(), 7);
    EXPECT_EQ(grid().columnCaption(2), u"Vencimiento de Presentación"_s);
    EXPECT_EQ(grid().columnName(4), u"FecPres"_s);
    EXPECT_TRUE(grid().isColumnHidden(5));
    EXPECT_TRUE(grid().isColumnHidden(6));
    EXPECT_FALSE(grid().isColumnHidden(4));

    ASSERT_EQ(grid().rowCount(), 4);
    const auto rowText = [this](int row) {
        QStringList cells;
        for (int column = 0; column < 7; ++column)
            cells.append(grid().cell(row, column));
        return cells.join(u'|');
    };
    EXPECT_EQ(rowText(0), u"200208|1|10/09/2002|S|05/09/2002|1|S"_s);
    EXPECT_EQ(rowText(1), u"200209|1|10/10/2002|S|02/10/2002|2|N"_s);
    EXPECT_EQ(rowText(2), u"200209|2|10/10/2002|N||3|S"_s);
    EXPECT_EQ(rowText(3), u"200210|1|11/11/2002|N||4|S"_s);
    EXPECT_EQ(grid().currentRow(), 0);
    EXPECT_TRUE(m_ui.messages().isEmpty());
}

TEST_F(DDJJTest, ButtonsFollowTheClickedRowAndAHeaderClickEnablesBothIncorporations)
{
    addList();
    openList();

    // Generated and newest, as loaded.
    EXPECT_EQ(actions(), u"110100"_s);
    clickRow(grid(), 1);
    EXPECT_EQ(actions(), u"000000"_s) << "a superseded sequence offers nothing";
    clickRow(grid(), 2);
    EXPECT_EQ(actions(), u"111011"_s);
    clickRow(grid(), 0);
    EXPECT_EQ(actions(), u"110100"_s);

    // A reload by header leaves both incorporations on while there are rows, whatever the row.
    clickHeader(grid(), colPosicion);
    EXPECT_EQ(grid().cell(colPosicion), u"200208"_s);
    EXPECT_EQ(actions(), u"110111"_s);
    clickHeader(grid(), colPosicion);
    EXPECT_EQ(order(), (QStringList{u"200210/1"_s, u"200209/1"_s, u"200209/2"_s, u"200208/1"_s}));
    clickRow(grid(), 1);
    EXPECT_EQ(actions(), u"000000"_s);
    clickHeader(grid(), colGenerado);
    EXPECT_EQ(grid().cell(colPosicion), u"200210"_s);
    EXPECT_EQ(actions(), u"111011"_s);
    EXPECT_EQ(m_ui.timesBusy(), 3);
    EXPECT_FALSE(m_ui.isBusy());
}

TEST_F(DDJJTest, AnEmptyOrUnreadableListOffersNoAction)
{
    openList();
    EXPECT_EQ(grid().rowCount(), 0);
    EXPECT_EQ(actions(), u"000000"_s);
    clickHeader(grid(), colPosicion);
    EXPECT_EQ(actions(), u"000000"_s);
    EXPECT_TRUE(button(*m_list, u"bAyuda"_s)->isEnabled());
    EXPECT_TRUE(button(*m_list, u"bVolver"_s)->isEnabled());

    addList();
    TempDatabase::disconnect();
    openList();
    EXPECT_EQ(grid().rowCount(), 0);
    EXPECT_EQ(actions(), u"000000"_s);
}

TEST_F(DDJJTest, HeadersSortAscendingThenDescendingAndTheSequenceHeaderOnlyReloads)
{
    addList();
    openList();
    const QStringList ascending{u"200210/1"_s, u"200209/2"_s, u"200208/1"_s, u"200209/1"_s};
    const QStringList descending{u"200209/1"_s, u"200208/1"_s, u"200210/1"_s, u"200209/2"_s};

    clickHeader(grid(), colFecPres);
    EXPECT_EQ(order(), ascending);
    EXPECT_EQ(columnCells(grid(), colInc), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    clickHeader(grid(), colFecPres);
    EXPECT_EQ(order(), descending);
    clickHeader(grid(), colFecPres);
    EXPECT_EQ(order(), ascending);

    clickHeader(grid(), colSecuencia);
    EXPECT_EQ(order(), ascending);
    clickHeader(grid(), colFecPres);
    EXPECT_EQ(order(), descending);
}

TEST_F(DDJJTest, ViewingTheDetailHandsOverTheRowAndReturnsToIt)
{
    addList();
    openList();
    clickRow(grid(), 2);

    bool opened = false;
    m_ui.onNextModal([&opened](QDialog& screen) {
        auto* detalle = dynamic_cast<Detalle_DDJJ*>(&screen);
        ASSERT_NE(detalle, nullptr);
        opened = true;
        EXPECT_EQ(detalle->FecVto, u"10/10/2002"_s);
        EXPECT_EQ(detalle->Posicion, u"200209"_s);
        EXPECT_EQ(detalle->Secuencia, u"2"_s);
        EXPECT_EQ(detalle->Generada, u"N"_s);
    });
    click(*m_list, u"bVer"_s);

    EXPECT_TRUE(opened);
    EXPECT_EQ(m_ui.shownScreens(), QStringList{u"Detalle_DDJJ"_s});
    EXPECT_EQ(grid().currentRow(), 2);
    EXPECT_EQ(actions(), u"111011"_s);
}

TEST_F(DDJJTest, ACorrectionReplicatedFromTheDetailShowsTheNewSequence)
{
    addGeneratedExample();
    openList();
    clickRow(grid(), 1);
    ASSERT_EQ(actions(), u"110100"_s);

    m_ui.answerNext(true);
    m_ui.onNextModal([](QDialog& detalle) { click(detalle, u"bModificar"_s); });
    m_ui.onNextModal([](QDialog& manual) {
        auto* cant = manual.findChild<QLineEdit*>(u"txCant"_s);
        cant->clear();
        QTest::keyClicks(cant, u"9"_s);
        click(manual, u"bAceptar"_s);
    });
    click(*m_list, u"bVer"_s);

    EXPECT_EQ(m_ui.shownScreens(), (QStringList{u"Detalle_DDJJ"_s, u"Manual_DDJJ"_s}));
    EXPECT_EQ(order(), (QStringList{u"200209/1"_s, u"200209/2"_s, u"200209/3"_s}));
    EXPECT_EQ(grid().cell(2, colGenerado), u"N"_s);
    // Back on the row number it was on, now a superseded sequence.
    EXPECT_EQ(grid().currentRow(), 1);
    EXPECT_EQ(actions(), u"000000"_s);
    clickRow(grid(), 2);
    EXPECT_EQ(actions(), u"111011"_s);
}

TEST_F(DDJJTest, ManualIncorporationChecksThePeriodThenTheRegistration)
{
    addDeclaration(u"20029"_s, 1, u"10/10/2002"_s, u"N"_s);
    addDeclaration(u"2002A9"_s, 1, u"10/10/2002"_s, u"N"_s);
    openList();

    click(*m_list, u"bManual"_s);
    // A period with a letter is never the newest of its period: a header click reaches it.
    clickHeader(grid(), colPosicion);
    clickHeader(grid(), colPosicion);
    ASSERT_EQ(grid().cell(colPosicion), u"2002A9"_s);
    click(*m_list, u"bManual"_s);

    EXPECT_EQ(m_ui.messageTexts(), (QStringList{u"El formato de la posición fiscal debe ser: 'AAAAMM'."_s,
                                                u"La posición seleccionada debe ser numérica (AAAAMM)."_s}));
    EXPECT_TRUE(m_ui.shownScreens().isEmpty());
}

TEST_F(DDJJTest, BothIncorporationsRequireACompleteRegistration)
{
    addList();
    openList();
    clickRow(grid(), 2);
    clsCodigo& codigo = clsCodigo::instance();
    const QStringList expected{
        u"Para poder ingresar manualmente el detalle de DDJJ deberá especificar el Nro de Agente en la opción de "
        u"Registración."_s,
        u"Para poder generar el diskette e imprimir el detalle deberá especificar el Nro de CUIT en la opción de "
        u"Registración."_s,
        u"Para poder generar el diskette e imprimir el detalle deberá especificar la Razón Social o Denominación "
        u"en la opción de Registración."_s,
    };

    for (const QString& name : {u"bManual"_s, u"bAutomatica"_s}) {
        m_ui.clearMessages();
        codigo.Par_Agente = 0;
        click(*m_list, name);
        codigo.Par_Agente = 1234;
        codigo.Par_CUIT.clear();
        click(*m_list, name);
        codigo.Par_CUIT = u"30-70707070-1"_s;
        codigo.Par_Denomin.clear();
        click(*m_list, name);
        codigo.Par_Denomin = u"Banco de Ostrel S.A."_s;
        EXPECT_EQ(m_ui.messageTexts(), expected) << name.toStdString();
    }
    EXPECT_TRUE(m_ui.shownScreens().isEmpty());
}

TEST_F(DDJJTest, ManualIncorporationOpensANewLineOnTheSelectedDeclaration)
{
    addList();
    openList();
    clickRow(grid(), 2);

    m_ui.onNextModal([](QDialog& screen) {
        auto* manual = dynamic_cast<Manual_DDJJ*>(&screen);
        ASSERT_NE(manual, nullptr);
        EXPECT_EQ(manual->Posicion, u"200209"_s);
        EXPECT_EQ(manual->Secuencia, u"2"_s);
        EXPECT_EQ(manual->Accion, Manual_DDJJ::NewLine);
    });
    click(*m_list, u"bManual"_s);

    EXPECT_EQ(m_ui.shownScreens(), QStringList{u"Manual_DDJJ"_s});
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_EQ(grid().currentRow(), 2);
}

TEST_F(DDJJTest, AutomaticIncorporationHandsOverAnyPeriodToTheImport)
{
    addDeclaration(u"2002A9"_s, 1, u"10/10/2002"_s, u"N"_s);
    addDeclaration(u"2002A9"_s, 2, u"10/10/2002"_s, u"N"_s);
    openList();
    clickHeader(grid(), colPosicion);
    ASSERT_TRUE(button(*m_list, u"bAutomatica"_s)->isEnabled());

    m_ui.onNextModal([](QDialog& screen) {
        auto* importacion = dynamic_cast<Importacion_DDJJ*>(&screen);
        ASSERT_NE(importacion, nullptr);
        EXPECT_EQ(importacion->Posicion, u"2002A9"_s);
        EXPECT_EQ(importacion->Secuencia, 1);
    });
    click(*m_list, u"bAutomatica"_s);

    EXPECT_EQ(m_ui.shownScreens(), QStringList{u"Importacion_DDJJ"_s});
    EXPECT_TRUE(m_ui.messages().isEmpty());
    // The buttons are set again for the row: an older sequence offers nothing.
    EXPECT_EQ(actions(), u"000000"_s);
}

TEST_F(DDJJTest, EmptyingAGeneratedDeclarationOpensItAgainOnTheSameRow)
{
    addList();
    addLine(u"200208"_s, 1, u"0110"_s, validCuit(2012345678), 1, 100, 1);
    addLine(u"200208"_s, 1, u"0220"_s, validCuit(2012345678), 1, 100, 1);
    stampLines(u"200208"_s, 1, 26, u"05/09/2002"_s);
    addLine(u"200209"_s, 2, u"0110"_s, validCuit(2012345678), 1, 100, 1);
    openList();
    clickHeader(grid(), colPosicion);
    clickHeader(grid(), colPosicion);
    clickRow(grid(), 3);
    ASSERT_EQ(grid().cell(colPosicion), u"200208"_s);

    m_ui.answerNext(true);
    click(*m_list, u"BEliminar"_s);

    EXPECT_EQ(m_ui.messages(),
              (QList<ScriptedUi::Message>{
                  {u"Desea eliminar realmente TODO el Detalle correspondiente a la posición fiscal seleccionada? "
                   u"(200208)"_s,
                   ui::Ui::Icon::Question, true},
                  done}));
    EXPECT_EQ(lineCount(u"200208"_s, 1), 0);
    EXPECT_EQ(lineCount(u"200209"_s, 2), 1);
    EXPECT_EQ(m_db.count(u"DDJJ"_s), 4);
    // Still in descending order, on the same row, now open.
    EXPECT_EQ(order().last(), u"200208/1"_s);
    EXPECT_EQ(grid().currentRow(), 3);
    EXPECT_EQ(grid().cell(colGenerado), u"N"_s);
    EXPECT_EQ(grid().cell(colFecPres), QString());
    EXPECT_EQ(actions(), u"111011"_s);
}

TEST_F(DDJJTest, AnsweringNoToEmptyingStillReloads)
{
    addList();
    addLine(u"200209"_s, 2, u"0110"_s, validCuit(2012345678), 1, 100, 1);
    openList();
    clickRow(grid(), 2);
    m_db.db().execute(u"Update DDJJ Set Generado = 'S' Where Posicion_Fiscal = '200209' and Secuencia = 2"_s);

    m_ui.answerNext(false);
    click(*m_list, u"BEliminar"_s);

    EXPECT_EQ(m_ui.messages().size(), 1);
    EXPECT_EQ(lineCount(u"200209"_s, 2), 1);
    EXPECT_EQ(grid().currentRow(), 2);
    EXPECT_EQ(grid().cell(colGenerado), u"S"_s);
}

TEST_F(DDJJTest, AFailedEmptyingSaysSoAndDoesNotReload)
{
    addList();
    addLine(u"200209"_s, 2, u"0110"_s, validCuit(2012345678), 1, 100, 1);
    m_db.db().executeScript(u"CREATE TRIGGER no_delete BEFORE DELETE ON DDJJ_Detalle "
                            u"BEGIN SELECT RAISE(ABORT, 'bloqueado'); END;"_s);
    openList();
    clickRow(grid(), 2);
    m_db.db().execute(u"Update DDJJ Set Generado = 'S' Where Posicion_Fiscal = '200209' and Secuencia = 2"_s);

    m_ui.answerNext(true);
    click(*m_list, u"BEliminar"_s);

    EXPECT_EQ(m_ui.messageTexts().last(), u"No se ha podido realizar la operación correctamente."_s);
    EXPECT_EQ(lineCount(u"200209"_s, 2), 1);
    EXPECT_EQ(grid().cell(colGenerado), u"N"_s);
}

TEST_F(DDJJTest, GenerationAndReprintCheckTheirDeclarationAndTheRegistrationFirst)
{
    addList();
    openList();
    clickRow(grid(), 2);
    click(*m_list, u"bGenerar"_s);
    addLine(u"200209"_s, 2, u"0110"_s, validCuit(2012345678), 1, 100, 1);
    clsCodigo::instance().Par_Agente = 0;
    click(*m_list, u"bGenerar"_s);
    clsCodigo::instance().Par_Agente = 1234;
    clickRow(grid(), 0);
    click(*m_list, u"bImprimir"_s);

    EXPECT_EQ(m_ui.messageTexts(),
              (QStringList{u"La posición fiscal seleccionada no tiene detalles para generar."_s,
                           u"Para poder generar el diskette e imprimir el detalle deberá especificar el Nro de Agente "
                           u"en la opción de Registración."_s,
                           u"La posición fiscal seleccionada no tiene detalles."_s}));
}

} // namespace
