#include "ScreenTest.h"

#include "platform/ui/CuitEdit.h"
#include "screens/registration/Registracion.h"
#include "support/Printers.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QString validCuit = u"20123456786"_s;

class RegistracionTest : public ScreenTest
{
protected:
    std::unique_ptr<Registracion> open()
    {
        auto screen = std::make_unique<Registracion>();
        activate(*screen);
        return screen;
    }

    template <typename Widget>
    static Widget* child(QWidget& screen, const QString& name)
    {
        auto* widget = screen.findChild<Widget*>(name);
        EXPECT_TRUE(widget) << name.toStdString();
        return widget;
    }

    /// Types into the three boxes (through the key filters) and presses "&Aceptar".
    void fillAndAccept(Registracion& screen, const QString& cuit, const QString& razon, const QString& agente)
    {
        auto* cuitBox = child<ui::CuitEdit>(screen, u"TxCuit"_s);
        cuitBox->clear();
        cuitBox->setFocus();
        cuitBox->setCursorPosition(0);
        QTest::keyClicks(cuitBox, cuit);
        type(screen, u"txRazonSocial"_s, razon);
        type(screen, u"txNroAgente"_s, agente);
        QTest::mouseClick(child<QPushButton>(screen, u"bAceptar"_s), Qt::LeftButton);
    }

    void type(Registracion& screen, const QString& box, const QString& text)
    {
        auto* edit = child<QLineEdit>(screen, box);
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }

    QString focused() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }

    QString parameter(int id)
    {
        return m_db.scalar(u"select Valor from PARAMETROS where ID = "_s + QString::number(id)).toString();
    }
};

} // namespace

TEST_F(RegistracionTest, ChecksInOrderWithTheirMessagesAndFocus)
{
    auto screen = open();
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_EQ(child<ui::CuitEdit>(*screen, u"TxCuit"_s)->maskText(), u"__-________-_"_s);

    const struct
    {
        QString cuit, razon, agente, message, focus;
    } cases[] = {
        {u""_s, u"Banco"_s, u"1"_s, u"Debe ingresar el CUIT para registrarse."_s, u"TxCuit"_s},
        {u"201234"_s, u"Banco"_s, u"1"_s, u"El CUIT especificado es incorrecto."_s, u"TxCuit"_s},
        {u"20123456785"_s, u"Banco"_s, u"1"_s, u"El CUIT especificado es incorrecto."_s, u"TxCuit"_s},
        {validCuit, u"   "_s, u"1"_s, u"Debe ingresar la Razón Social o Denominación para registrarse."_s,
         u"txRazonSocial"_s},
        {validCuit, u"Banco"_s, u""_s, u"Debe ingresar el Nro. de Agente adigando por Ostrel para registrarse."_s,
         u"txNroAgente"_s},
        {validCuit, u"Banco"_s, u"1,,2"_s, u"El Nro. de Agente especificado es incorrecto."_s, u"txNroAgente"_s},
        {validCuit, u"Banco"_s, u","_s, u"El Nro. de Agente especificado es incorrecto."_s, u"txNroAgente"_s},
    };
    for (const auto& c : cases) {
        m_ui.clearMessages();
        fillAndAccept(*screen, c.cuit, c.razon, c.agente);
        ASSERT_EQ(m_ui.messages().size(), 1) << c.message.toStdString();
        EXPECT_EQ(m_ui.messages().at(0).text, c.message);
        EXPECT_EQ(m_ui.messages().at(0).icon, ui::Ui::Icon::Information);
        EXPECT_EQ(focused(), c.focus) << c.message.toStdString();
        EXPECT_TRUE(screen->isVisible());
    }
    EXPECT_EQ(m_db.count(u"PARAMETROS"_s), 0) << "nothing is stored before every check passed";
}

TEST_F(RegistracionTest, SavingInsertsOnAFreshDatabaseAndUpdatesAfterwards)
{
    auto screen = open();
    fillAndAccept(*screen, validCuit, u"  Banco O'Higgins  "_s, u"1234"_s);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"Se ha realizado la registración correctamente."_s});
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(parameter(1), u"20-12345678-6"_s);
    EXPECT_EQ(parameter(2), u"Banco O`Higgins"_s);
    EXPECT_EQ(parameter(3), u"1234"_s);
    EXPECT_EQ(m_db.scalar(u"select Descripcion from PARAMETROS where ID = 2"_s).toString(),
              u"Razón Social / Denominación - Registración"_s);
    const clsCodigo& codigo = clsCodigo::instance();
    EXPECT_EQ(codigo.Par_CUIT, u"20-12345678-6"_s);
    EXPECT_EQ(codigo.Par_Denomin, u"Banco O'Higgins"_s);
    EXPECT_EQ(codigo.Par_Agente, 1234);

    m_ui.clearMessages();
    auto again = open();
    EXPECT_EQ(child<ui::CuitEdit>(*again, u"TxCuit"_s)->maskText(), u"20-12345678-6"_s);
    EXPECT_EQ(child<QLineEdit>(*again, u"txRazonSocial"_s)->text(), u"Banco O`Higgins"_s);
    fillAndAccept(*again, u"30712345671"_s, u"Otro Banco"_s, u"77,5"_s);
    EXPECT_EQ(m_db.count(u"PARAMETROS"_s), 3);
    EXPECT_EQ(parameter(1), u"30-71234567-1"_s);
    EXPECT_EQ(parameter(3), u"77,5"_s);
    EXPECT_EQ(codigo.Par_Agente, 77.5);
}

