#include "platform/reportengine/QtReportEngine.h"
#include "platform/reportengine/PreviewWindow.h"
#include "platform/reportengine/Report.h"
#include "platform/reportengine/ReportDocument.h"
#include "platform/reportengine/ReportError.h"

#include "ReportFiles.h"
#include "platform/db/Database.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using report::PreviewWindow;
using report::QtReportEngine;
using report::ReportError;

namespace {

const QString s_listReport = u"[report]\n"
                             u"title = Listado\n"
                             u"page = A4\n"
                             u"margins = 20\n"
                             u"parameters = Titulo, Oficina\n"
                             u"[layout]\n"
                             u"<h2>{{Titulo}}</h2>\n"
                             u"<p>Oficina fiscal: {{Oficina}}</p>\n"
                             u"<table border=\"1\" cellspacing=\"0\" width=\"100%\">\n"
                             u"{{#filas}}<tr><td>{{linea}}</td><td align=\"right\">{{importe}}</td></tr>{{/filas}}\n"
                             u"</table>\n"_s;

class QtReportEngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = ReportFiles::write(m_dir.filePath(u"Listado.rpt"_s), s_listReport);
    }

    void TearDown() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<PreviewWindow*>(widget))
                widget->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    [[nodiscard]] std::unique_ptr<report::Report> openFilled(int lines = 3)
    {
        auto report = m_engine.openReport(m_path);
        report->setParameter(u"Titulo"_s, u"Declaración del año"_s);
        report->setParameter(u"Oficina"_s, u"Ostrel & Cía"_s);
        // A table of several lines, the way a driver hands one over: an open recordset.
        auto database =
            db::Database::create(m_dir.filePath(u"lineas.db"_s + QString::number(++m_databases)), u"clave"_s);
        database->execute(u"create table Lineas (linea TEXT, importe NUMERIC)"_s);
        for (int n = 1; n <= lines; ++n)
            database->execute(u"insert into Lineas values ('Línea %1', %2)"_s.arg(n).arg(n * 100.5));
        report->setTable(database->openRecordset(u"select * from Lineas"_s));
        return report;
    }

    QTemporaryDir m_dir;
    QString m_path;
    QtReportEngine m_engine;
    int m_databases = 0;
};

} // namespace

TEST_F(QtReportEngineTest, PreviewShowsANonModalWindowWithTheTitle)
{
    auto report = openFilled();
    report->setPrinterSetupButton(true);
    report->preview(u"Reimpresión AR03"_s);

    PreviewWindow* window = m_engine.lastPreview();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the driver goes on while the preview is open";
    EXPECT_EQ(window->windowTitle(), u"Reimpresión AR03"_s);

    const auto action = [&](const QString& name) {
        return window->findChild<QAction*>(name);
    };
    for (const QString& name : {u"actionPrint"_s, u"actionPrinterSetup"_s, u"actionSavePdf"_s, u"actionNextPage"_s,
                                u"actionZoomIn"_s, u"actionClose"_s}) {
        ASSERT_NE(action(name), nullptr) << name.toStdString();
        EXPECT_TRUE(action(name)->isVisible()) << name.toStdString();
    }
    EXPECT_EQ(action(u"actionPrint"_s)->text(), u"Imprimir…"_s);
    EXPECT_EQ(action(u"actionPrinterSetup"_s)->text(), u"Configurar impresora…"_s);
    EXPECT_EQ(window->previewWidget()->pageCount(), 1);

    // The window keeps its document after the driver has dropped the report.
    report.reset();
    window->previewWidget()->updatePreview();
    EXPECT_EQ(window->previewWidget()->pageCount(), 1);
    EXPECT_TRUE(window->document().plainText().contains(u"Ostrel & Cía"_s));

    openFilled()->preview(u"AR03"_s);
    ASSERT_NE(m_engine.lastPreview(), window);
    EXPECT_FALSE(m_engine.lastPreview()->findChild<QAction*>(u"actionPrinterSetup"_s)->isVisible())
        << "the printer set-up button only when the report asks for it";
}

