// The whole import of an interface file, as the import screen runs it but without the window:
// reading, cutting and checking each line, the duplicate test and the insert through clsCodigo,
// in groups of committed lines. Compared with the best SQLite itself does with the same rows in
// this same run: one transaction, prepared statements reused, the same existence check before
// each insert.
//
// Two measures: the file's lines into an empty declaration (each on its own fresh file), and up to
// 100 000 more lines into a declaration that already holds some (by default the file's lines; the third
// argument gives another count), the import and SQLite alone each adding them to a copy of the same
// database file. Also reports the memory used, which must not grow with the file: run it with a larger
// line count ("bench_import_file 1000000") to see.
//
//     bench_import_file [lines] [rounds] [lines already in the declaration]

#include "BenchSupport.h"
#include "FreshDatabase.h"
#include "data/clsCodigo.h"
#include "import/DetailImporter.h"
#include "platform/Clock.h"
#include "platform/db/Database.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

constexpr double period = 200209;
constexpr double sequence = 1;
constexpr double agent = 1234;
constexpr long long cuit = 20123456786LL;

/// The values of generated line i; the file and the baseline use the same ones.
struct Row
{
    char cbu[23];
    double base;
    double retained;
    int deposits;

    explicit Row(long long i)
    {
        std::snprintf(cbu, sizeof cbu, "%022lld", 7200000000000000LL + i);
        base = static_cast<double>(i % 100000) + 0.5;
        retained = static_cast<double>(i % 1000) / 4;
        deposits = static_cast<int>(i % 30) + 1;
    }
};

void writeInterfaceFile(const QString& path, long long lines, long long first = 0)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    char record[128];
    for (long long i = first; i < first + lines; ++i) {
        const Row row(i);
        const int length = std::snprintf(record, sizeof record, "%011lld%s200209%s+%014.2f+%014.2f%09d\r\n", cuit,
                                         row.cbu, "01", row.base, row.retained, row.deposits);
        if (length != 82 || file.write(record, length) != length)
            std::abort();
    }
}

sqlite3_stmt* prepare(sqlite3* handle, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr) != SQLITE_OK)
        std::abort();
    return statement;
}

