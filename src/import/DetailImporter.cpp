#include "DetailImporter.h"

#include "InterfaceFileReader.h"
#include "InterfaceRecord.h"
#include "data/clsCodigo.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "rules/Cuit_Invalido.h"

#include <QFile>

#include <exception>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

DetailImporter::DetailImporter(QString path, double periodo, double secuencia)
    : m_path(std::move(path)), m_periodo(periodo), m_secuencia(secuencia)
{}

DetailImporter::Result DetailImporter::run()
{
    Result result;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    result.opened = true;
    const qint64 totalBytes = file.size();
    InterfaceFileReader reader(file);
    clsCodigo& codigo = clsCodigo::instance();

    const auto report = [&](const QString& text) {
        ++result.rejected;
        if (m_errorSink)
            m_errorSink(text);
    };
    const auto reportInsertion = [&](qint64 number) {
        report(u"Error al insertar detalle de la linea: "_s + QString::number(number));
    };
    const auto reportProgress = [&] {
        if (m_progress)
            m_progress(reader.position(), totalBytes);
    };

    // The open group of inserts, and the lines inserted in it: they count as imported only once the
    // group is committed, and are reported as not inserted if the engine could not keep them.
    std::unique_ptr<db::Transaction> group;
    qint64 groupStart = 0;
    std::vector<qint64> groupLines;
    groupLines.reserve(static_cast<size_t>(m_groupSize));
    // A failure that outlasts the line (no room, a failing disk, a lock) would fail every later line too.
    const auto stopFor = [&](db::Failure failure) {
        if (failure == db::Failure::other)
            return false;
        result.stopped = failure == db::Failure::diskFull ? Stop::diskFull : Stop::notSaved;
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
    const QString duplicate = u" Ya existen detalles con el CUIT-CBU especificados."_s;
    const auto reportDuplicate = [&](qint64 number) {
        report(u"Error en la linea: "_s + QString::number(number) + u'.' + duplicate);
    };

    InterfaceFileReader::Line line;
    qint64 number = 0;
    while (result.stopped == Stop::none && reader.next(line)) {
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
        const bool checkedFirst = failures.isEmpty() && !keyIsUnique;
        if (!group && failures.isEmpty()) {
            group = codigo.beginTransaction();
            groupStart = number;
            if (!group && stopFor(codigo.lastFailure()))
                break;
        }
        // Lines inserted earlier from this same file are in the open group, so the count sees them.
        if (checkedFirst && isDuplicate(record))
            failures = duplicate;
        if (!failures.isEmpty()) {
            report(u"Error en la linea: "_s + QString::number(number) + u'.' + failures);
            continue;
        }

        if (codigo.Insertar_Detalle_DDJJ(m_secuencia, m_periodo, codigo.Par_Agente, record.cbu, u"00"_s, record.moneda,
                                         record.cuit, record.depositos, record.baseImponible, record.retenido)) {
            groupLines.push_back(number);
            if (static_cast<int>(groupLines.size()) >= m_groupSize)
                closeGroup();
        } else if (stopFor(codigo.lastFailure())) {
            break;
        } else if (!checkedFirst && group && group->isOpen() && isDuplicate(record)) {
            // Only the statement was refused: the group goes on, as after a duplicate found by the count.
            reportDuplicate(number);
        } else {
            // Some failures make the engine drop the whole transaction, not just the statement:
            // settle the group now, so that what is reported matches what the database holds.
            closeGroup();
            if (!checkedFirst && isDuplicate(record))
                reportDuplicate(number);
            else
                reportInsertion(number);
        }
    }
    if (result.stopped == Stop::none)
        closeGroup();

    result.lines = number;
    if (reader.failed()) {
        result.readError = true;
        report(u"Error al leer el archivo de interfase después de la linea: "_s + QString::number(number));
    }
    reportProgress();
    return result;
}
