#include "rules/Cuit_Invalido.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Valid CUITs with their weighted sums worked out by hand: 20-12345678 sums 148 (remainder 5, check 6);
// 30-71234567 sums 142 (remainder 10, check 1); 19-12345678 sums 179 (remainder 3, check 8).
TEST(CuitInvalido, AcceptsCorrectCheckDigitAndRefusesEveryOther)
{
    EXPECT_FALSE(Cuit_Invalido(20123456786.0));
    EXPECT_FALSE(Cuit_Invalido(30712345671.0));
    for (int digit = 0; digit <= 9; ++digit) {
        EXPECT_EQ(Cuit_Invalido(20123456780.0 + digit), digit != 6) << digit;
        EXPECT_EQ(Cuit_Invalido(30712345670.0 + digit), digit != 1) << digit;
    }
}

TEST(CuitInvalido, RemainderOneTakesCheckDigitZeroOnly)
{
    // 20-00000001 sums 12 and 20-99999999 sums 298: both leave remainder 1, whose check digit 10 is written 0.
    for (const double base : {20000000010.0, 20999999990.0}) {
        EXPECT_FALSE(Cuit_Invalido(base));
        for (int digit = 1; digit <= 9; ++digit)
            EXPECT_TRUE(Cuit_Invalido(base + digit)) << base + digit;
    }
}

TEST(CuitInvalido, RemainderZeroTakesCheckDigitZeroOnly)
{
    // 27-12345678 sums 176 and 23-00000000 sums 22: both multiples of 11.
    for (const double base : {27123456780.0, 23000000000.0}) {
        EXPECT_FALSE(Cuit_Invalido(base));
        for (int digit = 1; digit <= 9; ++digit)
            EXPECT_TRUE(Cuit_Invalido(base + digit)) << base + digit;
    }
}

TEST(CuitInvalido, PrefixesFourToSixAreCheckedAsTwo)
{
    for (int digit = 0; digit <= 9; ++digit) {
        const bool asTwo = Cuit_Invalido(20123456780.0 + digit);
        EXPECT_EQ(Cuit_Invalido(40123456780.0 + digit), asTwo) << digit;
        EXPECT_EQ(Cuit_Invalido(50123456780.0 + digit), asTwo) << digit;
        EXPECT_EQ(Cuit_Invalido(60123456780.0 + digit), asTwo) << digit;
    }
    // Read as itself, 40-12345678 would need check digit 7; folded onto 20 it needs 6.
    EXPECT_TRUE(Cuit_Invalido(40123456787.0));
}

TEST(CuitInvalido, PrefixesSevenToNineAreCheckedAsThreeToFive)
{
    // Folded once only: 80-12345678 is checked as 40-12345678 read plainly (check 7), not folded again
    // onto 20 (check 6); 91-23456789 as 51-23456789 (sum 199, remainder 1, check 0).
    EXPECT_FALSE(Cuit_Invalido(70712345671.0));
    EXPECT_TRUE(Cuit_Invalido(70712345670.0));
    EXPECT_FALSE(Cuit_Invalido(80123456787.0));
    EXPECT_TRUE(Cuit_Invalido(80123456786.0));
    EXPECT_FALSE(Cuit_Invalido(91234567890.0));
    EXPECT_TRUE(Cuit_Invalido(91234567891.0));
}

TEST(CuitInvalido, PrefixOneIsNotFolded)
{
    EXPECT_FALSE(Cuit_Invalido(19123456788.0));
    EXPECT_TRUE(Cuit_Invalido(19123456786.0));
    // 10-12345678 sums 143, a multiple of 11.
    EXPECT_FALSE(Cuit_Invalido(10123456780.0));
    EXPECT_TRUE(Cuit_Invalido(10123456781.0));
}

TEST(CuitInvalido, NumbersThatCannotBeElevenDigitsAreIncorrect)
{
    EXPECT_TRUE(Cuit_Invalido(0.0));
    // "02-12345678-x" loses its leading zero on the way to a number.
    for (int digit = 0; digit <= 9; ++digit)
        EXPECT_TRUE(Cuit_Invalido(2123456780.0 + digit)) << digit;
    EXPECT_TRUE(Cuit_Invalido(9999999999.0));
    EXPECT_TRUE(Cuit_Invalido(100000000000.0));
    EXPECT_TRUE(Cuit_Invalido(201234567860.0));
    EXPECT_TRUE(Cuit_Invalido(-20123456786.0));
    EXPECT_TRUE(Cuit_Invalido(20123456786.5));
    EXPECT_TRUE(Cuit_Invalido(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_TRUE(Cuit_Invalido(std::numeric_limits<double>::infinity()));
}

} // namespace
