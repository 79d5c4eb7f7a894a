#include "ScreenTest.h"

#include "app/Main.h"
#include "app/frmSplash.h"
#include "platform/reportengine/RecordingReportEngine.h"
#include "platform/reportengine/ReportEngine.h"
#include "support/Printers.h"

#include <QDir>
#include <QPointer>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QString connectionFailed =
    u"No es posible conectarse a la base de datos. Contáctese con el Administrador del Sistema."_s;
const QString exitQuestion = u"Está seguro que desea salir de la aplicación?"_s;

class ShellTest : public ScreenTest
{
protected:
    ShellTest()
    {
        // Conectar opens the program's own file; the test database lives there already.
        TempDatabase::disconnect();
        report::ReportEngine::install(std::make_unique<report::RecordingReportEngine>());
    }

    ~ShellTest() override
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* menu = qobject_cast<Main*>(window)) {
                m_ui.answerNext(true);
                menu->close();
            }
        }
        TempDatabase::disconnect();
        report::ReportEngine::install(nullptr);
    }

    void addParameter(int id, const QString& value)
    {
        withConnection([&] {
            execute(u"Insert Into PARAMETROS (ID, Descripcion, Valor) values("_s + QString::number(id) + u", 'x', "_s +
                    value + u")"_s);
        });
    }

    template <typename Work>
    void withConnection(Work work)
    {
        db::Database::setCurrent(db::Database::open(m_db.path(), u";pwd=ferlon"_s));
        work();
        TempDatabase::disconnect();
    }

    void registerAgent()
    {
        addParameter(1, u"'20-12345678-6'"_s);
        addParameter(2, u"'Banco'"_s);
        addParameter(3, u"'1234'"_s);
    }

    static void enter(frmSplash& splash)
    {
        QTest::mouseClick(splash.findChild<QPushButton*>(u"cmdOK"_s), Qt::LeftButton);
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

} // namespace

TEST_F(ShellTest, AFailedConnectionKeepsTheWelcomeWindowAndEachEntrarTriesAgain)
{
    QFile::remove(m_db.path());
    QPointer<frmSplash> splash = new frmSplash();
    activate(*splash);
    enter(*splash);
    enter(*splash);
    ASSERT_EQ(m_ui.messages().size(), 2);
    EXPECT_EQ(m_ui.messages().at(1).text, connectionFailed);
    EXPECT_EQ(m_ui.messages().at(1).icon, ui::Ui::Icon::Critical);
    EXPECT_TRUE(splash && splash->isVisible());
    EXPECT_EQ(menu(), nullptr);
    EXPECT_EQ(db::Database::current(), nullptr);
    splash->close();
}

TEST_F(ShellTest, AWrongPasswordFailsLikeAMissingFile)
{
    QFile::remove(m_db.path());
    db::Database::create(m_db.path(), u"otra"_s).reset();
    QPointer<frmSplash> splash = new frmSplash();
    activate(*splash);
    enter(*splash);
    EXPECT_EQ(m_ui.messageTexts(), QStringList{connectionFailed});
    splash->close();
}

TEST_F(ShellTest, AnIncompleteIdentityOpensTheRegistrationBeforeTheMenu)
{
    bool menuShownBefore = true;
    m_ui.onNextModal([&](QDialog&) { menuShownBefore = menu() != nullptr; });
    QPointer<frmSplash> splash = new frmSplash();
    activate(*splash);
    enter(*splash);
    EXPECT_EQ(m_ui.shownScreens(), QStringList{u"Registracion"_s});
    EXPECT_FALSE(menuShownBefore);
    ASSERT_NE(menu(), nullptr) << "cancelling the registration still leaves the menu";
    EXPECT_EQ(menu()->windowTitle(), u" TOLBRANE - Sistemas de Agentes de Recaudacion"_s);
    QApplication::processEvents();
    EXPECT_TRUE(splash.isNull() || !splash->isVisible()) << "the welcome window is gone";
    ASSERT_NE(db::Database::current(), nullptr);
}

