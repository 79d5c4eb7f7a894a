#include "support/ReportFiles.h"
#include "support/ScreenFixture.h"

#include "app/Main.h"
#include "app/frmSplash.h"
#include "data/clsCodigo.h"
#include "platform/ui/CuitEdit.h"
#include "platform/ui/DesktopHabits.h"
#include "screens/registration/Registracion.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using Icon = ui::Ui::Icon;
using Message = ui::ScriptedUi::Message;

namespace {

// "Entrar" opens the program's own file, where the test database lives already.
class ShellTest : public ScreenFixture
{
protected:
    ShellTest() { TempDatabase::disconnect(); }

    ~ShellTest() override
    {
        if (Main* shown = menu()) {
            m_operator.answerNext(true);
            shown->close();
        }
        TempDatabase::disconnect();
    }

    /// Stores the agent's CUIT and name and the given agent number.
    void storeIdentity(const QString& agente)
    {
        db::Database::setCurrent(db::Database::open(m_db.path(), u";pwd=ferlon"_s));
        execute(u"Insert Into PARAMETROS (ID, Descripcion, Valor) values (1, 'x', '20-12345678-6'), "
                u"(2, 'x', 'Banco'), (3, 'x', '%1')"_s.arg(agente));
        TempDatabase::disconnect();
    }

    /// Opens the welcome window and presses "Entrar".
    QPointer<frmSplash> enter()
    {
        QPointer<frmSplash> splash = new frmSplash();
        activate(*splash);
        click(*splash, u"cmdOK"_s);
        return splash;
    }

    static Main* menu()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<Main*>(window); found && found->isVisible())
                return found;
        }
        return nullptr;
    }
};

// Files that must not connect: a file another program is writing, another password, an empty file, a database of
// another program. Each gives the connection message and is left exactly as it was.
TEST_F(ShellTest, AnUnusableFileKeepsTheWelcomeWindowAndIsLeftUntouchedUntilSalir)
{
    for (const QString& kind : {u"locked"_s, u"password"_s, u"empty"_s, u"foreign"_s}) {
        SCOPED_TRACE(kind.toStdString());
        m_operator.clearMessages();
        std::unique_ptr<db::Database> other;
        if (kind != u"locked") {
            QFile::remove(m_db.path());
            if (kind == u"empty")
                QFile(m_db.path()).open(QIODevice::WriteOnly);
            else if (kind == u"password")
                db::Database::create(m_db.path(), u"otra"_s).reset();
            else
                db::Database::create(m_db.path(), u"ferlon"_s)->executeScript(u"CREATE TABLE Clientes (Nombre TEXT)"_s);
        } else {
            other = db::Database::open(m_db.path(), u";pwd=ferlon"_s);
            other->executeScript(u"BEGIN EXCLUSIVE"_s);
        }
        const QByteArray before = ReportFiles::read(m_db.path());

        QPointer<frmSplash> splash = enter();
        EXPECT_EQ(m_operator.messages(), (QList<Message>{{u"No es posible conectarse a la base de datos. Contáctese "
                                                          u"con el Administrador del Sistema."_s,
                                                          Icon::Critical}}));
        EXPECT_EQ(std::tuple(splash && splash->isVisible(), menu()), std::tuple(true, nullptr));
        EXPECT_EQ(ReportFiles::read(m_db.path()), before) << "nothing is written to a file that does not connect";
        click(*splash, u"cmdCancel"_s);
        QApplication::processEvents();
        EXPECT_TRUE(splash.isNull() || !splash->isVisible());
    }
}

// The registration opens before the menu when no agent number is stored, or one that is not a number.
class IncompleteIdentityTest : public ShellTest, public ::testing::WithParamInterface<QString>
{};

TEST_P(IncompleteIdentityTest, EntrarAsksForTheRegistrationBeforeTheMenu)
{
    if (!GetParam().isEmpty())
        storeIdentity(GetParam());
    bool menuShownBefore = true;
    m_operator.onNextModal([&](QDialog&) { menuShownBefore = menu() != nullptr; });
    enter();
    EXPECT_EQ(std::tuple(m_operator.shownScreens(), menuShownBefore, clsCodigo::instance().Par_Agente),
              std::tuple(QStringList{u"Registracion"_s}, false, 0));
    EXPECT_NE(menu(), nullptr) << "cancelling the registration still leaves the menu";
}

INSTANTIATE_TEST_SUITE_P(Identity, IncompleteIdentityTest, ::testing::Values(QString(), u"12,,3"_s));

