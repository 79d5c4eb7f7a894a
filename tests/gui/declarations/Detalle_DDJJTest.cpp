#include "DeclarationsTest.h"

#include "screens/declarations/Detalle_DDJJ.h"
#include "screens/declarations/Manual_DDJJ.h"

#include <QLineEdit>

#include <memory>

namespace {

class Detalle_DDJJTest : public DeclarationsTest
{
protected:
    void openDetail(const QString& posicion, const QString& secuencia, const QString& generada)
    {
        m_detail =
            std::make_unique<Detalle_DDJJ>(Detalle_DDJJ::Declaration{posicion, secuencia, generada, u"11/11/2002"_s});
        activate(*m_detail);
    }

    // Three pending lines of 200210/1, listed by account: 0110, 0220, 0330.
    void openPendingDeclaration()
    {
        addDeclaration(u"200210"_s, 1, u"11/11/2002"_s, u"N"_s);
        for (const int i : {3, 1, 2})
            addLine(u"200210"_s, 1, u"0%1"_s.arg(i * 110), validCuit(2000000000 + 11111111.0 * i), 100 * i);
        openDetail(u"200210"_s, u"1"_s, u"N"_s);
    }

    ui::ListGrid& grid() { return *child<ui::ListGrid>(*m_detail, u"lvList"_s); }

    // Opens the entry with a button, cancels it and gives what it was handed: mode, period/sequence,
    // due date, CBU and CUIT of the line, and the amount loaded.
    QString entryFrom(const QString& name)
    {
        QString handed = u"not opened"_s;
        m_ui.onNextModal([&handed](QDialog& screen) {
            auto& m = dynamic_cast<Manual_DDJJ&>(screen);
            handed = u"%1 %2/%3 %4 %5 %6 %7"_s.arg(m.Accion).arg(m.Posicion, m.Secuencia, m.FecVto, m.CBUId,
                                                                 db::Value::numberText(m.CuitId),
                                                                 child<QLineEdit>(screen, u"txImporte"_s)->text());
            click(screen, u"bCancelar"_s);
        });
        click(*m_detail, name);
        return handed;
    }

    std::unique_ptr<Detalle_DDJJ> m_detail;
};

TEST_F(Detalle_DDJJTest, OnAPendingDeclarationTheEntryGetsTheLineAndTheListReturnsToTheRow)
{
    openPendingDeclaration();
    EXPECT_EQ(entryFrom(u"BAgregar"_s), u"0 200210/1   0 "_s);
    clickRow(grid(), 1);
    EXPECT_EQ(entryFrom(u"bModificar"_s),
              u"1 200210/1 11/11/2002 0220 %1 200.00"_s.arg(db::Value::numberText(validCuit(2022222222))));
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_EQ(grid().currentRow(), 1) << "back on the corrected line";

    // Deleting, or answering No, moves up a row; from the first row, where row number 0 does not exist,
    // the grid is left on its last row.
    clickRow(grid(), 2);
    m_ui.answerNext(false);
    click(*m_detail, u"BEliminar"_s);
    EXPECT_EQ(grid().currentRow(), 1);
    clickRow(grid(), 0);
    m_ui.answerNext(true);
    click(*m_detail, u"BEliminar"_s);
    EXPECT_EQ(m_ui.messageTexts(), (QStringList{u"Desea eliminar realmente el detalle seleccionado?"_s,
                                                u"Desea eliminar realmente el detalle seleccionado?"_s,
                                                u"Se ha realizado la operación correctamente."_s}));
    EXPECT_EQ(grid().cell(0, 1) + u' ' + grid().cell(1, 1), u"0220 0330"_s);
    EXPECT_EQ(grid().currentRow(), 1);
    EXPECT_EQ(lineCount(u"200210"_s, 1), 2);
}

// Correcting a line of a generated declaration goes through the month's flow.
TEST_F(Detalle_DDJJTest, OnAGeneratedDeclarationDeleteRefusesAndNewAsksToReplicate)
{
    addGeneratedExample();
    openDetail(u"200209"_s, u"2"_s, u"S"_s);
    click(*m_detail, u"BEliminar"_s);
    m_ui.answerNext(false);
    click(*m_detail, u"BAgregar"_s);
    EXPECT_TRUE(m_detail->isVisible());
    EXPECT_EQ(lineCount(u"200209"_s, 2), 5);
    m_ui.answerNext(true);
    EXPECT_EQ(entryFrom(u"BAgregar"_s), u"3 200209/2 11/11/2002  0 "_s);
    const QString replicate = u"La posición fiscal seleccionada ya fue generada. Desea replicar la DDJJ?"_s;
    EXPECT_EQ(m_ui.messageTexts(),
              (QStringList{u"No se puede realizar la operación. La DDJJ ya está generada, no se podrá eliminar este "
                           u"detalle individualmente. Si lo desea, deberá eliminar todo el detalle asociado al "
                           u"período."_s,
                           replicate, replicate}));
    EXPECT_FALSE(m_detail->isVisible()) << "closes even when nothing was saved";
}

} // namespace
