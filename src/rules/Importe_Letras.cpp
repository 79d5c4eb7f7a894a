#include "Importe_Letras.h"

#include "platform/Regional.h"

#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Words for 0 to 15. The units group of an amount says "uno"; thousands, millions and cents say "un"
// because a noun follows them ("un mil", "veintiun centavos").
constexpr std::array<QStringView, 16> unitsUno{u"",      u"uno ",   u"dos ",     u"tres ",  u"cuatro ", u"cinco ",
                                               u"seis ", u"siete ", u"ocho ",    u"nueve ", u"diez ",   u"once ",
                                               u"doce ", u"trece ", u"catorce ", u"quince "};
constexpr std::array<QStringView, 16> unitsUn{u"",      u"un ",    u"dos ",     u"tres ",  u"cuatro ", u"cinco ",
                                              u"seis ", u"siete ", u"ocho ",    u"nueve ", u"diez ",   u"once ",
                                              u"doce ", u"trece ", u"catorce ", u"quince "};

// Tens when the units digit is 0, and the joiners that go before a units word. "dieci" and "veinti"
// have no blank so that the units word is written on to them ("dieciseis", "veintiuno").
constexpr std::array<QStringView, 10> tens{u"",           u"diez ",    u"veinte ",  u"treinta ", u"cuarenta ",
                                           u"cincuenta ", u"sesenta ", u"setenta ", u"ochenta ", u"noventa "};
constexpr std::array<QStringView, 10> tensJoiner{
    u"",           u"dieci",      u"veinti",     u"treinta y ", u"cuarenta y ", u"cincuenta y ",
    u"sesenta y ", u"setenta y ", u"ochenta y ", u"noventa y "};

// "setescientos" is the form the printed AR03 forms have always carried.
constexpr std::array<QStringView, 10> hundreds{u"",
                                               u"ciento ",
                                               u"doscientos ",
                                               u"trescientos ",
                                               u"cuatrocientos ",
                                               u"quinientos ",
                                               u"seiscientos ",
                                               u"setescientos ",
                                               u"ochocientos ",
                                               u"novecientos "};

// The integer part is written in groups of three digits up to the billones (a million millions).
constexpr int integerDigits = 18;

// The words of a group of three digits (0 to 999), without the group's own suffix.
QString groupWords(int group, bool unitsGroup)
{
    QString words;
    if (group == 0)
        return words;
    const auto& units = unitsGroup ? unitsUno : unitsUn;
    const int hundred = group / 100;
    const int lastTwo = group % 100;
    const int ten = lastTwo / 10;
    const int unit = lastTwo % 10;

    words += group == 100 ? u"cien "_s : hundreds[hundred].toString();
    if (lastTwo == 0)
        return words;
    if (unit == 0)
        words += tens[ten];
    else if (lastTwo <= 15)
        words += units[lastTwo];
    else {
        words += tensJoiner[ten];
        words += units[unit];
    }
    return words;
}

// Writes a count of up to 999 999 of some scale (millions, billions): the thousands of the count with
// "mil ", the rest, then the scale word in singular for exactly one, plural otherwise.
QString scaleWords(int thousands, int rest, QStringView one, QStringView many)
{
    QString words;
    if (thousands > 0)
        words += groupWords(thousands, false) + u"mil "_s;
    words += groupWords(rest, false);
    if (thousands > 0 || rest > 0)
        words += (thousands == 0 && rest == 1) ? one : many;
    return words;
}

QString capitalise(QString text, bool mayusculas)
{
    if (mayusculas)
        return text.toUpper();
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

} // namespace

QString Importe_Letras(double importe, const QString& prefijo, bool mayusculas)
{
    QString result = prefijo + u' ';
    if (!std::isfinite(importe))
        return capitalise(result, mayusculas);

    // Rounded to cents the same way the amount is shown in figures, so that both always agree.
    const QString figures = Regional::format(std::fabs(importe), u"0.00");
    const qsizetype comma = figures.indexOf(u',');
    QString integer = figures.left(comma);
    const int cents = figures.mid(comma + 1).toInt();
    while (integer.size() > 1 && integer.startsWith(u'0'))
        integer.remove(0, 1);

    if (integer.size() > integerDigits) {
        result += Regional::format(importe, u"##,##0.00");
        return capitalise(result, mayusculas);
    }

    const bool isZero = integer == u"0";
    if (importe < 0 && (!isZero || cents != 0))
        result += u"menos "_s;
    if (isZero)
        result += u"cero."_s;

    // Six groups of three digits, from the thousands of billions down to the units.
    integer = integer.rightJustified(integerDigits, u'0');
    std::array<int, integerDigits / 3> groups{};
    for (std::size_t i = 0; i < groups.size(); ++i)
        groups[i] = integer.mid(static_cast<qsizetype>(i) * 3, 3).toInt();

    result += scaleWords(groups[0], groups[1], u"billon ", u"billones ");
    result += scaleWords(groups[2], groups[3], u"millon ", u"millones ");
    if (groups[4] > 0)
        result += groupWords(groups[4], false) + u"mil "_s;
    result += groupWords(groups[5], true);

    if (cents > 0) {
        result += u"con "_s + groupWords(cents, false);
        result += cents == 1 ? u"centavo"_s : u"centavos"_s;
    }
    return capitalise(result, mayusculas);
}
