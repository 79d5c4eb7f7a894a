#include "GenerationTest.h"

#include "gui/ui/Printers.h"
#include "platform/cipher/Cipher.h"
#include "platform/db/Database.h"
#include "platform/ui/ListGrid.h"
#include "screens/declarations/DDJJ.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int colPosicion = 0;
constexpr int colGenerado = 3;
constexpr int colFecPres = 4;

const QString generated = u"Se ha generado el diskette correctamente. A continuación se emitirá el formulario AR04."_s;
const QString printFailed = u"No se ha podido generar la impresión."_s;

int recordsIn(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    Cipher cipher;
    int records = 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        if (cipher.decrypt(QString::fromLatin1(line.chopped(1)), u"TOLBRANE"_s).size() == 80)
            ++records;
    }
    return records;
}

} // namespace

// The declaration list's generation and reprint: the generation screen, then the AR04 printing, and the
// return to the row the operator was on.
class DDJJGenerationTest : public GenerationTest
{
protected:
    DDJJGenerationTest()
    {
        // 200209 sits between two other periods, so that returning to "the same row" means something.
        execute(u"insert into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado, Fecha_Pres) "
                u"values ('200208', 1, '10/09/2002', 'S', '05/09/2002')"_s);
        execute(u"insert into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado) "
                u"values ('200210', 1, '11/11/2002', 'N')"_s);
    }

    /// Opens the list on the row of 200209.
    void openList()
    {
        m_list = std::make_unique<DDJJ>();
        m_list->show();
        QApplication::setActiveWindow(m_list.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_list.get()));
        const QRect rect = grid().visualRect(grid().model()->index(1, 0));
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, rect.center());
        ASSERT_EQ(grid().cell(colPosicion), u"200209"_s);
    }

    ui::ListGrid& grid() { return *m_list->findChild<ui::ListGrid*>(u"lvList"_s); }
    QPushButton* button(const QString& name) { return m_list->findChild<QPushButton*>(name); }
    void click(const QString& name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    /// The next generation screen writes the file at the target path.
    void generateNext()
    {
        m_ui.onNextModal([this](QDialog& screen) {
            screen.findChild<QLineEdit*>(u"TxtPath"_s)->setText(target());
            QTest::mouseClick(screen.findChild<QPushButton*>(u"bAceptar"_s), Qt::LeftButton);
        });
    }

    /// The next generation screen is left with "&Volver al Menú Principal".
    void leaveNext()
    {
        m_ui.onNextModal(
            [](QDialog& screen) { QTest::mouseClick(screen.findChild<QPushButton*>(u"bVolver"_s), Qt::LeftButton); });
    }

    [[nodiscard]] QString target() const { return QDir(m_db.dir()).filePath(u"ddjj.txt"_s); }
    int pendingLines() { return m_db.count(u"DDJJ_Detalle"_s, u"where N_Comprobante is null"_s); }

    std::unique_ptr<DDJJ> m_list;
};

TEST_F(DDJJGenerationTest, GenerarWritesTheFilePrintsTheFormAndReturnsToTheRow)
{
    addLines(20);
    addPayment(500, u"06/09/2002"_s, 11);
    openList();
    generateNext();
    click(u"bGenerar"_s);

    EXPECT_EQ(m_ui.messages(), (QList<ui::ScriptedUi::Message>{{generated, ui::Ui::Icon::Information}}));
    EXPECT_EQ(m_ui.shownScreens(), QStringList{u"Generacion_DDJJ"_s});
    EXPECT_FALSE(m_list->Cancelado);
    EXPECT_EQ(recordsIn(target()), 20);
    EXPECT_EQ(m_engine->previewTitles(), (QStringList{u"AR04 - 27 Hoja Nro: 1"_s, u"AR04 - 27 Hoja Nro: 2"_s}));
    EXPECT_EQ(m_ui.timesBusy(), 1) << "the hourglass shows while printing";
    EXPECT_EQ(pendingLines(), 0);

    EXPECT_EQ(grid().cell(colPosicion), u"200209"_s) << "back on the same declaration";
    EXPECT_EQ(grid().cell(colGenerado), u"S"_s);
    EXPECT_EQ(grid().cell(colFecPres), u"15/10/2002"_s);
    EXPECT_FALSE(button(u"bGenerar"_s)->isEnabled());
    EXPECT_TRUE(button(u"bImprimir"_s)->isEnabled());
}

