#include "platform/reportengine/RecordingReportEngine.h"
#include "platform/reportengine/Report.h"
#include "platform/reportengine/ReportError.h"

#include "support/ReportFiles.h"
#include "support/TempDatabase.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using report::RecordingReportEngine;
using report::ReportError;

TEST(RecordingReportEngine, RecordsEveryCallInOrderAndRefusesWhatTheRealEngineRefuses)
{
    QTemporaryDir dir;
    TempDatabase db;
    const QString path = ReportFiles::write(dir.filePath(u"Pagos.rpt"_s),
                                            u"[report]\nparameters = Nro, Nombre\n[format]\nImporte = ##,##0.00\n"
                                            u"[layout]\n<h1>{{Nro}} {{Nombre}}</h1>"
                                            u"{{#filas}}<p>{{numero}} {{fecha_pago}} {{importe}}</p>{{/filas}}"_s);
    for (const QString& values : {u"1, '06/09/2002', 1234.5, '01', 27"_s, u"2, null, -10, '03', null"_s})
        db.db().execute(
            u"insert into AR03 (Posicion_Fiscal, Semana, Fecha_Pago, Importe, Moneda, Numero) values (200209, "_s +
            values + u')');
    RecordingReportEngine engine;
    EXPECT_THROW((void)engine.openReport(dir.filePath(u"AR05.rpt"_s)), ReportError);
    engine.closePreview();
    {
        const auto report = engine.openReport(path);
        report->setTable(db.db().openRecordset(u"Select Numero, Fecha_Pago, Importe from AR03 order by Id"_s));
        report->setPrinterSetupButton(true);
        report->setParameter(u"Nro"_s, u"0000000027"_s);
        report->setParameter(u"Nombre"_s, u"Banco & Cía"_s);
        report->setParameter(u"Nro"_s, u"0000000028"_s);
        EXPECT_THROW(report->setParameter(u"nro"_s, u"1"_s), ReportError) << "names are matched exactly";
        report->preview(u"AR04 - 27 Hoja Nro: 1"_s);
    }
    engine.closePreview();
    engine.openReport(path)->preview(u"Reimpresión AR03"_s);

    ASSERT_EQ(engine.reportCount(), 2) << "a report that did not open is not recorded";
    EXPECT_EQ(engine.closePreviewCalls(), 2);
    const report::RecordedReport& first = engine.report(0);
    ASSERT_EQ(first.rows.size(), 2u);
    EXPECT_EQ(first.rows[0].value(u"FECHA_PAGO"), db::Value(QDate(2002, 9, 6)));
    EXPECT_TRUE(first.rows[1].value(u"Numero").isNull());
    EXPECT_TRUE(first.printerSetupButton);
    EXPECT_EQ(first.parameterNames(), (QStringList{u"Nro"_s, u"Nombre"_s, u"Nro"_s}));
    EXPECT_EQ(first.parameter(u"Nro"_s), u"0000000028"_s) << "the last value set counts";
    EXPECT_TRUE(
        first.html.contains(u"<h1>0000000028 Banco &amp; Cía</h1><p>27 06/09/2002 1.234,50</p><p>  -10,00</p>"_s))
        << first.html.toStdString();
    EXPECT_FALSE(engine.lastReport().tableSet);
    EXPECT_EQ(engine.previewTitles(), (QStringList{u"AR04 - 27 Hoja Nro: 1"_s, u"Reimpresión AR03"_s}));
}

TEST(RecordingReportEngine, CanBeToldToFail)
{
    QTemporaryDir dir;
    const QString path = ReportFiles::write(dir.filePath(u"R.rpt"_s), u"[report]\n[layout]\n<p>x</p>"_s);
    RecordingReportEngine engine;
    engine.setOpenFails(true);
    EXPECT_THROW((void)engine.openReport(path), ReportError);
    engine.setOpenFails(false);
    engine.setPreviewFailsAfter(1);
    engine.openReport(path)->preview(u"Hoja 1"_s);
    EXPECT_THROW(engine.openReport(path)->preview(u"Hoja 2"_s), ReportError);
    EXPECT_EQ(engine.previewTitles(), QStringList{u"Hoja 1"_s}) << "a failed preview shows nothing";
}
