#include "platform/reportengine/RecordingReportEngine.h"
#include "platform/reportengine/Report.h"
#include "platform/reportengine/ReportError.h"

#include "ReportFiles.h"
#include "support/TempDatabase.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using report::RecordedReport;
using report::RecordingReportEngine;
using report::ReportError;

namespace {

const QString s_paymentsReport = u"[report]\n"
                                 u"title = Pagos\n"
                                 u"parameters = Nro, Agente, Nombre\n"
                                 u"[format]\n"
                                 u"Importe = ##,##0.00\n"
                                 u"[layout]\n"
                                 u"<h1>Pagos {{Nro}}</h1>\n"
                                 u"{{#filas}}<p>{{numero}} {{fecha_pago}} {{importe}}</p>{{/filas}}\n"
                                 u"<p>{{Agente}} {{Nombre}}</p>\n"_s;

class RecordingReportEngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = ReportFiles::write(m_dir.filePath(u"Pagos.rpt"_s), s_paymentsReport);
        m_db.db().execute(u"insert into AR03 (Posicion_Fiscal, Semana, Fecha_Pago, Importe, Moneda, Numero) "
                          u"values (200209, 1, '06/09/2002', 1234.5, '01', 27)"_s);
        m_db.db().execute(u"insert into AR03 (Posicion_Fiscal, Semana, Fecha_Pago, Importe, Moneda, Numero) "
                          u"values (200209, 2, null, -10, '03', null)"_s);
    }

    [[nodiscard]] std::unique_ptr<db::Recordset> payments()
    {
        return m_db.db().openRecordset(u"Select Numero, Fecha_Pago, Importe from AR03 order by Id"_s);
    }

    QTemporaryDir m_dir;
    TempDatabase m_db;
    QString m_path;
    RecordingReportEngine m_engine;
};

} // namespace

TEST_F(RecordingReportEngineTest, RecordsEveryCallInOrder)
{
    m_engine.closePreview();
    {
        const auto report = m_engine.openReport(m_path);
        report->setTable(payments());
        report->setPrinterSetupButton(true);
        report->setParameter(u"Nro"_s, u"0000000027"_s);
        report->setParameter(u"Agente"_s, u"1234"_s);
        report->setParameter(u"Nombre"_s, u"Banco & Cía"_s);
        report->setParameter(u"Nro"_s, u"0000000028"_s);
        report->preview(u"AR04 - 27 Hoja Nro: 1"_s);
    }
    m_engine.closePreview();
    {
        const auto report = m_engine.openReport(m_path);
        report->preview(u"Reimpresión AR03"_s);
    }

    ASSERT_EQ(m_engine.reportCount(), 2);
    EXPECT_EQ(m_engine.closePreviewCalls(), 2);
    const RecordedReport& first = m_engine.report(0);
    EXPECT_EQ(first.path, m_path);
    EXPECT_TRUE(first.tableSet);
    ASSERT_EQ(first.rows.size(), 2u);
    EXPECT_EQ(first.rows[0].name(0), u"Numero"_s) << "field names as the query gives them";
    EXPECT_EQ(first.rows[0].value(u"numero"), db::Value(27));
    EXPECT_EQ(first.rows[0].value(u"FECHA_PAGO"), db::Value(QDate(2002, 9, 6)));
    EXPECT_EQ(first.rows[1].value(u"Importe"), db::Value(-10));
    EXPECT_TRUE(first.rows[1].value(u"Numero").isNull());
    EXPECT_TRUE(first.printerSetupButton);
    EXPECT_EQ(first.parameterNames(), (QStringList{u"Nro"_s, u"Agente"_s, u"Nombre"_s, u"Nro"_s}));
    EXPECT_EQ(first.parameter(u"Nro"_s), u"0000000028"_s) << "the last value set counts";
    EXPECT_EQ(first.previewTitles, QStringList{u"AR04 - 27 Hoja Nro: 1"_s});
    EXPECT_TRUE(first.html.contains(u"<h1>Pagos 0000000028</h1>"_s)) << first.html.toStdString();
    EXPECT_TRUE(first.html.contains(u"<p>27 06/09/2002 1.234,50</p>"_s)) << first.html.toStdString();
    EXPECT_TRUE(first.html.contains(u"<p>  -10,00</p>"_s)) << first.html.toStdString();
    EXPECT_TRUE(first.html.contains(u"<p>1234 Banco &amp; Cía</p>"_s)) << first.html.toStdString();

    const RecordedReport& second = m_engine.lastReport();
    EXPECT_FALSE(second.tableSet);
    EXPECT_FALSE(second.printerSetupButton);
    EXPECT_TRUE(second.parameters.empty());
    EXPECT_EQ(m_engine.previewTitles(), (QStringList{u"AR04 - 27 Hoja Nro: 1"_s, u"Reimpresión AR03"_s}));

    m_engine.clear();
    EXPECT_EQ(m_engine.reportCount(), 0);
    EXPECT_EQ(m_engine.closePreviewCalls(), 0);
}

TEST_F(RecordingReportEngineTest, RefusesWhatTheRealEngineRefuses)
{
    EXPECT_THROW((void)m_engine.openReport(m_dir.filePath(u"AR05.rpt"_s)), ReportError);
    EXPECT_EQ(m_engine.reportCount(), 0) << "a report that did not open is not recorded";

    const auto report = m_engine.openReport(m_path);
    EXPECT_THROW(report->setParameter(u"Cuit"_s, u"20-12345678-6"_s), ReportError);
    EXPECT_THROW(report->setParameter(u"nro"_s, u"1"_s), ReportError) << "names are matched exactly";
    EXPECT_THROW(report->setTable(nullptr), ReportError);
    EXPECT_TRUE(m_engine.lastReport().parameters.empty()) << "refused parameters are not recorded";
    EXPECT_FALSE(m_engine.lastReport().tableSet);
}

TEST_F(RecordingReportEngineTest, CanBeToldToFail)
{
    m_engine.setOpenFails(true);
    EXPECT_THROW((void)m_engine.openReport(m_path), ReportError);
    m_engine.setOpenFails(false);

    m_engine.setPreviewFailsAfter(1);
    const auto first = m_engine.openReport(m_path);
    EXPECT_NO_THROW(first->preview(u"Hoja 1"_s));
    const auto second = m_engine.openReport(m_path);
    EXPECT_THROW(second->preview(u"Hoja 2"_s), ReportError);
    EXPECT_THROW(second->preview(u"Hoja 2"_s), ReportError) << "it keeps failing";
    EXPECT_EQ(m_engine.previewTitles(), QStringList{u"Hoja 1"_s}) << "a failed preview shows nothing";

    m_engine.setPreviewFailsAfter(-1);
    EXPECT_NO_THROW(second->preview(u"Hoja 2"_s));
}
