#include "Codes.h"

using namespace Qt::StringLiterals;

namespace Codes {

QString currencyName(const QString& code)
{
    const QString printed = printedCurrencyName(code);
    return printed == u"Dolares" ? u"Dólares"_s : printed;
}

QString printedCurrencyName(const QString& code)
{
    if (code == u"01")
        return u"Pesos"_s;
    if (code == u"02")
        return u"Lecop"_s;
    if (code == u"03")
        return u"Dolares"_s;
    return {};
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
