#include "rules/Cuit_Invalido.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Each base is a CUIT with check digit 0 whose right check digit is worked out by hand (-1: none); every
// other digit must be refused.
TEST(CuitInvalido, AcceptsOnlyTheRightCheckDigit)
{
    const std::pair<double, int> cases[] = {
        {20123456780.0, 6}, // sum 148, remainder 5
        {30712345670.0, 1}, // sum 142, remainder 10
        {20000000010.0, 0}, // sum 12, remainder 1: check 10 is written 0
        {20999999990.0, 0}, // sum 298, remainder 1
        {27123456780.0, 0}, // sum 176, a multiple of 11
        {23000000000.0, 0}, // sum 22
        {40123456780.0, 6}, // prefixes 4 to 6 are checked as 2 (read plainly 40 would need 7)
        {50123456780.0, 6}, {60123456780.0, 6},
        {70712345670.0, 1},                     // 7 to 9 as 3 to 5, folded once: 80 as 40 read plainly, not again as 20
        {80123456780.0, 7}, {91234567890.0, 0}, // as 51-23456789: sum 199, remainder 1
        {19123456780.0, 8},                     // prefix 1 is not folded
        {10123456780.0, 0},                     // sum 143
        {2123456780.0, -1}, // ten digits, none accepted: "02-12345678-x" loses its leading zero as a number
    };
    for (const auto& [base, check] : cases) {
        for (int digit = 0; digit <= 9; ++digit)
            EXPECT_EQ(Cuit_Invalido(base + digit), digit != check) << static_cast<long long>(base) + digit;
    }

    // Numbers that cannot be eleven digits.
    for (const double bad : {0.0, 9999999999.0, 100000000000.0, 201234567860.0, -20123456786.0, 20123456786.5,
                             std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        EXPECT_TRUE(Cuit_Invalido(bad)) << bad;
}

TEST(CuitInvalido, ReadsTheDigitsOfACuitBoxOnlyWithBothDashes)
{
    EXPECT_EQ(cuitDigits(u"20-12345678-6"_s), 20123456786.0);
    EXPECT_EQ(cuitDigits(u"2012345678-66"_s), std::nullopt) << "no digit stands in for a missing dash";
}

} // namespace
