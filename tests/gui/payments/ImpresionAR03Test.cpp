#include "PaymentsTest.h"

#include "screens/payments/Impresion_AR03.h"
#include "screens/payments/Pago_AR03.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

constexpr int codigo = 0;
constexpr int semana = 2;
constexpr int importe = 4;
constexpr int inc = 6;
constexpr int comprobante = 7;

class ImpresionAR03Test : public PaymentsTest
{
protected:
    std::unique_ptr<Impresion_AR03> open()
    {
        auto screen = std::make_unique<Impresion_AR03>();
        activate(*screen);
        return screen;
    }

    static ui::ListGrid& grid(QWidget& screen) { return *child<ui::ListGrid>(screen, u"lvList"_s); }

    static void click(QWidget& screen, const QString& button)
    {
        QTest::mouseClick(child<QPushButton>(screen, button), Qt::LeftButton);
    }

    /// Four payments of different periods, weeks and amounts; the ID of each, in fiscal-period order.
    QList<double> fourPayments()
    {
        return {addPayment(u"200207"_s, u"4"_s, u"'20/07/2002'"_s, u"300"_s, u"'02'"_s),
                addPayment(u"200208"_s, u"1"_s, u"'05/08/2002'"_s, u"-12.5"_s, u"'03'"_s, u"7"_s),
                addPayment(u"200209"_s, u"3"_s, u"'16/09/2002'"_s, u"1234.5"_s, u"'01'"_s),
                addPayment(u"200210"_s, u"2"_s, u"null"_s, u"null"_s, u"'09'"_s)};
    }
};

} // namespace

TEST_F(ImpresionAR03Test, AnEmptyListOffersOnlyNuevo)
{
    auto screen = open();
    EXPECT_EQ(screen->windowTitle(), u"Impresión de la boleta de pago AR03"_s);
    ui::ListGrid& list = grid(*screen);
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_FALSE(child<QPushButton>(*screen, u"BEliminar"_s)->isEnabled());
    EXPECT_FALSE(child<QPushButton>(*screen, u"bImprimir"_s)->isEnabled());
    EXPECT_TRUE(child<QPushButton>(*screen, u"BAgregar"_s)->isEnabled());

    const QStringList captions{u"Código"_s,     u"Posición Fiscal"_s,     u"Semana"_s,
                               u"Fecha Pago"_s, u"Importe a depositar"_s, u"Moneda"_s,
                               u"Inc"_s,        u"Comprobante"_s};
    const QStringList names{u"Codigo"_s,  u"Posicion"_s, u"Semana"_s, u"Fecha"_s,
                            u"Importe"_s, u"Moneda"_s,   u"Inc"_s,    u"Comprobante"_s};
    ASSERT_EQ(list.columnCount(), 8);
    const int width = qRound(1200 * list.logicalDpiX() / 1440.0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(list.columnCaption(i), captions.at(i));
        EXPECT_EQ(list.columnName(i), names.at(i));
        const bool hidden = i == codigo || i == inc;
        EXPECT_EQ(list.isColumnHidden(i), hidden) << i;
        if (!hidden) {
            EXPECT_EQ(list.columnWidth(i), width) << i;
        }
    }
}

TEST_F(ImpresionAR03Test, ListsEveryPaymentByFiscalPeriod)
{
    const QList<double> ids = fourPayments();
    auto screen = open();
    ui::ListGrid& list = grid(*screen);
    ASSERT_EQ(list.rowCount(), 4);
    EXPECT_EQ(list.currentRow(), 0);
    const QStringList rows[] = {
        {QString::number(ids[0]), u"200207"_s, u"4"_s, u"20/07/2002"_s, u"300"_s, u"Lecop"_s, u"1"_s, u""_s},
        {QString::number(ids[1]), u"200208"_s, u"1"_s, u"05/08/2002"_s, u"-12,5"_s, u"Dólares"_s, u"2"_s, u"7"_s},
        {QString::number(ids[2]), u"200209"_s, u"3"_s, u"16/09/2002"_s, u"1234,5"_s, u"Pesos"_s, u"3"_s, u""_s},
        {QString::number(ids[3]), u"200210"_s, u"2"_s, u""_s, u""_s, u""_s, u"4"_s, u""_s},
    };
    for (int row = 0; row < 4; ++row) {
        QStringList cells;
        for (int col = 0; col < 8; ++col)
            cells.append(list.cell(row, col));
        EXPECT_EQ(cells, rows[row]) << row;
    }
    EXPECT_TRUE(child<QPushButton>(*screen, u"BEliminar"_s)->isEnabled());
    EXPECT_TRUE(child<QPushButton>(*screen, u"bImprimir"_s)->isEnabled());
}

