#include "ReportRow.h"

#include "ReportError.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

using namespace Qt::StringLiterals;

namespace report {

db::Value ReportRow::value(QStringView name) const
{
    for (const auto& [fieldName, fieldValue] : m_fields) {
        if (name.compare(fieldName, Qt::CaseInsensitive) == 0)
            return fieldValue;
    }
    return {};
}

bool ReportRow::contains(QStringView name) const
{
    for (const auto& field : m_fields) {
        if (name.compare(field.first, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

std::vector<ReportRow> ReportRow::readAll(db::Recordset& recordset)
{
    std::vector<ReportRow> rows;
    try {
        // Every row shares the same names.
        QStringList names;
        for (int i = 0; i < recordset.fieldCount(); ++i)
            names.append(recordset.fieldName(i));
        while (!recordset.eof()) {
            ReportRow row;
            for (int i = 0; i < recordset.fieldCount(); ++i)
                row.append(names[i], recordset.field(i));
            rows.push_back(std::move(row));
            recordset.moveNext();
        }
    } catch (const db::DbError& error) {
        throw ReportError(u"no se pudieron leer los datos del reporte: "_s + QString::fromStdString(error.what()));
    }
    return rows;
}

} // namespace report
