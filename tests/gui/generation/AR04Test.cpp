// The AR04 printing: the drivers number, stamp and fill every sheet, which the operator sees as the pages of
// one preview window, named by their sheets' titles, printed and saved as one document.

#include "GenerationTest.h"

#include "support/ReportFiles.h"

#include "platform/Clock.h"
#include "platform/Regional.h"
#include "platform/reportengine/FilledLayout.h"
#include "platform/reportengine/PageView.h"
#include "platform/reportengine/PreviewDocument.h"
#include "platform/reportengine/PreviewWindow.h"
#include "platform/reportengine/QtReportEngine.h"
#include "reports/Reimpresion_AR04.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QListView>
#include <QPdfWriter>
#include <QPointer>
#include <QStatusBar>
#include <QTest>

using namespace Qt::StringLiterals;
using report::PreviewWindow;

class AR04PrintingTest : public GenerationTest
{
protected:
    AR04PrintingTest()
    {
        addPayment(100.5, u"06/09/2002"_s, 11);
        addPayment(200, u"13/09/2002"_s, 12);
        addPayment(300.25, u"20/09/2002"_s, 13);
    }

    bool print() { return clsCodigo::instance().Reporte_AR04(periodo, secuencia); }
    bool reprint()
    {
        return reprintAR04(periodo, secuencia, clsCodigo::instance().Get_Comprobante(periodo, secuencia));
    }
    /// The state, with every line's stamps.
    QString stamps()
    {
        const auto lines = m_db.scalar(u"select group_concat(N_Cuit || N_Comprobante || Hoja || F_Presentacion) "
                                       u"from DDJJ_Detalle"_s);
        return state() + lines.toString();
    }
};

// The first printing, then the reprint: 16 lines fit the short form, more take 41 to a sheet and a payments sheet.
class AR04Printings : public AR04PrintingTest, public ::testing::WithParamInterface<int>
{};

TEST_P(AR04Printings, NumberStampAndShowEverySheet)
{
    const int n = GetParam();
    addLines(n);
    const bool shortForm = n <= 16;
    const int details = shortForm ? 1 : (n + 40) / 41;
    const int total = shortForm ? 1 : details + 1;
    for (const bool again : {false, true}) {
        ASSERT_TRUE(again ? reprint() : print());
        ASSERT_EQ(m_engine.reportCount(), total);
        for (int s = 1; s <= total; ++s) {
            const report::RecordedReport& sheet = m_engine.report(s - 1);
            QStringList actual{QFileInfo(sheet.path).baseName(), m_engine.previewTitles().value(s - 1)};
            for (const QString& name : {u"HojaA"_s, u"HojaT"_s, u"Nro"_s, u"Saldo"_s, u"TotDep"_s, u"TotRet1"_s,
                                        u"Moneda1"_s, u"Cuit16"_s, u"FecPago3"_s, u"Pago4"_s, u"Fec1"_s})
                actual << sheet.parameter(name);
            const bool pagos = !shortForm && s == total;
            const QString title =
                !again ? u"AR04 - 27 Hoja Nro: %1"_s
                       : (pagos ? u"Reimpresion AR04 - 27 Hoja: %1"_s : u"Reimpresión AR04 - 27 Hoja Nro: %1"_s);
            const QString form = shortForm ? u"AR04"_s : (pagos ? u"AR04_Pagos"_s : u"AR04_primera"_s);
            QStringList expected{form, title.arg(s), QString::number(s), QString::number(total), u"0000000027"_s};
            expected << (s >= details ? Regional::format(n * (n + 1) / 4.0, u"##,##0.00"_s) : QString())
                     << (s == total ? u"600,75"_s : QString());
            // Short-form slots: line 1's, line 16's CUIT, payment 3's, no fourth, the date once stamped.
            expected << (shortForm ? QStringList{u"0,50"_s, u"Pesos"_s, u"20000000016"_s, u"20/09/2002"_s, QString(),
                                                 again ? u"15/10/2002"_s : u"01/01/1900"_s}
                                   : QStringList(6, QString()));
            EXPECT_EQ(actual, expected) << (again ? "reprint" : "first printing");
            EXPECT_EQ(sheet.printing, 1) << "every sheet is a page of the printing's one window";
            // A sheet's table holds its own lines and no others, in the order of their CBU.
            const int first = shortForm ? 1 : 41 * (s - 1) + 1;
            const int own = pagos ? 0 : std::min(shortForm ? 16 : 41, n - first + 1);
            ASSERT_EQ(int(sheet.content.rows().size()), pagos ? 3 : own) << "sheet " << s;
            if (!pagos) {
                EXPECT_EQ(sheet.content.rows().front().value(u"N_CBU").toString(), cbu(first)) << "sheet " << s;
            }
        }
        EXPECT_EQ(state(), u"0 28 S %1"_s.arg(shortForm ? 3 : 0)) << "only the short form lists the payments";
        EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where N_Comprobante = 27 and F_Presentacion = '2002-10-15' and "
                                                u"Hoja = cast((N_Cuit - 20000000001) / 41 + 1 as text)"_s),
                  n)
            << "every line stamped with its sheet, and a reprint changes none";
        m_engine.clear();
        Clock::install(QDate(2002, 11, 20));
        execute(u"update AR03 set Impresion = 'N'"_s);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, AR04Printings, ::testing::Values(16, 17, 41, 42, 82, 83));

