#pragma once

#include <QDate>
#include <QString>

#include <optional>

/// Argentina's conventions for numbers and dates, applied by the program itself whatever the
/// machine's locale: "," before decimals, "." between thousands, dates as dd/mm/yyyy.
namespace Regional {

/// Formats a number with one of the program's patterns: "##,##0.00" (1.234,50), "0.00" (1234,50),
/// "0000000000" (0000000042), "##,##0" (1.235), "0" and "00". Rounds half away from zero.
[[nodiscard]] QString format(double value, QStringView pattern);
/// The same text, appended to out without a temporary string (a list formats several numbers per row).
void appendFormatted(QString& out, double value, QStringView pattern);

/// The plain text of a number the regional way: no thousands grouping, no fixed decimals, "," before
/// the decimals ("1234,5", "800", "-12,5").
[[nodiscard]] QString plainText(double value);

/// Reads a number written the regional way: an optional sign, digits and at most one ","
/// before the decimals ("1234,5", ",5", "-3"). Anything else gives no value.
[[nodiscard]] std::optional<double> parseNumber(const QString& text);

/// A date as dd/mm/yyyy.
[[nodiscard]] QString dateText(QDate date);

/// Reads d/m/yyyy (day and month of one or two digits) or ISO yyyy-mm-dd, as dates are stored; any
/// other text, or a day that does not exist, gives an invalid date.
[[nodiscard]] QDate parseDate(QStringView text);

} // namespace Regional
