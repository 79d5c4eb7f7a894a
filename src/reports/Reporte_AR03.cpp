// The AR03 payment form: first printing (which numbers the payment) and reprint. Both are
// operations of clsCodigo but drive the report engine, so they live with the reports.

#include "data/Codes.h"
#include "data/clsCodigo.h"
#include "platform/ProgramDirectory.h"
#include "platform/Regional.h"
#include "platform/db/Database.h"
#include "platform/reportengine/Report.h"
#include "platform/reportengine/ReportEngine.h"
#include "rules/Importe_Letras.h"

#include <QString>

#include <cmath>
#include <exception>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// PARAMETROS row holding the number the next first printing gives.
constexpr double counterParameter = 4;

const QString currencyQuery = u"Select moneda from AR03 WHERE Id = ? "_s;
const QString paymentQuery = u"Select * from AR03 WHERE Id = ? "_s;

/// What the form shows of one payment, whatever its number.
struct PaymentForm
{
    QString importe;
    QString semana;
    QString fechaPago;
    QString importeLet;
    QString mes;
    QString anio;
};

// The name of a currency in the amount in words, written without accents as the form prints it. A null
// code counts as pesos; a code with no name reads as dollars.
QString currencyWords(const db::Value& code)
{
    const QString name = Codes::printedCurrencyName(code.isNull() ? u"01"_s : code.toString().trimmed());
    return name.isEmpty() ? Codes::printedCurrencyName(u"03"_s) : name;
}

PaymentForm readPayment(const db::Recordset& payment)
{
    const db::Value importeValue = payment.field(u"Importe");
    const double importe = importeValue.isNull() ? 0 : importeValue.toDouble();
    const db::Value semana = payment.field(u"Semana");
    const QString posicion = payment.field(u"Posicion_Fiscal").toString().trimmed();

    // The words are those of the amount as the form shows it: absolute value, rounded to cents.
    const double cents = Regional::parseNumber(Regional::format(std::fabs(importe), u"0.00")).value_or(0);

    PaymentForm form;
    form.importe = Regional::format(importe, u"##,##0.00");
    form.semana = semana.isNull() ? u"1"_s : semana.toString();
    form.fechaPago = payment.field(u"Fecha_Pago").toString();
    form.importeLet = Importe_Letras(cents, currencyWords(payment.field(u"Moneda")), true) + u".-"_s;
    form.mes = posicion.mid(4, 2);
    form.anio = posicion.left(4);
    return form;
}

void setParameters(report::Report& report, const PaymentForm& form, double numero)
{
    const clsCodigo& codigo = clsCodigo::instance();
    report.setParameter(u"Importe"_s, form.importe);
    report.setParameter(u"Semana"_s, form.semana);
    report.setParameter(u"FechaPago"_s, form.fechaPago);
    report.setParameter(u"Agente"_s, db::Value::numberText(codigo.Par_Agente));
    report.setParameter(u"Nombre"_s, codigo.Par_Denomin);
    report.setParameter(u"ImporteLet"_s, form.importeLet);
    report.setParameter(u"Mes"_s, form.mes);
    report.setParameter(u"Anio"_s, form.anio);
    report.setParameter(u"Nro"_s, Regional::format(numero, u"0000000000"));
}

// Opens the form bound to the payment's currency, once the window of the previous preview has been asked to
// close (a window that will not close does not stop a new one). Nothing without a report engine; raises when
// the report file cannot be opened or the currency could not be read.
std::unique_ptr<report::Report> openForm(clsCodigo::RecordsetPtr currency)
{
    report::ReportEngine* engine = report::ReportEngine::current();
    if (!engine)
        return nullptr;
    try {
        engine->closePreview();
    } catch (const std::exception&) {
    }
    auto form = engine->openReport(ProgramDirectory::filePath(u"AR03.rpt"_s));
    form->setTable(std::move(currency));
    form->setPrinterSetupButton(true);
    return form;
}

// The number the next first printing gives: the counter's text, "0" when the row or its value is
// missing. A text that is not a whole number gives none, and nothing is numbered with it.
std::optional<double> counterValue(clsCodigo::RecordsetPtr counter)
{
    QString text = u"0"_s;
    if (counter && !counter->eof()) {
        const db::Value valor = counter->field(u"Valor");
        if (!valor.isNull())
            text = valor.toString().trimmed();
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value != std::floor(value))
        return std::nullopt;
    return value;
}

} // namespace

bool clsCodigo::Reporte_AR03(double id)
{
    try {
        const auto form = openForm(query(currencyQuery, {id}));
        if (!form)
            return false;
        PaymentForm contents;
        {
            const auto payment = query(paymentQuery, {id});
            if (!payment || payment->eof())
                return false;
            contents = readPayment(*payment);
        }

        // The payment takes the counter's number and the counter moves on together, or neither
        // happens: a payment is never numbered without the next one getting a new number.
        const auto transaction = beginTransaction();
        if (!transaction)
            return false;
        const std::optional<double> numero = counterValue(Get_Parametro(counterParameter));
        if (!numero || !Modificar_AR03(id, *numero))
            return false;
        setParameters(*form, contents, *numero);
        if (!Modificar_Parametro(counterParameter, db::Value::numberText(*numero + 1)))
            return false;
        transaction->commit();

        form->preview(u"AR03"_s);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool clsCodigo::Reimpresion_AR03(double id)
{
    try {
        const auto form = openForm(query(currencyQuery, {id}));
        if (!form)
            return false;
        const auto payment = query(paymentQuery, {id});
        if (!payment || payment->eof())
            return false;
        const PaymentForm contents = readPayment(*payment);
        const db::Value numero = payment->field(u"Numero");
        setParameters(*form, contents, numero.isNull() ? 0 : numero.toDouble());
        form->preview(u"Reimpresión AR03"_s);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
