#include "PaymentsTest.h"

#include "screens/payments/Impresion_AR03.h"
#include "screens/payments/Pago_AR03.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QString guardado = u"Se ha realizado la operación correctamente."_s;
const QString posicionIncorrecta = u"La Posición Fiscal es incorrecta."_s;

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

    [[nodiscard]] QString stored(const QString& field)
    {
        return m_db.scalar(u"select "_s + field + u" from AR03 order by Id desc limit 1"_s).toString();
    }
};

} // namespace

TEST_F(PagoAR03Test, LoadsEmptyWithItsListsAndTodaysDate)
{
    auto screen = open();
    EXPECT_EQ(screen->windowTitle(), u"Pago AR03"_s);
    EXPECT_EQ(focused(), u"txPosicion"_s);

    auto* semana = child<QComboBox>(*screen, u"cbSemana"_s);
    QStringList weeks;
    for (int i = 0; i < semana->count(); ++i)
        weeks.append(semana->itemText(i));
    EXPECT_EQ(weeks, (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}));
    EXPECT_EQ(semana->currentText(), u"1"_s);

    auto* moneda = child<QComboBox>(*screen, u"cbTipoMoneda"_s);
    QStringList currencies;
    for (int i = 0; i < moneda->count(); ++i)
        currencies.append(moneda->itemText(i));
    EXPECT_EQ(currencies, (QStringList{u"Sin Especificar"_s, u"Pesos"_s, u"Lecop"_s, u"Dólares"_s}));
    EXPECT_EQ(moneda->currentText(), u"Sin Especificar"_s);

    auto* fecha = child<QDateEdit>(*screen, u"txFecha"_s);
    EXPECT_EQ(fecha->text(), u"01/10/2002"_s);
    EXPECT_TRUE(fecha->calendarPopup());
    EXPECT_EQ(child<QLineEdit>(*screen, u"txPosicion"_s)->maxLength(), 6);
    EXPECT_EQ(child<QLineEdit>(*screen, u"txImporte"_s)->maxLength(), 20);
    EXPECT_TRUE(m_ui.messages().isEmpty());
}

TEST_F(PagoAR03Test, EnterWalksTheControlsAndNeverSaves)
{
    auto screen = open();
    const QStringList chain{u"txPosicion"_s, u"cbSemana"_s,     u"txFecha"_s,
                            u"txImporte"_s,  u"cbTipoMoneda"_s, u"bAceptar"_s};
    for (qsizetype i = 0; i + 1 < chain.size(); ++i) {
        ASSERT_EQ(focused(), chain.at(i));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(focused(), chain.at(i + 1));
    }
    EXPECT_TRUE(m_ui.messages().isEmpty()) << "Enter in a box never presses \"&Guardar\"";
    EXPECT_TRUE(child<QLineEdit>(*screen, u"txPosicion"_s)->text().isEmpty());
    EXPECT_TRUE(screen->isVisible());
}

