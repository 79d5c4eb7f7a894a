#include "support/ReportFiles.h"
#include "support/ScreenFixture.h"

#include "data/clsCodigo.h"
#include "platform/ui/DateEdit.h"
#include "platform/ui/ListGrid.h"
#include "screens/payments/Impresion_AR03.h"
#include "screens/payments/Pago_AR03.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

using namespace Qt::StringLiterals;
using Message = ui::ScriptedUi::Message;

namespace {

constexpr int codigo = 0;
constexpr int comprobante = 7;

const QString guardado = u"Se ha realizado la operación correctamente."_s;
const QString noSePudo = u"No se ha podido realizar la operación."_s;
const QString posicionIncorrecta = u"La Posición Fiscal es incorrecta."_s;

QString parameters(const report::RecordedReport& report)
{
    QStringList set;
    for (const QString& name : report.content.definition().parameters())
        set << name + u'=' + report.parameter(name);
    return set.join(u' ');
}

/// A registered agent, the list open on four payments of different periods, weeks and amounts.
class PaymentsTest : public ScreenFixture
{
protected:
    PaymentsTest()
    {
        setRegistration(4521, {}, u"Banco del Sur S.A."_s);
        activate(m_list);
    }

    /// Stores a payment from its SQL values; gives its ID.
    double addPayment(const QString& values)
    {
        execute(u"insert into AR03 (Posicion_Fiscal, Semana, Fecha_Pago, Importe, Moneda, Numero) values ("_s + values +
                u')');
        return m_db.scalar(u"select max(Id) from AR03"_s).toDouble();
    }

    /// The number the next first printing gives (PARAMETROS row 4), as SQL.
    void setCounter(const QString& valor)
    {
        execute(u"insert or replace into PARAMETROS (ID, Descripcion, Valor) values (4, 'Nro AR03', %1)"_s.arg(valor));
    }
    QString counter() { return m_db.scalar(u"select Valor from PARAMETROS where ID = 4"_s).toString(); }
    db::Value numero(int index) { return m_db.scalar(u"select Numero from AR03 where Id = "_s + id(index)); }
    [[nodiscard]] QString id(int index) const { return QString::number(m_ids.at(index)); }

    [[nodiscard]] QStringList column(int index) const
    {
        QStringList cells;
        for (int row = 0; row < m_grid.rowCount(); ++row)
            cells.append(m_grid.cell(row, index));
        return cells;
    }

    void remove(int row, bool yes)
    {
        clickRow(m_grid, row);
        clickAnswering(m_list, u"BEliminar"_s, yes);
    }

    /// Clears the period and the amount with Delete, types them through their key filters, picks the
    /// currency and saves.
    void save(QWidget& entry, const QString& posicion, const QString& importe, int moneda)
    {
        m_operator.clearMessages();
        for (const auto& [box, text] : {std::pair{u"txPosicion"_s, posicion}, std::pair{u"txImporte"_s, importe}}) {
            auto* edit = child<QLineEdit>(entry, box);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
            QTest::keyClicks(edit, text);
        }
        child<QComboBox>(entry, u"cbTipoMoneda"_s)->setCurrentIndex(moneda);
        click(entry, u"bAceptar"_s);
    }

    clsCodigo& m_codigo = clsCodigo::instance();
    QList<double> m_ids{addPayment(u"200207, 4, '20/07/2002', 300, '02', null"_s),
                        addPayment(u"200208, 1, '05/08/2002', -12.5, '03', 7"_s),
                        addPayment(u"200209, 3, '16/09/2002', 1234.5, '01', null"_s),
                        addPayment(u"200210, 2, null, null, '09', null"_s)};
    Impresion_AR03 m_list;
    ui::ListGrid& m_grid = *child<ui::ListGrid>(m_list, u"lvList"_s);
};

} // namespace

