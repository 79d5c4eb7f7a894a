#include "GenerationTest.h"

#include "platform/ui/ListGrid.h"
#include "screens/declarations/DDJJ.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int colPosicion = 0;
constexpr int colGenerado = 3;

const QString generated = u"Se ha generado el diskette correctamente. A continuación se emitirá el formulario AR04."_s;
const QString printFailed = u"No se ha podido generar la impresión."_s;

} // namespace

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
        m_list->show();
        QApplication::setActiveWindow(m_list.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_list.get()));
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                          grid().visualRect(grid().model()->index(1, 0)).center());
        ASSERT_EQ(grid().cell(colPosicion), u"200209"_s);
    }

    ui::ListGrid& grid() { return *m_list->findChild<ui::ListGrid*>(u"lvList"_s); }
    QPushButton* button(const QString& name) { return m_list->findChild<QPushButton*>(name); }
    void click(const QString& name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    /// The next generation screen writes the file at the target path, or is left with "&Volver".
    void nextScreen(bool generates)
    {
        m_ui.onNextModal([this, generates](QDialog& screen) {
            if (generates)
                screen.findChild<QLineEdit*>(u"TxtPath"_s)->setText(target());
            QTest::mouseClick(screen.findChild<QPushButton*>(generates ? u"bAceptar"_s : u"bVolver"_s), Qt::LeftButton);
        });
    }

    std::unique_ptr<DDJJ> m_list;
};

TEST_F(DDJJGenerationTest, GenerarWritesTheFilePrintsTheFormAndReturnsToTheRow)
{
    addLines(20);
    openList();
    nextScreen(false);
    click(u"bGenerar"_s);
    EXPECT_TRUE(m_ui.messages().isEmpty()) << "the generation screen was left";
    EXPECT_TRUE(m_list->Cancelado);
    EXPECT_FALSE(QFile::exists(target()));

    m_engine.setPreviewFailsAfter(0);
    nextScreen(true);
    click(u"bGenerar"_s);
    EXPECT_EQ(m_ui.messageTexts(), (QStringList{generated, printFailed}));
    EXPECT_EQ(decrypted(target()).size(), 20) << "the file was written";
    EXPECT_EQ(generado(), u"N"_s);
    EXPECT_EQ(grid().cell(colGenerado), u"N"_s);

    m_ui.clearMessages();
    m_engine.setPreviewFailsAfter(-1);
    m_engine.clear();
    nextScreen(true);
    click(u"bGenerar"_s);
    EXPECT_EQ(m_ui.messages(), (QList<ui::ScriptedUi::Message>{{generated, ui::Ui::Icon::Information}}));
    EXPECT_EQ(m_engine.previewTitles(), (QStringList{u"AR04 - 27 Hoja Nro: 1"_s, u"AR04 - 27 Hoja Nro: 2"_s}));
    EXPECT_GE(m_ui.timesBusy(), 1) << "the hourglass shows while printing";
    EXPECT_EQ(pendingLines(), 0);
    EXPECT_EQ(grid().cell(colPosicion), u"200209"_s) << "back on the same declaration";
    EXPECT_EQ(grid().cell(colGenerado), u"S"_s);
    EXPECT_FALSE(button(u"bGenerar"_s)->isEnabled());
    EXPECT_TRUE(button(u"bImprimir"_s)->isEnabled());
}

TEST_F(DDJJGenerationTest, ImprimirRewritesEveryLineAndReprintsTheStoredSheets)
{
    addLines(10);
    addPayment(500, u"06/09/2002"_s, 11);
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    m_engine.clear();
    openList();
    nextScreen(false);
    click(u"bImprimir"_s);
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_EQ(m_engine.reportCount(), 0);

    nextScreen(true);
    click(u"bImprimir"_s);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{generated});
    EXPECT_EQ(decrypted(target()).size(), 10) << "every line of the declaration";
    EXPECT_EQ(m_engine.previewTitles(), QStringList{u"Reimpresión AR04 - 27 Hoja Nro: 1"_s});
    EXPECT_EQ(m_engine.lastReport().parameter(u"Pago1"_s), u"11"_s);
    EXPECT_EQ(counter(), u"28"_s);
    EXPECT_EQ(grid().cell(colPosicion), u"200209"_s);

    m_ui.clearMessages();
    m_engine.setPreviewFailsAfter(0);
    nextScreen(true);
    click(u"bImprimir"_s);
    EXPECT_EQ(m_ui.messageTexts(), (QStringList{generated, printFailed}));
}

TEST_F(DDJJGenerationTest, RefusalsComeBeforeAnyScreenOpens)
{
    addLines(1);
    openList();
    clsCodigo::instance().Par_Denomin.clear();
    click(u"bGenerar"_s);
    // 200208 is generated and has no lines.
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().visualRect(grid().model()->index(0, 0)).center());
    click(u"bImprimir"_s);
    EXPECT_EQ(m_ui.messageTexts(),
              (QStringList{u"Para poder generar el diskette e imprimir el detalle deberá especificar la Razón Social o "
                           u"Denominación en la opción de Registración."_s,
                           u"La posición fiscal seleccionada no tiene detalles."_s}));
    EXPECT_TRUE(m_ui.shownScreens().isEmpty());
}
