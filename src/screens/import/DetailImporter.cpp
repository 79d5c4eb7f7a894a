#include "DetailImporter.h"

#include "InsertedPairs.h"
#include "InterfaceFileReader.h"
#include "InterfaceRecord.h"
#include "data/clsCodigo.h"
#include "platform/db/Database.h"
#include "rules/Cuit_Invalido.h"

#include <QFile>

#include <exception>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

DetailImporter::DetailImporter(QString path, double periodo, double secuencia)
    : m_path(std::move(path)), m_periodo(periodo), m_secuencia(secuencia)
{}

bool DetailImporter::rememberExisting(InsertedPairs& pairs, long existing, qint64 fileBytes) const
{
    if (existing == 0)
        return true;
    // Reading a declaration far larger than the file would cost more than the queries it spares.
    constexpr qint64 shortestLine = 80;
    if (existing < 0 || existing > 8 * (fileBytes / shortestLine + 1))
        return false;
    const auto rows = clsCodigo::instance().Get_Claves_Detalle(m_periodo, m_secuencia);
    if (!rows)
        return false;
    try {
        const int cuitField = rows->indexOf(u"N_Cuit");
        const int cbuField = rows->indexOf(u"N_CBU");
        for (; !rows->eof(); rows->moveNext()) {
            // The query compares the CUIT as a number and the CBU as text; a line stored otherwise
            // could match in ways the remembered pairs do not, so then every line is queried.
            const db::Value cuit = rows->field(cuitField);
            const db::Value cbu = rows->field(cbuField);
            if (cuit.type() != db::Value::Type::Number || cbu.type() != db::Value::Type::Text)
                return false;
            pairs.add(cuit.toDouble(), cbu.toString());
        }
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

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
    std::vector<qint64> groupLines;
    groupLines.reserve(static_cast<size_t>(m_groupSize));
    const auto closeGroup = [&] {
        bool kept = true;
        if (group) {
            try {
                group->commit();
            } catch (const std::exception&) {
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

    // A line can only repeat one the declaration held when the import began or one this import inserted.
    // Both are remembered, so the duplicate query runs only for a pair that may be among them; the others
    // go straight to the insert. Should such an insert be refused anyway, the query then tells a duplicate
    // from another failure, so the error file reads the same either way.
    InsertedPairs inserted;
    const bool remembered = rememberExisting(inserted, codigo.Existe_Detalle(m_secuencia, m_periodo), totalBytes);
    const auto isDuplicate = [&](const InterfaceRecord& record) {
        return codigo.Existe_Detalle_DDJJ(m_secuencia, m_periodo, record.cbu, record.cuit) > 0;
    };
    const QString duplicate = u" Ya existen detalles con el CUIT-CBU especificados."_s;

    InterfaceFileReader::Line line;
    qint64 number = 0;
    while (reader.next(line)) {
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
        const bool checkedFirst = failures.isEmpty() && (!remembered || inserted.mayContain(record.cuit, record.cbu));
        if (!group && failures.isEmpty())
            group = codigo.beginTransaction();
        // Lines inserted earlier from this same file are in the open group, so the count sees them.
        if (checkedFirst && isDuplicate(record))
            failures = duplicate;
        if (!failures.isEmpty()) {
            report(u"Error en la linea: "_s + QString::number(number) + u'.' + failures);
            continue;
        }

        if (codigo.Insertar_Detalle_DDJJ(m_secuencia, m_periodo, codigo.Par_Agente, record.cbu, u"00"_s, record.moneda,
                                         record.cuit, record.depositos, record.baseImponible, record.retenido)) {
            inserted.add(record.cuit, record.cbu);
            groupLines.push_back(number);
            if (static_cast<int>(groupLines.size()) >= m_groupSize)
                closeGroup();
        } else {
            // Some failures make the engine drop the whole transaction, not just the statement:
            // settle the group now, so that what is reported matches what the database holds.
            closeGroup();
            if (!checkedFirst && isDuplicate(record))
                report(u"Error en la linea: "_s + QString::number(number) + u'.' + duplicate);
            else
                reportInsertion(number);
        }
    }
    closeGroup();

    result.lines = number;
    if (reader.failed()) {
        result.readError = true;
        report(u"Error al leer el archivo de interfase después de la linea: "_s + QString::number(number));
    }
    reportProgress();
    return result;
}
