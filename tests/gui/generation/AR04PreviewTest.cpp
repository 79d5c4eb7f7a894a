// The AR04 as the operator sees it: every sheet of a printing is a page of one preview window, named by
// its sheet's title, printed and saved as one document.

#include "GenerationTest.h"

#include "platform/reportengine/PageView.h"
#include "platform/reportengine/PreviewDocument.h"
#include "platform/reportengine/PreviewWindow.h"
#include "platform/reportengine/QtReportEngine.h"
#include "reports/Reimpresion_AR04.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QListView>
#include <QPdfWriter>
#include <QPointer>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

using namespace Qt::StringLiterals;
using report::PreviewWindow;

namespace {

/// Pages of a PDF file, counted by their page objects.
int pdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(file.readAll()).count(QRegularExpression(u"/Type\\s*/Page\\b(?!s)"_s)));
}

int previewWindows()
{
    int windows = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        windows += qobject_cast<PreviewWindow*>(widget) && widget->isVisible();
    return windows;
}

class AR04PreviewTest : public GenerationTest
{
protected:
    AR04PreviewTest()
    {
        auto engine = std::make_unique<report::QtReportEngine>();
        m_qt = engine.get();
        report::ReportEngine::install(std::move(engine));
        addPayment(100.5, u"06/09/2002"_s, 11);
    }
    ~AR04PreviewTest() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<PreviewWindow*>(widget))
                widget->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    /// The titles of the window's pages, as its page list shows them.
    static QStringList pageList(PreviewWindow& window)
    {
        const QAbstractItemModel& model = *window.findChild<QListView*>(u"pageList"_s)->model();
        QStringList titles;
        for (int row = 0; row < model.rowCount(); ++row)
            titles << model.index(row, 0).data().toString();
        return titles;
    }

    report::QtReportEngine* m_qt = nullptr;
};

} // namespace

TEST_F(AR04PreviewTest, EachPrintingIsOneWindowOfItsSheetsInOrder)
{
    addLines(83); // three detail sheets and the payments sheet
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    const QPointer<PreviewWindow> first = m_qt->lastPreview();
    ASSERT_TRUE(first);
    EXPECT_EQ(previewWindows(), 1);
    const QStringList titles{u"AR04 - 27 Hoja Nro: 1"_s, u"AR04 - 27 Hoja Nro: 2"_s, u"AR04 - 27 Hoja Nro: 3"_s,
                             u"AR04 - 27 Hoja Nro: 4"_s};
    EXPECT_EQ(pageList(*first), titles);
    EXPECT_TRUE(first->findChild<QListView*>(u"pageList"_s)->isVisible());
    EXPECT_EQ(first->windowTitle(), titles[0]);
    first->pageView()->setCurrentPage(3);
    EXPECT_EQ(first->windowTitle(), titles[2]) << "the window is titled by the sheet shown";
    EXPECT_EQ(first->findChild<QListView*>(u"pageList"_s)->currentIndex().row(), 2);
    EXPECT_FALSE(first->statusBar()->isVisible()) << "the preparation's progress is gone once it is done";

    // The whole printing saved as one file, then two of its pages printed as one job.
    const QString pdf = QDir(m_db.dir()).filePath(u"ar04.pdf"_s);
    m_ui.setNextFileName(pdf);
    first->findChild<QAction*>(u"actionSavePdf"_s)->trigger();
    EXPECT_EQ(pdfPages(pdf), 4);
    const QString range = QDir(m_db.dir()).filePath(u"hojas.pdf"_s);
    {
        QPdfWriter writer(range);
        writer.setPageLayout(first->document().pageLayout());
        EXPECT_TRUE(first->printPages(writer, 1, 2));
    }
    EXPECT_EQ(pdfPages(range), 2);

    // The reprint is a window of its own, beside the first.
    ASSERT_TRUE(reprintAR04(periodo, secuencia, 27));
    PreviewWindow* again = m_qt->lastPreview();
    ASSERT_TRUE(again && again != first);
    EXPECT_EQ(previewWindows(), 2);
    EXPECT_EQ(pageList(*again),
              (QStringList{u"Reimpresión AR04 - 27 Hoja Nro: 1"_s, u"Reimpresión AR04 - 27 Hoja Nro: 2"_s,
                           u"Reimpresión AR04 - 27 Hoja Nro: 3"_s, u"Reimpresion AR04 - 27 Hoja: 4"_s}));
}

TEST_F(AR04PreviewTest, TheOperatorTurnsThePagesWithTheKeyboardOrThePageList)
{
    addLines(83);
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    PreviewWindow* window = m_qt->lastPreview();
    ASSERT_TRUE(window && QTest::qWaitForWindowExposed(window));
    if (QGuiApplication::platformName() == u"xcb"_s) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    EXPECT_EQ(window->focusWidget(), window->pageView()) << "the page has the keyboard when the window opens";
    QTest::keyClick(window->focusWidget(), Qt::Key_PageDown);
    QTest::keyClick(window->focusWidget(), Qt::Key_PageDown);
    EXPECT_EQ(window->pageView()->currentPage(), 3);
    EXPECT_EQ(window->windowTitle(), u"AR04 - 27 Hoja Nro: 3"_s);
    auto* list = window->findChild<QListView*>(u"pageList"_s);
    const QModelIndex last = list->model()->index(3, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(last).center());
    EXPECT_EQ(window->pageView()->currentPage(), 4);
    EXPECT_EQ(window->windowTitle(), u"AR04 - 27 Hoja Nro: 4"_s);
}

TEST_F(AR04PreviewTest, ASingleSheetNeedsNoPageListAndACancelledSaveLeavesTheEarlierFile)
{
    addLines(5);
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    PreviewWindow* window = m_qt->lastPreview();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), u"AR04 - 27 Hoja Nro: 1"_s);
    EXPECT_FALSE(window->findChild<QListView*>(u"pageList"_s)->isVisible());

    const QString pdf = QDir(m_db.dir()).filePath(u"ar04.pdf"_s);
    QFile earlier(pdf);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("antes") == 5);
    earlier.close();
    report::PreviewDocument& document = window->document();
    document.addSheet(u"<p>otra</p>"_s, QFont(), u"otra"_s);
    int calls = 0;
    EXPECT_FALSE(document.exportPdf(pdf, u"AR04"_s, [&](int, int) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2) << "cancelled after the first page";
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "antes") << "a cancelled save leaves the file it would have replaced";
}
