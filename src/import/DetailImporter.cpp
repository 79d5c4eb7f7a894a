#include "DetailImporter.h"

#include "InterfaceFileReader.h"
#include "InterfaceRecord.h"
#include "data/Armar_Sql.h"
#include "data/clsCodigo.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "rules/Cuit_Invalido.h"

#include <QFile>
#include <QTemporaryDir>

#include <exception>
#include <memory>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

DetailImporter::DetailImporter(QString path, double periodo, double secuencia)
    : m_path(std::move(path)), m_periodo(periodo), m_secuencia(secuencia)
{}

namespace {
const QString duplicateText = u" Ya existen detalles con el CUIT-CBU especificados."_s;
} // namespace

void DetailImporter::report(Result& result, const QString& text) const
{
    ++result.rejected;
    if (m_errorSink)
        m_errorSink(text);
}

void DetailImporter::reportDuplicate(Result& result, qint64 number) const
{
    report(result, u"Error en la linea: "_s + QString::number(number) + u'.' + duplicateText);
}

void DetailImporter::readFile(Result& result, const GoodLine& good, const std::function<void()>& finish)
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    result.opened = true;
    const qint64 totalBytes = file.size();
    InterfaceFileReader reader(file);
    const auto reportProgress = [&] {
        if (m_progress)
            m_progress(reader.position(), totalBytes);
    };

    InterfaceFileReader::Line line;
    qint64 number = 0;
    while (result.stopped == Stop::None && reader.next(line)) {
        ++number;
        if (number % progressInterval == 0)
            reportProgress();
        if (line.blank)
            continue;
        const InterfaceRecord record = InterfaceRecord::read(line.head);
        QString failures = record.failures;
        // The check digit and the duplicate test only run on lines whose fields are all well formed.
        if (failures.isEmpty() && Cuit_Invalido(record.cuit))
            failures = u" El CUIT es incorrecto."_s;
        if (failures.isEmpty())
            good(number, record);
        else
            report(result, u"Error en la linea: "_s + QString::number(number) + u'.' + failures);
    }
    finish();

    result.lines = number;
    if (reader.failed()) {
        result.readError = true;
        report(result, u"Error al leer el archivo de interfase después de la linea: "_s + QString::number(number));
    }
    reportProgress();
}

DetailImporter::Result DetailImporter::run()
{
    if (m_checkOnly)
        return check();
    clsCodigo& codigo = clsCodigo::instance();
    Result result;
    const auto reportInsertion = [&](qint64 number) {
        report(result, u"Error al insertar detalle de la linea: "_s + QString::number(number));
    };

    // The open group of inserts, and the lines inserted in it: they count as imported only once the
    // group is committed, and are reported as not inserted if the engine could not keep them.
    std::unique_ptr<db::Transaction> group;
    qint64 groupStart = 0;
    std::vector<qint64> groupLines;
    groupLines.reserve(static_cast<size_t>(m_groupSize));
    // A failure that outlasts the line (no room, a failing disk, a lock) would fail every later line too.
    const auto stopFor = [&](db::Failure failure) {
        if (failure == db::Failure::Other)
            return false;
        result.stopped = failure == db::Failure::DiskFull ? Stop::DiskFull : Stop::NotSaved;
        result.firstLineLeft = groupStart;
        group.reset();
        groupLines.clear();
        return true;
    };
    const auto closeGroup = [&] {
        bool kept = true;
        if (group) {
            try {
                group->commit();
            } catch (const db::DbError& error) {
                if (stopFor(error.failure()))
                    return;
                kept = false;
            }
            group.reset();
        }
        if (kept) {
            result.imported += static_cast<qint64>(groupLines.size());
        } else {
            for (const qint64 number : groupLines)
                reportInsertion(number);
        }
        groupLines.clear();
    };

    // Where the database refuses a repeated pair itself, the insert is tried first and the duplicate count
    // runs only for a line it refused, to tell a duplicate from another failure: the error file reads the
    // same, and the count is spared for every line that goes in, however many lines the declaration has.
    // Elsewhere the count runs before every insert.
    const bool keyIsUnique = codigo.detailKeyIsUnique();
    const auto isDuplicate = [&](const InterfaceRecord& record) {
        return codigo.Existe_Detalle_DDJJ(m_secuencia, m_periodo, record.cbu, record.cuit) > 0;
    };

    const auto insert = [&](qint64 number, const InterfaceRecord& record) {
        if (!group) {
            group = codigo.beginTransaction();
            groupStart = number;
            if (!group && stopFor(codigo.lastFailure()))
                return;
        }
        // Lines inserted earlier from this same file are in the open group, so the count sees them.
        if (!keyIsUnique && isDuplicate(record))
            return reportDuplicate(result, number);

        if (codigo.Insertar_Detalle_DDJJ(m_secuencia, m_periodo, codigo.Par_Agente, record.cbu, u"00"_s, record.moneda,
                                         record.cuit, record.depositos, record.baseImponible, record.retenido)) {
            groupLines.push_back(number);
            if (static_cast<int>(groupLines.size()) >= m_groupSize)
                closeGroup();
        } else if (stopFor(codigo.lastFailure())) {
            return;
        } else if (keyIsUnique && group && group->isOpen() && isDuplicate(record)) {
            // Only the statement was refused: the group goes on, as after a duplicate found by the count.
            reportDuplicate(result, number);
        } else {
            // Some failures make the engine drop the whole transaction, not just the statement:
            // settle the group now, so that what is reported matches what the database holds.
            closeGroup();
            if (keyIsUnique && isDuplicate(record))
                reportDuplicate(result, number);
            else
                reportInsertion(number);
        }
    };
    readFile(result, insert, [&] {
        if (result.stopped == Stop::None)
            closeGroup();
    });
    return result;
}

DetailImporter::Result DetailImporter::check()
{
    clsCodigo& codigo = clsCodigo::instance();
    // The pairs of the file's good lines so far, kept apart from the program's database; their count runs
    // only when the declaration already has lines.
    const QTemporaryDir scratchDir;
    std::unique_ptr<db::Database> seen;
    std::optional<db::Transaction> scratchWork; // one transaction: no flush for each pair
    try {
        seen = db::Database::createScratch(scratchDir.filePath(u"pares.db"_s));
        seen->executeScript(u"CREATE TABLE Pares (CBU TEXT, CUIT REAL, PRIMARY KEY (CBU, CUIT)) WITHOUT ROWID"_s);
        scratchWork.emplace(*seen);
    } catch (const db::DbError&) {
        return {};
    }
    const bool declarationHasLines = codigo.Existe_Detalle(m_secuencia, m_periodo) > 0;
    Result result;
    const auto check = [&](qint64 number, const InterfaceRecord& record) {
        bool repeated =
            declarationHasLines && codigo.Existe_Detalle_DDJJ(m_secuencia, m_periodo, record.cbu, record.cuit) > 0;
        if (!repeated) {
            try {
                std::vector<db::Value> pair{record.cbu, record.cuit};
                neutraliseQuotes(pair);
                (void)seen->execute(u"INSERT INTO Pares VALUES ('?', ?)"_s, pair);
            } catch (const db::DbError&) {
                repeated = true;
            }
        }
        if (repeated)
            reportDuplicate(result, number);
        else
            ++result.imported;
    };
    // Ended by a commit, which costs nothing here, rather than a rollback, which a file without a journal
    // does not promise to survive.
    readFile(result, check, [&] {
        try {
            scratchWork->commit();
        } catch (const db::DbError&) {
        }
    });
    return result;
}
