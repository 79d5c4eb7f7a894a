#include "Printers.h"

#include "platform/ui/BusyCursor.h"
#include "platform/ui/QtUi.h"
#include "platform/ui/SpanishTranslations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;
using Icon = ui::Ui::Icon;

namespace {

// What the operator saw in a box, read while it was open.
struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    Qt::CursorShape pointer = Qt::BlankCursor;
};

// Reads the box that opens next and closes it with the given button.
void answerNextBox(SeenBox& seen, QMessageBox::StandardButton press)
{
    QTimer::singleShot(0, [&seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            seen.buttons << button->text();
        seen.buttons.sort();
        seen.pointer = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
        box->button(press)->click();
    });
}

class QtUiTest : public ::testing::Test
{
protected:
    QtUiTest() { ui::Ui::install(nullptr); }
};

} // namespace

TEST_F(QtUiTest, QuestionsReadSiNoInSpanishAndReturnTheAnswer)
{
    ASSERT_TRUE(ui::installSpanishTranslations(*QCoreApplication::instance()));

    SeenBox seen;
    answerNextBox(seen, QMessageBox::Yes);
    EXPECT_TRUE(ui::Ui::current().ask(u"Está seguro que desea eliminar el Pago seleccionado?"_s));
    EXPECT_EQ(seen.title, u"Atención"_s);
    EXPECT_EQ(seen.text, u"Está seguro que desea eliminar el Pago seleccionado?"_s);
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, (QStringList{u"&No"_s, u"&Sí"_s}));

    answerNextBox(seen, QMessageBox::No);
    EXPECT_FALSE(ui::Ui::current().ask(u"¿Otra?"_s));
}

TEST_F(QtUiTest, MessagesShowTheNormalPointerWhileBusyAndTheLastGuardRestoresIt)
{
    {
        const ui::BusyCursor outer;
        const ui::BusyCursor inner;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

        SeenBox seen;
        answerNextBox(seen, QMessageBox::Ok);
        ui::Ui::current().message(u"No se pudo conectar."_s, Icon::Critical);
        EXPECT_EQ(seen.title, u"Atención"_s);
        EXPECT_EQ(seen.icon, QMessageBox::Critical);
        EXPECT_EQ(seen.buttons.size(), 1);
        EXPECT_EQ(seen.pointer, Qt::ArrowCursor);

        // The hourglass is back once the box is gone.
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