TEST_F(ImpresionAR03Test, HeadingClicksAlternateAscendingAndDescending)
{
    fourPayments();
    auto screen = open();
    ui::ListGrid& list = grid(*screen);

    // Already in fiscal-period order, a first click on that heading still sorts ascending.
    clickHeader(list, 1);
    EXPECT_EQ(column(list, 1), (QStringList{u"200207"_s, u"200208"_s, u"200209"_s, u"200210"_s}));
    clickHeader(list, 1);
    EXPECT_EQ(column(list, 1), (QStringList{u"200210"_s, u"200209"_s, u"200208"_s, u"200207"_s}));

    const QStringList ascending{u""_s, u"-12,5"_s, u"300"_s, u"1234,5"_s};
    const QStringList descending{u"1234,5"_s, u"300"_s, u"-12,5"_s, u""_s};
    clickHeader(list, importe);
    EXPECT_EQ(column(list, importe), ascending);
    clickHeader(list, importe);
    EXPECT_EQ(column(list, importe), descending);
    clickHeader(list, importe);
    EXPECT_EQ(column(list, importe), ascending);
    clickHeader(list, importe);
    EXPECT_EQ(column(list, importe), descending);

    // After a descending sort another heading starts ascending, and so does going back.
    clickHeader(list, semana);
    EXPECT_EQ(column(list, semana), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    clickHeader(list, importe);
    EXPECT_EQ(column(list, importe), ascending);

    // "Comprobante" sorts nothing: the order stays, the rows are reloaded from the first.
    list.setCurrentRow(2);
    clickHeader(list, comprobante);
    EXPECT_EQ(column(list, importe), ascending);
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_EQ(column(list, inc), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    // ... and a click on the last ascending heading after it still sorts descending.
    clickHeader(list, importe);
    EXPECT_EQ(column(list, importe), descending);

    EXPECT_EQ(m_ui.timesBusy(), 10);
    EXPECT_TRUE(m_ui.messages().isEmpty());
}

TEST_F(ImpresionAR03Test, DeletingAsksAndReturnsToTheRowAbove)
{
    const QList<double> ids = fourPayments();
    auto screen = open();
    ui::ListGrid& list = grid(*screen);

    clickRow(list, 2);
    m_ui.answerNext(true);
    click(*screen, u"BEliminar"_s);
    EXPECT_EQ(m_ui.messages(),
              (QList<ui::ScriptedUi::Message>{
                  {u"Está seguro que desea eliminar el Pago seleccionado?"_s, ui::Ui::Icon::Question, true}}));
    EXPECT_EQ(m_db.count(u"AR03"_s, u"where Id = "_s + QString::number(ids[2])), 0);
    EXPECT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_EQ(list.cell(codigo), QString::number(ids[1]));

    // No keeps the payment, and still reloads and moves one row up.
    m_ui.clearMessages();
    clickRow(list, 2);
    m_ui.answerNext(false);
    click(*screen, u"BEliminar"_s);
    EXPECT_EQ(m_db.count(u"AR03"_s), 3);
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_EQ(m_ui.messages().size(), 1);

    // The first row has none above: the search for counter 0 ends on the last row. A numbered payment
    // goes like any other.
    clickRow(list, 0);
    m_ui.answerNext(true);
    click(*screen, u"BEliminar"_s);
    EXPECT_EQ(column(list, codigo), (QStringList{QString::number(ids[1]), QString::number(ids[3])}));
    EXPECT_EQ(list.currentRow(), 1);

    // The last payment gone, the grid is empty and only "&Nuevo" is left.
    m_ui.answerNext(true);
    click(*screen, u"BEliminar"_s);
    m_ui.answerNext(true);
    click(*screen, u"BEliminar"_s);
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_FALSE(child<QPushButton>(*screen, u"BEliminar"_s)->isEnabled());
    EXPECT_FALSE(child<QPushButton>(*screen, u"bImprimir"_s)->isEnabled());
    EXPECT_EQ(m_db.count(u"AR03"_s), 0);
}

TEST_F(ImpresionAR03Test, AFailedDeleteLeavesTheGridAsItWas)
{
    fourPayments();
    auto screen = open();
    ui::ListGrid& list = grid(*screen);
    clickHeader(list, importe);
    clickRow(list, 2);
    // Once the grid shows different rows than the table, a reload would show.
    execute(u"create trigger keep_payments before delete on AR03 begin select raise(abort, 'locked'); end"_s);
    execute(u"update AR03 set Semana = 5"_s);

    m_ui.answerNext(true);
    click(*screen, u"BEliminar"_s);
    EXPECT_EQ(m_ui.messageTexts(), (QStringList{u"Está seguro que desea eliminar el Pago seleccionado?"_s,
                                                u"No se ha podido realizar la operación."_s}));
    EXPECT_EQ(m_ui.messages().at(1).icon, ui::Ui::Icon::Information);
    EXPECT_EQ(list.rowCount(), 4);
    EXPECT_EQ(list.currentRow(), 2);
    EXPECT_FALSE(column(list, semana).contains(u"5"_s)) << "not reloaded";
}

TEST_F(ImpresionAR03Test, NuevoNeedsARegisteredAgent)
{
    auto screen = open();
    click(*screen, u"BAgregar"_s);
    clsCodigo::instance().Par_Agente = 4521;
    click(*screen, u"BAgregar"_s);
    EXPECT_EQ(
        m_ui.messageTexts(),
        (QStringList{u"Para poder agregar Pagos deberá especificar el Nro de Agente en la opción de Registración."_s,
                     u"Para poder agregar Pagos deberá especificar la Razón Social o Denominación en la opción "
                     u"de Registración."_s}));
    EXPECT_TRUE(m_ui.shownScreens().isEmpty());
}

TEST_F(ImpresionAR03Test, NuevoOpensTheEntryAndReloadsWhenItCloses)
{
    registerAgent();
    addPayment(u"200209"_s, u"1"_s, u"'02/09/2002'"_s, u"10"_s, u"'01'"_s);
    auto screen = open();
    screen->Volver = true; // the entry clears the request when it loads: the list stays open
    clickHeader(grid(*screen), 1);
    clickHeader(grid(*screen), 1); // descending by period

    m_ui.onNextModal([](QDialog& entry) {
        auto* posicion = child<QLineEdit>(entry, u"txPosicion"_s);
        posicion->setFocus();
        QTest::keyClicks(posicion, u"200210"_s);
        auto* importeBox = child<QLineEdit>(entry, u"txImporte"_s);
        importeBox->setFocus();
        QTest::keyClicks(importeBox, u"99.9"_s);
        child<QComboBox>(entry, u"cbTipoMoneda"_s)->setCurrentIndex(3);
        QTest::mouseClick(child<QPushButton>(entry, u"bAceptar"_s), Qt::LeftButton);
    });
    click(*screen, u"BAgregar"_s);
    EXPECT_EQ(m_ui.shownScreens(), QStringList{u"Pago_AR03"_s});
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"Se ha realizado la operación correctamente."_s});
    EXPECT_TRUE(screen->isVisible());
    EXPECT_FALSE(screen->Volver);
    ui::ListGrid& list = grid(*screen);
    EXPECT_EQ(column(list, 1), (QStringList{u"200210"_s, u"200209"_s})) << "reloaded in the order chosen";
    EXPECT_EQ(list.cell(0, importe), u"99,9"_s);
    EXPECT_EQ(list.cell(0, 5), u"Dólares"_s);

    // "&Volver al Menú Principal" on the entry closes the entry only.
    m_ui.onNextModal(
        [](QDialog& entry) { QTest::mouseClick(child<QPushButton>(entry, u"bVolver"_s), Qt::LeftButton); });
    click(*screen, u"BAgregar"_s);
    EXPECT_EQ(m_ui.shownScreens().size(), 2);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(list.rowCount(), 2);
}