TEST_F(QtReportEngineTest, ClosePreviewClosesOnlyTheLatestWindow)
{
    EXPECT_NO_THROW(m_engine.closePreview()) << "nothing to close yet";

    openFilled()->preview(u"AR04 - 27 Hoja Nro: 1"_s);
    const QPointer<PreviewWindow> first = m_engine.lastPreview();
    openFilled()->preview(u"AR04 - 27 Hoja Nro: 2"_s);
    const QPointer<PreviewWindow> second = m_engine.lastPreview();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);

    m_engine.closePreview();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull()) << "the latest preview is closed and gone";
    ASSERT_FALSE(first.isNull()) << "earlier sheets stay open";
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(m_engine.lastPreview(), nullptr);
    EXPECT_NO_THROW(m_engine.closePreview()) << "already closed";
    EXPECT_TRUE(first->isVisible());
}

TEST_F(QtReportEngineTest, NewPreviewAfterTheOperatorOrTheEngineClosedTheLastOne)
{
    openFilled()->preview(u"AR03"_s);
    QPointer<PreviewWindow> window = m_engine.lastPreview();
    ASSERT_TRUE(window);
    window->close(); // the operator closes it
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_NO_THROW(m_engine.closePreview());

    openFilled()->preview(u"AR03"_s);
    window = m_engine.lastPreview();
    m_engine.closePreview();
    openFilled()->preview(u"Reimpresión AR03"_s);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    ASSERT_NE(m_engine.lastPreview(), nullptr);
    EXPECT_TRUE(m_engine.lastPreview()->isVisible());
    EXPECT_EQ(m_engine.lastPreview()->windowTitle(), u"Reimpresión AR03"_s);
}

TEST_F(QtReportEngineTest, PdfHoldsParametersAndRowsAsTyped)
{
    const QString pdf = m_dir.filePath(u"listado.pdf"_s);
    openFilled()->exportPdf(pdf);
    const QString text = ReportFiles::pdfText(pdf);
    ASSERT_FALSE(text.isEmpty()) << "pdftotext could not read the file";
    EXPECT_TRUE(text.contains(u"Declaración del año"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"Oficina fiscal: Ostrel & Cía"_s)) << "no ligature in \"fi\": " << text.toStdString();
    EXPECT_TRUE(text.contains(u"Línea 1 100.5"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"Línea 3 301.5"_s)) << text.toStdString();
    EXPECT_LT(text.indexOf(u"Línea 1"_s), text.indexOf(u"Línea 2"_s)) << "rows in the table's order";
}

TEST_F(QtReportEngineTest, PreviewAndPdfBreakPagesAlike)
{
    const auto report = openFilled(400);
    const QString pdf = m_dir.filePath(u"largo.pdf"_s);
    report->exportPdf(pdf);
    const int pdfPages = ReportFiles::pdfPageCount(pdf);
    ASSERT_GT(pdfPages, 1);
    EXPECT_TRUE(ReportFiles::pdfText(pdf).contains(u"Línea 400"_s)) << "nothing is lost at the page ends";

    report->preview(u"Largo"_s);
    ASSERT_NE(m_engine.lastPreview(), nullptr);
    EXPECT_EQ(m_engine.lastPreview()->previewWidget()->pageCount(), pdfPages);
}

TEST_F(QtReportEngineTest, FailuresRaiseReportErrors)
{
    EXPECT_THROW((void)m_engine.openReport(m_dir.filePath(u"NoExiste.rpt"_s)), ReportError);
    const auto report = m_engine.openReport(m_path);
    EXPECT_THROW(report->setParameter(u"Cuit"_s, u"x"_s), ReportError);

    const QString existing = ReportFiles::write(m_dir.filePath(u"previo.pdf"_s), u"previo"_s);
    EXPECT_THROW(report->exportPdf(m_dir.filePath(u"no/hay/carpeta.pdf"_s)), ReportError);
    EXPECT_NO_THROW(report->exportPdf(existing));
    EXPECT_GT(ReportFiles::pdfPageCount(existing), 0) << "an existing file is replaced";
}
