#include "Regional.h"

#include "platform/db/Value.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace Regional {

namespace {

struct Pattern
{
    int minIntegerDigits = 0;
    int decimals = 0;
    bool grouped = false;
};

Pattern parsePattern(QStringView pattern)
{
    Pattern parsed;
    const qsizetype point = pattern.indexOf(u'.');
    const QStringView integerPart = point < 0 ? pattern : pattern.left(point);
    parsed.minIntegerDigits = static_cast<int>(integerPart.count(u'0'));
    parsed.grouped = integerPart.contains(u',');
    if (point >= 0)
        parsed.decimals = static_cast<int>(pattern.mid(point + 1).count(u'0'));
    return parsed;
}

// Rounds the plain decimal text of a non-negative number to the given decimals, half away from zero,
// working on its shortest decimal text so that 1.005 rounds as it reads.
void roundDecimalText(QString& integer, QString& fraction, int decimals)
{
    if (fraction.size() <= decimals) {
        fraction = fraction.leftJustified(decimals, u'0');
        return;
    }
    const bool up = fraction.at(decimals) >= u'5';
    fraction.truncate(decimals);
    if (!up)
        return;
    QString digits = integer + fraction;
    qsizetype i = digits.size() - 1;
    for (; i >= 0; --i) {
        if (digits[i] == u'9') {
            digits[i] = u'0';
        } else {
            digits[i] = QChar(digits[i].unicode() + 1);
            break;
        }
    }
    if (i < 0)
        digits.prepend(u'1');
    integer = digits.left(digits.size() - decimals);
    fraction = digits.right(decimals);
}

QString groupThousands(const QString& integer)
{
    QString grouped;
    const qsizetype size = integer.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (i > 0 && (size - i) % 3 == 0)
            grouped += u'.';
        grouped += integer.at(i);
    }
    return grouped;
}

} // namespace

QString format(double value, QStringView pattern)
{
    const Pattern parsed = parsePattern(pattern);
    const QString plain = db::Value::numberText(std::fabs(value));
    const qsizetype point = plain.indexOf(u'.');
    QString integer = point < 0 ? plain : plain.left(point);
    QString fraction = point < 0 ? QString() : plain.mid(point + 1);
    roundDecimalText(integer, fraction, parsed.decimals);

    while (integer.size() > 1 && integer.startsWith(u'0'))
        integer.remove(0, 1);
    if (integer == u"0" && parsed.minIntegerDigits == 0)
        integer.clear();
    integer = integer.rightJustified(parsed.minIntegerDigits, u'0');
    if (parsed.grouped)
        integer = groupThousands(integer);

    const bool nonZero =
        std::any_of(integer.begin(), integer.end(), [](QChar c) { return c.isDigit() && c != u'0'; }) ||
        std::any_of(fraction.begin(), fraction.end(), [](QChar c) { return c != u'0'; });
    QString result = (value < 0 && nonZero) ? QStringLiteral("-") + integer : integer;
    if (parsed.decimals > 0)
        result += u',' + fraction;
    return result;
}

QString plainText(double value)
{
    QString text = db::Value::numberText(value);
    text.replace(u'.', u',');
    return text;
}

std::optional<double> parseNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    QString plain;
    if (i < trimmed.size() && (trimmed[i] == u'-' || trimmed[i] == u'+'))
        plain += trimmed[i++];
    bool sawDigit = false;
    bool sawComma = false;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c >= u'0' && c <= u'9') {
            sawDigit = true;
            plain += c;
        } else if (c == u',' && !sawComma) {
            sawComma = true;
            plain += u'.';
        } else {
            return std::nullopt;
        }
    }
    if (!sawDigit)
        return std::nullopt;
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString dateText(QDate date)
{
    // By hand for the years of four digits: the format string goes through the locale machinery, and a
    // date is written into every imported line. The calendar works out day, month and year together, once.
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    if (!date.isValid() || year < 1000 || year > 9999)
        return date.toString(u"dd/MM/yyyy");
    const auto digit = [](int value) {
        return QChar(u'0' + value % 10);
    };
    const QChar text[] = {
        digit(day / 10),   digit(day),       u'/',       digit(month / 10), digit(month), u'/', digit(year / 1000),
        digit(year / 100), digit(year / 10), digit(year)};
    return QString(text, std::size(text));
}

QDate parseDate(QStringView text)
{
    // Hand-written: this runs for every date written to the database, and QDate::fromString is slow.
    int fields[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int field = 0;
    QChar separator;
    for (const QChar c : text) {
        if (c.isDigit() && c.unicode() < 128) {
            fields[field] = fields[field] * 10 + (c.unicode() - u'0');
            if (++digits[field] > 4)
                return {};
        } else if ((c == u'/' || c == u'-') && field < 2 && (separator.isNull() || separator == c)) {
            separator = c;
            ++field;
        } else {
            return {};
        }
    }
    if (field != 2)
        return {};
    if (separator == u'-') // ISO yyyy-mm-dd, as stored
        return digits[0] == 4 && digits[1] == 2 && digits[2] == 2 ? QDate(fields[0], fields[1], fields[2]) : QDate();
    if (digits[0] == 0 || digits[0] > 2 || digits[1] == 0 || digits[1] > 2 || digits[2] != 4)
        return {};
    return QDate(fields[2], fields[1], fields[0]);
}

} // namespace Regional
