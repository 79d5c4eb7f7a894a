#include "Codes.h"

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

namespace Codes {

namespace {

struct Currency
{
    QStringView code;
    QStringView shown;
    QStringView printed;
};

// In code order: the entry screens' lists show them in this order, the position giving the code.
constexpr Currency currencies[] = {
    {u"01", u"Pesos", u"Pesos"},
    {u"02", u"Lecop", u"Lecop"},
    {u"03", u"Dólares", u"Dolares"},
};

const Currency* currencyOf(const QString& code)
{
    const auto found =
        std::find_if(std::begin(currencies), std::end(currencies), [&](const Currency& c) { return c.code == code; });
    return found == std::end(currencies) ? nullptr : found;
}

} // namespace

QString currencyName(const QString& code)
{
    const Currency* currency = currencyOf(code);
    return currency ? currency->shown.toString() : QString();
}

QString printedCurrencyName(const QString& code)
{
    const Currency* currency = currencyOf(code);
    return currency ? currency->printed.toString() : QString();
}

QStringList currencyNames()
{
    QStringList names;
    for (const Currency& currency : currencies)
        names.append(currency.shown.toString());
    return names;
}

QString accountTypeName(const QString& code)
{
    if (code == u"01")
        return u"Caja de Ahorro"_s;
    if (code == u"02")
        return u"Cuenta Corriente"_s;
    if (code == u"03")
        return u"Cuenta Custodia"_s;
    return {};
}

} // namespace Codes