TEST_F(PaymentsTest, EntryChecksInOrderThenSavesTheAmountReadTheRegionalWay)
{
    Pago_AR03 entry;
    activate(entry);
    child<QComboBox>(entry, u"cbSemana"_s)->setCurrentIndex(2);
    child<ui::DateEdit>(entry, u"txFecha"_s)->setDate(QDate(2002, 9, 16));
    // Each case leaves the fields after the failing one wrong or empty, so a check made out of order
    // would show another message. Delete and Backspace let a decimal point ("." or ",") in again.
    const std::tuple<QString, QString, int, QString, QString> cases[] = {
        {u""_s, u""_s, 0, u"Debe ingresar la Posición Fiscal."_s, u"txPosicion"_s},
        {u"20029"_s, u""_s, 0, posicionIncorrecta, u"txPosicion"_s},
        {u"200213"_s, u""_s, 0, posicionIncorrecta, u"txPosicion"_s},
        {u"2002.9"_s, u"10"_s, 1, posicionIncorrecta, u"txPosicion"_s},
        {u"2a0 0-2,09"_s, u""_s, 0, u"Debe ingresar el Importe a depositar."_s, u"txImporte"_s}, // keys refused
        {u"200209"_s, u"1-2"_s, 1, u"El Importe a depositar es incorrecto."_s, u"txImporte"_s},
        {u"200209"_s, u"."_s, 1, u"El Importe a depositar es incorrecto."_s, u"txImporte"_s},
        {u"200209"_s, u"1a2 ,..3"_s, 0, u"Debe ingresar el Tipo de Moneda."_s, u"cbTipoMoneda"_s}, // one point
        {u"200201"_s, u"-1234,.\b,5"_s, 0, u"Debe ingresar el Tipo de Moneda."_s, u"cbTipoMoneda"_s},
    };
    for (const auto& [posicion, importe, moneda, message, focus] : cases) {
        save(entry, posicion, importe, moneda);
        EXPECT_EQ(m_operator.messageTexts() << focusName(), (QStringList{message, focus}))
            << posicion.toStdString() << ' ' << importe.toStdString();
    }
    // The point typed was rewritten as the regional ",". A failed insert keeps the screen open;
    // saving again as it stands reads the amount the regional way.
    auto* importe = child<QLineEdit>(entry, u"txImporte"_s);
    EXPECT_EQ(importe->text(), u"-1234,5"_s);
    // Pasted text goes through the same filter.
    type(entry, u"txImporte"_s, {});
    QApplication::clipboard()->setText(u"$ -1234,5.\n"_s);
    QTest::keyClick(importe, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(importe->text(), u"-1234,5"_s);
    type(entry, u"txImporte"_s, {});
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, {1, 1}, importe->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(importe, &menuKey);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu && menu->findChild<QAction*>(u"edit-paste"_s));
    menu->findChild<QAction*>(u"edit-paste"_s)->trigger();
    menu->close();
    EXPECT_EQ(importe->text(), u"-1234,5"_s) << "pasted from the context menu";
    importe->selectAll();
    QTest::keyClicks(importe, u"-1234,5"_s);
    EXPECT_EQ(importe->text(), u"-1234,5"_s) << "a point typed over counts no more";
    execute(u"create trigger no_payments before insert on AR03 begin select raise(abort, 'locked'); end"_s);
    child<QComboBox>(entry, u"cbTipoMoneda"_s)->setCurrentIndex(3);
    m_operator.clearMessages();
    click(entry, u"bAceptar"_s);
    EXPECT_TRUE(entry.isVisible());
    execute(u"drop trigger no_payments"_s);
    // Another program reading the file keeps the payment from being saved.
    m_db.whileOtherProgramReads([&] { click(entry, u"bAceptar"_s); });
    click(entry, u"bAceptar"_s);
    EXPECT_EQ(m_operator.messages(), QList<Message>({{noSePudo}, {noSePudo}, {guardado}}));
    EXPECT_EQ(entry.result(), QDialog::Accepted);
    m_db.reconnect();
    EXPECT_EQ(
        m_db.scalar(u"select group_concat(Semana || ' ' || Fecha_Pago || ' ' || Importe || ' ' || Moneda || ' ' || "
                    u"ifnull(Numero, '-')) from AR03 where Posicion_Fiscal = 200201"_s)
            .toString(),
        u"3 2002-09-16 -1234.5 03 -"_s);
}

