#include "support/ScreenFixture.h"

#include "app/Main.h"
#include "app/frmSplash.h"
#include "data/clsCodigo.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class ShellTest : public ScreenFixture
{
protected:
    // "Entrar" opens the program's own file; the test database lives there already.
    ShellTest() { TempDatabase::disconnect(); }

    ~ShellTest() override
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* shown = qobject_cast<Main*>(window)) {
                m_ui.answerNext(true);
                shown->close();
            }
        }
        TempDatabase::disconnect();
    }

    /// Stores the agent's CUIT and name and the given agent number ("" stores no parameter at all).
    void storeIdentity(const QString& agente)
    {
        if (agente.isEmpty())
            return;
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

TEST_F(ShellTest, AMissingFileOrAWrongPasswordKeepsTheWelcomeWindowUntilSalir)
{
    for (const bool wrongPassword : {false, true}) {
        SCOPED_TRACE(wrongPassword ? "wrong password" : "missing file");
        m_ui.clearMessages();
        QFile::remove(m_db.path());
        if (wrongPassword)
            db::Database::create(m_db.path(), u"otra"_s).reset();
        QPointer<frmSplash> splash = enter();
        click(*splash, u"cmdOK"_s);
        EXPECT_EQ(m_ui.messages(),
                  QList<ui::ScriptedUi::Message>(2, {u"No es posible conectarse a la base de datos. Contáctese con el "
                                                     u"Administrador del Sistema."_s,
                                                     ui::Ui::Icon::Critical, false}))
            << "each Entrar tries again";
        EXPECT_TRUE(splash && splash->isVisible());
        EXPECT_EQ(menu(), nullptr);
        click(*splash, u"cmdCancel"_s);
        QApplication::processEvents();
        EXPECT_TRUE(splash.isNull() || !splash->isVisible());
        EXPECT_EQ(db::Database::current(), nullptr);
    }
}

struct IdentityCase
{
    const char* name;
    QString agente; ///< the stored agent number, "" for no parameters at all
    bool asks;      ///< the registration opens before the menu
    double loaded;
};

class IdentityTest : public ShellTest, public ::testing::WithParamInterface<IdentityCase>
{};

TEST_P(IdentityTest, EntrarLoadsTheIdentityAndAsksForAnIncompleteOneBeforeTheMenu)
{
    storeIdentity(GetParam().agente);
    bool menuShownBefore = false;
    if (GetParam().asks)
        m_ui.onNextModal([&](QDialog&) { menuShownBefore = menu() != nullptr; });
    QPointer<frmSplash> splash = enter();
    EXPECT_EQ(m_ui.shownScreens(), GetParam().asks ? QStringList{u"Registracion"_s} : QStringList{});
    EXPECT_FALSE(menuShownBefore);
    ASSERT_NE(menu(), nullptr) << "cancelling the registration still leaves the menu";
    QApplication::processEvents();
    EXPECT_TRUE(splash.isNull() || !splash->isVisible()) << "the welcome window is gone";
    const clsCodigo& codigo = clsCodigo::instance();
    EXPECT_EQ(codigo.Par_Agente, GetParam().loaded);
    if (!GetParam().agente.isEmpty()) {
        EXPECT_EQ(codigo.Par_CUIT + u' ' + codigo.Par_Denomin, u"20-12345678-6 Banco"_s);
    }
}

const IdentityCase identityCases[] = {
    {"NoParameters", {}, true, 0},
    {"AnAgentNumberThatIsNotANumberCountsAsNone", u"12,,3"_s, true, 0},
    {"Complete", u"1234"_s, false, 1234},
};

INSTANTIATE_TEST_SUITE_P(Identity, IdentityTest, ::testing::ValuesIn(identityCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellTest, HelpOpensTheNamedDocumentUntrimmedAndExitAsksFirst)
{
    storeIdentity(u"1234"_s);
    enter();
    QPointer<Main> shown = menu();
    ASSERT_TRUE(shown);
    for (const QString& name : {u"' manual.html'"_s, u"'   '"_s, QString()}) {
        execute(u"Delete from PARAMETROS Where ID = 6"_s);
        if (!name.isEmpty())
            execute(u"Insert Into PARAMETROS (ID, Descripcion, Valor) values (6, 'x', %1)"_s.arg(name));
        click(*shown, u"bAyuda"_s);
    }
    EXPECT_EQ(m_ui.openedDocuments(),
              QStringList{QDir::toNativeSeparators(m_db.dir()) + QDir::separator() + u" manual.html"_s})
        << "a blank or missing name opens nothing";
    EXPECT_EQ(m_ui.timesBusy(), 4) << "the hourglass once for the menu and once per press";

    m_ui.answerNext(false);
    click(*shown, u"bSalir"_s);
    EXPECT_TRUE(shown->isVisible());
    m_ui.answerNext(true);
    click(*shown, u"bSalir"_s);
    QApplication::processEvents();
    EXPECT_TRUE(shown.isNull() || !shown->isVisible());
    EXPECT_EQ(m_ui.messages(), QList<ui::ScriptedUi::Message>(2, {u"Está seguro que desea salir de la aplicación?"_s,
                                                                  ui::Ui::Icon::Question, true}));
}

} // namespace