TEST_F(ShellTest, ACompleteIdentityOpensTheMenuWhereHelpOpensTheNamedDocumentAndExitAsksFirst)
{
    storeIdentity(u"1234"_s);
    QPointer<frmSplash> splash = enter();
    QApplication::processEvents();
    EXPECT_TRUE(splash.isNull() || !splash->isVisible()) << "the welcome window is gone";
    EXPECT_TRUE(m_operator.shownScreens().isEmpty());
    EXPECT_EQ(identity(), u"20-12345678-6 Banco 1234"_s);

    QPointer<Main> shown = menu();
    ASSERT_TRUE(shown);
    // As on the operators' desktops, Enter presses the button that has the focus.
    ui::installDesktopHabits(*qApp);
    auto* ar03 = child<QPushButton>(*shown, u"bAR03"_s);
    ar03->setFocus();
    QTest::keyClick(ar03, Qt::Key_Return);
    EXPECT_EQ(m_operator.shownScreens(), QStringList{u"Impresion_AR03"_s});
    EXPECT_EQ(QLocale().monthName(12), u"diciembre"_s) << "the calendar's months, whatever LANG says";
    // The document's name is taken untrimmed; a blank or missing one opens nothing.
    for (const QString& name : {u"' manual.html'"_s, u"'   '"_s, QString()}) {
        execute(u"Delete from PARAMETROS Where ID = 6"_s);
        if (!name.isEmpty())
            execute(u"Insert Into PARAMETROS (ID, Descripcion, Valor) values (6, 'x', %1)"_s.arg(name));
        click(*shown, u"bAyuda"_s);
    }
    EXPECT_EQ(m_operator.openedDocuments(),
              QStringList{QDir::toNativeSeparators(m_db.dir()) + QDir::separator() + u" manual.html"_s});

    clickAnswering(*shown, u"bSalir"_s, false);
    EXPECT_TRUE(shown->isVisible());
    clickAnswering(*shown, u"bSalir"_s, true);
    QApplication::processEvents();
    EXPECT_TRUE(shown.isNull() || !shown->isVisible());
    const Message salir{u"Está seguro que desea salir de la aplicación?"_s, Icon::Question, true};
    // A document that cannot be opened is named in full, so that the operator can open it by hand.
    EXPECT_EQ(m_operator.messages(), QList<Message>({{u"No se ha podido abrir el documento de ayuda. Puede abrirlo con "
                                                      u"el navegador desde el archivo:\n"_s +
                                                      m_operator.openedDocuments().value(0)},
                                                     salir,
                                                     salir}));
}

const QString validCuit = u"20123456786"_s;

class RegistracionTest : public ScreenFixture
{
protected:
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
    auto screen = show<Registracion>();
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
        m_operator.clearMessages();
        fillAndAccept(*screen, c.cuit, c.razon, c.agente);
        EXPECT_EQ(std::tuple(m_operator.messages(), focusName()), std::tuple(QList<Message>{{c.message}}, c.focus));
    }
    EXPECT_EQ(m_db.count(u"PARAMETROS"_s), 0) << "nothing is stored before every check passed";

    m_db.db().executeScript(
        u"CREATE TRIGGER solo_lectura BEFORE INSERT ON PARAMETROS BEGIN SELECT RAISE(ABORT, 'x'); END"_s);
    m_operator.clearMessages();
    fillAndAccept(*screen, validCuit, u"Banco"_s, u"1"_s);
    EXPECT_EQ(std::tuple(screen->isVisible(), clsCodigo::instance().Par_Denomin), std::tuple(true, QString()));

    // Another program reading the file keeps the three from being saved: none is.
    m_db.db().executeScript(u"DROP TRIGGER solo_lectura"_s);
    m_db.whileOtherProgramReads([&] { fillAndAccept(*screen, validCuit, u"Banco"_s, u"1"_s); });
    EXPECT_EQ(m_operator.messageTexts(), QStringList(2, u"No se ha podido realizar la registración correctamente."_s));
    m_db.reconnect();
    EXPECT_EQ(m_db.count(u"PARAMETROS"_s), 0);
}

TEST_F(RegistracionTest, TypedThroughTheKeyFiltersTheIdentityIsInsertedAndThenUpdated)
{
    auto screen = show<Registracion>();
    // Each box drops the keys its filter refuses; Enter moves on, from the last box to the button
    // without pressing it.
    child<ui::CuitEdit>(*screen, u"TxCuit"_s)->setFocus();
    child<ui::CuitEdit>(*screen, u"TxCuit"_s)->setCursorPosition(0);
    for (const QString& typed : {u"2x0-12345678-6"_s, u"  Banco O'Higgins 1°  "_s, u"12a.b,5\b5"_s}) {
        QTest::keyClicks(QApplication::focusWidget(), typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    EXPECT_EQ(std::tuple(focusName(), m_operator.messageTexts()), std::tuple(u"bAceptar"_s, QStringList()));
    click(*screen, u"bAceptar"_s);
    EXPECT_EQ(m_operator.messageTexts(), QStringList{u"Se ha realizado la registración correctamente."_s});
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(parameters(), u"20-12345678-6 | Banco O`Higgins 1° | 12,5"_s);
    EXPECT_EQ(identity(), u"20-12345678-6 Banco O'Higgins 1° 12.5"_s);

    auto again = show<Registracion>();
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
        m_operator.clearMessages();
        auto screen = show<Registracion>();
        EXPECT_EQ(m_operator.messageTexts(),
                  QStringList{u"No se pueden realizar cambios en la Registración. Existen "_s + reason +
                              u". Solo podrá consultar los datos."_s});
        EXPECT_FALSE(child<QWidget>(*screen, u"bAceptar"_s)->isVisible());
        EXPECT_FALSE(child<QWidget>(*screen, u"Frame1"_s)->isEnabled());
    }
}

} // namespace
