// How much the data layer costs an import: for each line, Existe_Detalle_DDJJ then Insertar_Detalle_DDJJ
// through clsCodigo, against the same statements as plain text straight through the SQLite C API.
// Both run in autocommit and inside one transaction, on fresh databases, in this same process.

#include "FreshDatabase.h"
#include "data/clsCodigo.h"
#include "platform/Clock.h"
#include "platform/db/Database.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int lines = benchLines;
// In autocommit every line is a commit flushed to disk: a hundredth of the lines measures it as well.
constexpr int autocommitLines = std::max(1, lines / 100);
constexpr double period = 200209;
constexpr double agent = 1234;

double cuitOf(int line)
{
    return 20000000000.0 + line;
}

QString cbuOf(int line)
{
    return QString::number(7200000000000000LL + line);
}

void throughClsCodigo(int line)
{
    clsCodigo& codigo = clsCodigo::instance();
    if (codigo.Existe_Detalle_DDJJ(1, period, cbuOf(line), cuitOf(line)) != 0)
        std::abort();
    if (!codigo.Insertar_Detalle_DDJJ(1, period, agent, cbuOf(line), u"00"_s, u"01"_s, cuitOf(line), 3, 1500.5, 15.25))
        std::abort();
}

void plainSql(sqlite3* handle, int line)
{
    char sql[512];
    const long long cbu = 7200000000000000LL + line;
    const long long cuit = 20000000000LL + line;
    std::snprintf(sql, sizeof sql,
                  "Select count(*) as cant From DDJJ_Detalle where N_Posicion_Fiscal = 200209 and N_Cuit = %lld "
                  "and N_CBU = '%lld' and Secuencia = 1 ",
                  cuit, cbu);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr) != SQLITE_OK ||
        sqlite3_step(statement) != SQLITE_ROW || sqlite3_column_int(statement, 0) != 0)
        std::abort();
    sqlite3_finalize(statement);
    std::snprintf(sql, sizeof sql,
                  "Insert Into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_Agente, N_CBU, C_Tipo_Cuenta, "
                  "C_Tipo_Moneda, N_Cuit, N_Depositos, I_Base_Imponible, I_Retenido, F_Auditoria)  "
                  "values(1, 200209,1234,'%lld', '00', '01', %lld,3,1500.5, 15.25, '2002-10-01')",
                  cbu, cuit);
    if (sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        std::abort();
}

double linesPerSecond(db::Database& database, bool oneTransaction, const std::function<void(int)>& importLine)
{
    const int count = oneTransaction ? lines : autocommitLines;
    QElapsedTimer timer;
    timer.start();
    std::optional<db::Transaction> transaction;
    if (oneTransaction)
        transaction.emplace(database);
    for (int line = 0; line < count; ++line)
        importLine(line);
    if (transaction)
        transaction->commit();
    return count / (static_cast<double>(timer.nsecsElapsed()) / 1e9);
}

} // namespace

int main()
{
    // The machine is shared and noisy: the two paths alternate, and each keeps its best of three runs.
    constexpr int rounds = 3;
    Clock::install(QDate(2002, 10, 1));
    std::printf("%d lineas por corrida (%d en autocommit), mejor de %d corridas alternadas\n", lines, autocommitLines,
                rounds);
    for (const bool oneTransaction : {false, true}) {
        double baseline = 0;
        double ours = 0;
        for (int round = 0; round < rounds; ++round) {
            QTemporaryDir dir;
            auto plain = freshDatabase(dir, u"plain.mdb"_s);
            baseline = std::max(
                baseline, linesPerSecond(*plain, oneTransaction, [&](int line) { plainSql(plain->handle(), line); }));
            plain.reset();

            db::Database::setCurrent(freshDatabase(dir, u"ours.mdb"_s));
            ours = std::max(ours, linesPerSecond(*db::Database::current(), oneTransaction, throughClsCodigo));
            db::Database::setCurrent(nullptr);
        }
        std::printf("%-16s SQL directo: %9.0f lineas/s   clsCodigo: %9.0f lineas/s   razon: %.2f\n",
                    oneTransaction ? "una transaccion" : "autocommit", baseline, ours, ours / baseline);
    }
    return 0;
}
