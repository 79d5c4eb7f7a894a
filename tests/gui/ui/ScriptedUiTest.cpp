#include "Printers.h"

#include "platform/ui/BusyCursor.h"
#include "platform/ui/ScriptedUi.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::StringLiterals;
using ui::ScriptedUi;
using Icon = ui::Ui::Icon;

namespace {

class ScriptedUiTest : public ::testing::Test
{
protected:
    ~ScriptedUiTest() override { ui::Ui::install(nullptr); }

    ScriptedUi& m_ui = ScriptedUi::install();
};

// A screen with a text box and a button that opens another screen modally, as the list screens do.
class Screen : public QDialog
{
public:
    explicit Screen(const QString& name, QWidget* parent = nullptr) : QDialog(parent)
    {
        setObjectName(name);
        auto* layout = new QVBoxLayout(this);
        edit = new QLineEdit(this);
        button = new QPushButton(u"&Nuevo"_s, this);
        layout->addWidget(edit);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this] {
            Screen child(u"Hijo"_s, this);
            ui::Ui::current().showModal(child);
            childResult = child.result();
        });
    }

    QLineEdit* edit;
    QPushButton* button;
    int childResult = -1;
};

} // namespace

TEST_F(ScriptedUiTest, RecordsMessagesAndAnswersQuestionsInOrder)
{
    m_ui.answerNext(true);
    m_ui.answerNext(false);

    ui::Ui& current = ui::Ui::current();
    current.message(u"Debe ingresar la Semana."_s, Icon::Information);
    EXPECT_TRUE(current.ask(u"¿Primera?"_s));
    EXPECT_FALSE(current.ask(u"¿Segunda?"_s));
    current.message(u"El archivo de Interfase no existe"_s, Icon::Error);

    const QList<ScriptedUi::Message> expected{
        {u"Debe ingresar la Semana."_s, Icon::Information, false},
        {u"¿Primera?"_s, Icon::Question, true},
        {u"¿Segunda?"_s, Icon::Question, true},
        {u"El archivo de Interfase no existe"_s, Icon::Error, false},
    };
    EXPECT_EQ(m_ui.messages(), expected);
    EXPECT_TRUE(m_ui.unansweredQuestions().isEmpty());
    EXPECT_EQ(m_ui.pendingAnswers(), 0);

    m_ui.clearMessages();
    EXPECT_TRUE(m_ui.messages().isEmpty());
}

TEST_F(ScriptedUiTest, UnansweredQuestionSaysNoAndIsReported)
{
    EXPECT_FALSE(ui::Ui::current().ask(u"Está seguro que desea salir de la aplicación?"_s));
    EXPECT_EQ(m_ui.unansweredQuestions(), QStringList{u"Está seguro que desea salir de la aplicación?"_s});
    EXPECT_EQ(m_ui.messageTexts(), QStringList{u"Está seguro que desea salir de la aplicación?"_s});
}

TEST_F(ScriptedUiTest, ModalCallbacksDriveNestedScreensInQueueOrder)
{
    Screen outer(u"Lista"_s);
    QStringList steps;

    m_ui.onNextModal([&](QDialog& screen) {
        steps << u"lista"_s;
        EXPECT_EQ(&screen, &outer);
        EXPECT_TRUE(outer.isVisible());
        EXPECT_EQ(QApplication::activeWindow(), &outer);
        outer.edit->setFocus();
        EXPECT_TRUE(outer.edit->hasFocus());

        QTest::mouseClick(outer.button, Qt::LeftButton);
        steps << u"lista otra vez"_s;
        EXPECT_EQ(outer.childResult, QDialog::Accepted);
        // Back on the opener, with the focus where it was: on the button the mouse pressed.
        EXPECT_EQ(QApplication::activeWindow(), &outer);
        EXPECT_EQ(QApplication::focusWidget(), outer.button);
    });
    m_ui.onNextModal([&](QDialog& screen) {
        steps << u"hijo"_s;
        auto& child = static_cast<Screen&>(screen);
        EXPECT_EQ(QApplication::activeWindow(), &child);
        child.edit->setFocus();
        EXPECT_EQ(QApplication::focusWidget(), child.edit);
        QTest::keyClicks(child.edit, u"200209"_s);
        EXPECT_EQ(child.edit->text(), u"200209"_s);
        child.accept();
    });

    ui::Ui::current().showModal(outer);

    EXPECT_EQ(steps, (QStringList{u"lista"_s, u"hijo"_s, u"lista otra vez"_s}));
    EXPECT_EQ(m_ui.shownScreens(), (QStringList{u"Lista"_s, u"Hijo"_s}));
    // The outer callback left its screen open: it is closed as if cancelled.
    EXPECT_FALSE(outer.isVisible());
    EXPECT_EQ(outer.result(), QDialog::Rejected);
    EXPECT_EQ(m_ui.pendingModals(), 0);
}

