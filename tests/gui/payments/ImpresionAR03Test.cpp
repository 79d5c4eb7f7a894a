#include "PaymentsTest.h"

#include "support/ReportFiles.h"

#include "screens/payments/Impresion_AR03.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int codigo = 0;
constexpr int semana = 2;
constexpr int importe = 4;
constexpr int inc = 6;
constexpr int comprobante = 7;

/// The parameters a report received, in the order they were set.
QString parameters(const report::RecordedReport& report)
{
    QStringList set;
    for (const auto& [name, value] : report.parameters)
        set << name + u'=' + value;
    return set.join(u' ');
}

class ImpresionAR03Test : public PaymentsTest
{
protected:
    ImpresionAR03Test() { activate(m_screen); }

    [[nodiscard]] QString id(int index) const { return QString::number(m_ids.at(index)); }

    [[nodiscard]] QStringList column(int index) const
    {
        QStringList cells;
        for (int row = 0; row < m_list.rowCount(); ++row)
            cells.append(m_list.cell(row, index));
        return cells;
    }

    void remove(int row, bool yes)
    {
        clickRow(m_list, row);
        m_ui.answerNext(yes);
        click(m_screen, u"BEliminar"_s);
    }

    clsCodigo& m_codigo = clsCodigo::instance();
    Impresion_AR03 m_screen;
    ui::ListGrid& m_list = *child<ui::ListGrid>(m_screen, u"lvList"_s);
};

} // namespace

TEST_F(ImpresionAR03Test, ListsThePaymentsAndHeadingClicksAlternateTheOrder)
{
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
        m_list.setCurrentRow(2);
        clickHeader(m_list, c.heading);
        EXPECT_EQ(column(c.shown), c.cells) << c.heading;
        EXPECT_EQ(column(inc), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
        EXPECT_EQ(m_list.currentRow(), 0);
    }
    EXPECT_TRUE(m_ui.messages().isEmpty());
}

TEST_F(ImpresionAR03Test, DeletingAsksAndReturnsToTheRowAbove)
{
    // A failed delete says so and leaves the grid as it was, though a reload would show other rows.
    execute(u"create trigger keep_payments before delete on AR03 begin select raise(abort, 'locked'); end"_s);
    execute(u"update AR03 set Semana = 5"_s);
    remove(2, true);
    EXPECT_EQ(m_ui.messages(),
              (QList<ui::ScriptedUi::Message>{
                  {u"Está seguro que desea eliminar el Pago seleccionado?"_s, ui::Ui::Icon::Question, true},
                  {u"No se ha podido realizar la operación."_s, ui::Ui::Icon::Information, false}}));
    EXPECT_EQ(m_list.currentRow(), 2);
    EXPECT_EQ(column(semana), (QStringList{u"4"_s, u"1"_s, u"3"_s, u"2"_s}));
    execute(u"drop trigger keep_payments"_s);

    remove(2, true);
    EXPECT_EQ(column(codigo), (QStringList{id(0), id(1), id(3)}));
    EXPECT_EQ(m_list.currentRow(), 1);
    // No keeps the payment, and still reloads and moves one row up.
    remove(2, false);
    EXPECT_EQ(m_db.count(u"AR03"_s), 3);
    EXPECT_EQ(m_list.currentRow(), 1);
    // The first row has none above: the selection ends on the last row.
    remove(0, true);
    EXPECT_EQ(column(codigo), (QStringList{id(1), id(3)}));
    EXPECT_EQ(m_list.currentRow(), 1);
}

TEST_F(ImpresionAR03Test, NuevoAndImprimirNeedARegisteredAgentThenNuevoReloadsInTheOrderChosen)
{
    setCounter(u"1"_s);
    for (const auto& [button, accion] :
         {std::pair{u"BAgregar"_s, u"agregar Pagos"_s}, std::pair{u"bImprimir"_s, u"imprimir el formulario"_s}}) {
        m_ui.clearMessages();
        setRegistration(0, {}, u"Banco del Sur S.A."_s);
        click(m_screen, button);
        setRegistration(4521, {}, {});
        click(m_screen, button);
        const QString prefijo = u"Para poder "_s + accion + u" deberá especificar "_s;
        EXPECT_EQ(m_ui.messageTexts(),
                  (QStringList{prefijo + u"el Nro de Agente en la opción de Registración."_s,
                               prefijo + u"la Razón Social o Denominación en la opción de Registración."_s}));
    }
    EXPECT_TRUE(m_ui.shownScreens().isEmpty());
    EXPECT_EQ(m_engine.reportCount(), 0);
    EXPECT_EQ(counter(), u"1"_s);

    registerAgent();
    m_ui.clearMessages();
    m_screen.Volver = true; // the entry clears the request when it loads: the list stays open
    clickHeader(m_list, 1);
    clickHeader(m_list, 1);
    m_ui.onNextModal([](QDialog& entry) {
        type(entry, u"txPosicion"_s, u"200211"_s);
        type(entry, u"txImporte"_s, u"99.9"_s);
        child<QComboBox>(entry, u"cbTipoMoneda"_s)->setCurrentIndex(3);
        click(entry, u"bAceptar"_s);
    });
    click(m_screen, u"BAgregar"_s);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"Se ha realizado la operación correctamente."_s});
    EXPECT_TRUE(m_screen.isVisible());
    EXPECT_EQ(column(1), (QStringList{u"200211"_s, u"200210"_s, u"200209"_s, u"200208"_s, u"200207"_s}));
    EXPECT_EQ(m_list.cell(0, importe), u"99,9"_s);
}

