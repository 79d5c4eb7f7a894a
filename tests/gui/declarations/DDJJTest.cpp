#include "DeclarationsTest.h"

#include "platform/Regional.h"
#include "platform/db/Database.h"
#include "screens/declarations/DDJJ.h"

#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int colPosicion = 0;
constexpr int colFecVto = 2;

class DDJJTest : public DeclarationsTest
{
protected:
    // In period order: generated and newest, superseded, open and newest, open with a null state.
    void openList()
    {
        addDeclaration(u"200208"_s, 1, u"10/09/2002"_s, u"S"_s, u"05/09/2002"_s);
        addDeclaration(u"200209"_s, 1, u"10/10/2002"_s, u"S"_s, u"02/10/2002"_s);
        addDeclaration(u"200209"_s, 2, u"10/10/2002"_s, u"N"_s);
        addDeclaration(u"200210"_s, 1, u"11/11/2002"_s, QString());
        m_list = show<DDJJ>();
    }

    ui::ListGrid& grid() { return *child<ui::ListGrid>(*m_list, u"lvList"_s); }

    // bVer, BEliminar, bGenerar, bImprimir, bManual, bAutomatica: "1" enabled, "0" disabled.
    QString actions()
    {
        QString states;
        for (const auto* name : {u"bVer", u"BEliminar", u"bGenerar", u"bImprimir", u"bManual", u"bAutomatica"})
            states += child<QPushButton>(*m_list, QString::fromUtf16(name))->isEnabled() ? u'1' : u'0';
        return states;
    }

    // The periods and sequences top to bottom, as "200208/1 200209/1 ...".
    QString order()
    {
        QStringList rows;
        for (int row = 0; row < grid().rowCount(); ++row)
            rows.append(grid().cell(row, colPosicion) + u'/' + grid().cell(row, 1));
        return rows.join(u' ');
    }

    std::unique_ptr<DDJJ> m_list;
};

TEST_F(DDJJTest, GenerationAndIncorporationCheckLinesAndRegistrationAndEmptyingAsksFirst)
{
    openList();
    clickRow(grid(), 2);
    click(*m_list, u"bGenerar"_s);
    addLine(u"200209"_s, 2, u"0110"_s, validCuit(2012345678), 100);
    setRegistration(0, u"30-70707070-1"_s, u"Banco de Ostrel S.A."_s);
    for (const QString& name : {u"bGenerar"_s, u"bManual"_s, u"bAutomatica"_s})
        click(*m_list, name);
    clickAnswering(*m_list, u"BEliminar"_s, false);

    const QString manual = u"Para poder ingresar manualmente el detalle de DDJJ deberá especificar el Nro de Agente "
                           u"en la opción de Registración."_s;
    EXPECT_EQ(m_operator.messageTexts(),
              (QStringList{u"La posición fiscal seleccionada no tiene detalles para generar."_s,
                           u"Para poder generar el diskette e imprimir el detalle deberá especificar el Nro de Agente "
                           u"en la opción de Registración."_s,
                           manual, manual,
                           u"Desea eliminar realmente TODO el Detalle correspondiente a la posición fiscal "
                           u"seleccionada? (200209)"_s}))
        << "answering No to emptying says nothing more";
    EXPECT_EQ(std::tuple(m_operator.shownScreens(), lineCount(u"200209"_s, 2), grid().currentRow()),
              std::tuple(QStringList(), 1, 2));
}

