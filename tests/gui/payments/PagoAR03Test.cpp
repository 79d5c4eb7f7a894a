#include "PaymentsTest.h"

#include "screens/payments/Pago_AR03.h"

#include <QDateEdit>

using namespace Qt::StringLiterals;

namespace {

const QString guardado = u"Se ha realizado la operación correctamente."_s;
const QString posicionIncorrecta = u"La Posición Fiscal es incorrecta."_s;
const QString importeIncorrecto = u"El Importe a depositar es incorrecto."_s;

QList<ui::ScriptedUi::Message> info(const QString& text)
{
    return {{text, ui::Ui::Icon::Information, false}};
}

class PagoAR03Test : public PaymentsTest
{
protected:
    PagoAR03Test() { activate(m_screen); }

    /// Types the period and the amount through their key filters, picks the currency and saves.
    void save(QWidget& screen, const QString& posicion, const QString& importe, int moneda)
    {
        m_ui.clearMessages();
        type(screen, u"txPosicion"_s, posicion);
        type(screen, u"txImporte"_s, importe);
        child<QComboBox>(screen, u"cbTipoMoneda"_s)->setCurrentIndex(moneda);
        click(screen, u"bAceptar"_s);
    }

    Pago_AR03 m_screen;
};

} // namespace

TEST_F(PagoAR03Test, ChecksInOrderThenSavesTheAmountReadTheRegionalWay)
{
    child<QComboBox>(m_screen, u"cbSemana"_s)->setCurrentIndex(2);
    child<QDateEdit>(m_screen, u"txFecha"_s)->setDate(QDate(2002, 9, 16));
    // Each case fills the fields up to the failing one and leaves the later ones wrong or empty,
    // so a check made out of order would show another message.
    const struct
    {
        QString posicion, importe;
        int moneda;
        QString message, focus;
    } cases[] = {
        {u""_s, u""_s, 0, u"Debe ingresar la Posición Fiscal."_s, u"txPosicion"_s},
        {u"20029"_s, u""_s, 0, posicionIncorrecta, u"txPosicion"_s},
        {u"200213"_s, u""_s, 0, posicionIncorrecta, u"txPosicion"_s},
        {u"2002.9"_s, u"10"_s, 1, posicionIncorrecta, u"txPosicion"_s},
        {u"200209"_s, u""_s, 0, u"Debe ingresar el Importe a depositar."_s, u"txImporte"_s},
        {u"200209"_s, u"-"_s, 0, importeIncorrecto, u"txImporte"_s},
        {u"200209"_s, u"1-2"_s, 1, importeIncorrecto, u"txImporte"_s},
        {u"200209"_s, u"."_s, 1, importeIncorrecto, u"txImporte"_s},
        {u"200201"_s, u"-1234.5"_s, 0, u"Debe ingresar el Tipo de Moneda."_s, u"cbTipoMoneda"_s},
    };
    for (const auto& c : cases) {
        save(m_screen, c.posicion, c.importe, c.moneda);
        EXPECT_EQ(m_ui.messages(), info(c.message)) << c.posicion.toStdString() << ' ' << c.importe.toStdString();
        EXPECT_EQ(focusName(), c.focus) << c.message.toStdString();
    }
    // The point typed was rewritten as the regional ",". A failed insert keeps the screen open;
    // saving again as it stands reads the amount the regional way.
    EXPECT_EQ(child<QLineEdit>(m_screen, u"txImporte"_s)->text(), u"-1234,5"_s);
    execute(u"create trigger no_payments before insert on AR03 begin select raise(abort, 'locked'); end"_s);
    child<QComboBox>(m_screen, u"cbTipoMoneda"_s)->setCurrentIndex(3);
    click(m_screen, u"bAceptar"_s);
    EXPECT_EQ(m_ui.messageTexts().last(), u"No se ha podido realizar la operación."_s);
    EXPECT_TRUE(m_screen.isVisible());
    execute(u"drop trigger no_payments"_s);
    m_ui.clearMessages();
    click(m_screen, u"bAceptar"_s);
    EXPECT_EQ(m_ui.messages(), info(guardado));
    EXPECT_EQ(m_screen.result(), QDialog::Accepted);
    EXPECT_EQ(
        m_db.scalar(u"select group_concat(Semana || ' ' || Fecha_Pago || ' ' || Importe || ' ' || Moneda || ' ' || "
                    u"ifnull(Numero, '-')) from AR03 where Posicion_Fiscal = 200201"_s)
            .toString(),
        u"3 2002-09-16 -1234.5 03 -"_s);
}

TEST_F(PagoAR03Test, KeyFiltersAndOneDecimalPoint)
{
    type(m_screen, u"txPosicion"_s, u"2a0 0-2,.9"_s);
    EXPECT_EQ(child<QLineEdit>(m_screen, u"txPosicion"_s)->text(), u"2002.9"_s);
    // One decimal point; any Backspace, or the Delete key, lets another one in.
    auto* importe = child<QLineEdit>(m_screen, u"txImporte"_s);
    type(m_screen, u"txImporte"_s, u"1a2 ,-.3.4"_s);
    EXPECT_EQ(importe->text(), u"12-.34"_s);
    QTest::keyClick(importe, Qt::Key_Backspace);
    QTest::keyClicks(importe, u".."_s);
    EXPECT_EQ(importe->text(), u"12-.3."_s);
    importe->home(false);
    QTest::keyClick(importe, Qt::Key_Delete);
    QTest::keyClicks(importe, u".."_s);
    EXPECT_EQ(importe->text(), u".2-.3."_s);
}

TEST_F(PagoAR03Test, APeriodTakesFifteenPaymentsAndNoMore)
{
    for (int i = 0; i < 13; ++i) // fourteen in 200209 with the one stored before
        addPayment(u"200209, 1, '02/09/2002', 10, '01'"_s);
    save(m_screen, u"200209"_s, u"5"_s, 1);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{guardado});

    // The sixteenth is refused before anything after the period is looked at; another period has room.
    Pago_AR03 sixteenth;
    activate(sixteenth);
    save(sixteenth, u"200209"_s, u""_s, 0);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"Ya hay 15 Pagos ingresados para la posición fiscal especificada. "
                                               u"No se puede realizar esta operación."_s});
    EXPECT_EQ(focusName(), u"txPosicion"_s);
    save(sixteenth, u"200211"_s, u"5"_s, 1);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{guardado});
    EXPECT_EQ(m_db.count(u"AR03"_s, u"where Posicion_Fiscal = 200209"_s), 15);
}
