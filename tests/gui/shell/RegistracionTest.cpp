#include "support/ScreenFixture.h"

#include "data/clsCodigo.h"
#include "platform/ui/CuitEdit.h"
#include "screens/registration/Registracion.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString validCuit = u"20123456786"_s;

class RegistracionTest : public ScreenFixture
{
protected:
    std::unique_ptr<Registracion> open()
    {
        auto screen = std::make_unique<Registracion>();
        activate(*screen);
        return screen;
    }

    /// Types into the three boxes (through the key filters) and presses "&Aceptar".
    static void fillAndAccept(Registracion& screen, const QString& cuit, const QString& razon, const QString& agente)
    {
        for (const auto& [box, text] :
             {std::pair{u"TxCuit"_s, cuit}, std::pair{u"txRazonSocial"_s, razon}, std::pair{u"txNroAgente"_s, agente}})
            type(screen, box, text);
        click(screen, u"bAceptar"_s);
    }

    /// The stored CUIT, name and agent number.
    QString parameters()
    {
        return m_db.scalar(u"select group_concat(Valor, ' | ') from (select Valor from PARAMETROS order by ID)"_s)
            .toString();
    }
};

TEST_F(RegistracionTest, ChecksInOrderWithTheirMessagesAndFocusAndAFailedWriteSaysSo)
{
    auto screen = open();
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
    };
    for (const auto& c : cases) {
        m_ui.clearMessages();
        fillAndAccept(*screen, c.cuit, c.razon, c.agente);
        EXPECT_EQ(m_ui.messages(), (QList<ui::ScriptedUi::Message>{{c.message, ui::Ui::Icon::Information, false}}));
        EXPECT_EQ(focusName(), c.focus) << c.message.toStdString();
    }
    EXPECT_EQ(m_db.count(u"PARAMETROS"_s), 0) << "nothing is stored before every check passed";

    m_db.db().executeScript(
        u"CREATE TRIGGER solo_lectura BEFORE INSERT ON PARAMETROS BEGIN SELECT RAISE(ABORT, 'x'); END"_s);
    m_ui.clearMessages();
    fillAndAccept(*screen, validCuit, u"Banco"_s, u"1"_s);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"No se ha podido realizar la registración correctamente."_s});
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(clsCodigo::instance().Par_Denomin, QString());

    // Another program reading the file keeps the three from being saved: none is.
    m_db.db().executeScript(u"DROP TRIGGER solo_lectura"_s);
    {
        const auto reader = m_db.otherProgramReading();
        fillAndAccept(*screen, validCuit, u"Banco"_s, u"1"_s);
    }
    EXPECT_EQ(m_ui.messageTexts().last(), u"No se ha podido realizar la registración correctamente."_s);
    m_db.reconnect();
    EXPECT_EQ(m_db.count(u"PARAMETROS"_s), 0);
}

TEST_F(RegistracionTest, TypedThroughTheKeyFiltersTheIdentityIsInsertedAndThenUpdated)
{
    auto screen = open();
    // Each box drops the keys its filter refuses; Enter moves on, from the last box to the button
    // without pressing it.
    child<ui::CuitEdit>(*screen, u"TxCuit"_s)->setFocus();
    child<ui::CuitEdit>(*screen, u"TxCuit"_s)->setCursorPosition(0);
    for (const QString& typed : {u"2x0-12345678-6"_s, u"  Banco O'Higgins 1°  "_s, u"12a.b,5\b5"_s}) {
        QTest::keyClicks(QApplication::focusWidget(), typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    EXPECT_EQ(focusName(), u"bAceptar"_s);
    EXPECT_TRUE(m_ui.messages().isEmpty());
    click(*screen, u"bAceptar"_s);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"Se ha realizado la registración correctamente."_s});
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(parameters(), u"20-12345678-6 | Banco O`Higgins 1° | 12,5"_s);
    const clsCodigo& codigo = clsCodigo::instance();
    EXPECT_EQ(u"%1 %2 %3"_s.arg(codigo.Par_CUIT, codigo.Par_Denomin).arg(codigo.Par_Agente),
              u"20-12345678-6 Banco O'Higgins 1° 12.5"_s);

    auto again = open();
    EXPECT_EQ(child<ui::CuitEdit>(*again, u"TxCuit"_s)->maskText(), u"20-12345678-6"_s) << "the stored CUIT is shown";
    fillAndAccept(*again, u"30712345671"_s, u"Otro Banco"_s, u"1234"_s);
    EXPECT_EQ(parameters(), u"30-71234567-1 | Otro Banco | 1234"_s);
}

TEST_F(RegistracionTest, ViewingModeWhilePaymentsExistOrLinesArePending)
{
    // The second time both hold: only the pending lines are named.
    const std::pair<QString, QString> steps[] = {
        {u"Insert Into AR03 (Posicion_Fiscal, Semana) values(200209, 1)"_s, u"pagos (AR03)"_s},
        {u"Insert Into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_CBU, N_Cuit) values(1, 200209, '1', 1)"_s,
         u"Detalles de DDJJ asociadas sin generar"_s}};
    for (const auto& [insert, reason] : steps) {
        execute(insert);
        m_ui.clearMessages();
        auto screen = open();
        EXPECT_EQ(m_ui.messageTexts(), QStringList{u"No se pueden realizar cambios en la Registración. Existen "_s +
                                                   reason + u". Solo podrá consultar los datos."_s});
        EXPECT_FALSE(child<QWidget>(*screen, u"bAceptar"_s)->isVisible());
        EXPECT_FALSE(child<QWidget>(*screen, u"Frame1"_s)->isEnabled());
    }
}

} // namespace
