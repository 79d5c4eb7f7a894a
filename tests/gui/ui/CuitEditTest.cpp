#include "Printers.h"

#include "platform/ui/CuitEdit.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(CuitEdit, MaskTextKeepsDashesAndPlaceholders)
{
    ui::CuitEdit cuit;
    EXPECT_EQ(cuit.maskText(), u"__-________-_"_s);

    cuit.setFocus();
    QTest::keyClicks(&cuit, u"201234"_s);
    EXPECT_EQ(cuit.maskText(), u"20-1234____-_"_s);

    QTest::keyClicks(&cuit, u"56786"_s);
    EXPECT_EQ(cuit.maskText(), u"20-12345678-6"_s);
    QTest::keyClicks(&cuit, u"9"_s); // no room left
    EXPECT_EQ(cuit.maskText(), u"20-12345678-6"_s);

    ui::CuitEdit signs;
    QTest::keyClicks(&signs, u"2a0,+-1"_s);
    EXPECT_EQ(signs.maskText(), u"20-1_______-_"_s);
}

TEST(CuitEdit, SettingTheTextAcceptsTheStoredForms)
{
    ui::CuitEdit cuit;
    cuit.setMaskText(u"20-12345678-6"_s);
    EXPECT_EQ(cuit.maskText(), u"20-12345678-6"_s);
    cuit.setMaskText(u"30712345674"_s);
    EXPECT_EQ(cuit.maskText(), u"30-71234567-4"_s);
    cuit.setMaskText(u"__-________-_"_s);
    EXPECT_EQ(cuit.maskText(), u"__-________-_"_s);
    cuit.setMaskText(u"20-1234"_s);
    EXPECT_EQ(cuit.maskText(), u"20-1234____-_"_s);
    cuit.setMaskText(u"ab"_s);
    EXPECT_EQ(cuit.maskText().size(), 13);
}
