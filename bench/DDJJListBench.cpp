// What the declaration list costs to reload: DDJJ::Refrescar on 5 000 declarations (the newest sequence
// of each period marked, the grid filled) against the bare Get_DDJJs query walked to its end, reading the
// same five columns. Both on the same database, in this same process.

#include "FreshDatabase.h"
#include "data/clsCodigo.h"
#include "platform/db/Database.h"
#include "screens/declarations/DDJJ.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int declarations = 5000;
constexpr int rounds = 7;

void fillDatabase(const QTemporaryDir& dir)
{
    db::Database::setCurrent(freshDatabase(dir, u"ferlon.mdb"_s));
    db::Database& database = *db::Database::current();
    db::Transaction transaction(database);
    // Two sequences for each of 2 500 periods, the first generated.
    for (int i = 0; i < declarations / 2; ++i) {
        const int period = 190001 + (i / 12) * 100 + i % 12;
        database.execute(u"Insert Into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado, Fecha_Pres) "
                         u"values ('%1', 1, '10/10/2002', 'S', '02/10/2002')"_s.arg(period));
        database.execute(u"Insert Into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado) "
                         u"values ('%1', 2, '10/10/2002', 'N')"_s.arg(period));
    }
    transaction.commit();
}

// Median milliseconds of several runs.
double median(const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    fillDatabase(dir);

    int rows = 0;
    const double query = median([&rows] {
        rows = 0;
        const auto records = clsCodigo::instance().Get_DDJJs(u"POSICION_FISCAL"_s);
        for (; records && !records->eof(); records->moveNext(), ++rows) {
            for (const auto* field : {u"Posicion_Fiscal", u"Secuencia", u"Fecha_Vto", u"Generado", u"Fecha_Pres"})
                (void)records->field(QStringView(field)).toString();
        }
    });

    DDJJ list;
    const double refresh = median([&list] { list.Refrescar(u"POSICION_FISCAL"_s); });

    std::printf("declaraciones: %d (leídas %d)\n", declarations, rows);
    std::printf("Get_DDJJs recorrido:  %8.2f ms\n", query);
    std::printf("DDJJ::Refrescar:      %8.2f ms\n", refresh);
    std::printf("razón Refrescar / consulta: %.1f\n", refresh / query);

    db::Database::setCurrent(nullptr);
    return 0;
}
