#include "AR04Sheets.h"

#include "data/Armar_Sql.h"
#include "data/Codes.h"
#include "data/clsCodigo.h"
#include "platform/ProgramDirectory.h"
#include "platform/Regional.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/reportengine/Report.h"
#include "platform/reportengine/ReportEngine.h"
#include "platform/reportengine/ReportError.h"
#include "platform/reportengine/ReportRow.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QString pendingFilter = u" WHERE N_Posicion_Fiscal = ?  and Secuencia = ?  and N_Comprobante is null "
                              u" and F_Presentacion is null"_s;
const QString sheetFilter = u" WHERE N_Posicion_Fiscal = ?  and Secuencia = ?  and Hoja = '?' "_s;
const QString lineOrder = u"  Order by N_CBU, C_TIPO_CUENTA "_s;
const QString detailColumns = u"N_Posicion_Fiscal, N_Comprobante,  F_Presentacion, N_Agente, C_Tipo_Cuenta, "
                              u" C_Tipo_Moneda, N_CBU, N_CUIT, N_Depositos,  I_Base_Imponible, I_Retenido, N_Agente, "
                              u" F_Auditoria from DDJJ_Detalle "_s;

// The date a line slot shows when the line has none.
const QString noDate = u"01/01/1900"_s;

[[noreturn]] void fail(const char* what)
{
    throw db::DbError(what);
}

report::ReportEngine& engine()
{
    report::ReportEngine* current = report::ReportEngine::current();
    if (!current)
        fail("no hay motor de reportes");
    return *current;
}

std::unique_ptr<report::Report> openReport(const QString& name, std::unique_ptr<db::Recordset> table)
{
    auto report = engine().openReport(ProgramDirectory::filePath(name));
    report->setTable(std::move(table));
    report->setPrinterSetupButton(true);
    return report;
}

std::vector<report::ReportRow> rowsOf(const QString& sqlTemplate, std::vector<db::Value> values)
{
    const auto recordset = AR04Sheets::query(sqlTemplate, std::move(values));
    return report::ReportRow::readAll(*recordset);
}

db::Value firstField(const QString& sqlTemplate, std::vector<db::Value> values, QStringView field)
{
    const auto recordset = AR04Sheets::query(sqlTemplate, std::move(values));
    return recordset->eof() ? db::Value() : recordset->field(field);
}

// A numeric field through a pattern; null counts as 0, a text that is no number is shown as it is.
QString formatted(const db::Value& value, QStringView pattern)
{
    if (value.isNull())
        return Regional::format(0, pattern);
    if (value.type() == db::Value::Type::Number)
        return Regional::format(value.toDouble(), pattern);
    bool ok = false;
    const double number = value.toString().trimmed().toDouble(&ok);
    return ok ? Regional::format(number, pattern) : value.toString();
}

// A null currency counts as "00", which has no name.
QString currencyName(const db::Value& code)
{
    return Codes::printedCurrencyName(Si_Nulo(code, db::Value(u"00"_s)).toString().trimmed());
}

void setLineSlot(report::Report& report, int k, const report::ReportRow& line)
{
    const QString n = QString::number(k);
    const db::Value presented = line.value(u"F_Presentacion");
    const db::Value cuit = line.value(u"N_CUIT");
    report.setParameter(u"Fec"_s + n, presented.isNull() ? noDate : presented.toString());
    report.setParameter(u"Cuit"_s + n, cuit.isNull() ? QString() : formatted(cuit, u"0"));
    report.setParameter(u"CBU"_s + n, line.value(u"N_CBU").toString().trimmed());
    report.setParameter(u"TotCred"_s + n, formatted(line.value(u"I_Base_Imponible"), u"##,##0.00"));
    report.setParameter(u"TotRet"_s + n, formatted(line.value(u"I_Retenido"), u"##,##0.00"));
    report.setParameter(u"Cant"_s + n, formatted(line.value(u"N_Depositos"), u"##,##0"));
    report.setParameter(u"Moneda"_s + n, currencyName(line.value(u"C_TIPO_Moneda")));
}