TEST_F(RegistracionTest, AFailedWriteSaysSoAndLeavesTheIdentityAlone)
{
    execute(u"Insert Into PARAMETROS (ID, Descripcion, Valor) values(1, 'x', '20-12345678-6')"_s);
    m_db.db().executeScript(
        u"CREATE TRIGGER solo_lectura BEFORE INSERT ON PARAMETROS BEGIN SELECT RAISE(ABORT, 'x'); END"_s);
    auto screen = open();
    fillAndAccept(*screen, validCuit, u"Banco"_s, u"1"_s);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"No se ha podido realizar la registración correctamente."_s});
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(clsCodigo::instance().Par_Denomin, QString());
}

TEST_F(RegistracionTest, ViewingModeWhileLinesArePendingOrPaymentsExist)
{
    execute(u"Insert Into AR03 (Posicion_Fiscal, Semana) values(200209, 1)"_s);
    {
        auto screen = open();
        EXPECT_EQ(m_ui.messageTexts(), QStringList{u"No se pueden realizar cambios en la Registración. Existen pagos "
                                                   u"(AR03). Solo podrá consultar los datos."_s});
        EXPECT_FALSE(child<QPushButton>(*screen, u"bAceptar"_s)->isVisible());
        EXPECT_FALSE(child<QGroupBox>(*screen, u"Frame1"_s)->isEnabled());
        EXPECT_EQ(child<QPushButton>(*screen, u"bCancelar"_s)->text(), u"Volver"_s);
        QTest::mouseClick(child<QPushButton>(*screen, u"bCancelar"_s), Qt::LeftButton);
        EXPECT_FALSE(screen->isVisible());
    }
    m_ui.clearMessages();
    execute(u"Insert Into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_CBU, N_Cuit) values(1, 200209, '1', 1)"_s);
    auto screen = open();
    EXPECT_EQ(m_ui.messageTexts(),
              QStringList{u"No se pueden realizar cambios en la Registración. Existen Detalles de DDJJ asociadas sin "
                          u"generar. Solo podrá consultar los datos."_s})
        << "only the first message when both hold";
}

TEST_F(RegistracionTest, KeyFiltersDropRefusedKeysAndEnterMovesOn)
{
    auto screen = open();
    auto* cuit = child<ui::CuitEdit>(*screen, u"TxCuit"_s);
    cuit->setFocus();
    cuit->setCursorPosition(0);
    QTest::keyClicks(cuit, u"2x0-1"_s);
    EXPECT_EQ(cuit->maskText(), u"20-1_______-_"_s);
    QTest::keyClick(cuit, Qt::Key_Return);
    EXPECT_EQ(focused(), u"txRazonSocial"_s);
    QTest::keyClicks(QApplication::focusWidget(), u"Banco 1°"_s);
    EXPECT_EQ(child<QLineEdit>(*screen, u"txRazonSocial"_s)->text(), u"Banco 1°"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(focused(), u"txNroAgente"_s);
    QTest::keyClicks(QApplication::focusWidget(), u"12a.b,5"_s);
    EXPECT_EQ(child<QLineEdit>(*screen, u"txNroAgente"_s)->text(), u"12,5"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    EXPECT_EQ(child<QLineEdit>(*screen, u"txNroAgente"_s)->text(), u"12,"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(focused(), u"bAceptar"_s);
    EXPECT_TRUE(m_ui.messages().isEmpty()) << "no Enter pressed a button on the way";
}

TEST_F(RegistracionTest, CancelClosesWithoutSaving)
{
    auto screen = open();
    child<QLineEdit>(*screen, u"txRazonSocial"_s)->setText(u"Banco"_s);
    QTest::mouseClick(child<QPushButton>(*screen, u"bCancelar"_s), Qt::LeftButton);
    EXPECT_EQ(screen->result(), QDialog::Rejected);
    EXPECT_EQ(m_db.count(u"PARAMETROS"_s), 0);
    EXPECT_TRUE(m_ui.messages().isEmpty());
}