TEST_F(DDJJGenerationTest, LeavingTheGenerationScreenPrintsNothing)
{
    addLines(3);
    openList();
    leaveNext();
    click(u"bGenerar"_s);

    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_TRUE(m_list->Cancelado);
    EXPECT_EQ(m_engine->reportCount(), 0);
    EXPECT_EQ(pendingLines(), 3);
    EXPECT_FALSE(QFile::exists(target()));
    EXPECT_EQ(grid().cell(colPosicion), u"200209"_s);
    EXPECT_TRUE(button(u"bGenerar"_s)->isEnabled());
}

TEST_F(DDJJGenerationTest, AFailedPrintingSaysSoAndLeavesTheDeclarationOpen)
{
    addLines(3);
    openList();
    m_engine->setPreviewFailsAfter(0);
    generateNext();
    click(u"bGenerar"_s);

    EXPECT_EQ(m_ui.messageTexts(), (QStringList{generated, printFailed}));
    EXPECT_EQ(recordsIn(target()), 3) << "the file was written";
    EXPECT_EQ(pendingLines(), 3);
    EXPECT_EQ(m_db.scalar(u"select Generado from DDJJ where Posicion_Fiscal = '200209'"_s).toString(), u"N"_s);
    EXPECT_EQ(grid().cell(colGenerado), u"N"_s);
}

TEST_F(DDJJGenerationTest, GenerarChecksTheRegistrationBeforeOpeningAnything)
{
    addLines(1);
    openList();
    clsCodigo& codigo = clsCodigo::instance();
    codigo.Par_CUIT.clear();
    click(u"bGenerar"_s);
    codigo.Par_CUIT = u"30-50001091-2"_s;
    codigo.Par_Denomin.clear();
    click(u"bGenerar"_s);
    codigo.Par_Denomin = u"Banco de la Provincia S.A."_s;

    EXPECT_EQ(m_ui.messageTexts(),
              (QStringList{u"Para poder generar el diskette e imprimir el detalle deberá especificar el Nro de CUIT en "
                           u"la opción de Registración."_s,
                           u"Para poder generar el diskette e imprimir el detalle deberá especificar la Razón Social o "
                           u"Denominación en la opción de Registración."_s}));
    EXPECT_TRUE(m_ui.shownScreens().isEmpty());
}

TEST_F(DDJJGenerationTest, ImprimirRewritesEveryLineAndReprintsTheStoredSheets)
{
    addLines(10);
    addPayment(500, u"06/09/2002"_s, 11);
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    m_engine->clear();
    openList();
    ASSERT_TRUE(button(u"bImprimir"_s)->isEnabled());
    generateNext();
    click(u"bImprimir"_s);

    EXPECT_EQ(m_ui.messageTexts(), QStringList{generated});
    EXPECT_EQ(recordsIn(target()), 10) << "every line of the declaration";
    EXPECT_EQ(m_engine->previewTitles(), QStringList{u"Reimpresión AR04 - 27 Hoja Nro: 1"_s});
    EXPECT_EQ(m_engine->lastReport().parameter(u"Pago1"_s), u"11"_s);
    EXPECT_EQ(m_db.scalar(u"select Valor from PARAMETROS where ID = 5"_s).toString(), u"28"_s);
    EXPECT_EQ(grid().cell(colPosicion), u"200209"_s);
    EXPECT_FALSE(m_ui.isBusy());
}

TEST_F(DDJJGenerationTest, ImprimirWithoutAFileOrWithAFailedSheet)
{
    addLines(50);
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    m_engine->clear();
    openList();
    leaveNext();
    click(u"bImprimir"_s);
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_EQ(m_engine->reportCount(), 0);

    m_engine->setPreviewFailsAfter(1);
    generateNext();
    click(u"bImprimir"_s);
    EXPECT_EQ(m_ui.messageTexts(), (QStringList{generated, printFailed}));
    EXPECT_EQ(m_engine->previewTitles(), QStringList{u"Reimpresión AR04 - 27 Hoja Nro: 1"_s});
}

TEST_F(DDJJGenerationTest, ImprimirNeedsDetailLines)
{
    execute(u"update DDJJ set Generado = 'S' where Posicion_Fiscal = '200209'"_s);
    openList();
    click(u"bImprimir"_s);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"La posición fiscal seleccionada no tiene detalles."_s});
    EXPECT_TRUE(m_ui.shownScreens().isEmpty());
}