void setEmptyLineSlot(report::Report& report, int k)
{
    const QString n = QString::number(k);
    report.setParameter(u"Fec"_s + n, noDate);
    for (const QString& name : {u"Cuit"_s, u"CBU"_s, u"TotCred"_s, u"TotRet"_s, u"Cant"_s, u"Moneda"_s})
        report.setParameter(name + n, QString());
}

void setEmptyPaymentSlot(report::Report& report, int k)
{
    const QString n = QString::number(k);
    report.setParameter(u"Pago"_s + n, QString());
    report.setParameter(u"FecPago"_s + n, QString());
    report.setParameter(u"ImpPago"_s + n, QString());
}

// Lists the period's payments not yet listed in the payment slots and marks each one as listed.
void setPayments(report::Report& report, double periodo)
{
    const std::vector<report::ReportRow> payments =
        rowsOf(u"Select top 15 * from AR03 where Posicion_Fiscal = ? and Impresion = 'N' "_s, {periodo});
    int k = 0;
    for (const report::ReportRow& payment : payments) {
        if (k == AR04Sheets::paymentSlots)
            break;
        const QString n = QString::number(++k);
        report.setParameter(u"Pago"_s + n, db::Value::numberText(Si_Nulo(payment.value(u"numero"), 0).toDouble()));
        report.setParameter(u"FecPago"_s + n, payment.value(u"Fecha_Pago").toString());
        report.setParameter(u"ImpPago"_s + n, formatted(payment.value(u"Importe"), u"##,##0.00"));
        AR04Sheets::execute(u"Update AR03 set Impresion = 'S' where Id = ?"_s, {payment.value(u"iD")});
    }
    while (k < AR04Sheets::paymentSlots)
        setEmptyPaymentSlot(report, ++k);
}

} // namespace

int AR04Sheets::sheetCount(long lines)
{
    if (lines <= shortFormLines)
        return 1;
    return static_cast<int>((lines + linesPerSheet - 1) / linesPerSheet);
}

std::unique_ptr<report::Printing> AR04Sheets::startPrinting(int sheets)
{
    return engine().startPrinting(sheets);
}

std::unique_ptr<db::Recordset> AR04Sheets::query(const QString& sqlTemplate, std::vector<db::Value> values)
{
    db::Database* database = db::Database::current();
    if (!database)
        fail("no hay conexión con la base de datos");
    neutraliseQuotes(values);
    return database->openRecordset(sqlTemplate, values);
}

int AR04Sheets::execute(const QString& sqlTemplate, std::vector<db::Value> values)
{
    db::Database* database = db::Database::current();
    if (!database)
        fail("no hay conexión con la base de datos");
    neutraliseQuotes(values);
    return database->execute(sqlTemplate, values);
}

long AR04Sheets::pendingCount(double periodo, double secuencia)
{
    return static_cast<long>(Si_Nulo(firstField(u"Select count(*) as cant from DDJJ_Detalle "_s + pendingFilter,
                                                {periodo, secuencia}, u"Cant"),
                                     0)
                                 .toDouble());
}

long AR04Sheets::lineCount(double periodo, double secuencia)
{
    return static_cast<long>(
        Si_Nulo(
            firstField(u"Select count(*) as cant from DDJJ_Detalle  WHERE N_Posicion_Fiscal = ?  and Secuencia = ? "_s,
                       {periodo, secuencia}, u"Cant"),
            0)
            .toDouble());
}

QString AR04Sheets::voucherText()
{
    const auto row = clsCodigo::instance().Get_Parametro(voucherParameter);
    if (!row)
        fail("no se pudo leer el número de comprobante");
    if (row->eof())
        return u"0"_s;
    return Si_Nulo(row->field(u"Valor"), db::Value(u"0"_s)).toString().trimmed();
}

