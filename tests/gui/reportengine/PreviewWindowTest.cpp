// The preview windows as the operator uses them: opened from a list screen that is shown modally
// through the real Qt ui, with mouse clicks delivered through the window system (where Qt applies
// modality), not straight to the widgets.

#include "support/ScreenFixture.h"

#include "data/clsCodigo.h"
#include "platform/reportengine/FilledLayout.h"
#include "platform/reportengine/PageView.h"
#include "platform/reportengine/PreviewWindow.h"
#include "platform/reportengine/QtReportEngine.h"
#include "platform/ui/ListGrid.h"
#include "platform/ui/QtUi.h"
#include "screens/payments/Impresion_AR03.h"
#include "screens/payments/Pago_AR03.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using report::PreviewWindow;

namespace {

// The screens' messages still go to the scripted operator; the list itself is shown by the real ui.
class PreviewWindowTest : public ScreenFixture
{
protected:
    PreviewWindowTest()
    {
        setRegistration(4521, {}, u"Banco del Sur S.A."_s);
        EXPECT_TRUE(clsCodigo::instance().Insertar_AR03(200209, 1, u"06/09/2002"_s, 1234.5, u"01"_s));
        EXPECT_TRUE(clsCodigo::instance().Insertar_Parametro(4, u"Nro AR03"_s, u"1"_s));
        m_menu.resize(400, 300);
        m_menu.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_menu));
    }

    /// Prints the list's payment; the preview that opened.
    QPointer<PreviewWindow> print(Impresion_AR03& list)
    {
        auto* grid = list.findChild<ui::ListGrid*>(u"lvList"_s);
        grid->setCurrentIndex(grid->model()->index(0, 1));
        list.findChild<QPushButton*>(u"bImprimir"_s)->click();
        return m_engine.lastPreview();
    }

    // Clicks a tool bar button of the preview the way the window system delivers it.
    static void clickThroughWindow(PreviewWindow& preview, const QString& action)
    {
        auto* bar = preview.findChild<QToolBar*>(u"toolBar"_s);
        QWidget* button = bar->widgetForAction(preview.findChild<QAction*>(action));
        ASSERT_TRUE(button && button->isVisible()) << action.toStdString();
        const QPoint inWindow = button->mapTo(&preview, button->rect().center());
        QTest::mouseClick(preview.windowHandle(), Qt::LeftButton, {}, inWindow);
    }

    // Hides the fixture's recording engine, replaced here.
    report::QtReportEngine& m_engine = installNew<report::ReportEngine, report::QtReportEngine>();
    QWidget m_menu; // stands for the main menu, which opens the list
};

} // namespace

TEST_F(PreviewWindowTest, PreviewOpenedFromAModalListTakesClicksAndOutlivesTheList)
{
    QPointer<PreviewWindow> preview;
    qreal zoomBefore = 0;
    qreal zoomAfter = 0;
    bool listWaited = false;
    Impresion_AR03 list(&m_menu);
    QTimer::singleShot(0, &list, [&] {
        preview = print(list);
        if (!preview || !QTest::qWaitForWindowExposed(preview))
            return list.reject();
        listWaited = QApplication::activeModalWidget() == &list;
        zoomBefore = preview->pageView()->zoomFactor();
        clickThroughWindow(*preview, u"actionZoomIn"_s);
        zoomAfter = preview->pageView()->zoomFactor();
        QTest::mouseClick(list.findChild<QPushButton*>(u"bVolver"_s), Qt::LeftButton);
    });
    ui::QtUi().showModal(list);

    ASSERT_TRUE(preview) << "the first printing opened a preview, which survives the list";
    EXPECT_TRUE(listWaited) << "the list stayed open and modal while the preview was used";
    EXPECT_GT(zoomAfter, zoomBefore) << "the click on the preview's zoom button took effect";
    EXPECT_EQ(preview->windowTitle(), u"AR03"_s);
    EXPECT_TRUE(preview->findChild<QAction*>(u"actionPrinterSetup"_s)->isVisible()) << "the form asks for it";

    // The list has closed: the preview stays open, now the menu's, and still takes clicks.
    EXPECT_TRUE(preview->isVisible() && preview->isWindow() && preview->parentWidget() == &m_menu);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
    const qreal zoom = preview->pageView()->zoomFactor();
    clickThroughWindow(*preview, u"actionZoomOut"_s);
    EXPECT_LT(preview->pageView()->zoomFactor(), zoom);

    // The next AR03 printing closes the window kept from this one.
    m_engine.closePreview();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(preview.isNull());
}

