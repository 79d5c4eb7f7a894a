#include "Value.h"

#include <charconv>
#include <cmath>
#include <iterator>

namespace db {

void Value::appendNumberText(QString& out, double number)
{
    if (number == 0 || !std::isfinite(number)) {
        out += u'0';
        return;
    }
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed);
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
    case Type::Date: {
        // By hand for the years of four digits: the format string goes through the locale machinery,
        // and a date is written into every imported line.
        const QDate date = std::get<QDate>(m_value);
        // The calendar works out day, month and year together: once, not once for each.
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
