// What writing the declaration file costs: the generation of a 100 000-line declaration (read the lines,
// build each 80-character record, encrypt it, write it with CR LF through a file committed at the end),
// against writing the same records unencrypted the same way, in this same process. The ratio is the price
// of the encryption.

#include "FreshDatabase.h"
#include "data/clsCodigo.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "screens/generation/DeclarationFile.h"

#include <QElapsedTimer>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr int lines = benchLines;
constexpr int rounds = 3;
constexpr double period = 200209;
const QString periodText = u"200209"_s;

void fillDeclaration()
{
    clsCodigo& codigo = clsCodigo::instance();
    const auto transaction = codigo.beginTransaction();
    for (int line = 1; line <= lines; ++line) {
        if (!codigo.Insertar_Detalle_DDJJ(1, period, 1234, QString::number(2850590940090418LL + line), u"01"_s, u"01"_s,
                                          20000000000.0 + line, line % 40, 1500.5 + line, 15.25 + line % 100))
            std::abort();
    }
    transaction->commit();
}

// Writes the file through a QSaveFile as the generation screen does; returns the seconds it took.
double timed(const QString& path, const std::function<bool(db::Recordset&, QIODevice&)>& write)
{
    QElapsedTimer timer;
    timer.start();
    auto rows = clsCodigo::instance().Get_Detalle_DDJJs_Disk_1(period, 1);
    QSaveFile file(path);
    if (!rows || !file.open(QIODevice::WriteOnly) || !write(*rows, file) || !file.commit())
        std::abort();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

bool encrypted(db::Recordset& rows, QIODevice& file)
{
    DeclarationFile declaration;
    return declaration.write(rows, periodText, file) == DeclarationFile::Outcome::Written;
}

bool plain(db::Recordset& rows, QIODevice& file)
{
    for (; !rows.eof(); rows.moveNext()) {
        const std::optional<QString> record = DeclarationFile::record(rows, periodText);
        if (!record)
            return false;
        const QByteArray bytes = record->toLatin1() + "\r\n";
        if (file.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    db::Database::setCurrent(freshDatabase(dir, u"ferlon.mdb"_s));
    fillDeclaration();

    double bestEncrypted = 1e300;
    double bestPlain = 1e300;
    for (int round = 0; round < rounds; ++round) {
        bestPlain = std::min(bestPlain, timed(dir.filePath(u"plano.txt"_s), plain));
        bestEncrypted = std::min(bestEncrypted, timed(dir.filePath(u"ddjj.txt"_s), encrypted));
    }

    std::printf("archivo de declaracion de %d lineas (mejor de %d corridas)\n", lines, rounds);
    std::printf("  registros encriptados : %8.3f s  %10.0f registros/s\n", bestEncrypted, lines / bestEncrypted);
    std::printf("  registros sin encriptar: %7.3f s  %10.0f registros/s\n", bestPlain, lines / bestPlain);
    std::printf("  encriptado / sin encriptar: %5.2f veces el tiempo\n", bestEncrypted / bestPlain);
    db::Database::setCurrent(nullptr);
    return 0;
}
