#include "Cuit_Invalido.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr double smallestCuit = 10000000000.0;
constexpr double largestCuit = 99999999999.0;

// Weights of the first ten digits, left to right, in the modulo 11 check.
constexpr std::array<int, 10> weights{5, 4, 3, 2, 7, 6, 5, 4, 3, 2};

// Prefixes 4x, 5x and 6x fold onto 2x, and 7x, 8x, 9x onto 3x, 4x, 5x; the check digit is then
// computed on the folded number.
std::int64_t foldPrefix(std::int64_t number)
{
    if (number >= 60000000000)
        return number - 40000000000;
    if (number >= 50000000000)
        return number - 30000000000;
    if (number >= 40000000000)
        return number - 20000000000;
    return number;
}

} // namespace

bool Cuit_Invalido(double cuit)
{
    // The negated comparison also turns NaN away. Below the smallest eleven-digit number the digits
    // cannot be split as a CUIT (a leading zero in the prefix was lost when the text became a number).
    if (!(cuit >= smallestCuit && cuit <= largestCuit))
        return true;
    if (std::trunc(cuit) != cuit)
        return true;

    std::int64_t folded = foldPrefix(static_cast<std::int64_t>(cuit));
    std::array<int, 11> digits{};
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        *it = static_cast<int>(folded % 10);
        folded /= 10;
    }

    int sum = 0;
    for (std::size_t i = 0; i < weights.size(); ++i)
        sum += weights[i] * digits[i];
    const int checkDigit = digits[10];

    if ((sum + checkDigit) % 11 == 0)
        return false;
    if (checkDigit != 0)
        return true;
    // A computed check digit of 10 is written as 0.
    return (sum + 10) % 11 != 0;
}

std::optional<double> cuitDigits(const QString& maskText)
{
    if (maskText.size() != 13)
        return std::nullopt;
    QString digits = maskText;
    for (int dash = 0; dash < 2; ++dash) {
        const qsizetype at = digits.indexOf(u'-');
        if (at >= 0)
            digits.remove(at, 1);
    }
    if (digits.size() != 11 || !std::ranges::all_of(digits, [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    return digits.toDouble();
}
