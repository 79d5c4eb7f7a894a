// What opening the detail list costs on a large declaration: the screen Detalle_DDJJ created on a declaration
// of 10 000, 100 000 and 300 000 lines and shown until its first paint, against its bare query, Get_Detalle_DDJJs
// walked to its end reading the ten fields the list shows, both in this same process on the same file. The
// "razon" is against the least any reader of those fields does, each read as a value found by its position; a
// second ratio against reading them as the declaration list's benchmark reads its own, by name and as text.
// Also the memory the open screen holds per line: the rise of the process's peak resident memory while the
// screen opens, divided by the lines it lists.

#include "BenchSupport.h"
#include "FreshDatabase.h"
#include "data/clsCodigo.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ListGrid.h"
#include "screens/declarations/Detalle_DDJJ.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int rounds = 7;

// One declaration per size, periods 200201 onwards, sequence 1.
QString periodOf(qsizetype index)
{
    return QString::number(200201 + index);
}

// Lines spread over the account types and currencies, every one stamped as a generated declaration's
// lines are, so that every column of the list has something to show.
void fillDatabase(const QTemporaryDir& dir, const std::vector<long>& sizes)
{
    db::Database::setCurrent(freshDatabase(dir, u"ferlon.mdb"_s));
    clsCodigo& codigo = clsCodigo::instance();
    const auto transaction = codigo.beginTransaction();
    for (size_t index = 0; index < sizes.size(); ++index) {
        const double period = periodOf(static_cast<qsizetype>(index)).toDouble();
        for (long line = 1; line <= sizes[index]; ++line) {
            // Accounts in no particular order, so the query sorts them as it would a real month's.
            const long long account = 2850590940090418LL + (line * 7919LL) % 1000003;
            if (!codigo.Insertar_Detalle_DDJJ(1, period, 1234, QString::number(account), u"0%1"_s.arg(line % 4),
                                              u"0%1"_s.arg(1 + line % 3), 20000000000.0 + line, line % 40,
                                              1500.5 + line * 3.25, 15.25 + line % 100))
                std::abort();
        }
    }
    db::Database::current()->execute(
        u"Update DDJJ_Detalle Set N_Comprobante = 4321, Hoja = '1', F_Presentacion = '2002-10-08'"_s);
    transaction->commit();
}

