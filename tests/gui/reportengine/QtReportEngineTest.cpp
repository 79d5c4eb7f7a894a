#include "platform/reportengine/QtReportEngine.h"
#include "platform/reportengine/Report.h"
#include "platform/reportengine/ReportError.h"

#include "platform/db/Database.h"
#include "support/ReportFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using report::ReportError;

namespace {

class QtReportEngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = ReportFiles::write(m_dir.filePath(u"Listado.rpt"_s),
                                    u"[report]\nparameters = Titulo, Oficina\n[layout]\n<h2>{{Titulo}}</h2>\n"
                                    u"<p>Oficina fiscal: {{Oficina}}</p>\n<table>{{#filas}}<tr><td>{{linea}}</td>"
                                    u"<td>{{importe}}</td></tr>{{/filas}}</table>\n"_s);
        m_database = db::Database::create(m_dir.filePath(u"lineas.db"_s), u"clave"_s);
        m_database->execute(u"create table Lineas (linea TEXT, importe NUMERIC)"_s);
        for (int n = 1; n <= 3; ++n)
            m_database->execute(u"insert into Lineas values ('Línea %1', %2)"_s.arg(n).arg(n * 100.5));
    }

    [[nodiscard]] std::unique_ptr<report::Report> openFilled()
    {
        auto report = m_engine.openReport(m_path);
        report->setParameter(u"Titulo"_s, u"Declaración del año"_s);
        report->setParameter(u"Oficina"_s, u"Ostrel & Cía"_s);
        report->setTable(m_database->openRecordset(u"select * from Lineas"_s));
        return report;
    }

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<db::Database> m_database;
    report::QtReportEngine m_engine;
};

} // namespace

TEST_F(QtReportEngineTest, PdfHoldsParametersAndRowsAsTyped)
{
    const QString pdf = m_dir.filePath(u"listado.pdf"_s);
    openFilled()->exportPdf(pdf);
    const QString text = ReportFiles::pdfText(pdf);
    ASSERT_FALSE(text.isEmpty()) << "pdftotext could not read the file";
    EXPECT_TRUE(text.contains(u"Declaración del año"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"Oficina fiscal: Ostrel & Cía"_s)) << "no ligature in \"fi\": " << text.toStdString();
    EXPECT_TRUE(text.contains(u"Línea 1 100.5"_s)) << text.toStdString();
    EXPECT_LT(text.indexOf(u"Línea 1"_s), text.indexOf(u"Línea 3 301.5"_s)) << "rows in the table's order";
}

TEST_F(QtReportEngineTest, FailuresRaiseReportErrors)
{
    EXPECT_THROW((void)m_engine.openReport(m_dir.filePath(u"NoExiste.rpt"_s)), ReportError);
    const auto report = m_engine.openReport(m_path);
    EXPECT_THROW(report->setParameter(u"Cuit"_s, u"x"_s), ReportError) << "an undeclared parameter";
    EXPECT_THROW(report->exportPdf(m_dir.filePath(u"no/hay/carpeta.pdf"_s)), ReportError);
    const QString existing = ReportFiles::write(m_dir.filePath(u"previo.pdf"_s), u"previo"_s);
    EXPECT_NO_THROW(report->exportPdf(existing));
    EXPECT_GT(ReportFiles::pdfPageCount(existing), 0) << "an existing file is replaced";
}
