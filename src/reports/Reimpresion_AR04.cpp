// The AR04 declaration form reprinted from the stamps of its first printing: each stored sheet again,
// shown as the k-th sheet visited, and the payments sheet of a long form. Nothing but the payments'
// marks changes. The operations of clsCodigo for one sheet drive the report engine, so they live with
// the reports, and so does the reprint of a whole declaration that calls them.

#include "Reimpresion_AR04.h"

#include "AR04Sheets.h"
#include "data/clsCodigo.h"
#include "platform/db/Database.h"
#include "platform/reportengine/ReportEngine.h"

#include <QString>

using namespace Qt::StringLiterals;

namespace {

QString sheetTitle(const QString& comprobante, int hoja)
{
    return u"Reimpresión AR04 - "_s + comprobante + u" Hoja Nro: "_s + QString::number(hoja);
}

} // namespace

bool clsCodigo::Reporte_AR04_Primero_2(double periodo, double secuencia, int hoja, int total,
                                       const QString& comprobante, const QString& valorHoja)
{
    try {
        AR04Sheets::detailSheet({.periodo = periodo,
                                 .secuencia = secuencia,
                                 .valorHoja = valorHoja,
                                 .comprobante = comprobante,
                                 .ultima = hoja == total,
                                 .hoja = hoja,
                                 .total = total + 1,
                                 .title = sheetTitle(comprobante, hoja)});
        return true;
    } catch (...) {
        return false;
    }
}

bool clsCodigo::Reimpresion_AR04(double periodo, double secuencia, bool ultima, int hoja, int total,
                                 const QString& comprobante, const QString& valorHoja)
{
    try {
        AR04Sheets::shortSheet({.periodo = periodo,
                                .secuencia = secuencia,
                                .valorHoja = valorHoja,
                                .comprobante = comprobante,
                                .ultima = ultima,
                                .hoja = hoja,
                                .total = total,
                                .title = sheetTitle(comprobante, hoja)},
                               std::nullopt);
        return true;
    } catch (...) {
        return false;
    }
}

bool clsCodigo::Reimpresion_AR04_2(double periodo, double secuencia, int hojas, int total, const QString& comprobante)
{
    try {
        AR04Sheets::paymentsSheet(periodo, secuencia, comprobante, hojas + 1, total + 1,
                                  u"Reimpresion AR04 - "_s + comprobante + u" Hoja: "_s + QString::number(hojas + 1));
        return true;
    } catch (...) {
        return false;
    }
}

bool reprintAR04(double periodo, double secuencia, double comprobante)
{
    try {
        clsCodigo& codigo = clsCodigo::instance();
        const QString voucher = db::Value::numberText(comprobante);
        // The reprint only moves the payments' marks; a failed one puts them back as they were.
        const auto transaction = codigo.beginTransaction();
        if (!transaction)
            return false;
        const long lines = AR04Sheets::lineCount(periodo, secuencia);
        const int total = AR04Sheets::sheetCount(lines);
        AR04Sheets::resetPayments(periodo);
        const bool longForm = lines > AR04Sheets::shortFormLines;
        const auto printing = AR04Sheets::startPrinting(longForm ? total + 1 : total);
        int k = 0;
        for (const QString& value : AR04Sheets::sheetValues(periodo, secuencia)) {
            ++k;
            const bool shown = longForm
                                   ? codigo.Reporte_AR04_Primero_2(periodo, secuencia, k, total, voucher, value)
                                   : codigo.Reimpresion_AR04(periodo, secuencia, k == total, k, total, voucher, value);
            if (!shown)
                return false;
        }
        if (longForm && !codigo.Reimpresion_AR04_2(periodo, secuencia, k, total, voucher))
            return false;
        transaction->commit();
        printing->keep();
        return true;
    } catch (...) {
        return false;
    }
}