// Gives freed memory back to the system and starts a new peak: from here VmHWM counts from the present
// resident memory.
void resetPeak()
{
    malloc_trim(0);
    QFile clear(u"/proc/self/clear_refs"_s);
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Milliseconds a run takes.
double timed(const std::function<void()>& run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The fields the list shows.
constexpr const char16_t* shownFields[] = {u"N_Agente",      u"N_CBU",         u"C_Tipo_Cuenta",    u"C_Tipo_Moneda",
                                           u"N_Cuit",        u"N_Depositos",   u"I_Base_Imponible", u"I_Retenido",
                                           u"N_Comprobante", u"F_Presentacion"};

// The query the list runs, walked to its end reading the fields it shows: each by its name as its text, as the
// declaration list's benchmark reads its own; or, the least a reader can do, each as a value found by its
// position, looked up once.
int bareQuery(const QString& period, bool byPosition)
{
    int lines = 0;
    const auto records = clsCodigo::instance().Get_Detalle_DDJJs(QString(), period.toDouble(), 1);
    if (!records)
        std::abort();
    std::vector<int> positions;
    for (const auto* name : shownFields)
        positions.push_back(records->indexOf(QStringView(name)));
    for (; !records->eof(); records->moveNext(), ++lines) {
        if (byPosition) {
            for (const int position : positions)
                (void)records->field(position);
        } else {
            for (const auto* name : shownFields)
                (void)records->field(QStringView(name)).toString();
        }
    }
    return lines;
}

// The screen as the declaration list opens it, up to its first paint.
std::unique_ptr<Detalle_DDJJ> openList(const QString& period);

/// Ctrl+F's search through every line (a CUIT that no line has, as the screen tests a row: CUIT or CBU's first
/// digits), and "Exportar…"'s writing of every line to a spreadsheet file, on the open list.
void findAndExport(const QString& period)
{
    const auto list = openList(period);
    auto& grid = *list->findChild<ui::ListGrid*>(u"lvList"_s);
    const QByteArray missing = "20999999999";
    std::vector<double> finds;
    for (int round = 0; round < rounds; ++round) {
        finds.push_back(timed([&] {
            if (grid.findNext([&](QByteArrayView row) {
                    return ui::ListGrid::cellOf(row, 4) == missing || ui::ListGrid::cellOf(row, 1).startsWith(missing);
                }))
                std::abort();
        }));
    }
    QTemporaryDir dir;
    QFile csv(dir.filePath(u"detalle.csv"_s));
    const double exporting = timed([&] {
        if (!csv.open(QIODevice::WriteOnly) || !grid.writeCsv(csv, {}))
            std::abort();
        csv.close();
    });
    std::printf("  buscar un CUIT que no esta (todas las lineas):      %9.1f ms\n", median(finds));
    std::printf("  exportar a CSV:                                     %9.1f ms (%.1f MB)\n", exporting,
                static_cast<double>(csv.size()) / 1e6);
}

std::unique_ptr<Detalle_DDJJ> openList(const QString& period)
{
    auto list = std::make_unique<Detalle_DDJJ>(Detalle_DDJJ::Declaration{period, u"1"_s, u"S"_s, u"10/10/2002"_s});
    list->show();
    QApplication::processEvents();
    return list;
}

} // namespace

// Line counts from the command line ("bench_detail_list 50000"), by default 10 000, 100 000 and 300 000.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::vector<long> sizes = lineCounts(argc, argv, {10000, 100000, 300000});

    QTemporaryDir dir;
    fillDatabase(dir, sizes);
    // What the first screen of the process costs whatever its lines (styles, fonts) is not the lines' memory.
    (void)openList(u"199901"_s);

    std::printf("lista de detalle: abrir Detalle_DDJJ hasta su primer pintado contra Get_Detalle_DDJJs recorrida "
                "(mediana de %d corridas)\n",
                rounds);
    for (size_t index = 0; index < sizes.size(); ++index) {
        const QString period = periodOf(static_cast<qsizetype>(index));
        const double count = sizes[index];

        // Memory first, from a fresh peak, with the screen still open at the end.
        long before = 0;
        long peak = 0;
        long held = 0;
        {
            QApplication::processEvents();
            resetPeak();
            before = statusKib("VmRSS");
            const auto list = openList(period);
            peak = statusKib("VmHWM");
            held = statusKib("VmRSS");
        }

        // The three alternate, so that a busy moment of the machine weighs on all alike; a ratio is the median of
        // each round's own ratio.
        int lines = 0;
        std::vector<double> queries;
        std::vector<double> leanQueries;
        std::vector<double> openings;
        std::vector<double> ratios;
        std::vector<double> leanRatios;
        for (int round = 0; round < rounds; ++round) {
            queries.push_back(timed([&] { lines = bareQuery(period, false); }));
            leanQueries.push_back(timed([&] { lines = bareQuery(period, true); }));
            // Closing the screen is not part of opening it.
            std::unique_ptr<Detalle_DDJJ> list;
            openings.push_back(timed([&] { list = openList(period); }));
            ratios.push_back(openings.back() / queries.back());
            leanRatios.push_back(openings.back() / leanQueries.back());
        }

        std::printf("%7ld lineas (leidas %d)\n", sizes[index], lines);
        std::printf("  consulta recorrida (campos por nombre, como texto): %9.1f ms\n", median(queries));
        std::printf("  consulta recorrida (valores por posicion):          %9.1f ms\n", median(leanQueries));
        std::printf("  abrir la lista:                                     %9.1f ms\n", median(openings));
        std::printf("  memoria: pico %+.0f bytes/linea, abierta %+.0f bytes/linea\n", (peak - before) * 1024.0 / count,
                    (held - before) * 1024.0 / count);
        std::printf("  razon: %.2f (abrir / consulta leyendo valores por posicion, %ld lineas)\n", median(leanRatios),
                    sizes[index]);
        std::printf("  razon contra la consulta leyendo por nombre como texto: %.2f\n", median(ratios));
        findAndExport(period);
    }

    db::Database::setCurrent(nullptr);
    return 0;
}
