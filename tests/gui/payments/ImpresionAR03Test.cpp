#include "PaymentsTest.h"

#include "screens/payments/Impresion_AR03.h"

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
    ImpresionAR03Test()
    {
        // Four payments of different periods, weeks and amounts, in fiscal-period order.
        m_ids = {addPayment(u"200207"_s, u"4"_s, u"'20/07/2002'"_s, u"300"_s, u"'02'"_s),
                 addPayment(u"200208"_s, u"1"_s, u"'05/08/2002'"_s, u"-12.5"_s, u"'03'"_s, u"7"_s),
                 addPayment(u"200209"_s, u"3"_s, u"'16/09/2002'"_s, u"1234.5"_s, u"'01'"_s),
                 addPayment(u"200210"_s, u"2"_s, u"null"_s, u"null"_s, u"'09'"_s)};
        m_screen = std::make_unique<Impresion_AR03>();
        activate(*m_screen);
        m_list = child<ui::ListGrid>(*m_screen, u"lvList"_s);
    }

    [[nodiscard]] QString id(int index) const { return QString::number(m_ids.at(index)); }

    [[nodiscard]] QStringList column(int index) const
    {
        QStringList cells;
        for (int row = 0; row < m_list->rowCount(); ++row)
            cells.append(m_list->cell(row, index));
        return cells;
    }

    void remove(int row, bool yes)
    {
        clickRow(*m_list, row);
        m_ui.answerNext(yes);
        click(*m_screen, u"BEliminar"_s);
    }

    QList<double> m_ids;
    std::unique_ptr<Impresion_AR03> m_screen;
    ui::ListGrid* m_list = nullptr;
};

} // namespace

TEST_F(ImpresionAR03Test, ListsThePaymentsAndHeadingClicksAlternateTheOrder)
{
    ASSERT_EQ(m_list->rowCount(), 4);
    EXPECT_EQ(m_list->currentRow(), 0);
    EXPECT_EQ(column(3), (QStringList{u"20/07/2002"_s, u"05/08/2002"_s, u"16/09/2002"_s, u""_s}));
    EXPECT_EQ(column(5), (QStringList{u"Lecop"_s, u"Dólares"_s, u"Pesos"_s, u""_s}));

    // Already in fiscal-period order, a first click on that heading still sorts ascending. After a
    // descending sort another heading starts ascending, and so does going back. "Comprobante" sorts
    // nothing; the next click on the last sorted heading alternates from where it was. Every click
    // reloads the list, numbered anew from the first row.
    const QStringList ascending{u""_s, u"-12,5"_s, u"300"_s, u"1234,5"_s};
    const QStringList descending{u"1234,5"_s, u"300"_s, u"-12,5"_s, u""_s};
    const struct
    {
        int heading, shown;
        QStringList cells;
    } clicks[] = {
        {1, 1, {u"200207"_s, u"200208"_s, u"200209"_s, u"200210"_s}},
        {1, 1, {u"200210"_s, u"200209"_s, u"200208"_s, u"200207"_s}},
        {importe, importe, ascending},
        {importe, importe, descending},
        {semana, semana, {u"1"_s, u"2"_s, u"3"_s, u"4"_s}},
        {importe, importe, ascending},
        {comprobante, importe, ascending},
        {importe, importe, descending},
    };
    for (const auto& c : clicks) {
        m_list->setCurrentRow(2);
        clickHeader(*m_list, c.heading);
        EXPECT_EQ(column(c.shown), c.cells) << c.heading;
        EXPECT_EQ(column(inc), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
        EXPECT_EQ(m_list->currentRow(), 0);
    }
    EXPECT_TRUE(m_ui.messages().isEmpty());
}

TEST_F(ImpresionAR03Test, DeletingAsksAndReturnsToTheRowAbove)
{
    // A failed delete says so and leaves the grid as it was, though a reload would show other rows.
    execute(u"create trigger keep_payments before delete on AR03 begin select raise(abort, 'locked'); end"_s);
    execute(u"update AR03 set Semana = 5"_s);
    remove(2, true);
    EXPECT_EQ(m_ui.messageTexts(), (QStringList{u"Está seguro que desea eliminar el Pago seleccionado?"_s,
                                                u"No se ha podido realizar la operación."_s}));
    EXPECT_EQ(m_ui.messages().at(0).icon, ui::Ui::Icon::Question);
    EXPECT_EQ(m_list->currentRow(), 2);
    EXPECT_EQ(column(semana), (QStringList{u"4"_s, u"1"_s, u"3"_s, u"2"_s}));
    execute(u"drop trigger keep_payments"_s);

    remove(2, true);
    EXPECT_EQ(column(codigo), (QStringList{id(0), id(1), id(3)}));
    EXPECT_EQ(m_list->currentRow(), 1);
    // No keeps the payment, and still reloads and moves one row up.
    remove(2, false);
    EXPECT_EQ(m_db.count(u"AR03"_s), 3);
    EXPECT_EQ(m_list->currentRow(), 1);
    // The first row has none above: the selection ends on the last row.
    remove(0, true);
    EXPECT_EQ(column(codigo), (QStringList{id(1), id(3)}));
    EXPECT_EQ(m_list->currentRow(), 1);
}

TEST_F(ImpresionAR03Test, NuevoAndImprimirNeedARegisteredAgent)
{
    setCounter(u"1"_s);
    for (const auto& [button, accion] :
         {std::pair{u"BAgregar"_s, u"agregar Pagos"_s}, std::pair{u"bImprimir"_s, u"imprimir el formulario"_s}}) {
        m_ui.clearMessages();
        clsCodigo::instance().Par_Agente = 0;
        click(*m_screen, button);
        clsCodigo::instance().Par_Agente = 4521;
        click(*m_screen, button);
        const QString prefijo = u"Para poder "_s + accion + u" deberá especificar "_s;
        EXPECT_EQ(m_ui.messageTexts(),
                  (QStringList{prefijo + u"el Nro de Agente en la opción de Registración."_s,
                               prefijo + u"la Razón Social o Denominación en la opción de Registración."_s}));
    }
    EXPECT_TRUE(m_ui.shownScreens().isEmpty());
    EXPECT_EQ(m_engine.reportCount(), 0);
    EXPECT_EQ(counter(), u"1"_s);
}

TEST_F(ImpresionAR03Test, NuevoOpensTheEntryAndReloadsInTheOrderChosen)
{
    registerAgent();
    m_screen->Volver = true; // the entry clears the request when it loads: the list stays open
    clickHeader(*m_list, 1);
    clickHeader(*m_list, 1);
    m_ui.onNextModal([](QDialog& entry) {
        child<QLineEdit>(entry, u"txPosicion"_s)->setText(u"200211"_s);
        child<QLineEdit>(entry, u"txImporte"_s)->setText(u"99.9"_s);
        child<QComboBox>(entry, u"cbTipoMoneda"_s)->setCurrentIndex(3);
        QTest::mouseClick(child<QPushButton>(entry, u"bAceptar"_s), Qt::LeftButton);
    });
    click(*m_screen, u"BAgregar"_s);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"Se ha realizado la operación correctamente."_s});
    EXPECT_TRUE(m_screen->isVisible());
    EXPECT_FALSE(m_screen->Volver);
    EXPECT_EQ(column(1), (QStringList{u"200211"_s, u"200210"_s, u"200209"_s, u"200208"_s, u"200207"_s}));
    EXPECT_EQ(m_list->cell(0, importe), u"99,9"_s);
}

