#include "DeclarationsTest.h"

#include "screens/declarations/DDJJ.h"
#include "screens/declarations/Detalle_DDJJ.h"

#include <memory>

using ui::ScriptedUi;

namespace {

constexpr int colPosicion = 0;
constexpr int colSecuencia = 1;
constexpr int colGenerado = 3;
constexpr int colFecPres = 4;

class DDJJTest : public DeclarationsTest
{
protected:
    // In period order: generated and newest, superseded, open and newest, open with a null state.
    void addList()
    {
        addDeclaration(u"200208"_s, 1, u"10/09/2002"_s, u"S"_s, u"05/09/2002"_s);
        addDeclaration(u"200209"_s, 1, u"10/10/2002"_s, u"S"_s, u"02/10/2002"_s);
        addDeclaration(u"200209"_s, 2, u"10/10/2002"_s, u"N"_s);
        addDeclaration(u"200210"_s, 1, u"11/11/2002"_s, QString());
    }

    void openList()
    {
        m_list = std::make_unique<DDJJ>();
        activate(*m_list);
    }

    ui::ListGrid& grid() { return *m_list->findChild<ui::ListGrid*>(u"lvList"_s); }

    // bVer, BEliminar, bGenerar, bImprimir, bManual, bAutomatica: "1" enabled, "0" disabled.
    QString actions()
    {
        QString states;
        for (const auto* name : {u"bVer", u"BEliminar", u"bGenerar", u"bImprimir", u"bManual", u"bAutomatica"})
            states += m_list->findChild<QPushButton*>(QString::fromUtf16(name))->isEnabled() ? u'1' : u'0';
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

TEST_F(DDJJTest, ButtonsFollowTheClickedRowAndAHeaderClickEnablesBothIncorporations)
{
    openList();
    EXPECT_EQ(actions(), u"000000"_s) << "an empty list offers nothing";
    clickHeader(grid(), colPosicion);
    EXPECT_EQ(actions(), u"000000"_s);

    addList();
    openList();
    EXPECT_EQ(order(), (QStringList{u"200208/1"_s, u"200209/1"_s, u"200209/2"_s, u"200210/1"_s}));
    // Rows: generated and newest, superseded, open and newest.
    const QStringList byRow{u"110100"_s, u"000000"_s, u"111011"_s};
    for (int row = 0; row < 3; ++row) {
        clickRow(grid(), row);
        EXPECT_EQ(actions(), byRow[row]) << row;
    }

    // A reload by header leaves both incorporations on while there are rows, whatever the row.
    clickHeader(grid(), colPosicion);
    EXPECT_EQ(actions(), u"110111"_s);
    clickHeader(grid(), colPosicion);
    EXPECT_EQ(order(), (QStringList{u"200210/1"_s, u"200209/1"_s, u"200209/2"_s, u"200208/1"_s}));
    clickRow(grid(), 1);
    EXPECT_EQ(actions(), u"000000"_s);
    clickHeader(grid(), colFecPres);
    EXPECT_EQ(order(), (QStringList{u"200210/1"_s, u"200209/2"_s, u"200208/1"_s, u"200209/1"_s}));
    EXPECT_EQ(actions(), u"111011"_s);
    EXPECT_FALSE(m_ui.isBusy());
}

TEST_F(DDJJTest, ViewingTheDetailHandsOverTheRowAndReturnsToIt)
{
    addList();
    openList();
    clickRow(grid(), 2);

    QString handed;
    m_ui.onNextModal([&handed](QDialog& screen) {
        auto& detalle = dynamic_cast<Detalle_DDJJ&>(screen);
        handed = QStringList{detalle.Posicion, detalle.Secuencia, detalle.FecVto, detalle.Generada}.join(u' ');
    });
    click(*m_list, u"bVer"_s);

    EXPECT_EQ(handed, u"200209 2 10/10/2002 N"_s);
    EXPECT_EQ(grid().currentRow(), 2);
    EXPECT_EQ(actions(), u"111011"_s);
}

TEST_F(DDJJTest, EmptyingAGeneratedDeclarationOpensItAgainOnTheSameRow)
{
    addList();
    addLine(u"200208"_s, 1, u"0110"_s, validCuit(2012345678), 100);
    addLine(u"200208"_s, 1, u"0220"_s, validCuit(2012345678), 100);
    m_db.db().execute(u"Update DDJJ_Detalle Set N_Comprobante = 26, Hoja = '1', F_Presentacion = '05/09/2002'"_s);
    addLine(u"200209"_s, 2, u"0110"_s, validCuit(2012345678), 100);
    openList();
    clickHeader(grid(), colPosicion);
    clickHeader(grid(), colPosicion);
    clickRow(grid(), 3);
    ASSERT_EQ(grid().cell(colPosicion), u"200208"_s);

    m_ui.answerNext(true);
    click(*m_list, u"BEliminar"_s);

    EXPECT_EQ(m_ui.messages(),
              (QList<ScriptedUi::Message>{
                  {u"Desea eliminar realmente TODO el Detalle correspondiente a la posición "
                   u"fiscal seleccionada? (200208)"_s,
                   ui::Ui::Icon::Question, true},
                  {u"Se ha realizado la operación correctamente."_s, ui::Ui::Icon::Information, false}}));
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

} // namespace
