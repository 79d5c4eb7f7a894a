#include "InterfaceRecord.h"

#include "Windows1252.h"

#include <charconv>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

/// The bytes at 1-based positions [from, from + width) of the line; shorter or empty past its end.
QByteArrayView field(QByteArrayView line, qsizetype from, qsizetype width)
{
    const qsizetype start = from - 1;
    if (start >= line.size())
        return {};
    return line.sliced(start, std::min(width, line.size() - start));
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.sliced(begin, end - begin);
}

/// The value of a numeric field: blanks around it allowed, then an optional sign, digits and at most
/// one decimal separator ("." or ","), with at least one digit. Anything else, a blank field included,
/// is not numeric.
std::optional<double> numberIn(QByteArrayView fieldBytes)
{
    const QByteArrayView text = trimmed(fieldBytes);
    // Fields are at most 22 bytes; room for the digits of any of them.
    char digits[32];
    qsizetype length = 0;
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool anyDigit = false;
    bool separator = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            anyDigit = true;
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
        } else {
            return std::nullopt;
        }
        if (length == static_cast<qsizetype>(sizeof digits))
            return std::nullopt;
        digits[length++] = c == ',' ? '.' : c;
    }
    if (!anyDigit)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(digits, digits + length, value);
    if (error != std::errc() || end != digits + length)
        return std::nullopt;
    return negative ? -value : value;
}

/// The sign of an amount: +1 or -1 for a trimmed "+" or "-", nothing otherwise.
std::optional<double> signIn(QByteArrayView fieldBytes)
{
    const QByteArrayView text = trimmed(fieldBytes);
    if (text == "+")
        return 1.0;
    if (text == "-")
        return -1.0;
    return std::nullopt;
}

/// An amount with its sign; a zero stays a plain zero (never "-0" in the database).
double withSign(double sign, double amount)
{
    return amount == 0 ? 0.0 : sign * amount;
}

bool isCurrency(QByteArrayView fieldBytes)
{
    const QByteArrayView text = trimmed(fieldBytes);
    return text == "01" || text == "02" || text == "03";
}

} // namespace

InterfaceRecord InterfaceRecord::read(QByteArrayView line)
{
    InterfaceRecord record;
    const QByteArrayView cuitField = field(line, 1, 11);
    const QByteArrayView cbuField = field(line, 12, 22);
    const QByteArrayView monedaField = field(line, 40, 2);

    const auto cuit = numberIn(cuitField);
    const auto cbu = numberIn(cbuField);
    const auto signoBase = signIn(field(line, 42, 1));
    const auto base = numberIn(field(line, 43, 14));
    const auto signoRetenido = signIn(field(line, 57, 1));
    const auto retenido = numberIn(field(line, 58, 14));
    const auto depositos = numberIn(field(line, 72, 9));

    if (!cbu)
        record.failures += u" La CBU no es numérica."_s;
    if (!cuit)
        record.failures += u" El CUIT no es numérico."_s;
    if (!numberIn(field(line, 34, 4)))
        record.failures += u" El año es incorrecto."_s;
    if (!numberIn(field(line, 38, 2)))
        record.failures += u" La mes es incorrecto."_s;
    if (!signoBase)
        record.failures += u" El signo del Importe Depositado es incorrecto."_s;
    if (!base)
        record.failures += u" El Importe Depositado es incorrecto."_s;
    if (!signoRetenido)
        record.failures += u" El signo del Importe Retenido es incorrecto."_s;
    if (!retenido)
        record.failures += u" El Importe Retenido es incorrecto."_s;
    if (!depositos)
        record.failures += u" La cantidad depositada es incorrecta."_s;
    if (!isCurrency(monedaField))
        record.failures += u" La moneda es incorrecta."_s;
    if (!record.failures.isEmpty())
        return record;

    record.cuit = *cuit;
    record.cbu = Windows1252::decode(trimmed(cbuField));
    record.moneda = Windows1252::decode(trimmed(monedaField));
    record.baseImponible = withSign(*signoBase, *base);
    record.retenido = withSign(*signoRetenido, *retenido);
    record.depositos = *depositos;
    return record;
}