QStringList AR04Sheets::sheetValues(double periodo, double secuencia)
{
    const auto rows = clsCodigo::instance().Get_Comprobantes(periodo, secuencia);
    if (!rows)
        fail("no se pudieron leer las hojas");
    QStringList values;
    for (; !rows->eof(); rows->moveNext())
        values.append(rows->field(u"Comp").toString());
    // Hoja is text: "10" would sort before "2". The sheets are numbered in the order they are visited,
    // so they are visited by their numeric value.
    std::stable_sort(values.begin(), values.end(), [](const QString& a, const QString& b) {
        bool aNumber = false;
        bool bNumber = false;
        const double x = a.trimmed().toDouble(&aNumber);
        const double y = b.trimmed().toDouble(&bNumber);
        if (aNumber != bNumber)
            return aNumber;
        return aNumber ? x < y : a < b;
    });
    return values;
}

void AR04Sheets::resetPayments(double periodo)
{
    execute(u"Update AR03 set Impresion = 'N' where Posicion_Fiscal = ?"_s, {periodo});
}

void AR04Sheets::setHeader(report::Report& report, const QString& comprobante, double periodo)
{
    const clsCodigo& codigo = clsCodigo::instance();
    bool numeric = false;
    const double number = comprobante.trimmed().toDouble(&numeric);
    report.setParameter(u"Nro"_s, numeric ? Regional::format(number, u"0000000000") : comprobante);
    report.setParameter(u"Agente"_s, db::Value::numberText(codigo.Par_Agente));
    report.setParameter(u"Nombre"_s, codigo.Par_Denomin);
    report.setParameter(u"Cuit"_s, codigo.Par_CUIT);
    report.setParameter(u"Posicion"_s, db::Value::numberText(periodo));
}

double AR04Sheets::totalWithheld(double periodo, double secuencia)
{
    return Si_Nulo(firstField(u"Select Sum(I_Retenido) as Suma from DDJJ_Detalle  WHERE N_Posicion_Fiscal = ?  and "
                              u"Secuencia = ? "_s,
                              {periodo, secuencia}, u"Suma"),
                   0)
        .toDouble();
}

QString AR04Sheets::saldoText(double saldo)
{
    // A sum of amounts in cents may miss zero by a rounding error; what counts is what the form would show.
    if (std::fabs(saldo) < 0.005)
        return QString();
    return Regional::format(saldo, u"##,##0.00");
}

QString AR04Sheets::totalDeposited(double periodo)
{
    const db::Value sum =
        firstField(u"Select Sum(Importe) as Suma from AR03 where Posicion_Fiscal = ? "_s, {periodo}, u"Suma");
    return sum.isNull() ? u"0,00"_s : formatted(sum, u"##,##0.00");
}

