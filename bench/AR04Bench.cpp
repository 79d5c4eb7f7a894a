// The AR04 of a bank's month: the first printing of a declaration built by the program's own import
// (numbering and stamping every line, the sheets gathered into the preview window) and the whole form
// written to one PDF through that window, then the reprint the same way. Against two baselines timed in
// this same run on the same number of pages: (a) Qt's own rich-text path, each sheet's lines as a 41-row
// HTML table with its header laid out by QTextDocument and drawn onto QPdfWriter; (b) the physical floor,
// 41 lines of plain text a page drawn with QPainter. Each size runs in a process of its own, so that its
// peak memory is its own.
//
//     bench_ar04                  10 000 and 100 000 lines
//     bench_ar04 300000           any sizes

#include "BenchSupport.h"
#include "FreshDatabase.h"
#include "data/clsCodigo.h"
#include "import/DetailImporter.h"
#include "platform/Clock.h"
#include "platform/ProgramDirectory.h"
#include "platform/Regional.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/reportengine/PreviewWindow.h"
#include "platform/reportengine/QtReportEngine.h"
#include "reports/AR04Sheets.h"
#include "reports/Reimpresion_AR04.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr double period = 200209;
constexpr double sequence = 1;

/// What a step cost: the time on the clock, and the processor time the process spent on it. The machine is
/// shared, so the ratios are taken on processor time, which other programs do not stretch.
struct Cost
{
    double wall = 0;
    double cpu = 0;

    Cost operator+(const Cost& other) const { return {wall + other.wall, cpu + other.cpu}; }
};

double processSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

Cost measure(const std::function<void()>& run)
{
    QElapsedTimer timer;
    timer.start();
    const double cpu = processSeconds();
    run();
    return {static_cast<double>(timer.nsecsElapsed()) / 1e9, processSeconds() - cpu};
}