TEST_F(PaymentsTest, ADateIsStoredAsTypedAndShownAndAWrongOneIsRefused)
{
    // The box starts on today, 15/10/2002. Each date is typed into the freshly focused box, or over the
    // month alone, selected with the keyboard; Enter goes on to the amount.
    const QString incorrecta = u"La Fecha de Pago es incorrecta."_s;
    const std::tuple<QString, bool, QString> cases[] = {
        // keys, over the month only, the stored date or the message
        {u"05/09/2002"_s, false, u"2002-09-05"_s},
        {u"5/9/2002"_s, false, u"2002-09-05"_s},
        {u"05092002"_s, false, u"2002-09-05"_s},
        {u"09"_s, true, u"2002-09-15"_s},
        {u"31/02/2002"_s, false, incorrecta},
        {u"05/09/"_s, false, incorrecta},
        {u"\b"_s, false, u"Debe ingresar la Fecha de Pago."_s},
    };
    for (const auto& [keys, monthOnly, result] : cases) {
        Pago_AR03 entry;
        activate(entry);
        auto* fecha = child<QWidget>(entry, u"txFecha"_s);
        EXPECT_EQ(fecha->property("text").toString(), u"15/10/2002"_s);
        fecha->setFocus();
        if (monthOnly) {
            QTest::keyClick(fecha, Qt::Key_Home);
            for (int i = 0; i < 5; ++i)
                QTest::keyClick(fecha, Qt::Key_Right, i < 3 ? Qt::NoModifier : Qt::ShiftModifier);
        }
        QTest::keyClicks(fecha, keys);
        QTest::keyClick(fecha, Qt::Key_Return);
        EXPECT_EQ(focusName(), u"txImporte"_s) << keys.toStdString();
        const int before = m_db.count(u"AR03"_s);
        save(entry, u"200209"_s, u"10"_s, 1);
        const QDate stored = QDate::fromString(result, Qt::ISODate);
        EXPECT_EQ(m_operator.messageTexts(), QStringList{stored.isValid() ? guardado : result}) << keys.toStdString();
        EXPECT_EQ(m_db.count(u"AR03"_s), before + (stored.isValid() ? 1 : 0));
        if (!stored.isValid()) {
            EXPECT_EQ(focusName(), u"txFecha"_s);
            continue;
        }
        EXPECT_EQ(m_db.scalar(u"select Fecha_Pago || '' from AR03 order by Id desc limit 1"_s).toString(), result);
        EXPECT_EQ(fecha->property("text").toString(), stored.toString(u"dd/MM/yyyy"_s));
    }
}

TEST_F(PaymentsTest, DeletingAsksAndReturnsToTheRowAbove)
{
    // A failed delete says so and leaves the selection.
    execute(u"create trigger keep_payments before delete on AR03 begin select raise(abort, 'locked'); end"_s);
    EXPECT_EQ(column(5), (QStringList{u"Lecop"_s, u"Dólares"_s, u"Pesos"_s, u""_s}));
    remove(2, true);
    EXPECT_EQ(m_operator.messages(),
              (QList<Message>{{u"Está seguro que desea eliminar el Pago seleccionado?"_s, ui::Ui::Icon::Question, true},
                              {noSePudo, ui::Ui::Icon::Information, false}}));
    EXPECT_EQ(m_grid.currentRow(), 2);
    execute(u"drop trigger keep_payments"_s);

    remove(2, true);
    EXPECT_EQ(std::tuple(column(codigo), m_grid.currentRow()), std::tuple(QStringList{id(0), id(1), id(3)}, 1));
    // No keeps the payment, and still reloads and moves one row up.
    remove(2, false);
    EXPECT_EQ(std::tuple(m_db.count(u"AR03"_s), m_grid.currentRow()), std::tuple(3, 1));
    // The first row has none above: the selection ends on the last row.
    remove(0, true);
    EXPECT_EQ(std::tuple(column(codigo), m_grid.currentRow()), std::tuple(QStringList{id(1), id(3)}, 1));
}