// A failed printing leaves the declaration, its lines, the counter and the payments as they were.
TEST_F(AR04PrintingTest, AFailedPrintingChangesNothing)
{
    // Lines, sheets shown before one fails (-2: the form does not open), and what is wrong with the data:
    // nothing pending, a line without CUIT to be stamped by, a counter that is not a number, no counter row.
    const std::tuple<int, int, QString> cases[] = {
        {5, 0, u"select 1"_s},
        {61, 1, u"select 1"_s},
        {61, -2, u"select 1"_s},
        {5, -1, u"update DDJJ_Detalle set N_Comprobante = 26"_s},
        {5, -1, u"insert into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_CBU) values (1, 200209, '9')"_s},
        {5, -1, u"update PARAMETROS set Valor = 'veinte' where ID = 5"_s},
        {5, -1, u"delete from PARAMETROS where ID = 5"_s}};
    for (const auto& [lines, shownSheets, sql] : cases) {
        execute(u"delete from DDJJ_Detalle"_s);
        addLines(lines);
        execute(sql);
        m_engine.setPreviewFailsAfter(std::max(shownSheets, -1));
        m_engine.setOpenFails(shownSheets == -2);
        const QString before = stamps();
        EXPECT_FALSE(print()) << lines << ' ' << shownSheets << ' ' << sql.toStdString();
        EXPECT_EQ(stamps(), before) << "the lines of a sheet already shown are pending again";
    }
    // Another program reading the file keeps the stamps from being saved: the sheets shown are withdrawn.
    m_engine.setPreviewFailsAfter(-1);
    m_engine.setOpenFails(false);
    const QString before = stamps();
    m_db.whileOtherProgramReads([this] { EXPECT_FALSE(print()); });
    EXPECT_EQ(m_engine.discardedPrintings().back(), m_engine.printingCount());
    m_db.reconnect();
    EXPECT_EQ(stamps(), before);
}

TEST_F(AR04PrintingTest, SheetsAreVisitedInNumericOrder)
{
    // Two lines to a sheet, sheets "1" to "11": a text order would put "10" and "11" right after "1".
    addLines(22);
    execute(u"update DDJJ_Detalle set N_Comprobante = 27, F_Presentacion = '2002-10-15', "
            u"Hoja = cast((N_Cuit - 20000000001) / 2 + 1 as text)"_s);
    ASSERT_TRUE(reprint());
    ASSERT_EQ(m_engine.reportCount(), 12);
    for (int k = 1; k <= 11; ++k)
        EXPECT_EQ(m_engine.report(k - 1).content.rows().front().value(u"N_CBU").toString(), cbu(2 * k - 1))
            << "sheet " << k;
}

namespace {

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
    AR04PreviewTest() { addPayment(100.5, u"06/09/2002"_s, 11); }
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

    report::QtReportEngine& m_qt = installNew<report::ReportEngine, report::QtReportEngine>();
};

} // namespace