TEST_F(DDJJTest, ButtonsFollowTheRowAndViewingAndEmptyingReturnToItInTheOrderChosen)
{
    m_list = show<DDJJ>();
    clickHeader(grid(), colPosicion);
    EXPECT_EQ(actions(), u"000000"_s) << "an empty list offers nothing";
    addLine(u"200208"_s, 1, u"0110"_s, validCuit(2012345678), 100);
    execute(u"Update DDJJ_Detalle Set N_Comprobante = 26, Hoja = '1', F_Presentacion = '05/09/2002'"_s);
    addLine(u"200209"_s, 2, u"0110"_s, validCuit(2012345678), 100);
    openList();
    EXPECT_EQ(order(), u"200208/1 200209/1 200209/2 200210/1"_s);
    const QString byRow[] = {u"110100"_s, u"000000"_s, u"111011"_s};
    for (int row = 0; row < 3; ++row) {
        clickRow(grid(), row);
        EXPECT_EQ(actions(), byRow[row]) << row;
    }
    // A reload by header lands on a generated row, which takes no new lines; a second click sorts the other way.
    clickHeader(grid(), colPosicion);
    EXPECT_EQ(actions(), u"110100"_s);
    clickHeader(grid(), colPosicion);
    EXPECT_EQ(order(), u"200210/1 200209/1 200209/2 200208/1"_s);
    clickRow(grid(), 2);
    click(*m_list, u"bVer"_s);
    EXPECT_EQ(m_operator.shownScreens(), QStringList{u"Detalle_DDJJ"_s});
    EXPECT_EQ(grid().currentRow(), 2);

    // Emptying the generated declaration opens it again.
    clickRow(grid(), 3);
    clickAnswering(*m_list, u"BEliminar"_s, true);
    EXPECT_EQ(m_operator.messages(),
              (QList<ui::ScriptedUi::Message>{
                  {u"Desea eliminar realmente TODO el Detalle correspondiente a la posición "
                   u"fiscal seleccionada? (200208)"_s,
                   ui::Ui::Icon::Question, true},
                  {u"Se ha realizado la operación correctamente."_s, ui::Ui::Icon::Information, false}}));
    EXPECT_EQ(lineCount(u"200208"_s, 1) + lineCount(u"200209"_s, 2), 1) << "only the chosen period is emptied";
    // Still in descending order, on the same row, now open: state and presentation date "N" and "".
    EXPECT_EQ(std::tuple(order(), grid().currentRow(), grid().cell(3) + grid().cell(4), actions()),
              std::tuple(u"200210/1 200209/1 200209/2 200208/1"_s, 3, u"N"_s, u"111011"_s));
}

// Fifty years of declarations, due in another order than their periods: a header clicked twice sorts the whole
// list one way and then the other, each load under the hourglass.
// Ctrl+F finds a period, typed either way, after the current row; the row found sets the buttons as a click.
TEST_F(DDJJTest, CtrlFFindsAPeriodAndTheButtonsFollowIt)
{
    openList();
    for (const auto& [typed, row, states] :
         {std::tuple{u"200209"_s, 1, u"000000"_s}, std::tuple{u"09/2002"_s, 2, u"111011"_s}}) {
        m_operator.setNextText(typed);
        QTest::keyClick(&grid(), Qt::Key_F, Qt::ControlModifier);
        EXPECT_EQ(std::tuple(grid().currentRow(), actions()), std::tuple(row, states)) << typed.toStdString();
    }
    m_operator.setNextText(u"200301"_s);
    QTest::keyClick(&grid(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(m_operator.messageTexts().last(), u"No se encontró ninguna declaración de la posición fiscal 200301."_s);
}

TEST_F(DDJJTest, ALongListSortsBothWaysUnderTheHourglass)
{
    db::Transaction transaction(m_db.db());
    for (int i = 0; i < 600; ++i)
        addDeclaration(QString::number((1953 + i / 12) * 100 + i % 12 + 1), 1,
                       Regional::dateText(QDate(2002, 1, 1).addDays(i * 37 % 1000)), u"N"_s);
    transaction.commit();
    m_list = show<DDJJ>();
    for (const bool ascending : {true, false}) {
        clickHeader(grid(), colFecVto);
        std::vector<QDate> shown;
        for (int row = 0; row < grid().rowCount(); ++row)
            shown.push_back(Regional::parseDate(grid().cell(row, colFecVto)));
        EXPECT_TRUE(shown.size() == 600 && (ascending ? std::is_sorted(shown.begin(), shown.end())
                                                      : std::is_sorted(shown.rbegin(), shown.rend())));
    }
    EXPECT_EQ(m_operator.timesBusy(), 3) << "opening and each sort";
}

} // namespace
