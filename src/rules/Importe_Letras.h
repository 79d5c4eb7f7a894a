#pragma once

#include <QString>

/// Writes a money amount in Spanish words, as printed on the AR03 payment form: the prefix (the currency
/// name), a blank, the integer part in words and the cents as "con ... centavos". The amount is first
/// rounded to cents, half away from zero. Each word keeps its trailing blank, so an amount without
/// cents ends with a blank; zero reads "cero.". No accents are written ("dieciseis", "millon").
/// With mayusculas the whole text is in capitals; otherwise only its first character is raised.
///
/// Amounts of a thousand millions or more go on in the same style: "un mil millones", "dos mil
/// quinientos millones", "un billon" (a million millions), up to 999 999 999 999 999 999,99; beyond that,
/// where a double no longer holds whole units, the amount is written in figures ("1.000.000.000.000.000.000,00").
/// A negative amount reads as its absolute value preceded by "menos " ("Pesos menos cien "). A NaN or
/// infinite amount has no words: the result is the prefix and its blank alone.
[[nodiscard]] QString Importe_Letras(double importe, const QString& prefijo, bool mayusculas);
