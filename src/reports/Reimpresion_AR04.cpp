// The AR04 declaration form reprinted from the stamps of its first printing: each stored sheet again,
// shown as the k-th sheet visited, and the payments sheet of a long form. Nothing but the payments'
// marks changes. Operations of clsCodigo that drive the report engine, so they live with the reports.

#include "AR04Printing.h"
#include "data/clsCodigo.h"

#include <QString>

using namespace Qt::StringLiterals;

bool clsCodigo::Reporte_AR04_Primero_2(double periodo, double secuencia, int hoja, int total,
                                       const QString& comprobante, const QString& valorHoja)
{
    try {
        AR04Printing::detailSheet(periodo, secuencia, valorHoja, comprobante, hoja == total, hoja, total + 1,
                                  u"Reimpresión AR04 - "_s + comprobante + u" Hoja Nro: "_s + QString::number(hoja));
        return true;
    } catch (...) {
        return false;
    }
}

bool clsCodigo::Reimpresion_AR04(double periodo, double secuencia, bool ultima, int hoja, int total,
                                 const QString& comprobante, const QString& valorHoja)
{
    try {
        AR04Printing::shortSheet(periodo, secuencia, valorHoja, comprobante, std::nullopt, ultima, hoja, total,
                                 u"Reimpresión AR04 - "_s + comprobante + u" Hoja Nro: "_s + QString::number(hoja));
        return true;
    } catch (...) {
        return false;
    }
}

bool clsCodigo::Reimpresion_AR04_2(double periodo, double secuencia, int hojas, int total, const QString& comprobante)
{
    try {
        AR04Printing::paymentsSheet(periodo, secuencia, comprobante, hojas + 1, total + 1,
                                    u"Reimpresion AR04 - "_s + comprobante + u" Hoja: "_s + QString::number(hojas + 1));
        return true;
    } catch (...) {
        return false;
    }
}