TEST_F(PagoAR03Test, KeyFiltersAdmitOnlyWhatEachBoxTakes)
{
    auto screen = open();
    auto* posicion = child<QLineEdit>(*screen, u"txPosicion"_s);
    type(*screen, u"txPosicion"_s, u"2a0 0-2,.9"_s);
    EXPECT_EQ(posicion->text(), u"2002.9"_s) << "digits and \".\" only";
    EXPECT_EQ(focused(), u"txPosicion"_s);

    auto* importe = child<QLineEdit>(*screen, u"txImporte"_s);
    type(*screen, u"txImporte"_s, u"1a2 3,4-5"_s);
    EXPECT_EQ(importe->text(), u"1234-5"_s) << "letters, blanks and \",\" never reach the amount; \"-\" does";
    EXPECT_EQ(focused(), u"txImporte"_s);

    // One decimal point; any Backspace, or the Delete key, lets another one in.
    type(*screen, u"txImporte"_s, u"12.3.4"_s);
    EXPECT_EQ(importe->text(), u"12.34"_s);
    QTest::keyClick(importe, Qt::Key_Backspace);
    QTest::keyClicks(importe, u".."_s);
    EXPECT_EQ(importe->text(), u"12.3."_s) << "the first point is still there, a second one was let in";
    importe->home(false);
    QTest::keyClick(importe, Qt::Key_Delete);
    QTest::keyClicks(importe, u".."_s);
    EXPECT_EQ(importe->text(), u".2.3."_s);
}

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
        {u"200200"_s, u""_s, 0, posicionIncorrecta, u"txPosicion"_s},
        {u"2002.9"_s, u"10"_s, 1, posicionIncorrecta, u"txPosicion"_s},
        {u"20.209"_s, u"10"_s, 1, posicionIncorrecta, u"txPosicion"_s},
        {u"200209"_s, u""_s, 0, u"Debe ingresar el Importe a depositar."_s, u"txImporte"_s},
        {u"200209"_s, u"-"_s, 0, u"El Importe a depositar es incorrecto."_s, u"txImporte"_s},
        {u"200209"_s, u"1-2"_s, 1, u"El Importe a depositar es incorrecto."_s, u"txImporte"_s},
        {u"200209"_s, u"."_s, 1, u"El Importe a depositar es incorrecto."_s, u"txImporte"_s},
        {u"200212"_s, u"10"_s, 0, u"Debe ingresar el Tipo de Moneda."_s, u"cbTipoMoneda"_s},
    };
    for (const auto& c : cases) {
        m_ui.clearMessages();
        fillAndSave(*screen, c.posicion, c.importe, c.moneda);
        ASSERT_EQ(m_ui.messages().size(), 1) << c.message.toStdString();
        EXPECT_EQ(m_ui.messages().at(0).text, c.message) << c.posicion.toStdString() << ' ' << c.importe.toStdString();
        EXPECT_EQ(m_ui.messages().at(0).icon, ui::Ui::Icon::Information);
        EXPECT_EQ(focused(), c.focus) << c.message.toStdString();
        EXPECT_TRUE(screen->isVisible());
    }
    EXPECT_EQ(m_db.count(u"AR03"_s), 0) << "nothing is written before every check passed";
}

TEST_F(PagoAR03Test, TheCurrencyIsCheckedAfterTheAmountWasRewritten)
{
    auto screen = open();
    fillAndSave(*screen, u"200209"_s, u"1234.5"_s, 0);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"Debe ingresar el Tipo de Moneda."_s});
    EXPECT_EQ(child<QLineEdit>(*screen, u"txImporte"_s)->text(), u"1234,5"_s);

    // Saving again as it stands reads the rewritten amount the regional way.
    m_ui.clearMessages();
    child<QComboBox>(*screen, u"cbTipoMoneda"_s)->setCurrentIndex(1);
    QTest::mouseClick(child<QPushButton>(*screen, u"bAceptar"_s), Qt::LeftButton);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{guardado});
    EXPECT_EQ(m_db.scalar(u"select Importe from AR03"_s).toDouble(), 1234.5);
}