TEST_F(ImpresionAR03Test, ImprimirNeedsARegisteredAgentAndRestoresThePointer)
{
    addPayment(u"200209"_s, u"1"_s, u"'02/09/2002'"_s, u"10"_s, u"'01'"_s);
    setCounter(u"1"_s);
    auto screen = open();
    click(*screen, u"bImprimir"_s);
    EXPECT_FALSE(m_ui.isBusy());
    clsCodigo::instance().Par_Agente = 4521;
    click(*screen, u"bImprimir"_s);
    EXPECT_FALSE(m_ui.isBusy());
    EXPECT_EQ(m_ui.messageTexts(),
              (QStringList{u"Para poder imprimir el formulario deberá especificar el Nro de Agente en la opción de "
                           u"Registración."_s,
                           u"Para poder imprimir el formulario deberá especificar la Razón Social o Denominación en "
                           u"la opción de Registración."_s}));
    EXPECT_EQ(m_ui.timesBusy(), 2);
    EXPECT_EQ(m_engine->reportCount(), 0);
    EXPECT_EQ(counter(), u"1"_s);
}

TEST_F(ImpresionAR03Test, PrintingNumbersTheRowAndStaysOnIt)
{
    registerAgent();
    const QList<double> ids = fourPayments();
    setCounter(u"41"_s);
    auto screen = open();
    ui::ListGrid& list = grid(*screen);
    clickHeader(list, importe);
    clickHeader(list, importe); // descending by amount: 1234,5 300 -12,5 (empty)

    clickRow(list, 1);
    ASSERT_EQ(list.cell(codigo), QString::number(ids[0]));
    click(*screen, u"bImprimir"_s);
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_EQ(m_engine->previewTitles(), QStringList{u"AR03"_s});
    EXPECT_EQ(m_engine->lastReport().parameter(u"Nro"_s), u"0000000041"_s);
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_EQ(list.cell(codigo), QString::number(ids[0]));
    EXPECT_EQ(list.cell(comprobante), u"41"_s) << "reloaded: the new number shows";
    EXPECT_EQ(column(list, importe), (QStringList{u"1234,5"_s, u"300"_s, u"-12,5"_s, u""_s}));
    EXPECT_EQ(counter(), u"42"_s);

    // Printing it again is a reprint, and so is printing the payment numbered before.
    click(*screen, u"bImprimir"_s);
    clickRow(list, 2);
    click(*screen, u"bImprimir"_s);
    EXPECT_EQ(m_engine->previewTitles(), (QStringList{u"AR03"_s, u"Reimpresión AR03"_s, u"Reimpresión AR03"_s}));
    EXPECT_EQ(m_engine->report(1).parameter(u"Nro"_s), u"0000000041"_s);
    EXPECT_EQ(m_engine->report(2).parameter(u"Nro"_s), u"0000000007"_s);
    EXPECT_EQ(list.currentRow(), 2);
    EXPECT_EQ(counter(), u"42"_s);
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_EQ(m_ui.timesBusy(), 5);
}

