#include "support/Printers.h"

#include "platform/ui/BusyCursor.h"
#include "platform/ui/QtUi.h"
#include "platform/ui/ScriptedUi.h"
#include "platform/ui/SpanishTranslations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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
struct Screen : QDialog
{
    explicit Screen(const QString& name, QWidget* parent = nullptr) : QDialog(parent)
    {
        setObjectName(name);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(edit);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this] {
            Screen child(u"Hijo"_s, this);
            ui::Ui::current().showModal(child);
            childResult = child.result();
        });
    }

    QLineEdit* edit = new QLineEdit(this);
    QPushButton* button = new QPushButton(u"&Nuevo"_s, this);
    int childResult = -1;
};

// Describes the next box as "title|icon|buttons|pointer" into `seen` and closes it with `press`.
void answerNextBox(QString& seen, QMessageBox::StandardButton press)
{
    QTimer::singleShot(0, [&seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QStringList buttons;
        for (QAbstractButton* button : box->buttons())
            buttons << button->text();
        buttons.sort();
        const QCursor* pointer = QApplication::overrideCursor();
        seen = u"%1|%2|%3|%4"_s.arg(box->windowTitle())
                   .arg(box->icon())
                   .arg(buttons.join(u' '))
                   .arg(pointer ? pointer->shape() : Qt::ArrowCursor);
        box->button(press)->click();
    });
}

} // namespace

TEST_F(ScriptedUiTest, ModalCallbacksDriveNestedScreensInQueueOrder)
{
    Screen outer(u"Lista"_s);
    QStringList steps;
    m_ui.onNextModal([&](QDialog& screen) {
        steps << u"lista"_s;
        EXPECT_EQ(QApplication::activeWindow(), &screen);
        QTest::mouseClick(outer.button, Qt::LeftButton);
        steps << u"lista otra vez"_s;
        EXPECT_EQ(outer.childResult, QDialog::Accepted);
        // Back on the opener, with the focus on the button the mouse pressed.
        EXPECT_EQ(QApplication::activeWindow(), &outer);
        EXPECT_EQ(QApplication::focusWidget(), outer.button);
    });
    m_ui.onNextModal([&](QDialog& screen) {
        steps << u"hijo"_s;
        auto& child = static_cast<Screen&>(screen);
        child.edit->setFocus();
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

    // Without a callback a screen closes at once; a throwing callback still closes its screen.
    m_ui.onNextModal([&](QDialog&) { QTest::mouseClick(outer.button, Qt::LeftButton); });
    ui::Ui::current().showModal(outer);
    EXPECT_EQ(outer.childResult, QDialog::Rejected);
    m_ui.onNextModal([](QDialog&) { throw std::runtime_error("falla"); });
    EXPECT_THROW(ui::Ui::current().showModal(outer), std::runtime_error);
    EXPECT_FALSE(outer.isVisible());
    EXPECT_FALSE(outer.testAttribute(Qt::WA_ShowModal));
}

TEST_F(ScriptedUiTest, BusyCursorNestsAndIsRestoredOnException)
{
    {
        const ui::BusyCursor outer;
        {
            const ui::BusyCursor inner;
        }
        EXPECT_TRUE(m_ui.isBusy()); // the inner guard leaves the outer one's hourglass
    }
    EXPECT_FALSE(m_ui.isBusy());
    EXPECT_EQ(m_ui.timesBusy(), 1);

    EXPECT_THROW(
        {
            const ui::BusyCursor busy;
            throw std::runtime_error("falla");
        },
        std::runtime_error);
    EXPECT_FALSE(m_ui.isBusy());
    EXPECT_FALSE(ui::BusyCursor::active());
}

TEST(QtUi, QuestionsReadSiNoAndMessagesShowTheNormalPointerWhileBusy)
{
    ui::Ui::install(nullptr);
    ASSERT_TRUE(ui::installSpanishTranslations(*QCoreApplication::instance()));
    QString seen;
    answerNextBox(seen, QMessageBox::Yes);
    EXPECT_TRUE(ui::Ui::current().ask(u"Está seguro que desea eliminar el Pago seleccionado?"_s));
    EXPECT_EQ(seen, u"Atención|%1|&No &Sí|%2"_s.arg(QMessageBox::Question).arg(Qt::ArrowCursor));
    {
        const ui::BusyCursor busy;
        answerNextBox(seen, QMessageBox::Ok);
        ui::Ui::current().message(u"No se pudo conectar."_s, ui::Ui::Icon::Critical);
        EXPECT_EQ(seen, u"Atención|%1|Aceptar|%2"_s.arg(QMessageBox::Critical).arg(Qt::ArrowCursor));
        // The hourglass is back once the box is gone.
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtUi, SaveDialogTakesANewNameWithTheDefaultSuffixOrNothingWhenCancelled)
{
    ui::Ui::install(nullptr);
    QTemporaryDir dir;
    const auto answer = [](const QString& typed) {
        QTimer::singleShot(0, [typed] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog && dialog->acceptMode() == QFileDialog::AcceptSave);
            if (typed.isEmpty())
                return dialog->reject();
            dialog->selectFile(typed);
            static_cast<QDialog*>(dialog)->accept(); // as the "Guardar" button does
        });
    };
    const auto choose = [&] {
        return ui::Ui::current().saveFileName(nullptr, u"Archivo"_s, dir.path(), u"Todos los archivos (*.txt)"_s,
                                              u"txt"_s);
    };
    answer(u"nueva"_s);
    EXPECT_EQ(choose(), dir.filePath(u"nueva.txt"_s)) << "a file that does not exist, with the default suffix";
    answer({});
    EXPECT_EQ(choose(), QString());
}