TEST_F(ScriptedUiTest, ScreenWithoutCallbackClosesAtOnce)
{
    Screen outer(u"Lista"_s);
    m_ui.onNextModal([&](QDialog&) { QTest::mouseClick(outer.button, Qt::LeftButton); });

    ui::Ui::current().showModal(outer);

    EXPECT_EQ(m_ui.shownScreens(), (QStringList{u"Lista"_s, u"Hijo"_s}));
    EXPECT_EQ(outer.childResult, QDialog::Rejected);
    EXPECT_FALSE(outer.isVisible());
}

TEST_F(ScriptedUiTest, ScreenIsClosedEvenWhenTheCallbackThrows)
{
    Screen outer(u"Lista"_s);
    m_ui.onNextModal([](QDialog&) { throw std::runtime_error("falla"); });

    EXPECT_THROW(ui::Ui::current().showModal(outer), std::runtime_error);
    EXPECT_FALSE(outer.isVisible());
    EXPECT_FALSE(outer.testAttribute(Qt::WA_ShowModal));
}

TEST_F(ScriptedUiTest, FileDialogAnswersFromQueueAndDocumentsAreRecorded)
{
    m_ui.setNextFileName(u"/datos/interfase.txt"_s);
    ui::Ui& current = ui::Ui::current();

    EXPECT_EQ(current.openFileName(nullptr, u"Archivo para la Importación Detalle de DDJJ"_s, {},
                                   u"Todos los archivos (*.*)"_s),
              u"/datos/interfase.txt"_s);
    EXPECT_EQ(current.openFileName(nullptr, u"Otra vez"_s, u"/datos"_s, {}), QString());
    ASSERT_EQ(m_ui.fileRequests().size(), 2);
    EXPECT_EQ(m_ui.fileRequests().at(0).caption, u"Archivo para la Importación Detalle de DDJJ"_s);
    EXPECT_EQ(m_ui.fileRequests().at(0).filter, u"Todos los archivos (*.*)"_s);
    EXPECT_EQ(m_ui.fileRequests().at(1).directory, u"/datos"_s);

    current.openDocument(u"/programa/ayuda.pdf"_s);
    EXPECT_EQ(m_ui.openedDocuments(), QStringList{u"/programa/ayuda.pdf"_s});
}

namespace {

bool printWithEarlyReturn(bool registered)
{
    const ui::BusyCursor busy;
    if (!registered) {
        ui::Ui::current().message(u"Para poder imprimir el formulario deberá especificar el Nro de Agente en la "
                                  u"opción de Registración."_s,
                                  Icon::Information);
        return false;
    }
    return true;
}

} // namespace

TEST_F(ScriptedUiTest, BusyCursorNestsAndIsRestoredOnEveryExit)
{
    {
        const ui::BusyCursor outer;
        EXPECT_TRUE(m_ui.isBusy());
        {
            const ui::BusyCursor inner;
            EXPECT_TRUE(m_ui.isBusy());
        }
        EXPECT_TRUE(m_ui.isBusy());
        EXPECT_TRUE(ui::BusyCursor::active());
    }
    EXPECT_FALSE(m_ui.isBusy());
    EXPECT_FALSE(ui::BusyCursor::active());
    EXPECT_EQ(m_ui.timesBusy(), 1);

    EXPECT_FALSE(printWithEarlyReturn(false));
    EXPECT_FALSE(m_ui.isBusy());
    EXPECT_EQ(m_ui.messages().size(), 1);

    EXPECT_THROW(
        {
            const ui::BusyCursor busy;
            throw std::runtime_error("falla");
        },
        std::runtime_error);
    EXPECT_FALSE(m_ui.isBusy());
    EXPECT_EQ(m_ui.timesBusy(), 3);
}