TEST_F(ImpresionAR03Test, AFirstPrintingNumbersThePaymentAndMovesTheCounterAReprintNeither)
{
    registerAgent();
    setCounter(u"41"_s);
    clickHeader(m_list, semana); // weeks 1 to 4: the numbered payment first
    clickRow(m_list, 2);

    // The form is numbered and the counter moved on, but the preview fails: the list is not
    // reloaded, so it still shows the payment unnumbered and the next printing is a first one again.
    m_engine.setPreviewFailsAfter(0);
    click(m_screen, u"bImprimir"_s);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"No se ha podido generar la boleta de pago AR03."_s});
    EXPECT_EQ(numero(m_ids[2]).toDouble(), 41);
    EXPECT_EQ(m_list.cell(comprobante), u""_s);

    m_engine.setPreviewFailsAfter(-1);
    click(m_screen, u"bImprimir"_s);
    const QString first = parameters(m_engine.lastReport());
    EXPECT_EQ(first, u"Importe=1.234,50 Semana=3 FechaPago=16/09/2002 Agente=4521 Nombre=Banco del Sur S.A. "
                     u"ImporteLet=PESOS UN MIL DOSCIENTOS TREINTA Y CUATRO CON CINCUENTA CENTAVOS.- Mes=09 "
                     u"Anio=2002 Nro=0000000042"_s);
    EXPECT_TRUE(m_engine.lastReport().printerSetupButton);
    EXPECT_EQ(m_list.currentRow(), 2);
    EXPECT_EQ(m_list.cell(codigo), id(2));
    EXPECT_EQ(m_list.cell(comprobante), u"42"_s) << "reloaded: the new number shows";
    EXPECT_EQ(counter(), u"43"_s);

    // Printing it again is a reprint, and so is printing the payment numbered before.
    click(m_screen, u"bImprimir"_s);
    EXPECT_EQ(parameters(m_engine.lastReport()), first);
    clickRow(m_list, 0);
    click(m_screen, u"bImprimir"_s);
    EXPECT_EQ(m_engine.previewTitles(), (QStringList{u"AR03"_s, u"Reimpresión AR03"_s, u"Reimpresión AR03"_s}));
    EXPECT_EQ(m_engine.lastReport().parameter(u"Nro"_s), u"0000000007"_s);
    EXPECT_EQ(numero(m_ids[2]).toDouble(), 42);
    EXPECT_EQ(counter(), u"43"_s);

    m_engine.setOpenFails(true);
    click(m_screen, u"bImprimir"_s);
    EXPECT_EQ(m_ui.messageTexts().last(), u"No se ha podido reimprimir la boleta de pago AR03."_s);
    EXPECT_EQ(m_ui.messages().size(), 2);
}

TEST_F(ImpresionAR03Test, TheFormShowsEachPaymentAsStored)
{
    registerAgent();
    // Rounded amount, unknown currency, no number; then a payment with nothing but its period, printed
    // for the first time with a counter row without a value, which counts as 0.
    const double rounded = addPayment(u"200202, 1, '04/02/2002', 0.996, '99'"_s);
    const double empty = addPayment(u"200112, null, null, null, null"_s);
    execute(u"insert into PARAMETROS (ID, Descripcion, Valor) values (4, 'Nro AR03', null)"_s);
    ASSERT_TRUE(m_codigo.Reimpresion_AR03(rounded));
    EXPECT_EQ(parameters(m_engine.lastReport()),
              u"Importe=1,00 Semana=1 FechaPago=04/02/2002 Agente=4521 Nombre=Banco "
              u"del Sur S.A. ImporteLet=DOLARES UNO .- Mes=02 Anio=2002 Nro=0000000000"_s);
    ASSERT_TRUE(m_codigo.Reporte_AR03(empty));
    EXPECT_EQ(parameters(m_engine.lastReport()), u"Importe=0,00 Semana=1 FechaPago= Agente=4521 Nombre=Banco del Sur "
                                                 u"S.A. ImporteLet=PESOS CERO..- Mes=12 Anio=2001 Nro=0000000000"_s);
    EXPECT_EQ(counter(), u"1"_s);
}

TEST_F(ImpresionAR03Test, FailedFirstPrintingsNumberNothingAndLeaveTheCounter)
{
    const double id = m_ids[2];
    setCounter(QString()); // no counter row: nothing is numbered and no row is made
    EXPECT_FALSE(m_codigo.Reporte_AR03(id));
    EXPECT_EQ(m_db.count(u"PARAMETROS"_s), 0);

    setCounter(u"5"_s);
    // Number and counter move together: either write refused, neither is kept.
    for (const QString& table : {u"PARAMETROS"_s, u"AR03"_s}) {
        execute(u"create trigger frozen before update on "_s + table + u" begin select raise(abort, 'x'); end"_s);
        EXPECT_FALSE(m_codigo.Reporte_AR03(id)) << table.toStdString();
        EXPECT_EQ(counter(), u"5"_s);
        execute(u"drop trigger frozen"_s);
    }
    setCounter(u"2.5"_s); // not a whole number
    EXPECT_FALSE(m_codigo.Reporte_AR03(id));
    setCounter(u"5"_s);
    EXPECT_FALSE(m_codigo.Reporte_AR03(id + 100)); // no such payment
    EXPECT_FALSE(m_codigo.Reimpresion_AR03(id + 100));
    ReportFiles::write(m_db.dir() + u"/AR03.rpt"_s,
                       u"[report]\ntitle = AR03\nparameters = Importe\n[layout]\n<p>{{Importe}}</p>\n"_s);
    EXPECT_FALSE(m_codigo.Reporte_AR03(id)); // a form without the nine parameters
    EXPECT_TRUE(numero(id).isNull());
    EXPECT_EQ(counter(), u"5"_s);
    EXPECT_TRUE(m_engine.previewTitles().isEmpty());
}
