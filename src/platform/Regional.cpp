#include "Regional.h"

#include "platform/db/Value.h"

#include <algorithm>
#include <charconv>
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

// One pass over the pattern's few characters: zeros before the first "." are integer digits, zeros after it
// decimals, a "," before it groups thousands.
Pattern parsePattern(QStringView pattern)
{
    Pattern parsed;
    bool afterPoint = false;
    for (const QChar c : pattern) {
        if (c == u'.' && !afterPoint)
            afterPoint = true;
        else if (c == u'0')
            ++(afterPoint ? parsed.decimals : parsed.minIntegerDigits);
        else if (c == u',' && !afterPoint)
            parsed.grouped = true;
    }
    return parsed;
}

// Writes a formatted number's text: the sign, the integer digits filled with zeros to the pattern's count
// (none for a zero integer part when the pattern asks for none) and grouped by thousands if asked, then the
// decimals after a ",".
void writeFormatted(QString& out, bool negative, const char* integer, int integerSize, const char* decimals,
                    const Pattern& pattern)
{
    if (integerSize == 1 && integer[0] == '0' && pattern.minIntegerDigits == 0)
        integerSize = 0;
    const int shownSize = std::max(integerSize, pattern.minIntegerDigits);
    const int fill = shownSize - integerSize;
    const int separators = pattern.grouped && shownSize > 0 ? (shownSize - 1) / 3 : 0;
    const qsizetype from = out.size();
    out.resize(from + (negative ? 1 : 0) + shownSize + separators + (pattern.decimals > 0 ? 1 + pattern.decimals : 0));
    QChar* at = out.data() + from;
    if (negative)
        *at++ = u'-';
    for (int i = 0; i < shownSize; ++i) {
        if (pattern.grouped && i > 0 && (shownSize - i) % 3 == 0)
            *at++ = u'.';
        *at++ = QLatin1Char(i < fill ? '0' : integer[i - fill]);
    }
    if (pattern.decimals > 0) {
        *at++ = u',';
        for (int i = 0; i < pattern.decimals; ++i)
            *at++ = QLatin1Char(decimals[i]);
    }
}

// Amounts below 10^13 that are a whole number of cents, as every stored amount is, with integer arithmetic:
// two such amounts are always more than a double's step apart, so the number's shortest decimal text is
// its cents. Written from the last digit backwards into a small buffer. False, writing nothing, for any other
// number, or a pattern of more than two decimals or many integer digits.
bool appendCents(QString& out, double value, const Pattern& pattern)
{
    constexpr int maxIntegerDigits = 20;
    const double magnitude = std::fabs(value);
    if (!(magnitude < 1e13) || pattern.decimals > 2 || pattern.minIntegerDigits > maxIntegerDigits)
        return false;
    const double cents = std::round(magnitude * 100);
    if (cents / 100 != magnitude)
        return false;
    // Rounded half away from zero to the pattern's decimals, as the cents' text would be.
    const auto whole = static_cast<unsigned long long>(cents);
    unsigned long long units = pattern.decimals == 2   ? whole
                               : pattern.decimals == 1 ? (whole + 5) / 10
                                                       : (whole + 50) / 100;
    const bool negative = value < 0 && units != 0;

    char16_t text[2 * maxIntegerDigits + 8];
    char16_t* const end = text + std::size(text);
    char16_t* at = end;
    if (pattern.decimals > 0) {
        for (int i = 0; i < pattern.decimals; ++i, units /= 10)
            *--at = static_cast<char16_t>(u'0' + units % 10);
        *--at = u',';
    }
    // The integer digits, filled with zeros to the pattern's count; none for 0 when it asks for none.
    const int digits = units == 0 && pattern.minIntegerDigits == 0 ? 0 : std::max(1, pattern.minIntegerDigits);
    for (int written = 0; written < digits || units != 0; ++written, units /= 10) {
        if (pattern.grouped && written > 0 && written % 3 == 0)
            *--at = u'.';
        *--at = static_cast<char16_t>(u'0' + units % 10);
    }
    if (negative)
        *--at = u'-';
    const qsizetype from = out.size();
    out.resize(from + (end - at));
    std::copy(at, end, reinterpret_cast<char16_t*>(out.data()) + from);
    return true;
}

} // namespace

void appendFormatted(QString& out, double value, QStringView pattern)
{
    const Pattern parsed = parsePattern(pattern);
    if (appendCents(out, value, parsed))
        return;

    // Any other number: its shortest decimal text, rounded half away from zero on those digits, so that 1.005
    // rounds as it reads.
    const double magnitude = std::fabs(value);
    char plain[400];
    plain[0] = '0';
    int plainSize = 1;
    if (magnitude != 0 && std::isfinite(magnitude))
        plainSize = static_cast<int>(
            std::to_chars(plain, plain + sizeof plain, magnitude, std::chars_format::fixed).ptr - plain);
    const char* point = std::find(plain, plain + plainSize, '.');

    // Integer and fraction digits together, after a 0 that takes a carry.
    char digits[512];
    int size = 0;
    digits[size++] = '0';
    for (const char* c = plain; c != point; ++c)
        digits[size++] = *c;
    const int integerEnd = size;
    const char* fraction = point == plain + plainSize ? point : point + 1;
    const int fractionSize = static_cast<int>(plain + plainSize - fraction);
    Pattern shown = parsed;
    shown.decimals = std::min(parsed.decimals, static_cast<int>(sizeof digits) - integerEnd);
    for (int i = 0; i < shown.decimals; ++i)
        digits[size++] = i < fractionSize ? fraction[i] : '0';
    if (fractionSize > shown.decimals && fraction[shown.decimals] >= '5') {
        int i = size - 1;
        for (; digits[i] == '9'; --i)
            digits[i] = '0';
        ++digits[i];
    }

    int integerStart = 0;
    while (integerStart < integerEnd - 1 && digits[integerStart] == '0')
        ++integerStart;
    const bool nonZero = std::any_of(digits + integerStart, digits + size, [](char c) { return c != '0'; });
    writeFormatted(out, value < 0 && nonZero, digits + integerStart, integerEnd - integerStart, digits + integerEnd,
                   shown);
}

QString format(double value, QStringView pattern)
{
    QString text;
    appendFormatted(text, value, pattern);
    return text;
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