/// A declaration of `lines` lines, imported from an interface file as the import screen does.
void importLines(const QTemporaryDir& dir, long lines)
{
    const QString path = dir.filePath(u"interfase.txt"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    char record[96];
    for (long i = 0; i < lines; ++i) {
        const int length =
            std::snprintf(record, sizeof record, "20123456786%022ld200209%02ld+%014.2f+%014.2f%09ld\r\n",
                          3100000000000000L + i * 7, i % 3 + 1, 1000.0 + i % 9000, (i % 500) / 4.0, i % 30);
        file.write(record, length);
    }
    file.close();
    DetailImporter importer(path, period, sequence);
    QString firstError;
    importer.setErrorSink([&](const QString& line) {
        if (firstError.isEmpty())
            firstError = line;
    });
    if (importer.run().imported != lines) {
        std::fprintf(stderr, "importacion incompleta: %s\n", qPrintable(firstError));
        std::exit(1);
    }
}

void prepareDatabase(const QTemporaryDir& dir, long lines)
{
    db::Database::setCurrent(freshDatabase(dir, u"ferlon.mdb"_s));
    clsCodigo& codigo = clsCodigo::instance();
    codigo.Par_Agente = 4521;
    codigo.Par_CUIT = u"30-12345678-1"_s;
    codigo.Par_Denomin = u"Banco del Sur S.A."_s;
    if (!codigo.Insertar_Parametro(5, u"Nro AR04"_s, u"27"_s) ||
        !codigo.Insertar_DDJJ(sequence, period, u"15/10/2002"_s))
        std::abort();
    for (int week = 1; week <= 4; ++week)
        (void)codigo.Insertar_AR03(period, week, u"0%1/09/2002"_s.arg(week * 2), 1000.0 * week, u"01"_s);
    importLines(dir, lines);
}

/// The whole preview of the latest printing written to one PDF, as "Guardar como PDF…" does.
void savePreview(const QString& path)
{
    auto* engine = static_cast<report::QtReportEngine*>(report::ReportEngine::current());
    report::PreviewWindow* window = engine->lastPreview();
    if (!window || !window->savePdf(path))
        std::abort();
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

/// The lines of the declaration in the sheets' order, 41 to a page, each page given to `page`.
void forEachPage(const std::function<void(int, const QStringList&)>& page)
{
    const auto lines = db::Database::current()->openRecordset(
        u"Select N_CUIT, N_CBU, C_Tipo_Cuenta, C_Tipo_Moneda, N_Depositos, I_Base_Imponible, I_Retenido "
        u"from DDJJ_Detalle Order by N_CBU, C_Tipo_Cuenta"_s);
    QStringList rows;
    int sheet = 0;
    for (; !lines->eof(); lines->moveNext()) {
        QStringList fields;
        for (int i = 0; i < 7; ++i)
            fields << lines->field(i).toString();
        rows << fields.join(u'\x1f');
        if (rows.size() == AR04Sheets::linesPerSheet) {
            page(++sheet, rows);
            rows.clear();
        }
    }
    if (!rows.isEmpty())
        page(++sheet, rows);
}

/// (a) Each page as an HTML table with its header, laid out by QTextDocument onto one PDF.
void richTextBaseline(const QString& path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    forEachPage([&](int sheet, const QStringList& rows) {
        if (sheet > 1)
            writer.newPage();
        QString html = u"<table border=\"0.5\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\"><tr><td>AR04 "
                       u"0000000027</td><td>Agente 4521</td><td>Banco del Sur S.A.</td><td>30-12345678-1</td>"
                       u"<td>200209</td><td>Hoja %1</td></tr></table>"
                       u"<table border=\"0.5\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\">"_s.arg(sheet);
        for (const QString& row : rows)
            html += u"<tr><td>01/01/1900</td><td>"_s + row.split(u'\x1f').join(u"</td><td>"_s) + u"</td></tr>"_s;
        html += u"</table>"_s;
        QTextDocument document;
        document.setPageSize(QSizeF(writer.width(), writer.height()));
        document.setHtml(html);
        document.drawContents(&painter);
    });
}

/// (b) Each page as 41 lines of plain text.
void plainTextBaseline(const QString& path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    const int lineHeight = writer.height() / 50;
    forEachPage([&](int sheet, const QStringList& rows) {
        if (sheet > 1)
            writer.newPage();
        int y = lineHeight;
        for (const QString& row : rows)
            painter.drawText(0, y += lineHeight, QString(row).replace(u'\x1f', u"  "_s));
    });
}

int runSize(long lines)
{
    QTemporaryDir dir;
    ProgramDirectory::install(QCoreApplication::applicationDirPath() + u"/../bin"_s);
    Clock::install(QDate(2002, 10, 15));
    prepareDatabase(dir, lines);
    report::ReportEngine::install(std::make_unique<report::QtReportEngine>());
    const int sheets = AR04Sheets::sheetCount(lines) + (lines > AR04Sheets::shortFormLines ? 1 : 0);

    // When the first page is painted, counted from the start of the printing.
    QElapsedTimer sinceStart;
    double firstPage = -1;
    struct FirstPaint : QObject
    {
        std::function<void()> seen;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && watched->objectName() == u"page"_s)
                seen();
            return false;
        }
    } watch;
    watch.seen = [&] {
        if (firstPage < 0)
            firstPage = static_cast<double>(sinceStart.nsecsElapsed()) / 1e9;
    };
    qApp->installEventFilter(&watch);

    const QString pdf = dir.filePath(u"ar04.pdf"_s);
    sinceStart.start();
    const Cost printing = measure([&] {
        if (!clsCodigo::instance().Reporte_AR04(period, sequence))
            std::abort();
    });
    const Cost first = printing + measure([&] { savePreview(pdf); });
    qApp->removeEventFilter(&watch);
    const Cost reprint = measure([&] {
        if (!reprintAR04(period, sequence, 27))
            std::abort();
        savePreview(pdf);
    });
    const double peak = static_cast<double>(statusKib("VmHWM")) / 1024;
    const Cost richText = measure([&] { richTextBaseline(dir.filePath(u"a.pdf"_s)); });
    const Cost plainText = measure([&] { plainTextBaseline(dir.filePath(u"b.pdf"_s)); });

    std::printf("%ld lineas, %d hojas (segundos de reloj; de procesador entre parentesis)\n", lines, sheets);
    std::printf("  primera impresion y PDF: %7.2f s (%.2f s; %.1f ms por hoja; primera pagina a los %.2f s)\n",
                first.wall, first.cpu, first.cpu * 1000 / sheets, firstPage);
    std::printf("    de ellos, la impresion hasta la ultima hoja en la ventana: %.2f s (%.2f s)\n", printing.wall,
                printing.cpu);
    std::printf("  reimpresion y PDF:       %7.2f s (%.2f s; %.1f ms por hoja)\n", reprint.wall, reprint.cpu,
                reprint.cpu * 1000 / sheets);
    std::printf("  (a) QTextDocument:       %7.2f s (%.2f s)\n", richText.wall, richText.cpu);
    std::printf("  (b) texto plano:         %7.2f s (%.2f s)\n", plainText.wall, plainText.cpu);
    std::printf("  razon: %.2f (primera impresion / (a); %.2f en reloj); %.2f frente a (b)\n", first.cpu / richText.cpu,
                first.wall / richText.wall, first.cpu / plainText.cpu);
    std::printf("  razon: %.2f (reimpresion / (a); %.2f en reloj); %.2f frente a (b)\n", reprint.cpu / richText.cpu,
                reprint.wall / richText.wall, reprint.cpu / plainText.cpu);
    std::printf("  memoria pico: %.0f MB\n", peak);
    std::printf("tiempo %ld %.3f\n", lines, first.cpu);
    report::ReportEngine::uninstall();
    db::Database::setCurrent(nullptr);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--una")
        return runSize(std::atol(argv[2]));

    QStringList sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLocal8Bit(argv[i]);
    if (sizes.isEmpty())
        sizes = {u"10000"_s, u"100000"_s};
    QList<double> times;
    for (const QString& size : sizes) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {u"--una"_s, size});
        if (!child.waitForFinished(-1) || child.exitCode() != 0)
            return 1;
        for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
            if (line.startsWith("tiempo "))
                times << line.split(' ').value(2).toDouble();
            else if (!line.isEmpty())
                std::printf("%s\n", line.constData());
        }
    }
    for (qsizetype i = 1; i < times.size(); ++i)
        std::printf("%s lineas cuestan %.1f veces el tiempo de %s\n", qPrintable(sizes[i]), times[i] / times[i - 1],
                    qPrintable(sizes[i - 1]));
    return 0;
}
