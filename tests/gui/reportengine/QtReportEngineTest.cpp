#include "platform/reportengine/QtReportEngine.h"
#include "platform/reportengine/Report.h"
#include "platform/reportengine/ReportError.h"

#include "support/ReportFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using report::ReportError;

// What the forms print is read back from their PDFs in the form layout test; here, the failures.
TEST(QtReportEngine, FailuresRaiseReportErrorsAndAnExistingPdfIsReplaced)
{
    QTemporaryDir dir;
    report::QtReportEngine engine;
    EXPECT_THROW((void)engine.openReport(dir.filePath(u"NoExiste.rpt"_s)), ReportError);
    const auto report = engine.openReport(ReportFiles::write(
        dir.filePath(u"Listado.rpt"_s), "[report]\nparameters = Titulo\n[layout]\n<h2>{{Titulo}}</h2>\n"));
    EXPECT_THROW(report->setParameter(u"Cuit"_s, u"x"_s), ReportError) << "an undeclared parameter";
    report->setParameter(u"Titulo"_s, u"Declaración del año"_s);
    EXPECT_THROW(report->exportPdf(dir.filePath(u"no/hay/carpeta.pdf"_s)), ReportError);
    const QString existing = ReportFiles::write(dir.filePath(u"previo.pdf"_s), "previo");
    EXPECT_NO_THROW(report->exportPdf(existing));
    EXPECT_EQ(ReportFiles::pdfText(existing), u"Declaración del año"_s) << "an existing file is replaced";
}
