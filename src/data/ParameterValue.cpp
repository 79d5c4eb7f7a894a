#include "ParameterValue.h"

#include "Armar_Sql.h"
#include "clsCodigo.h"

QString parameterValue(double id, const QString& fallback)
{
    try {
        const auto row = clsCodigo::instance().Get_Parametro(id);
        if (!row || row->eof())
            return fallback;
        return Si_Nulo(row->field(u"Valor"), fallback).toString();
    } catch (const std::exception&) {
        return fallback;
    }
}