/// The same rows (lines first to first + count - 1) straight through the SQLite C API, the fastest way it offers.
double baselineLinesPerSecond(db::Database& database, long long first, long long lines)
{
    sqlite3* handle = database.handle();
    QElapsedTimer timer;
    timer.start();
    sqlite3_exec(handle, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* exists = prepare(handle, "Select count(*) as cant From DDJJ_Detalle where N_Posicion_Fiscal = ? "
                                           "and N_Cuit = ? and N_CBU = ? and Secuencia = ?");
    sqlite3_stmt* insert =
        prepare(handle, "Insert Into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_Agente, N_CBU, C_Tipo_Cuenta, "
                        "C_Tipo_Moneda, N_Cuit, N_Depositos, I_Base_Imponible, I_Retenido, F_Auditoria) "
                        "values (?, ?, ?, ?, '00', '01', ?, ?, ?, ?, '2002-10-01')");
    for (long long i = first; i < first + lines; ++i) {
        const Row row(i);
        sqlite3_bind_double(exists, 1, period);
        sqlite3_bind_int64(exists, 2, cuit);
        sqlite3_bind_text(exists, 3, row.cbu, -1, SQLITE_STATIC);
        sqlite3_bind_double(exists, 4, sequence);
        if (sqlite3_step(exists) != SQLITE_ROW || sqlite3_column_int(exists, 0) != 0)
            std::abort();
        sqlite3_reset(exists);
        sqlite3_bind_double(insert, 1, sequence);
        sqlite3_bind_double(insert, 2, period);
        sqlite3_bind_double(insert, 3, agent);
        sqlite3_bind_text(insert, 4, row.cbu, -1, SQLITE_STATIC);
        sqlite3_bind_int64(insert, 5, cuit);
        sqlite3_bind_int(insert, 6, row.deposits);
        sqlite3_bind_double(insert, 7, row.base);
        sqlite3_bind_double(insert, 8, row.retained);
        if (sqlite3_step(insert) != SQLITE_DONE)
            std::abort();
        sqlite3_reset(insert);
    }
    sqlite3_finalize(exists);
    sqlite3_finalize(insert);
    if (sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        std::abort();
    return static_cast<double>(lines) / (static_cast<double>(timer.nsecsElapsed()) / 1e9);
}

/// Lines per second of one import through DetailImporter, or of its check alone; aborts unless every line
/// went in (or would).
double importLinesPerSecond(const QString& file, long long lines, bool checkOnly = false)
{
    long long errorLines = 0;
    DetailImporter importer(file, period, sequence);
    importer.setCheckOnly(checkOnly);
    importer.setErrorSink([&](const QString&) { ++errorLines; });
    QElapsedTimer timer;
    timer.start();
    const DetailImporter::Result result = importer.run();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (result.imported != lines || errorLines != 0) {
        std::fprintf(stderr, "importadas %lld de %lld, %lld errores\n", static_cast<long long>(result.imported), lines,
                     errorLines);
        std::exit(1);
    }
    return static_cast<double>(lines) / seconds;
}

void removeDatabase(const QString& path)
{
    for (const QString& suffix : {u""_s, u"-journal"_s, u"-wal"_s, u"-shm"_s})
        QFile::remove(path + suffix);
}

/// A copy of the closed database at `from`, opened as the program opens a file: its page cache starts empty.
std::unique_ptr<db::Database> openCopy(const QString& from, const QString& to)
{
    removeDatabase(to);
    if (!QFile::copy(from, to))
        std::abort();
    return db::Database::open(to, u";pwd=ferlon"_s);
}

} // namespace

int main(int argc, char** argv)
{
    const long long lines = argc > 1 ? std::atoll(argv[1]) : 100000;
    // The machine is shared and noisy: each measure is taken several times and the best kept.
    const int rounds = argc > 2 ? std::atoi(argv[2]) : (lines <= 200000 ? 3 : 1);
    const long long existing = argc > 3 ? std::atoll(argv[3]) : lines;
    if (lines <= 0 || rounds <= 0 || existing <= 0) {
        std::fprintf(stderr, "uso: %s [cantidad de lineas] [vueltas] [lineas ya en la declaracion]\n", argv[0]);
        return 2;
    }
    Clock::install(QDate(2002, 10, 1));
    clsCodigo::instance().Par_Agente = agent;
    QTemporaryDir dir;
    const QString interfaceFile = dir.filePath(u"interfase.txt"_s);
    writeInterfaceFile(interfaceFile, lines);
    // A second file, of lines not yet in the declaration, for a declaration that already has lines: then the
    // duplicate test cannot be skipped as it is for an empty one.
    const long long moreLines = std::min(lines, 100000LL);
    const QString secondFile = dir.filePath(u"interfase2.txt"_s);
    writeInterfaceFile(secondFile, moreLines, existing);
    std::printf("%lld lineas, archivo de %.1f MB, %d vuelta(s)\n", lines,
                static_cast<double>(QFile(interfaceFile).size()) / 1e6, rounds);

    // Into an empty declaration: the whole file through the import, then the same rows through SQLite alone.
    const QString declared = dir.filePath(u"declaracion.mdb"_s);
    double ours = 0;
    double baseline = 0;
    long peakBefore = 0;
    long peakAfter = 0;
    long long sqliteKib = 0;
    double checked = 0;
    long checkPeakBefore = 0;
    long checkPeakAfter = 0;
    for (int round = 0; round < rounds; ++round) {
        const QString ourPath = dir.filePath(u"importacion.mdb"_s);
        db::Database::setCurrent(freshDatabase(dir, u"importacion.mdb"_s));
        // "Verificar" first, on the same empty declaration: in the first round its own peak is measured.
        if (round == 0)
            checkPeakBefore = statusKib("VmHWM");
        checked = std::max(checked, importLinesPerSecond(interfaceFile, lines, true));
        if (round == 0) {
            checkPeakAfter = statusKib("VmHWM");
            peakBefore = statusKib("VmHWM");
            sqlite3_memory_highwater(1);
        }
        ours = std::max(ours, importLinesPerSecond(interfaceFile, lines));
        if (round == 0) {
            peakAfter = statusKib("VmHWM");
            sqliteKib = sqlite3_memory_highwater(0) / 1024;
        }
        db::Database::setCurrent(nullptr);
        // The declaration the import made is the one both add to below, when it has the lines asked for.
        if (existing == lines && round == rounds - 1) {
            removeDatabase(declared);
            QFile::rename(ourPath, declared);
        }
        removeDatabase(ourPath);

        auto plain = freshDatabase(dir, u"sqlite.mdb"_s);
        baseline = std::max(baseline, baselineLinesPerSecond(*plain, 0, lines));
        plain.reset();
        removeDatabase(dir.filePath(u"sqlite.mdb"_s));
    }
    if (existing != lines) {
        auto made = freshDatabase(dir, u"declaracion.mdb"_s);
        static_cast<void>(baselineLinesPerSecond(*made, 0, existing));
    }

    // Into a declaration that already has `existing` lines: each round, the import and SQLite alone each add
    // the second file's lines to their own copy of the same file, opened anew as the program would open it.
    // Which of the two goes first alternates, so that neither always finds the machine warmer.
    double withLines = 0;
    double baselineWithLines = 0;
    const QString ourCopy = dir.filePath(u"importacion.mdb"_s);
    const QString plainCopy = dir.filePath(u"sqlite.mdb"_s);
    for (int round = 0; round < std::max(rounds, 3); ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            if ((round + turn) % 2 == 0) {
                db::Database::setCurrent(openCopy(declared, ourCopy));
                withLines = std::max(withLines, importLinesPerSecond(secondFile, moreLines));
                db::Database::setCurrent(nullptr);
                removeDatabase(ourCopy);
            } else {
                auto plain = openCopy(declared, plainCopy);
                baselineWithLines = std::max(baselineWithLines, baselineLinesPerSecond(*plain, existing, moreLines));
                plain.reset();
                removeDatabase(plainCopy);
            }
        }
    }

    std::printf("importacion:   %9.0f lineas/s en una declaracion vacia\n", ours);
    std::printf("SQLite solo:   %9.0f lineas/s\n", baseline);
    std::printf("razon:         %9.2f\n", ours / baseline);
    std::printf("importacion:   %9.0f lineas/s en una declaracion con %lld lineas (%lld lineas mas)\n", withLines,
                existing, moreLines);
    std::printf("SQLite solo:   %9.0f lineas/s en la misma declaracion con lineas\n", baselineWithLines);
    std::printf("razon:         %9.2f (%.2f frente a SQLite solo en la declaracion vacia)\n",
                withLines / baselineWithLines, withLines / baseline);
    std::printf("verificacion:  %9.0f lineas/s en la declaracion vacia, %.2f veces la importacion; memoria pico "
                "+%ld KiB\n",
                checked, checked / ours, checkPeakAfter - checkPeakBefore);
    std::printf("memoria pico:  %9ld KiB antes de importar, %ld KiB despues (+%ld KiB)\n", peakBefore, peakAfter,
                peakAfter - peakBefore);
    std::printf("  de ella, cache de paginas y demas de SQLite (pico): %lld KiB; resto del proceso: %+lld KiB\n",
                sqliteKib, peakAfter - peakBefore - sqliteKib);
    return 0;
}
