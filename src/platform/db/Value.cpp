#include "Value.h"

#include "platform/Regional.h"

#include <charconv>
#include <cmath>

namespace db {

void Value::appendNumberText(QString& out, double number)
{
    if (number == 0 || !std::isfinite(number)) {
        out += u'0';
        return;
    }
    char buffer[400];
    // A whole number below 2^53 is its digits: written as an integer's, several times faster.
    constexpr double exactIntegers = 9007199254740992.0;
    const auto result = std::fabs(number) < exactIntegers && number == std::floor(number)
                            ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(number))
                            : std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed);
    out.append(QLatin1StringView(buffer, result.ptr - buffer));
}

QString Value::numberText(double number)
{
    QString text;
    appendNumberText(text, number);
    return text;
}

QString Value::toString() const
{
    switch (type()) {
    case Type::Null:
        return {};
    case Type::Number:
        return numberText(std::get<double>(m_value));
    case Type::Text:
        return std::get<QString>(m_value);
    case Type::Date:
        return Regional::dateText(std::get<QDate>(m_value));
    }
    return {};
}

double Value::toDouble() const
{
    switch (type()) {
    case Type::Number:
        return std::get<double>(m_value);
    case Type::Text: {
        bool ok = false;
        const double number = std::get<QString>(m_value).trimmed().toDouble(&ok);
        return ok ? number : 0;
    }
    default:
        return 0;
    }
}

QDate Value::toDate() const
{
    return type() == Type::Date ? std::get<QDate>(m_value) : QDate();
}

} // namespace db