void AR04Sheets::shortSheet(const Sheet& sheet, std::optional<double> stampWith)
{
    const QString linesSql = sheet.valorHoja ? u"Select * from DDJJ_Detalle "_s + sheetFilter
                                             : u"Select top 16 * from DDJJ_Detalle "_s + pendingFilter + lineOrder;
    const auto lineValues = [&]() -> std::vector<db::Value> {
        if (sheet.valorHoja)
            return {sheet.periodo, sheet.secuencia, *sheet.valorHoja};
        return {sheet.periodo, sheet.secuencia};
    };
    const auto report = openReport(u"AR04.rpt"_s, query(linesSql, lineValues()));

    // The lines are read whole before any is stamped: stamping changes what the query selects.
    const std::vector<report::ReportRow> lines = rowsOf(linesSql, lineValues());
    clsCodigo& codigo = clsCodigo::instance();
    int k = 0;
    for (const report::ReportRow& line : lines) {
        if (k == shortFormLines)
            break;
        setLineSlot(*report, ++k, line);
        if (stampWith &&
            !codigo.Modificar_Detalle_Disk(sheet.secuencia, sheet.periodo, *stampWith, line.value(u"N_CUIT").toDouble(),
                                           line.value(u"N_CBU").toString(), QString::number(sheet.hoja)))
            fail("no se pudo marcar una línea como generada");
    }
    while (k < shortFormLines)
        setEmptyLineSlot(*report, ++k);

    setHeader(*report, sheet.comprobante, sheet.periodo);
    report->setParameter(u"Saldo"_s,
                         sheet.ultima ? saldoText(totalWithheld(sheet.periodo, sheet.secuencia)) : QString());
    report->setParameter(u"HojaA"_s, QString::number(sheet.hoja));
    report->setParameter(u"HojaT"_s, QString::number(sheet.total));
    if (sheet.ultima) {
        setPayments(*report, sheet.periodo);
    } else {
        for (int slot = 1; slot <= paymentSlots; ++slot)
            setEmptyPaymentSlot(*report, slot);
    }
    report->setParameter(u"TotDep"_s, sheet.ultima ? totalDeposited(sheet.periodo) : u"0,00"_s);
    report->preview(sheet.title);
}

void AR04Sheets::detailSheet(const Sheet& sheet)
{
    const double saldo = sheet.ultima ? totalWithheld(sheet.periodo, sheet.secuencia) : 0;
    // At a first printing the sheet reads only the 41 lines it shows, the first ones still pending: the
    // lines of earlier sheets are stamped by now, and reading every pending line for every sheet would
    // cost a long declaration's printing the square of its length.
    auto lines = sheet.valorHoja ? query(u"Select "_s + detailColumns + sheetFilter + lineOrder,
                                         {sheet.periodo, sheet.secuencia, *sheet.valorHoja})
                                 : query(u"Select top 41 "_s + detailColumns + pendingFilter + lineOrder,
                                         {sheet.periodo, sheet.secuencia});
    const auto report = openReport(u"AR04_primera.rpt"_s, std::move(lines));
    setHeader(*report, sheet.comprobante, sheet.periodo);
    report->setParameter(u"Saldo"_s, saldoText(saldo));
    report->setParameter(u"HojaA"_s, QString::number(sheet.hoja));
    report->setParameter(u"HojaT"_s, QString::number(sheet.total));
    report->preview(sheet.title);
}

int AR04Sheets::stampDetailLines(double periodo, double secuencia, double comprobante, int hoja)
{
    const std::vector<report::ReportRow> lines =
        rowsOf(u"Select top 41 * from DDJJ_Detalle "_s + pendingFilter + lineOrder, {periodo, secuencia});
    clsCodigo& codigo = clsCodigo::instance();
    for (const report::ReportRow& line : lines) {
        if (!codigo.Modificar_Detalle_Disk(secuencia, periodo, comprobante, line.value(u"N_CUIT").toDouble(),
                                           line.value(u"N_CBU").toString(), QString::number(hoja)))
            fail("no se pudo marcar una línea como generada");
    }
    return static_cast<int>(lines.size());
}

void AR04Sheets::paymentsSheet(double periodo, double secuencia, const QString& comprobante, int hoja, int total,
                               const QString& title)
{
    const auto report = openReport(u"AR04_Pagos.rpt"_s, query(u"Select top 15 Numero, Fecha_Pago, Importe from AR03 "
                                                              u" where Posicion_Fiscal = ? and Impresion = 'N' "_s,
                                                              {periodo}));
    setHeader(*report, comprobante, periodo);
    report->setParameter(u"HojaA"_s, QString::number(hoja));
    report->setParameter(u"HojaT"_s, QString::number(total));
    report->setParameter(u"TotDep"_s, totalDeposited(periodo));
    report->setParameter(u"Saldo"_s, Regional::format(totalWithheld(periodo, secuencia), u"##,##0.00"));
    report->preview(title);
}