TEST_F(PagoAR03Test, SavesThePaymentWithItsCurrencyCodeAndCloses)
{
    const struct
    {
        QString posicion, importe;
        int semana, moneda;
        QString code;
        double amount;
    } cases[] = {
        {u"200209"_s, u"1234.5"_s, 2, 1, u"01"_s, 1234.5},
        {u"200212"_s, u"7"_s, 4, 2, u"02"_s, 7},
        {u"200201"_s, u"-0.75"_s, 0, 3, u"03"_s, -0.75},
    };
    for (const auto& c : cases) {
        m_ui.clearMessages();
        auto screen = open();
        child<QComboBox>(*screen, u"cbSemana"_s)->setCurrentIndex(c.semana);
        child<QDateEdit>(*screen, u"txFecha"_s)->setDate(QDate(2002, 9, 16));
        fillAndSave(*screen, c.posicion, c.importe, c.moneda);

        EXPECT_EQ(m_ui.messages(), (QList<ui::ScriptedUi::Message>{{guardado, ui::Ui::Icon::Information, false}}));
        EXPECT_FALSE(screen->isVisible());
        EXPECT_EQ(screen->result(), QDialog::Accepted);
        EXPECT_EQ(stored(u"Posicion_Fiscal"_s), c.posicion);
        EXPECT_EQ(stored(u"Semana"_s), QString::number(c.semana + 1));
        EXPECT_EQ(stored(u"Fecha_Pago"_s), u"16/09/2002"_s);
        EXPECT_EQ(m_db.scalar(u"select Importe from AR03 order by Id desc limit 1"_s).toDouble(), c.amount);
        EXPECT_EQ(stored(u"Moneda"_s), c.code);
        EXPECT_TRUE(m_db.scalar(u"select Numero from AR03 order by Id desc limit 1"_s).isNull());
    }
    EXPECT_EQ(m_db.count(u"AR03"_s), 3);
}

TEST_F(PagoAR03Test, APeriodTakesFifteenPaymentsAndNoMore)
{
    for (int i = 0; i < 14; ++i)
        addPayment(u"200209"_s, u"1"_s, u"'02/09/2002'"_s, u"10"_s, u"'01'"_s);
    addPayment(u"200210"_s, u"1"_s, u"'02/10/2002'"_s, u"10"_s, u"'01'"_s);

    auto screen = open();
    fillAndSave(*screen, u"200209"_s, u"5"_s, 1);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{guardado});
    EXPECT_EQ(m_db.count(u"AR03"_s, u"where Posicion_Fiscal = 200209"_s), 15);

    // The sixteenth is refused before anything after the period is looked at.
    m_ui.clearMessages();
    auto sixteenth = open();
    fillAndSave(*sixteenth, u"200209"_s, u""_s, 0);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"Ya hay 15 Pagos ingresados para la posición fiscal especificada. "
                                               u"No se puede realizar esta operación."_s});
    EXPECT_EQ(focused(), u"txPosicion"_s);
    EXPECT_EQ(m_db.count(u"AR03"_s, u"where Posicion_Fiscal = 200209"_s), 15);

    // Another period still has room.
    m_ui.clearMessages();
    fillAndSave(*sixteenth, u"200211"_s, u"5"_s, 1);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{guardado});
}

TEST_F(PagoAR03Test, AFailedInsertKeepsTheScreenWithTheRewrittenAmount)
{
    execute(u"create trigger no_payments before insert on AR03 begin select raise(abort, 'locked'); end"_s);
    auto screen = open();
    fillAndSave(*screen, u"200209"_s, u"1234.5"_s, 1);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"No se ha podido realizar la operación."_s});
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(child<QLineEdit>(*screen, u"txImporte"_s)->text(), u"1234,5"_s);
    EXPECT_EQ(child<QLineEdit>(*screen, u"txPosicion"_s)->text(), u"200209"_s);
}

TEST_F(PagoAR03Test, CancelAndVolverCloseWithoutSavingAndLeaveTheListOpen)
{
    for (const QString& button : {u"bCancelar"_s, u"bVolver"_s}) {
        Impresion_AR03 list;
        activate(list);
        list.Volver = true;
        Pago_AR03 entry(&list);
        EXPECT_FALSE(list.Volver) << "the entry clears the list's close request when it loads";
        activate(entry);
        type(entry, u"txPosicion"_s, u"200209"_s);
        type(entry, u"txImporte"_s, u"10"_s);
        child<QComboBox>(entry, u"cbTipoMoneda"_s)->setCurrentIndex(1);
        QTest::mouseClick(child<QPushButton>(entry, button), Qt::LeftButton);
        EXPECT_FALSE(entry.isVisible()) << button.toStdString();
        EXPECT_FALSE(list.Volver) << button.toStdString();
        EXPECT_TRUE(list.isVisible()) << button.toStdString();
    }
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_EQ(m_db.count(u"AR03"_s), 0);
}