TEST_F(ImpresionAR03Test, AFailedPrintingSaysSoAndDoesNotReload)
{
    registerAgent();
    const QList<double> ids = fourPayments();
    setCounter(u"1"_s);
    auto screen = open();
    ui::ListGrid& list = grid(*screen);

    // The form is numbered and the counter moved on, but the preview fails: the list still shows
    // the payment unnumbered, so the next printing is a first one again.
    m_engine->setPreviewFailsAfter(0);
    clickRow(list, 2);
    click(*screen, u"bImprimir"_s);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"No se ha podido generar la boleta de pago AR03."_s});
    EXPECT_EQ(numero(ids[2]).toDouble(), 1);
    EXPECT_EQ(list.cell(comprobante), u""_s);
    EXPECT_EQ(list.currentRow(), 2);

    m_engine->setPreviewFailsAfter(-1);
    click(*screen, u"bImprimir"_s);
    EXPECT_EQ(numero(ids[2]).toDouble(), 2);
    EXPECT_EQ(list.cell(comprobante), u"2"_s);

    m_ui.clearMessages();
    m_engine->setOpenFails(true);
    click(*screen, u"bImprimir"_s);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"No se ha podido reimprimir la boleta de pago AR03."_s});
    EXPECT_FALSE(m_ui.isBusy());
    EXPECT_EQ(counter(), u"3"_s);
}

TEST_F(ImpresionAR03Test, AyudaOpensTheHelpDocumentAndVolverCloses)
{
    execute(u"insert into PARAMETROS (ID, Descripcion, Valor) values (6, 'Ayuda', 'ayuda.html')"_s);
    auto screen = open();
    click(*screen, u"bAyuda"_s);
    EXPECT_EQ(m_ui.openedDocuments(), QStringList{ProgramDirectory::filePath(u"ayuda.html"_s)});
    EXPECT_TRUE(screen->isVisible());

    click(*screen, u"bVolver"_s);
    EXPECT_FALSE(screen->isVisible());
    EXPECT_TRUE(m_ui.messages().isEmpty());
}
