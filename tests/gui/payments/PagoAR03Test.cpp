#include "PaymentsTest.h"

#include "screens/payments/Pago_AR03.h"

using namespace Qt::StringLiterals;

namespace {

const QString guardado = u"Se ha realizado la operación correctamente."_s;
const QString posicionIncorrecta = u"La Posición Fiscal es incorrecta."_s;
const QString importeIncorrecto = u"El Importe a depositar es incorrecto."_s;

class PagoAR03Test : public PaymentsTest
{
protected:
    std::unique_ptr<Pago_AR03> open()
    {
        auto screen = std::make_unique<Pago_AR03>();
        activate(*screen);
        return screen;
    }

    static void type(QWidget& screen, const QString& box, const QString& text)
    {
        auto* edit = child<QLineEdit>(screen, box);
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }

    /// Types the period and the amount through their key filters, picks the currency and saves.
    static void fillAndSave(QWidget& screen, const QString& posicion, const QString& importe, int moneda)
    {
        type(screen, u"txPosicion"_s, posicion);
        type(screen, u"txImporte"_s, importe);
        child<QComboBox>(screen, u"cbTipoMoneda"_s)->setCurrentIndex(moneda);
        QTest::mouseClick(child<QPushButton>(screen, u"bAceptar"_s), Qt::LeftButton);
    }
};

} // namespace

TEST_F(PagoAR03Test, ChecksInOrderWithTheirMessagesAndFocus)
{
    auto screen = open();
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
        {u"200212"_s, u"10"_s, 0, u"Debe ingresar el Tipo de Moneda."_s, u"cbTipoMoneda"_s},
    };
    for (const auto& c : cases) {
        m_ui.clearMessages();
        fillAndSave(*screen, c.posicion, c.importe, c.moneda);
        EXPECT_EQ(m_ui.messages(), (QList<ui::ScriptedUi::Message>{{c.message, ui::Ui::Icon::Information, false}}))
            << c.posicion.toStdString() << ' ' << c.importe.toStdString();
        EXPECT_EQ(focusName(), c.focus) << c.message.toStdString();
    }
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(m_db.count(u"AR03"_s), 0);
}

TEST_F(PagoAR03Test, KeyFiltersAndOneDecimalPoint)
{
    auto screen = open();
    type(*screen, u"txPosicion"_s, u"2a0 0-2,.9"_s);
    EXPECT_EQ(child<QLineEdit>(*screen, u"txPosicion"_s)->text(), u"2002.9"_s);

    // One decimal point; any Backspace, or the Delete key, lets another one in.
    auto* importe = child<QLineEdit>(*screen, u"txImporte"_s);
    type(*screen, u"txImporte"_s, u"1a2 ,-.3.4"_s);
    EXPECT_EQ(importe->text(), u"12-.34"_s);
    QTest::keyClick(importe, Qt::Key_Backspace);
    QTest::keyClicks(importe, u".."_s);
    EXPECT_EQ(importe->text(), u"12-.3."_s);
    importe->home(false);
    QTest::keyClick(importe, Qt::Key_Delete);
    QTest::keyClicks(importe, u".."_s);
    EXPECT_EQ(importe->text(), u".2-.3."_s);
}

TEST_F(PagoAR03Test, SavesTheRewrittenAmountWithItsCurrencyCode)
{
    auto screen = open();
    child<QComboBox>(*screen, u"cbSemana"_s)->setCurrentIndex(2);
    child<QDateEdit>(*screen, u"txFecha"_s)->setDate(QDate(2002, 9, 16));
    fillAndSave(*screen, u"200201"_s, u"-1234.5"_s, 0);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"Debe ingresar el Tipo de Moneda."_s});
    EXPECT_EQ(child<QLineEdit>(*screen, u"txImporte"_s)->text(), u"-1234,5"_s);

    // A failed insert keeps the screen open; saving again as it stands reads the amount the regional way.
    execute(u"create trigger no_payments before insert on AR03 begin select raise(abort, 'locked'); end"_s);
    child<QComboBox>(*screen, u"cbTipoMoneda"_s)->setCurrentIndex(3);
    QTest::mouseClick(child<QPushButton>(*screen, u"bAceptar"_s), Qt::LeftButton);
    EXPECT_EQ(m_ui.messageTexts().last(), u"No se ha podido realizar la operación."_s);
    EXPECT_TRUE(screen->isVisible());

    execute(u"drop trigger no_payments"_s);
    m_ui.clearMessages();
    QTest::mouseClick(child<QPushButton>(*screen, u"bAceptar"_s), Qt::LeftButton);
    EXPECT_EQ(m_ui.messages(), (QList<ui::ScriptedUi::Message>{{guardado, ui::Ui::Icon::Information, false}}));
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(m_db.scalar(u"select Posicion_Fiscal || ' ' || Semana || ' ' || Fecha_Pago || ' ' || Importe || ' ' || "
                          u"Moneda || ' ' || ifnull(Numero, '-') from AR03"_s)
                  .toString(),
              u"200201 3 2002-09-16 -1234.5 03 -"_s);
}

TEST_F(PagoAR03Test, APeriodTakesFifteenPaymentsAndNoMore)
{
    for (int i = 0; i < 14; ++i)
        addPayment(u"200209"_s, u"1"_s, u"'02/09/2002'"_s, u"10"_s, u"'01'"_s);
    addPayment(u"200210"_s, u"1"_s, u"'02/10/2002'"_s, u"10"_s, u"'01'"_s);

    auto screen = open();
    fillAndSave(*screen, u"200209"_s, u"5"_s, 1);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{guardado});

    // The sixteenth is refused before anything after the period is looked at; another period has room.
    m_ui.clearMessages();
    auto sixteenth = open();
    fillAndSave(*sixteenth, u"200209"_s, u""_s, 0);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"Ya hay 15 Pagos ingresados para la posición fiscal especificada. "
                                               u"No se puede realizar esta operación."_s});
    EXPECT_EQ(focusName(), u"txPosicion"_s);
    fillAndSave(*sixteenth, u"200211"_s, u"5"_s, 1);
    EXPECT_EQ(m_ui.messageTexts().last(), guardado);
    EXPECT_EQ(m_db.count(u"AR03"_s, u"where Posicion_Fiscal = 200209"_s), 15);
}
