// What writing the declaration file costs: the generation of declarations of 10 000, 100 000 and 300 000 lines
// (read the lines, build each 80-character record, encrypt it, write it with CR LF through a file committed at
// the end, then read the file back and decrypt every record, as the generation screen does), against writing
// the same records unencrypted the same way, in this same process. The ratio is the price of the encryption
// and of the check.

#include "BenchSupport.h"
#include "FreshDatabase.h"
#include "data/clsCodigo.h"
#include "generation/DeclarationFile.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int rounds = 3;
const QString periodText = u"200209"_s;
constexpr double period = 200209;

// Declaration i (sequence i + 1 of 200209) holds sizes[i] lines.
void fillDeclarations(const std::vector<long>& sizes)
{
    clsCodigo& codigo = clsCodigo::instance();
    const auto transaction = codigo.beginTransaction();
    for (size_t index = 0; index < sizes.size(); ++index) {
        for (long line = 1; line <= sizes[index]; ++line) {
            if (!codigo.Insertar_Detalle_DDJJ(static_cast<double>(index + 1), period, 1234,
                                              QString::number(2850590940090418LL + line), u"01"_s, u"01"_s,
                                              20000000000.0 + line, line % 40, 1500.5 + line, 15.25 + line % 100))
                std::abort();
        }
    }
    transaction->commit();
}

// Writes the file of a declaration through a QSaveFile as the generation screen does; returns the seconds it took.
double timed(double sequence, const QString& path, const std::function<bool(db::Recordset&, QSaveFile&)>& write)
{
    QElapsedTimer timer;
    timer.start();
    auto rows = clsCodigo::instance().Get_Detalle_DDJJs_Disk_1(period, sequence);
    QSaveFile file(path);
    if (!rows || !file.open(QIODevice::WriteOnly) || !write(*rows, file))
        std::abort();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// The generation: encrypted records with the screen's progress told after each, the file committed, then read
// back and every record decrypted.
bool encrypted(db::Recordset& rows, QSaveFile& file)
{
    DeclarationFile declaration;
    qint64 told = 0;
    const auto progress = [&told](qint64 records) {
        told = records;
    };
    if (declaration.write(rows, periodText, file, progress) != DeclarationFile::Outcome::Written || !file.commit())
        return false;
    QFile written(file.fileName());
    return written.open(QIODevice::ReadOnly) && declaration.matchesWritten(written, progress) && told > 0;
}

bool plain(db::Recordset& rows, QSaveFile& file)
{
    for (; !rows.eof(); rows.moveNext()) {
        const std::optional<QString> record = DeclarationFile::record(rows, periodText);
        if (!record)
            return false;
        const QByteArray bytes = record->toLatin1() + "\r\n";
        if (file.write(bytes) != bytes.size())
            return false;
    }
    return file.commit();
}

} // namespace

// Line counts from the command line ("bench_generation 50000"), by default 10 000, 100 000 and 300 000.
int main(int argc, char** argv)
{
    const std::vector<long> sizes = lineCounts(argc, argv, {10000, 100000, 300000});

    QTemporaryDir dir;
    db::Database::setCurrent(freshDatabase(dir, u"ferlon.mdb"_s));
    fillDeclarations(sizes);

    std::printf("archivo de declaracion (mejor de %d corridas alternadas)\n", rounds);
    for (size_t index = 0; index < sizes.size(); ++index) {
        const double sequence = static_cast<double>(index + 1);
        double bestEncrypted = 1e300;
        double bestPlain = 1e300;
        for (int round = 0; round < rounds; ++round) {
            bestPlain = std::min(bestPlain, timed(sequence, dir.filePath(u"plano.txt"_s), plain));
            bestEncrypted = std::min(bestEncrypted, timed(sequence, dir.filePath(u"ddjj.txt"_s), encrypted));
        }
        const long lines = sizes[index];
        std::printf("%7ld lineas\n", lines);
        std::printf("  encriptados y comprobados: %7.3f s  %10.0f registros/s\n", bestEncrypted, lines / bestEncrypted);
        std::printf("  sin encriptar:             %7.3f s  %10.0f registros/s\n", bestPlain, lines / bestPlain);
        std::printf("  razon: %.2f (encriptado y comprobado / sin encriptar, %ld lineas)\n", bestEncrypted / bestPlain,
                    lines);
    }
    db::Database::setCurrent(nullptr);
    return 0;
}
