// preparar_base: writes the database file delivered with the program (ferlon.mdb): the tables,
// the counters, the help document's name and the first declaration of each fiscal period.

#include "delivery/DeliveredDatabase.h"

#include "data/Schema.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

const QString password = u"ferlon"_s;

int fail(const QString& message)
{
    QTextStream(stderr) << u"preparar_base: "_s << message << Qt::endl;
    return 1;
}

int periodOption(const QCommandLineParser& parser, const QString& name)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    return ok && parser.value(name).size() == 6 ? value : 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"preparar_base"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Crea la base de datos que se entrega con TOLBRANE, o agrega períodos a una existente."_s);
    parser.addHelpOption();
    parser.addOptions({
        {u"desde"_s, u"Primer período fiscal (AAAAMM)."_s, u"AAAAMM"_s},
        {u"hasta"_s, u"Último período fiscal (AAAAMM)."_s, u"AAAAMM"_s},
        {u"dia-vencimiento"_s, u"Día del mes siguiente en que vence cada declaración (15 si se omite)."_s, u"DIA"_s,
         u"15"_s},
        {u"ayuda"_s, u"Nombre del documento de ayuda (ayuda.html si se omite)."_s, u"ARCHIVO"_s, u"ayuda.html"_s},
        {u"agregar"_s, u"Agrega los períodos a un archivo existente sin tocar sus datos."_s},
        {u"reemplazar"_s, u"Reemplaza el archivo si ya existe."_s},
    });
    parser.addPositionalArgument(u"archivo"_s, u"Archivo a escribir, por ejemplo ferlon.mdb."_s);
    parser.process(app);

    if (parser.positionalArguments().size() != 1)
        return fail(u"indique un único archivo de destino."_s);
    const QString path = parser.positionalArguments().constFirst();

    DeliveredDatabase::Periods periods;
    periods.from = periodOption(parser, u"desde"_s);
    periods.to = periodOption(parser, u"hasta"_s);
    periods.dueDay = parser.value(u"dia-vencimiento"_s).toInt();
    if (const QString problem = DeliveredDatabase::check(periods); !problem.isEmpty())
        return fail(problem);

    const bool adding = parser.isSet(u"agregar"_s);
    const bool exists = QFileInfo::exists(path);
    if (adding && !exists)
        return fail(u"no existe el archivo "_s + path + u" al que agregar períodos."_s);
    if (!adding && exists && !parser.isSet(u"reemplazar"_s))
        return fail(u"el archivo "_s + path + u" ya existe; use --reemplazar o --agregar."_s);

    try {
        if (!adding && exists) {
            for (const QString& suffix : {u""_s, u"-wal"_s, u"-shm"_s})
                QFile::remove(path + suffix);
        }
        std::unique_ptr<db::Database> database;
        if (adding) {
            database = db::Database::open(path, u";pwd="_s + password);
            (void)Schema::addMissingIndexes(*database);
        } else {
            database = db::Database::create(path, password);
            Schema::create(*database);
        }
        DeliveredDatabase::addParameters(*database, parser.value(u"ayuda"_s));
        const int added = DeliveredDatabase::addPeriods(*database, periods);
        QTextStream(stdout) << u"Base de datos: "_s << QFileInfo(path).absoluteFilePath() << Qt::endl
                            << u"Declaraciones agregadas: "_s << added << Qt::endl;
    } catch (const db::DbError& error) {
        if (!adding)
            QFile::remove(path);
        return fail(u"no se pudo escribir la base de datos: "_s + QString::fromUtf8(error.what()));
    }
    return 0;
}
