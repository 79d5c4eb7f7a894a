#pragma once

#include <QDate>
#include <QString>

#include <variant>

namespace db {

/// A field or parameter value: null, a double-precision number, text or a date.
class Value
{
public:
    enum class Type { Null, Number, Text, Date };

    Value() = default;
    Value(double number) : m_value(number) {}
    Value(int number) : m_value(static_cast<double>(number)) {}
    Value(long long number) : m_value(static_cast<double>(number)) {}
    Value(const QString& text) : m_value(text) {}
    Value(const char16_t* text) : m_value(QString::fromUtf16(text)) {}
    Value(QDate date) : m_value(date) {}

    [[nodiscard]] Type type() const { return static_cast<Type>(m_value.index()); }
    [[nodiscard]] bool isNull() const { return type() == Type::Null; }

    /// Numbers as plain decimal text ("1234.5"), dates as dd/mm/yyyy, null as "".
    [[nodiscard]] QString toString() const;
    /// The number; text holding a plain number is read as one; anything else is 0.
    [[nodiscard]] double toDouble() const;
    [[nodiscard]] QDate toDate() const;

    /// Plain decimal text of a number, as SQL wants it: digits, a point before decimals,
    /// no exponent and no thousands separator; the shortest text that reads back the same.
    [[nodiscard]] static QString numberText(double number);
    /// The same text, appended to out without a temporary string (statements are built line by line).
    static void appendNumberText(QString& out, double number);

    friend bool operator==(const Value&, const Value&) = default;

private:
    std::variant<std::monostate, double, QString, QDate> m_value;
};

} // namespace db