TEST_F(AR04PreviewTest, EachPrintingIsOneWindowOfItsSheetsInOrderTurnedWithTheKeyboardOrThePageList)
{
    addLines(83); // three detail sheets and the payments sheet
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    const QPointer<PreviewWindow> first = m_qt.lastPreview();
    ASSERT_TRUE(first && QTest::qWaitForWindowExposed(first));
    if (QGuiApplication::platformName() == u"xcb"_s) {
        first->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(first));
    }
    EXPECT_EQ(previewWindows(), 1);
    const QStringList titles{u"AR04 - 27 Hoja Nro: 1"_s, u"AR04 - 27 Hoja Nro: 2"_s, u"AR04 - 27 Hoja Nro: 3"_s,
                             u"AR04 - 27 Hoja Nro: 4"_s};
    EXPECT_EQ(pageList(*first), titles);
    EXPECT_EQ(first->windowTitle(), titles[0]);
    EXPECT_FALSE(first->statusBar()->isVisible()) << "the preparation's progress is gone once it is done";
    // The page has the keyboard when the window opens; the window is titled by the sheet shown.
    EXPECT_EQ(first->focusWidget(), first->pageView());
    QTest::keyClick(first->focusWidget(), Qt::Key_PageDown);
    QTest::keyClick(first->focusWidget(), Qt::Key_PageDown);
    auto* list = first->findChild<QListView*>(u"pageList"_s);
    EXPECT_EQ(std::tuple(first->pageView()->currentPage(), first->windowTitle(), list->currentIndex().row()),
              std::tuple(3, titles[2], 2));
    EXPECT_TRUE(list->isVisible());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(3, 0)).center());
    EXPECT_EQ(std::tuple(first->pageView()->currentPage(), first->windowTitle()), std::tuple(4, titles[3]));

    // The whole printing saved as one file, then two of its pages printed as one job.
    const QString pdf = QDir(m_db.dir()).filePath(u"ar04.pdf"_s);
    m_operator.setNextFileName(pdf);
    first->findChild<QAction*>(u"actionSavePdf"_s)->trigger();
    EXPECT_EQ(ReportFiles::pdfPageCount(pdf), 4);
    const QString range = QDir(m_db.dir()).filePath(u"hojas.pdf"_s);
    {
        QPdfWriter writer(range);
        writer.setPageLayout(first->document().pageLayout());
        EXPECT_TRUE(first->printPages(writer, 1, 2));
    }
    EXPECT_EQ(ReportFiles::pdfPageCount(range), 2);

    // The reprint is a window of its own, beside the first.
    ASSERT_TRUE(reprintAR04(periodo, secuencia, 27));
    PreviewWindow* again = m_qt.lastPreview();
    ASSERT_TRUE(again && again != first);
    EXPECT_EQ(previewWindows(), 2);
    EXPECT_EQ(pageList(*again),
              (QStringList{u"Reimpresión AR04 - 27 Hoja Nro: 1"_s, u"Reimpresión AR04 - 27 Hoja Nro: 2"_s,
                           u"Reimpresión AR04 - 27 Hoja Nro: 3"_s, u"Reimpresion AR04 - 27 Hoja: 4"_s}));
}

TEST_F(AR04PreviewTest, ASingleSheetNeedsNoPageListAndACancelledSaveLeavesTheEarlierFile)
{
    addLines(5);
    ASSERT_TRUE(clsCodigo::instance().Reporte_AR04(periodo, secuencia));
    PreviewWindow* window = m_qt.lastPreview();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), u"AR04 - 27 Hoja Nro: 1"_s);
    EXPECT_FALSE(window->findChild<QListView*>(u"pageList"_s)->isVisible());

    const QString pdf = ReportFiles::write(QDir(m_db.dir()).filePath(u"ar04.pdf"_s), "antes");
    report::PreviewDocument& document = window->document();
    document.addSheet(report::FilledLayout(u"<p>otra</p>"_s), QFont(), u"otra"_s);
    int calls = 0;
    EXPECT_FALSE(document.exportPdf(pdf, u"AR04"_s, [&](int, int) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2) << "cancelled after the first page";
    EXPECT_EQ(ReportFiles::read(pdf), "antes") << "a cancelled save leaves the file it would have replaced";
}
