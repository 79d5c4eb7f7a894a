#include "data/Regional.h"
#include "platform/db/Value.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(RegionalFormat, PatternsUseArgentineSeparators)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // the machine's locale never matters
    EXPECT_EQ(Regional::format(1234.5, u"##,##0.00"), u"1.234,50"_s);
    EXPECT_EQ(Regional::format(-1234567.891, u"##,##0.00"), u"-1.234.567,89"_s);
    EXPECT_EQ(Regional::format(999.995, u"##,##0.00"), u"1.000,00"_s);
    EXPECT_EQ(Regional::format(1.005, u"0.00"), u"1,01"_s) << "half away from zero, as the amount reads";
    EXPECT_EQ(Regional::format(-0.001, u"0.00"), u"0,00"_s);
    EXPECT_EQ(Regional::format(42, u"0000000000"), u"0000000042"_s);
    EXPECT_EQ(Regional::format(1234.5, u"##,##0"), u"1.235"_s);
    EXPECT_EQ(Regional::format(1234.5, u"000000000.00"), u"000001234,50"_s);
    QLocale::setDefault(QLocale::c());
}

TEST(RegionalNumbers, PlainTextForSqlTypedAmountsAndDates)
{
    EXPECT_EQ(db::Value::numberText(1234.5), u"1234.5"_s);
    EXPECT_EQ(db::Value::numberText(0.1), u"0.1"_s);
    EXPECT_EQ(db::Value::numberText(20123456786.0), u"20123456786"_s);
    EXPECT_EQ(db::Value::numberText(-0.0), u"0"_s);

    EXPECT_EQ(Regional::plainText(1234.5), u"1234,5"_s);

    EXPECT_EQ(Regional::parseNumber(u"1234,5"_s), 1234.5);
    EXPECT_EQ(Regional::parseNumber(u" -3 "_s), -3);
    EXPECT_EQ(Regional::parseNumber(u",5"_s), 0.5);
    EXPECT_EQ(Regional::parseNumber(u"5,"_s), 5);
    for (const char16_t* bad : {u"", u",", u"-", u"1-2", u"1,2,3", u"1.5", u"12-", u"abc", u"--1"})
        EXPECT_FALSE(Regional::parseNumber(QString::fromUtf16(bad)).has_value())
            << QString::fromUtf16(bad).toStdString();

    EXPECT_EQ(Regional::dateText(QDate(2002, 9, 5)), u"05/09/2002"_s);
    EXPECT_EQ(Regional::parseDate(u"5/9/2002"), QDate(2002, 9, 5));
    EXPECT_FALSE(Regional::parseDate(u"29/02/2003").isValid());
    EXPECT_FALSE(Regional::parseDate(u"ABC").isValid());
    EXPECT_FALSE(Regional::parseDate(u"1/2").isValid());
}
