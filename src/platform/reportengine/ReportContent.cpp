#include "ReportContent.h"

#include "ReportDocument.h"
#include "ReportError.h"
#include "platform/db/Recordset.h"

using namespace Qt::StringLiterals;

namespace report {

void ReportContent::setTable(std::unique_ptr<db::Recordset> table)
{
    if (!table)
        throw ReportError(u"el reporte no recibió datos"_s);
    m_rows = ReportRow::readAll(*table);
}

void ReportContent::setParameter(const QString& name, const QString& value)
{
    if (!m_definition.declares(name))
        throw ReportError(u"el reporte no declara el parámetro \""_s + name + u'"');
    m_parameters.insert(name, value);
}

QString ReportContent::html() const
{
    return m_definition.render(m_parameters, m_rows);
}

FilledLayout ReportContent::filled() const
{
    return m_definition.fill(m_parameters, m_rows);
}

std::unique_ptr<ReportDocument> ReportContent::document(const QString& title) const
{
    return std::make_unique<ReportDocument>(html(), m_definition.pageLayout(), m_definition.font(), title);
}

} // namespace report
