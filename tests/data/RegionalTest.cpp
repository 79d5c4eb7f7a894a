#include "platform/Regional.h"
#include "platform/db/Value.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(RegionalFormat, PatternsUseArgentineSeparators)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // the machine's locale never matters
    // 1.005 rounds half away from zero, as the amount reads.
    for (const auto& [number, pattern, text] :
         {std::tuple{1234.5, u"##,##0.00", u"1.234,50"}, std::tuple{-1234567.891, u"##,##0.00", u"-1.234.567,89"},
          std::tuple{999.995, u"##,##0.00", u"1.000,00"}, std::tuple{1.005, u"0.00", u"1,01"},
          std::tuple{-0.001, u"0.00", u"0,00"}, std::tuple{42.0, u"0000000000", u"0000000042"},
          std::tuple{1234.5, u"##,##0", u"1.235"}, std::tuple{1234.5, u"000000000.00", u"000001234,50"},
          // Whole cents up to 10^13 take a shorter road than other numbers: both must read the same.
          std::tuple{2.675, u"0.00", u"2,68"}, std::tuple{-0.005, u"0.00", u"-0,01"}, std::tuple{0.125, u"0.0", u"0,1"},
          std::tuple{9999999999999.99, u"##,##0.00", u"9.999.999.999.999,99"},
          std::tuple{10000000000000.01, u"##,##0.00", u"10.000.000.000.000,01"},
          std::tuple{-20123456786.0, u"0", u"-20123456786"}, std::tuple{9007199254740993.0, u"0", u"9007199254740992"},
          std::tuple{0.5, u"#.00", u",50"}, std::tuple{1.0 / 3, u"0.00", u"0,33"}})
        EXPECT_EQ(Regional::format(number, pattern), QString::fromUtf16(text)) << number;
    QLocale::setDefault(QLocale::c());
}

TEST(RegionalNumbers, PlainTextForSqlTypedAmountsAndDates)
{
    for (const auto& [number, text] : {std::pair{1234.5, u"1234.5"}, std::pair{0.1, u"0.1"},
                                       std::pair{20123456786.0, u"20123456786"}, std::pair{-0.0, u"0"}})
        EXPECT_EQ(db::Value::numberText(number), QString::fromUtf16(text));

    EXPECT_EQ(Regional::plainText(1234.5), u"1234,5"_s);

    for (const auto& [text, number] :
         {std::pair{u"1234,5", 1234.5}, std::pair{u" -3 ", -3.0}, std::pair{u",5", 0.5}, std::pair{u"5,", 5.0}})
        EXPECT_EQ(Regional::parseNumber(QString::fromUtf16(text)), number);
    for (const char16_t* bad : {u"", u",", u"-", u"1-2", u"1,2,3", u"1.5", u"12-", u"abc", u"--1"})
        EXPECT_FALSE(Regional::parseNumber(QString::fromUtf16(bad)).has_value())
            << QString::fromUtf16(bad).toStdString();

    EXPECT_EQ(Regional::dateText(QDate(2002, 9, 5)), u"05/09/2002"_s);
    EXPECT_EQ(Regional::parseDate(u"5/9/2002"), QDate(2002, 9, 5));
    for (const char16_t* bad : {u"29/02/2003", u"ABC", u"1/2"})
        EXPECT_FALSE(Regional::parseDate(bad).isValid());
}
