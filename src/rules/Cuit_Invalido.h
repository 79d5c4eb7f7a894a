#pragma once

#include <QString>

#include <optional>

/// Tells whether a number is not an acceptable CUIT: true when it is incorrect, false when it is fine.
/// The number is the eleven CUIT digits read as one value (two prefix digits, eight digits, the check digit).
/// Prefixes from 40 to 69 are checked as if they started with 2, and 70 to 99 as 30 to 59.
/// Zero, anything that does not have exactly eleven digits (a prefix typed with a leading zero, for one),
/// a fraction, a negative number and NaN are all incorrect.
[[nodiscard]] bool Cuit_Invalido(double cuit);

/// The number in the text of a CUIT box, "20-12345678-6": the text must have thirteen characters, and once its
/// first "-" and then the next are taken out, eleven digits must be left; they are read as one number.
/// Nothing for any other text (a box left incomplete, a missing "-", a blank or letter among the digits).
[[nodiscard]] std::optional<double> cuitDigits(const QString& maskText);
