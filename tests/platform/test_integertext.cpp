#include "platform/integertext.h"

#include <gtest/gtest.h>

using namespace lirena;

TEST(ParseInteger, DecimalWithSignAndLeadingBlanks)
{
    EXPECT_EQ(parseInteger(u"12"), 12);
    EXPECT_EQ(parseInteger(u"  -5"), -5);
    EXPECT_EQ(parseInteger(u"+7"), 7);
    EXPECT_EQ(parseInteger(u"007"), 7);
    EXPECT_EQ(parseInteger(u"-2147483648"), -2147483647 - 1);
}

TEST(ParseInteger, HexadecimalPrefixes)
{
    EXPECT_EQ(parseInteger(u"0x1F"), 31);
    EXPECT_EQ(parseInteger(u"0X1f"), 31);
    EXPECT_EQ(parseInteger(u"$FF"), 255);
    EXPECT_EQ(parseInteger(u"0x00FF00"), 65280);
    EXPECT_EQ(parseInteger(u"0xFFFFFFFF"), -1);
}

TEST(ParseInteger, RejectsEverythingElse)
{
    for (const char16_t *text : {u"", u" ", u"12 ", u"1.5", u"abc", u"0x", u"-", u"1e3", u"2147483648",
                                 u"99999999999", u"0x100000000", u"١٢"})
        EXPECT_FALSE(parseInteger(text).has_value()) << QString::fromUtf16(text).toStdString();
}

TEST(DecimalComma, ParsesCommaAndRefusesPoint)
{
    EXPECT_DOUBLE_EQ(*parseDecimalComma(u"1,5"), 1.5);
    EXPECT_DOUBLE_EQ(*parseDecimalComma(u"2"), 2.0);
    EXPECT_DOUBLE_EQ(*parseDecimalComma(u" 1,25 "), 1.25);
    EXPECT_FALSE(parseDecimalComma(u"1.5").has_value());
    EXPECT_FALSE(parseDecimalComma(u"abc").has_value());
    EXPECT_FALSE(parseDecimalComma(u"").has_value());
}

TEST(DecimalComma, FormatsShortest)
{
    EXPECT_EQ(formatDecimalComma(1.6), "1,6");
    EXPECT_EQ(formatDecimalComma(2.0), "2");
    EXPECT_EQ(formatDecimalComma(1.2), "1,2");
    EXPECT_EQ(formatDecimalComma(1.1 + 0.1), "1,2"); // not 1,2000000000000002
}
