#include "GenerationTest.h"

#include "platform/ui/ListGrid.h"
#include "screens/declarations/DDJJ.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

using namespace Qt::StringLiterals;

// The declaration list's Generar and Imprimir: the generation screen, then the AR04 printing, and the
// return to the row the operator was on.
class DDJJGenerationTest : public GenerationTest
{
protected:
    /// Opens the list on the row of 200209, which sits between two other periods.
    void openList()
    {
        execute(u"insert into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado, Fecha_Pres) "
                u"values ('200208', 1, '10/09/2002', 'S', '05/09/2002')"_s);
        execute(u"insert into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado) "
                u"values ('200210', 1, '11/11/2002', 'N')"_s);
        m_list = std::make_unique<DDJJ>();
        activate(*m_list);
        clickRow(grid(), 1);
        ASSERT_EQ(grid().cell(0), u"200209"_s);
    }

    ui::ListGrid& grid() { return *child<ui::ListGrid>(*m_list, u"lvList"_s); }

    /// Presses a button of the list; the generation screen it opens writes the file at the target path,
    /// or is left with "&Volver".
    void press(const QString& name, bool generates)
    {
        m_ui.onNextModal([this, generates](QDialog& screen) {
            if (generates)
                child<QLineEdit>(screen, u"TxtPath"_s)->setText(target());
            click(screen, generates ? u"bAceptar"_s : u"bVolver"_s);
        });
        click(*m_list, name);
    }

    std::unique_ptr<DDJJ> m_list;
};

TEST_F(DDJJGenerationTest, GenerarAndImprimirWriteTheFilePrintAndReturnToTheRow)
{
    addLines(20);
    openList();
    press(u"bGenerar"_s, false);
    EXPECT_TRUE(m_list->Cancelado);
    EXPECT_FALSE(QFile::exists(target()));

    m_engine.setPreviewFailsAfter(0);
    press(u"bGenerar"_s, true);
    EXPECT_EQ(decrypted(target()).size(), 20) << "the file was written";
    EXPECT_EQ(state(), u"20 27 N 0"_s);

    m_engine.setPreviewFailsAfter(-1);
    m_engine.clear();
    press(u"bGenerar"_s, true);
    EXPECT_EQ(m_engine.previewTitles(), (QStringList{u"AR04 - 27 Hoja Nro: 1"_s, u"AR04 - 27 Hoja Nro: 2"_s}));
    EXPECT_EQ(state(), u"0 28 S 0"_s);
    EXPECT_EQ(grid().cell(0) + grid().cell(3), u"200209S"_s) << "back on the same declaration";
    EXPECT_FALSE(child<QPushButton>(*m_list, u"bGenerar"_s)->isEnabled());

    // Imprimir writes every line again and reprints the stored sheets.
    QFile::remove(target());
    m_engine.clear();
    press(u"bImprimir"_s, false);
    EXPECT_EQ(m_engine.reportCount(), 0);
    press(u"bImprimir"_s, true);
    EXPECT_EQ(decrypted(target()).size(), 20);
    EXPECT_EQ(m_engine.previewTitles(),
              (QStringList{u"Reimpresión AR04 - 27 Hoja Nro: 1"_s, u"Reimpresion AR04 - 27 Hoja: 2"_s}));
    m_engine.setPreviewFailsAfter(0);
    press(u"bImprimir"_s, true);
    EXPECT_EQ(grid().cell(0), u"200209"_s);

    const QString generated =
        u"Se ha generado el diskette correctamente. A continuación se emitirá el formulario AR04."_s;
    const QString printFailed = u"No se ha podido generar la impresión."_s;
    EXPECT_EQ(m_ui.messageTexts(), (QStringList{generated, printFailed, generated, generated, generated, printFailed}));
}

TEST_F(DDJJGenerationTest, RefusalsComeBeforeAnyScreenOpens)
{
    addLines(1);
    openList();
    clsCodigo::instance().Par_Denomin.clear();
    click(*m_list, u"bGenerar"_s);
    clickRow(grid(), 0); // 200208 is generated and has no lines
    click(*m_list, u"bImprimir"_s);
    EXPECT_EQ(m_ui.messageTexts(),
              (QStringList{u"Para poder generar el diskette e imprimir el detalle deberá especificar la Razón Social o "
                           u"Denominación en la opción de Registración."_s,
                           u"La posición fiscal seleccionada no tiene detalles."_s}));
    EXPECT_TRUE(m_ui.shownScreens().isEmpty());
}
