// The AR04 declaration form at its first printing: the sheets are numbered, every pending line is
// stamped with the voucher number, its sheet and today's date, the voucher counter moves on and the
// declaration is marked generated. Operations of clsCodigo that drive the report engine, so they live
// with the reports.

#include "AR04Sheets.h"
#include "data/clsCodigo.h"
#include "platform/db/Database.h"
#include "platform/reportengine/ReportEngine.h"

#include <QString>

using namespace Qt::StringLiterals;

namespace {

QString sheetTitle(const QString& comprobante, int hoja)
{
    return u"AR04 - "_s + comprobante + u" Hoja Nro: "_s + QString::number(hoja);
}

} // namespace

bool clsCodigo::Reporte_AR04(double periodo, double secuencia)
{
    try {
        // Every change of the printing is kept together or not at all: a sheet that cannot be shown
        // leaves every line pending, the counter where it was and the declaration open.
        const auto transaction = beginTransaction();
        if (!transaction)
            return false;

        AR04Sheets::resetPayments(periodo);
        const long pending = AR04Sheets::pendingCount(periodo, secuencia);
        if (pending <= 0)
            return false;
        const int total = AR04Sheets::sheetCount(pending);
        const QString comprobante = AR04Sheets::voucherText();
        bool numeric = false;
        const double voucher = comprobante.toDouble(&numeric);
        if (!numeric)
            return false;
        // Every sheet is a page of one preview window: the detail sheets and, on the long form, the payments.
        const auto printing = AR04Sheets::startPrinting(pending <= AR04Sheets::shortFormLines ? total : total + 1);

        int hoja = 0;
        if (pending <= AR04Sheets::shortFormLines) {
            ++hoja;
            AR04Sheets::shortSheet({.periodo = periodo,
                                    .secuencia = secuencia,
                                    .valorHoja = std::nullopt,
                                    .comprobante = comprobante,
                                    .ultima = hoja == total,
                                    .hoja = hoja,
                                    .total = total,
                                    .title = sheetTitle(comprobante, hoja)},
                                   voucher);
        } else {
            // The lines still pending are counted down as they are stamped rather than counted again for
            // every sheet, which would read the rest of the declaration each time; the count at the end
            // checks that every one was stamped.
            for (long remaining = pending; remaining > 0;) {
                // Each sheet stamps up to 41 lines; more sheets than counted means the stamps did not take.
                if (++hoja > total)
                    return false;
                if (!Reporte_AR04_Primero(periodo, secuencia, hoja, total + 1, comprobante))
                    return false;
                const int stamped = AR04Sheets::stampDetailLines(periodo, secuencia, voucher, hoja);
                if (stamped == 0)
                    return false;
                remaining -= stamped;
            }
            ++hoja;
            AR04Sheets::paymentsSheet(periodo, secuencia, comprobante, hoja, total + 1, sheetTitle(comprobante, hoja));
        }
        if (AR04Sheets::pendingCount(periodo, secuencia) > 0)
            return false;

        if (!Modificar_Parametro(AR04Sheets::voucherParameter, db::Value::numberText(voucher + 1)))
            return false;
        if (!Modificar_DDJJ_Disk(secuencia, periodo))
            return false;
        transaction->commit();
        printing->keep();
        return true;
    } catch (...) {
        return false;
    }
}

bool clsCodigo::Reporte_AR04_Primero(double periodo, double secuencia, int hoja, int total, const QString& comprobante)
{
    try {
        AR04Sheets::detailSheet({.periodo = periodo,
                                 .secuencia = secuencia,
                                 .valorHoja = std::nullopt,
                                 .comprobante = comprobante,
                                 .ultima = hoja == total - 1,
                                 .hoja = hoja,
                                 .total = total,
                                 .title = sheetTitle(comprobante, hoja)});
        return true;
    } catch (...) {
        return false;
    }
}