TEST_F(PaymentsTest, NuevoAndImprimirNeedARegisteredAgentThenNuevoReloadsInTheOrderChosen)
{
    for (const auto& [button, accion] :
         {std::pair{u"BAgregar"_s, u"agregar Pagos"_s}, std::pair{u"bImprimir"_s, u"imprimir el formulario"_s}}) {
        m_operator.clearMessages();
        setRegistration(0, {}, u"Banco del Sur S.A."_s);
        click(m_list, button);
        setRegistration(4521, {}, {});
        click(m_list, button);
        const QString prefijo = u"Para poder "_s + accion + u" deberá especificar "_s;
        EXPECT_EQ(m_operator.messageTexts(),
                  (QStringList{prefijo + u"el Nro de Agente en la opción de Registración."_s,
                               prefijo + u"la Razón Social o Denominación en la opción de Registración."_s}));
    }
    EXPECT_EQ(std::tuple(m_operator.shownScreens().size(), m_engine.reportCount()), std::tuple(0, 0));

    // Nuevo reloads in the order chosen. With 14 payments in 200209 the fifteenth is saved, the sixteenth
    // refused before anything after the period is looked at, and another period has room.
    setRegistration(4521, {}, u"Banco del Sur S.A."_s);
    for (int i = 0; i < 13; ++i)
        addPayment(u"200209, 1, '02/09/2002', 10, '01', null"_s);
    m_list.Volver = true; // the entry clears the request when it loads: the list stays open
    // A first click sorts ascending, even the order shown; "Comprobante" sorts nothing, so the next
    // click on the last sorted heading sorts it descending.
    for (const int heading : {1, comprobante, 1})
        clickHeader(m_grid, heading);
    m_operator.onNextModal([this](QDialog& entry) { save(entry, u"200209"_s, u"5"_s, 1); });
    click(m_list, u"BAgregar"_s);
    EXPECT_EQ(m_operator.messageTexts(), QStringList{guardado});
    m_operator.onNextModal([this](QDialog& entry) {
        save(entry, u"200209"_s, u""_s, 0);
        EXPECT_EQ(m_operator.messageTexts() << focusName(),
                  (QStringList{u"Ya hay 15 Pagos ingresados para la posición fiscal especificada. No se puede "
                               u"realizar esta operación."_s,
                               u"txPosicion"_s}));
        save(entry, u"200211"_s, u"99.9"_s, 3);
    });
    click(m_list, u"BAgregar"_s);
    EXPECT_EQ(m_operator.messageTexts(), QStringList{guardado});
    EXPECT_TRUE(m_list.isVisible());
    EXPECT_EQ(m_grid.cell(0, 1) + u' ' + m_grid.cell(0, 4), u"200211 99,9"_s) << "period and amount, descending";
    EXPECT_EQ(m_db.count(u"AR03"_s, u"where Posicion_Fiscal = 200209"_s), 15);
}

