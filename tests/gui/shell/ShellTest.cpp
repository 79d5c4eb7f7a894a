#include "support/ScreenFixture.h"

#include "app/Main.h"
#include "app/frmSplash.h"
#include "data/clsCodigo.h"
#include "platform/ui/DesktopHabits.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// "Entrar" opens the program's own file, where the test database lives already.
class ShellTest : public ScreenFixture
{
protected:
    ShellTest() { TempDatabase::disconnect(); }

    ~ShellTest() override
    {
        if (Main* shown = menu()) {
            m_ui.answerNext(true);
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

// Files that must not connect: another password, an empty file, a database of another program, a file
// another program is writing. Each gives the connection message and is left exactly as it was.
class UnusableFileTest : public ShellTest, public ::testing::WithParamInterface<const char*>
{};

TEST_P(UnusableFileTest, KeepsTheWelcomeWindowAndTheFileUntouchedUntilSalir)
{
    const QString kind = QString::fromLatin1(GetParam());
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
    const auto contents = [this] {
        QFile file(m_db.path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
    };
    const QByteArray before = contents();

    QPointer<frmSplash> splash = enter();
    EXPECT_EQ(m_ui.messages(), (QList<ui::ScriptedUi::Message>{{u"No es posible conectarse a la base de datos. "
                                                                u"Contáctese con el Administrador del Sistema."_s,
                                                                ui::Ui::Icon::Critical, false}}));
    EXPECT_TRUE(splash && splash->isVisible());
    EXPECT_EQ(menu(), nullptr);
    EXPECT_EQ(contents(), before) << "nothing is written to a file that does not connect";
    click(*splash, u"cmdCancel"_s);
    QApplication::processEvents();
    EXPECT_TRUE(splash.isNull() || !splash->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Files, UnusableFileTest, ::testing::Values("password", "empty", "foreign", "locked"));

// The registration opens before the menu when no agent number is stored, or one that is not a number.
class IncompleteIdentityTest : public ShellTest, public ::testing::WithParamInterface<QString>
{};

TEST_P(IncompleteIdentityTest, EntrarAsksForTheRegistrationBeforeTheMenu)
{
    if (!GetParam().isEmpty())
        storeIdentity(GetParam());
    bool menuShownBefore = true;
    m_ui.onNextModal([&](QDialog&) { menuShownBefore = menu() != nullptr; });
    enter();
    EXPECT_EQ(m_ui.shownScreens(), QStringList{u"Registracion"_s});
    EXPECT_FALSE(menuShownBefore);
    EXPECT_NE(menu(), nullptr) << "cancelling the registration still leaves the menu";
    EXPECT_EQ(clsCodigo::instance().Par_Agente, 0);
}

INSTANTIATE_TEST_SUITE_P(Identity, IncompleteIdentityTest, ::testing::Values(QString(), u"12,,3"_s));

TEST_F(ShellTest, ACompleteIdentityOpensTheMenuWhereHelpOpensTheNamedDocumentAndExitAsksFirst)
{
    storeIdentity(u"1234"_s);
    QPointer<frmSplash> splash = enter();
    QApplication::processEvents();
    EXPECT_TRUE(splash.isNull() || !splash->isVisible()) << "the welcome window is gone";
    EXPECT_TRUE(m_ui.shownScreens().isEmpty());
    const clsCodigo& codigo = clsCodigo::instance();
    EXPECT_EQ(u"%1 %2 %3"_s.arg(codigo.Par_CUIT, codigo.Par_Denomin).arg(codigo.Par_Agente),
              u"20-12345678-6 Banco 1234"_s);

    QPointer<Main> shown = menu();
    ASSERT_TRUE(shown);
    // As on the operators' desktops, Enter presses the button that has the focus.
    ui::installDesktopHabits(*qApp);
    auto* ar03 = child<QPushButton>(*shown, u"bAR03"_s);
    ar03->setFocus();
    QTest::keyClick(ar03, Qt::Key_Return);
    EXPECT_EQ(m_ui.shownScreens(), QStringList{u"Impresion_AR03"_s});
    EXPECT_EQ(QLocale().monthName(12), u"diciembre"_s) << "the calendar's months, whatever LANG says";
    // The document's name is taken untrimmed; a blank or missing one opens nothing.
    for (const QString& name : {u"' manual.html'"_s, u"'   '"_s, QString()}) {
        execute(u"Delete from PARAMETROS Where ID = 6"_s);
        if (!name.isEmpty())
            execute(u"Insert Into PARAMETROS (ID, Descripcion, Valor) values (6, 'x', %1)"_s.arg(name));
        click(*shown, u"bAyuda"_s);
    }
    EXPECT_EQ(m_ui.openedDocuments(),
              QStringList{QDir::toNativeSeparators(m_db.dir()) + QDir::separator() + u" manual.html"_s});

    m_ui.answerNext(false);
    click(*shown, u"bSalir"_s);
    EXPECT_TRUE(shown->isVisible());
    m_ui.answerNext(true);
    click(*shown, u"bSalir"_s);
    QApplication::processEvents();
    EXPECT_TRUE(shown.isNull() || !shown->isVisible());
    const ui::ScriptedUi::Message salir{u"Está seguro que desea salir de la aplicación?"_s, ui::Ui::Icon::Question,
                                        true};
    // A document that cannot be opened is named in full, so that the operator can open it by hand.
    EXPECT_EQ(m_ui.messages(), QList<ui::ScriptedUi::Message>(
                                   {{u"No se ha podido abrir el documento de ayuda. Puede abrirlo con el navegador "
                                     u"desde el archivo:\n"_s +
                                     m_ui.openedDocuments().value(0)},
                                    salir,
                                    salir}));
}

} // namespace