// In real windows only: placement and activation are the window system's.
TEST_F(PreviewWindowTest, WindowsFitTheScreenStandClearCloseWithEscapeAndGiveTheKeyboardBack)
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        GTEST_SKIP() << "placement and activation are the window system's";
    const auto placed = [](QWidget& window, QWidget* opener) {
        EXPECT_TRUE(window.screen()->availableGeometry().contains(window.frameGeometry())) << "outside the screen";
        EXPECT_LT((window.frameGeometry().center() - opener->frameGeometry().center()).manhattanLength(), 40);
    };
    const auto active = [](QWidget* window, QWidget* focus) {
        return QTest::qWaitFor(
            [=] { return window && QApplication::activeWindow() == window && (!focus || focus->hasFocus()); }, 3000);
    };
    Impresion_AR03 list(&m_menu);
    QTimer::singleShot(0, &list, [&] {
        placed(list, &m_menu);
        const QPointer<PreviewWindow> first = print(list);
        if (!first || !QTest::qWaitForWindowExposed(first) || !active(first, nullptr))
            return list.reject();
        placed(*first, first); // larger than the list: only kept inside the screen
        // As the AR04 printing opens its payments after its sheets, while the operator is on the first.
        m_engine.preview(report::FilledLayout(u"<p>Pagos</p>"_s), QPageLayout(), QFont(), u"AR04"_s, false);
        const QPointer<PreviewWindow> second = m_engine.lastPreview();
        if (!second || !QTest::qWaitForWindowExposed(second) || !active(second, nullptr))
            return list.reject();
        const QPoint offset = second->geometry().topLeft() - first->geometry().topLeft();
        EXPECT_GE(std::min(offset.x(), offset.y()), 20) << "the first stays in sight";
        EXPECT_TRUE(second->findChild<QToolBar*>()
                        ->widgetForAction(second->findChild<QAction*>(u"actionClose"_s))
                        ->isVisible());
        QTest::keyClick(second, Qt::Key_Escape);
        EXPECT_TRUE(active(first, nullptr)) << "the operator is back on the first preview";
        QTest::keyClick(first, Qt::Key_Escape);
        auto* grid = list.findChild<ui::ListGrid*>(u"lvList"_s);
        grid->setFocus();
        EXPECT_TRUE(active(&list, grid)) << "the list has the keyboard after its previews closed";
        EXPECT_FALSE((first && first->isVisible()) || (second && second->isVisible())) << "Escape closed both";
        Pago_AR03 entry(&list);
        QTimer::singleShot(0, &entry, [&] {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&entry));
            QTest::qWait(200); // the window manager's frame
            placed(entry, &list);
            // As the import screen ends: its controls locked, a closing message, then it closes.
            entry.setEnabled(false);
            QTimer::singleShot(300, [] { QApplication::activeModalWidget()->close(); });
            ui::QtUi().message(u"La importación ha finalizado con éxito."_s, ui::Ui::Icon::Information);
            entry.reject();
        });
        ui::QtUi().showModal(entry);
        EXPECT_TRUE(active(&list, grid)) << "the list's grid has the keyboard after the entry screen closed";
        list.reject();
    });
    ui::QtUi().showModal(list);
}

TEST_F(PreviewWindowTest, SavingAsPdfAsksThroughTheUiAndSaysWhenTheFileCannotBeWritten)
{
    Impresion_AR03 list(&m_menu);
    const QPointer<PreviewWindow> preview = print(list);
    ASSERT_TRUE(preview);

    const QString saved = QDir(m_db.dir()).filePath(u"AR03.pdf"_s);
    const QString unwritable = QDir(m_db.dir()).filePath(u"no/existe/AR03.pdf"_s);
    m_operator.setNextFileName(saved);
    m_operator.setNextFileName(unwritable);
    m_operator.setNextFileName(QString()); // the operator cancels: nothing is written, nothing is said
    for (int i = 0; i < 3; ++i)
        preview->findChild<QAction*>(u"actionSavePdf"_s)->trigger();

    EXPECT_TRUE(QFile(saved).open(QIODevice::ReadOnly) && QFile(saved).size() > 0);
    EXPECT_EQ(m_operator.fileRequests().value(0),
              u"Guardar como PDF|"_s + QDir::home().filePath(u"AR03.pdf"_s) + u"|Documentos PDF (*.pdf)|save pdf"_s);
    EXPECT_EQ(m_operator.messages(), (QList<ui::ScriptedUi::Message>{{u"No se ha podido guardar el documento en "_s +
                                                                          QDir::toNativeSeparators(unwritable) + u'.',
                                                                      ui::Ui::Icon::Error, false}}));
    m_engine.closePreview();
}
