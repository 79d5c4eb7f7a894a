#include "Codes.h"

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

namespace Codes {

namespace {

struct Name
{
    QStringView code;
    QStringView shown;
    QStringView printed; ///< as the printed forms write it, without accents
};

// In code order: the entry screens' lists show them in this order, the position giving the code.
constexpr Name currencies[] = {
    {u"01", u"Pesos", u"Pesos"},
    {u"02", u"Lecop", u"Lecop"},
    {u"03", u"Dólares", u"Dolares"},
};
constexpr Name accountTypes[] = {
    {u"01", u"Caja de Ahorro", u"Caja de Ahorro"},
    {u"02", u"Cuenta Corriente", u"Cuenta Corriente"},
    {u"03", u"Cuenta Custodia", u"Cuenta Custodia"},
};

template <size_t count>
const Name* nameOf(const Name (&names)[count], const QString& code)
{
    const auto found = std::find_if(std::begin(names), std::end(names), [&](const Name& n) { return n.code == code; });
    return found == std::end(names) ? nullptr : found;
}

template <size_t count>
QStringList shownNames(const Name (&names)[count])
{
    QStringList shown;
    for (const Name& name : names)
        shown.append(name.shown.toString());
    return shown;
}

} // namespace

QString currencyName(const QString& code)
{
    const Name* currency = nameOf(currencies, code);
    return currency ? currency->shown.toString() : QString();
}

QString printedCurrencyName(const QString& code)
{
    const Name* currency = nameOf(currencies, code);
    return currency ? currency->printed.toString() : QString();
}

QStringList currencyNames()
{
    return shownNames(currencies);
}

QString accountTypeName(const QString& code)
{
    const Name* type = nameOf(accountTypes, code);
    return type ? type->shown.toString() : QString();
}

QStringList accountTypeNames()
{
    return shownNames(accountTypes);
}

} // namespace Codes
