#pragma once

#include "platform/db/Value.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace db {
class Recordset;
} // namespace db

namespace report {
class Printing;
class Report;
} // namespace report

/// The sheets of the AR04 form, shared by its first printing and its reprint: their queries, the header of
/// every sheet, the short form's line and payment slots, the detail sheets and the payments sheet.
/// A declaration of at most 16 lines prints on one short sheet (AR04.rpt); a longer one on detail sheets of
/// 41 lines (AR04_primera.rpt) followed by a payments sheet (AR04_Pagos.rpt).
///
/// The helpers raise an exception for any failure (a query, a report, a change that found no row); the
/// report operations of clsCodigo catch them and return false.
class AR04Sheets
{
public:
    static constexpr int shortFormLines = 16;
    static constexpr int linesPerSheet = 41;
    static constexpr int paymentSlots = 15;
    /// PARAMETROS row holding the voucher number of the next first printing.
    static constexpr double voucherParameter = 5;

    /// Detail sheets for a number of lines: 1 up to 16 lines, otherwise one per 41 lines or part of them.
    [[nodiscard]] static int sheetCount(long lines);

    /// Gathers the sheets shown from now on into one preview window, until the result is destroyed.
    [[nodiscard]] static std::unique_ptr<report::Printing> startPrinting(int sheets);

    /// Runs one of the printing's queries, its template filled with the values as Armar_Sql fills it.
    [[nodiscard]] static std::unique_ptr<db::Recordset> query(const QString& sqlTemplate,
                                                              std::vector<db::Value> values);
    /// Runs one of the printing's changes, filled as query's; the rows it affected.
    static int execute(const QString& sqlTemplate, std::vector<db::Value> values);

    /// Lines of a declaration still pending (no voucher number and no presentation date).
    [[nodiscard]] static long pendingCount(double periodo, double secuencia);
    /// Lines of a declaration, pending or not.
    [[nodiscard]] static long lineCount(double periodo, double secuencia);
    /// The voucher number of the next first printing, as stored ("0" when the row or its value is missing).
    [[nodiscard]] static QString voucherText();
    /// The sheet values stamped on a declaration's lines, in ascending numeric order (a text that is not
    /// a number, or no value, comes after the numbers), so that the k-th value reprints as sheet k.
    [[nodiscard]] static QStringList sheetValues(double periodo, double secuencia);

    /// Marks every payment of the period as not yet listed.
    static void resetPayments(double periodo);

    /// Sets "Nro", "Agente", "Nombre", "Cuit" and "Posicion", in that order.
    static void setHeader(report::Report& report, const QString& comprobante, double periodo);
    /// The total withheld over every line of the declaration; 0 when there is none.
    [[nodiscard]] static double totalWithheld(double periodo, double secuencia);
    /// The total withheld as the detail sheets show it: "" when it is 0.
    [[nodiscard]] static QString saldoText(double saldo);
    /// The total deposited by the period's payments, formatted; "0,00" when there is none.
    [[nodiscard]] static QString totalDeposited(double periodo);

    /// A sheet of a declaration's lines, short or detail, as a printing asks for it.
    struct Sheet
    {
        double periodo = 0;
        double secuencia = 0;
        /// The sheet value stamped on the lines to reprint; none at a first printing, which shows pending lines.
        std::optional<QString> valorHoja;
        /// The voucher number the header shows.
        QString comprobante;
        /// The last sheet of lines, which shows the total withheld.
        bool ultima = false;
        int hoja = 0;
        int total = 0;
        /// The preview window's title.
        QString title;
    };

    /// One sheet of the short form (AR04.rpt): the first 16 pending lines at a first printing (no sheet value),
    /// the lines stamped with the sheet value at a reprint. When a voucher number is given each line is stamped
    /// with it, this sheet and today's date right after its slots are set. The last sheet carries the total
    /// withheld, the payments (each then marked as listed) and the total deposited; any other sheet shows them
    /// empty.
    static void shortSheet(const Sheet& sheet, std::optional<double> stampWith);

    /// One detail sheet of the long form (AR04_primera.rpt): the first 41 pending lines at a first printing (no
    /// sheet value), the lines stamped with the sheet value at a reprint. Only the last one shows the total withheld.
    static void detailSheet(const Sheet& sheet);

    /// Stamps the first 41 pending lines (the ones the detail sheet just prepared shows) with the voucher
    /// number, the sheet and today's date; how many it stamped.
    static int stampDetailLines(double periodo, double secuencia, double comprobante, int hoja);

    /// The payments sheet of the long form (AR04_Pagos.rpt): the period's payments not yet listed, the
    /// totals deposited and withheld.
    static void paymentsSheet(double periodo, double secuencia, const QString& comprobante, int hoja, int total,
                              const QString& title);
};