TEST_F(PaymentsTest, AFirstPrintingNumbersThePaymentAndMovesTheCounterAReprintNeither)
{
    setCounter(u"'41'"_s);
    clickHeader(m_grid, 2); // by week, 1 to 4: the numbered payment first
    clickRow(m_grid, 2);

    // The form is numbered and the counter moved on, but the preview fails: the list is not
    // reloaded, so it still shows the payment unnumbered and the next printing is a first one again.
    m_engine.setPreviewFailsAfter(0);
    click(m_list, u"bImprimir"_s);
    EXPECT_EQ(std::tuple(numero(2).toDouble(), m_grid.cell(comprobante)), std::tuple(41, u""_s));

    m_engine.setPreviewFailsAfter(-1);
    click(m_list, u"bImprimir"_s);
    const QString first = parameters(m_engine.lastReport());
    EXPECT_EQ(first, u"Importe=1.234,50 Semana=3 FechaPago=16/09/2002 Agente=4521 Nombre=Banco del Sur S.A. "
                     u"ImporteLet=PESOS UN MIL DOSCIENTOS TREINTA Y CUATRO CON CINCUENTA CENTAVOS.- Mes=09 "
                     u"Anio=2002 Nro=0000000042"_s);
    EXPECT_EQ(std::tuple(m_grid.currentRow(), m_grid.cell(comprobante), counter()), std::tuple(2, u"42"_s, u"43"_s))
        << "reloaded: the new number shows";

    // Printing it again is a reprint, and so is printing the payment numbered before.
    click(m_list, u"bImprimir"_s);
    EXPECT_EQ(parameters(m_engine.lastReport()), first);
    clickRow(m_grid, 0);
    click(m_list, u"bImprimir"_s);
    EXPECT_EQ(m_engine.previewTitles(), (QStringList{u"AR03"_s, u"Reimpresión AR03"_s, u"Reimpresión AR03"_s}));
    EXPECT_EQ(std::tuple(m_engine.lastReport().parameter(u"Nro"_s), counter()), std::tuple(u"0000000007"_s, u"43"_s));

    m_engine.setOpenFails(true);
    click(m_list, u"bImprimir"_s);
    EXPECT_EQ(m_operator.messageTexts(), (QStringList{u"No se ha podido generar la boleta de pago AR03."_s,
                                                      u"No se ha podido reimprimir la boleta de pago AR03."_s}));
}

TEST_F(PaymentsTest, TheFormShowsEachPaymentAsStoredAndAFailedFirstPrintingNumbersNothing)
{
    // A rounded amount unnumbered; a payment with only its period, and a counter without a value (0).
    const double rounded = addPayment(u"200202, 1, '04/02/2002', 0.996, '99', null"_s);
    const double empty = addPayment(u"200112, null, null, null, null, null"_s);
    setCounter(u"null"_s);
    ASSERT_TRUE(m_codigo.Reimpresion_AR03(rounded));
    EXPECT_EQ(parameters(m_engine.lastReport()),
              u"Importe=1,00 Semana=1 FechaPago=04/02/2002 Agente=4521 Nombre=Banco "
              u"del Sur S.A. ImporteLet=DOLARES UNO .- Mes=02 Anio=2002 Nro=0000000000"_s);
    ASSERT_TRUE(m_codigo.Reporte_AR03(empty));
    EXPECT_EQ(parameters(m_engine.lastReport()), u"Importe=0,00 Semana=1 FechaPago= Agente=4521 Nombre=Banco del Sur "
                                                 u"S.A. ImporteLet=PESOS CERO..- Mes=12 Anio=2001 Nro=0000000000"_s);
    EXPECT_EQ(counter(), u"1"_s);

    // Number and counter move together: either write refused, neither is kept.
    setCounter(u"'5'"_s);
    for (const QString& table : {u"PARAMETROS"_s, u"AR03"_s}) {
        execute(u"create trigger frozen before update on "_s + table + u" begin select raise(abort, 'x'); end"_s);
        EXPECT_FALSE(m_codigo.Reporte_AR03(m_ids[2])) << table.toStdString();
        EXPECT_EQ(counter(), u"5"_s);
        execute(u"drop trigger frozen"_s);
    }
    ReportFiles::write(m_db.dir() + u"/AR03.rpt"_s,
                       "[report]\ntitle = AR03\nparameters = Importe\n[layout]\n<p>{{Importe}}</p>\n");
    EXPECT_FALSE(m_codigo.Reporte_AR03(m_ids[2])); // a form without the nine parameters
    EXPECT_EQ(std::tuple(numero(2).isNull(), counter()), std::tuple(true, u"5"_s));
    EXPECT_EQ(m_engine.previewTitles().size(), 2) << "only the two printings that succeeded";
}
