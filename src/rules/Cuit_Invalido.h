#pragma once

/// Tells whether a number is not an acceptable CUIT: true when it is incorrect, false when it is fine.
/// The number is the eleven CUIT digits read as one value (two prefix digits, eight digits, the check digit).
/// Prefixes from 40 to 69 are checked as if they started with 2, and 70 to 99 as 30 to 59.
/// Zero, anything that does not have exactly eleven digits (a prefix typed with a leading zero, for one),
/// a fraction, a negative number and NaN are all incorrect.
[[nodiscard]] bool Cuit_Invalido(double cuit);