TEST_F(ShellTest, TheIdentityIsLoadedFromTheParameterTable)
{
    registerAgent();
    QPointer<frmSplash> splash = new frmSplash();
    activate(*splash);
    enter(*splash);
    EXPECT_TRUE(m_ui.shownScreens().isEmpty()) << "a complete identity opens no registration";
    const clsCodigo& codigo = clsCodigo::instance();
    EXPECT_EQ(codigo.Par_CUIT, u"20-12345678-6"_s);
    EXPECT_EQ(codigo.Par_Denomin, u"Banco"_s);
    EXPECT_EQ(codigo.Par_Agente, 1234);
    EXPECT_NE(menu(), nullptr);
}

TEST_F(ShellTest, AnAgentNumberThatIsNotANumberCountsAsNone)
{
    addParameter(1, u"'20-12345678-6'"_s);
    addParameter(2, u"'Banco'"_s);
    addParameter(3, u"'12,,3'"_s);
    QPointer<frmSplash> splash = new frmSplash();
    activate(*splash);
    enter(*splash);
    EXPECT_EQ(clsCodigo::instance().Par_Agente, 0);
    EXPECT_EQ(m_ui.shownScreens(), QStringList{u"Registracion"_s});
}

TEST_F(ShellTest, ExitAsksAndNoChangesNothing)
{
    registerAgent();
    QPointer<frmSplash> splash = new frmSplash();
    activate(*splash);
    enter(*splash);
    QPointer<Main> shown = menu();
    ASSERT_TRUE(shown);

    m_ui.answerNext(false);
    QTest::mouseClick(shown->findChild<QPushButton*>(u"bSalir"_s), Qt::LeftButton);
    ASSERT_EQ(m_ui.messages().size(), 1);
    EXPECT_TRUE(m_ui.messages().at(0).question);
    EXPECT_EQ(m_ui.messages().at(0).text, exitQuestion);
    EXPECT_TRUE(shown->isVisible());

    m_ui.answerNext(true);
    QTest::mouseClick(shown->findChild<QPushButton*>(u"bSalir"_s), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(shown.isNull() || !shown->isVisible());
    EXPECT_EQ(m_ui.messages().size(), 2) << "asked once per exit";
}

TEST_F(ShellTest, SalirClosesTheWelcomeWindowWithoutOpeningTheDatabase)
{
    QPointer<frmSplash> splash = new frmSplash();
    activate(*splash);
    QTest::mouseClick(splash->findChild<QPushButton*>(u"cmdCancel"_s), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(splash.isNull() || !splash->isVisible());
    EXPECT_EQ(db::Database::current(), nullptr);
}

TEST_F(ShellTest, HelpOpensTheNamedDocumentUntrimmed)
{
    registerAgent();
    addParameter(6, u"' manual.html'"_s);
    QPointer<frmSplash> splash = new frmSplash();
    activate(*splash);
    enter(*splash);
    QTest::mouseClick(menu()->findChild<QPushButton*>(u"bAyuda"_s), Qt::LeftButton);
    EXPECT_EQ(m_ui.openedDocuments(),
              QStringList{QDir::toNativeSeparators(m_db.dir()) + QDir::separator() + u" manual.html"_s});
    EXPECT_EQ(m_ui.timesBusy(), 2) << "the hourglass while the menu opened and while help opened";

    execute(u"Update PARAMETROS Set Valor = '   ' Where ID = 6"_s);
    QTest::mouseClick(menu()->findChild<QPushButton*>(u"bAyuda"_s), Qt::LeftButton);
    execute(u"Delete from PARAMETROS Where ID = 6"_s);
    QTest::mouseClick(menu()->findChild<QPushButton*>(u"bAyuda"_s), Qt::LeftButton);
    EXPECT_EQ(m_ui.openedDocuments().size(), 1) << "a blank or missing name opens nothing";
    EXPECT_TRUE(m_ui.messages().isEmpty());
}