TEST_F(ImpresionAR03Test, PrintingNumbersTheRowAndStaysOnIt)
{
    registerAgent();
    setCounter(u"41"_s);
    clickHeader(*m_list, importe);
    clickHeader(*m_list, importe); // descending by amount: 1234,5 300 -12,5 (empty)
    clickRow(*m_list, 1);

    // The form is numbered and the counter moved on, but the preview fails: the list is not
    // reloaded, so it still shows the payment unnumbered and the next printing is a first one again.
    m_engine.setPreviewFailsAfter(0);
    click(*m_screen, u"bImprimir"_s);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"No se ha podido generar la boleta de pago AR03."_s});
    EXPECT_EQ(numero(m_ids[0]).toDouble(), 41);
    EXPECT_EQ(m_list->cell(comprobante), u""_s);

    m_engine.setPreviewFailsAfter(-1);
    click(*m_screen, u"bImprimir"_s);
    EXPECT_EQ(m_engine.previewTitles(), QStringList{u"AR03"_s});
    EXPECT_EQ(m_engine.lastReport().parameter(u"Nro"_s), u"0000000042"_s);
    EXPECT_EQ(m_list->currentRow(), 1);
    EXPECT_EQ(m_list->cell(codigo), id(0));
    EXPECT_EQ(m_list->cell(comprobante), u"42"_s) << "reloaded: the new number shows";
    EXPECT_EQ(column(importe), (QStringList{u"1234,5"_s, u"300"_s, u"-12,5"_s, u""_s}));
    EXPECT_EQ(counter(), u"43"_s);

    // Printing it again is a reprint, and so is printing the payment numbered before.
    click(*m_screen, u"bImprimir"_s);
    clickRow(*m_list, 2);
    click(*m_screen, u"bImprimir"_s);
    EXPECT_EQ(m_engine.previewTitles(), (QStringList{u"AR03"_s, u"Reimpresión AR03"_s, u"Reimpresión AR03"_s}));
    EXPECT_EQ(m_engine.report(2).parameter(u"Nro"_s), u"0000000042"_s);
    EXPECT_EQ(m_engine.report(3).parameter(u"Nro"_s), u"0000000007"_s);
    EXPECT_EQ(m_list->currentRow(), 2);
    EXPECT_EQ(counter(), u"43"_s);

    m_engine.setOpenFails(true);
    click(*m_screen, u"bImprimir"_s);
    EXPECT_EQ(m_ui.messageTexts().last(), u"No se ha podido reimprimir la boleta de pago AR03."_s);
    EXPECT_EQ(m_ui.messages().size(), 2);
}
