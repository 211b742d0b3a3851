// Reading and writing the numeric field's text without a widget (German
// locale: "," separates the decimals).
#include "controls/number_text.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>

using namespace mx;

namespace {

constexpr double Fallback = -3.75;

double F(const QString& s) { return ParseNumber(s, vtFloat, Fallback); }
double I(const QString& s) { return ParseNumber(s, vtInteger, Fallback); }
double H(const QString& s) { return ParseNumber(s, vtHex, Fallback); }

} // namespace

TEST(NumberText, FloatParsingFollowsTheGrammar) {
    EXPECT_DOUBLE_EQ(F("29,70"), 29.7);
    EXPECT_DOUBLE_EQ(F("  -1,5e2  "), -150);
    EXPECT_DOUBLE_EQ(F("+,5"), 0.5);
    EXPECT_DOUBLE_EQ(F("7,"), 7);
    EXPECT_DOUBLE_EQ(F(","), 0);
    EXPECT_DOUBLE_EQ(F("2E-3"), 0.002);
    EXPECT_DOUBLE_EQ(F("1e+2"), 100);
    for (const char* bad : {"", " ", "-", "+", "1.5", "1,2,3", "1e", "e5", "1e5e", "--1", "1 2", "1-", "abc", "1,5x"})
        EXPECT_EQ(F(bad), Fallback) << bad;
}

TEST(NumberText, FloatOverflowFallsBackUnderflowIsZero) {
    EXPECT_EQ(F("1e999"), Fallback);
    EXPECT_EQ(F("-1e309"), Fallback);
    EXPECT_EQ(F("1e99999999999999999999999"), Fallback);
    EXPECT_EQ(F(QString(10000, u'9')), Fallback);
    EXPECT_EQ(F("1e-999"), 0);
    EXPECT_EQ(F("0," + QString(10000, u'0') + "1"), 0);
    EXPECT_EQ(F("0,000" + QString(10000, u'0')), 0);
    EXPECT_DOUBLE_EQ(F(QString(300, u'0') + "12"), 12);
}

TEST(NumberText, StrangeCharactersFallBack) {
    for (const QString& bad : {QString("\t1"), QString("1\n"), QString(QChar(0)) + "1", QString("١٢"), QString("1ä"),
                               QString::fromUtf8("😀"), QString("\x7f")})
        EXPECT_EQ(F(bad), Fallback);
    EXPECT_EQ(I(QString("\x01") + "5"), -3) << "fallback truncated toward zero";
}

TEST(NumberText, IntegerParsing) {
    EXPECT_EQ(I("42"), 42);
    EXPECT_EQ(I("   -7"), -7);
    EXPECT_EQ(I("+7"), 7);
    EXPECT_EQ(I("$1F"), 31);
    EXPECT_EQ(I("x1f"), 31);
    EXPECT_EQ(I("X10"), 16);
    EXPECT_EQ(I("0x10"), 16);
    EXPECT_EQ(I("-$10"), -16);
    EXPECT_EQ(I("2147483647"), 2147483647);
    EXPECT_EQ(I("-2147483648"), -2147483648.0);
    EXPECT_EQ(I("$FFFFFFFF"), -1);
    for (const char* bad : {"", "-", "7 ", "1,5", "2147483648", "-2147483649", "$100000000", "0X10", "$", "1e3", "$ 1"})
        EXPECT_EQ(I(bad), -3) << bad;
    EXPECT_EQ(I(QString(10000, u'1')), -3);
}

TEST(NumberText, HexParsingPutsADollarInFront) {
    EXPECT_EQ(H("FF"), 255);
    EXPECT_EQ(H("ff"), 255);
    EXPECT_EQ(H("0000000010"), 16);
    EXPECT_EQ(H("FFFFFFFB"), -5);
    for (const char* bad : {"", " 10", "-5", "+5", "0x10", "G", "1FFFFFFFF"}) EXPECT_EQ(H(bad), -3) << bad;
}

TEST(NumberText, FloatFormatting) {
    EXPECT_EQ(FormatNumber(3, vtFloat, 2), "3,00");
    EXPECT_EQ(FormatNumber(2.5, vtFloat, 2), "2,50");
    EXPECT_EQ(FormatNumber(29.7, vtFloat, 2), "29,70");
    EXPECT_EQ(FormatNumber(-4, vtFloat, 2), "-4,00");
    EXPECT_EQ(FormatNumber(0, vtFloat, 2), "0,00");
    EXPECT_EQ(FormatNumber(-0.001, vtFloat, 2), "0,00");
    EXPECT_EQ(FormatNumber(-0.0, vtFloat, 0), "0");
    EXPECT_EQ(FormatNumber(0.005, vtFloat, 2), "0,01");
    EXPECT_EQ(FormatNumber(9.999, vtFloat, 2), "10,00");
    EXPECT_EQ(FormatNumber(-9.995, vtFloat, 2), "-10,00");
    EXPECT_EQ(FormatNumber(2.5, vtFloat, 0), "3");
    EXPECT_EQ(FormatNumber(0.1234, vtFloat, 3), "0,123");
    EXPECT_EQ(FormatNumber(1e-300, vtFloat, 2), "0,00");
    EXPECT_EQ(FormatNumber(1.0 / 3, vtFloat, 20), "0,33333333333333300000");
    EXPECT_EQ(FormatNumber(21.59, vtFloat, 2), "21,59");
}

TEST(NumberText, FloatFormattingKeepsFifteenSignificantDigits) {
    // 2.675 is 2.67499999... in binary; at 15 digits it is 2.675 and rounds up.
    EXPECT_EQ(FormatNumber(2.675, vtFloat, 2), "2,68");
    EXPECT_EQ(FormatNumber(123456789012345.0, vtFloat, 2), "123456789012345,00");
    EXPECT_EQ(FormatNumber(1e20, vtFloat, 2), "1E20");
    EXPECT_EQ(FormatNumber(-1.5e15, vtFloat, 2), "-1,5E15");
    // Rounded up, the largest double would overflow when read back; it is cut.
    EXPECT_EQ(FormatNumber(1.7976931348623157e308, vtFloat, 2), "1,79769313486231E308");
    EXPECT_EQ(FormatNumber(-1.797693134862315e308, vtFloat, 0), "-1,79769313486231E308");
    EXPECT_EQ(FormatNumber(1.797693134862314e308, vtFloat, 0), "1,79769313486231E308");
    EXPECT_DOUBLE_EQ(F(FormatNumber(-1.7976931348623157e308, vtFloat, 2)), -1.79769313486231e308);
    // The scientific form reads back.
    EXPECT_DOUBLE_EQ(F(FormatNumber(1e20, vtFloat, 2)), 1e20);
    EXPECT_DOUBLE_EQ(F(FormatNumber(-1.5e15, vtFloat, 2)), -1.5e15);
}

TEST(NumberText, IntegerAndHexFormattingRoundHalfToEven) {
    EXPECT_EQ(FormatNumber(2.5, vtInteger, 2), "2");
    EXPECT_EQ(FormatNumber(3.5, vtInteger, 2), "4");
    EXPECT_EQ(FormatNumber(-2.5, vtInteger, 2), "-2");
    EXPECT_EQ(FormatNumber(-0.4, vtInteger, 2), "0");
    EXPECT_EQ(FormatNumber(-2147483648.0, vtInteger, 2), "-2147483648");
    EXPECT_EQ(FormatNumber(255, vtHex, 2), "FF");
    EXPECT_EQ(FormatNumber(10.5, vtHex, 2), "A");
    EXPECT_EQ(FormatNumber(0, vtHex, 2), "0");
    EXPECT_EQ(FormatNumber(-1, vtHex, 2), "FFFFFFFF");
    EXPECT_EQ(H(FormatNumber(-5, vtHex, 2)), -5);
    // Values no 32-bit field can hold still format; they read back as the fallback.
    EXPECT_EQ(I(FormatNumber(1e300, vtInteger, 2)), -3);
    EXPECT_EQ(FormatNumber(1e300, vtHex, 2), "7FFFFFFFFFFFFFFF");
    for (TValueType t : {vtInteger, vtFloat, vtHex}) {
        EXPECT_EQ(FormatNumber(NAN, t, 2), "NAN");
        EXPECT_EQ(FormatNumber(-INFINITY, t, 2), "-INF");
        EXPECT_EQ(ParseNumber(FormatNumber(INFINITY, t, 2), t, 1), 1);
    }
}

TEST(NumberText, ClampTestsTheLowerLimitFirstAndEqualLimitsPass) {
    EXPECT_EQ(ClampValue(-4, 0, 0), -4);
    EXPECT_EQ(ClampValue(1e300, 5, 5), 1e300);
    EXPECT_EQ(ClampValue(5, 10, 500), 10);
    EXPECT_EQ(ClampValue(501, 10, 500), 500);
    EXPECT_EQ(ClampValue(30, 10, 500), 30);
    EXPECT_EQ(ClampValue(7, 10, 5), 10);
}

TEST(NumberText, CharacterFilter) {
    for (QChar c : QString("+-0123456789")) {
        EXPECT_TRUE(AcceptsChar(c, "", vtInteger, true));
        EXPECT_TRUE(AcceptsChar(c, "", vtFloat, true));
        EXPECT_TRUE(AcceptsChar(c, "", vtHex, true));
    }
    EXPECT_TRUE(AcceptsChar(u',', "12", vtFloat, true));
    EXPECT_FALSE(AcceptsChar(u',', "1,2", vtFloat, true));
    EXPECT_FALSE(AcceptsChar(u'.', "12", vtFloat, true));
    EXPECT_FALSE(AcceptsChar(u',', "12", vtInteger, true));
    EXPECT_TRUE(AcceptsChar(u'e', "1,5", vtFloat, true));
    EXPECT_FALSE(AcceptsChar(u'e', "1E5", vtFloat, true));
    EXPECT_FALSE(AcceptsChar(u'E', "1e5", vtFloat, true));
    EXPECT_FALSE(AcceptsChar(u'a', "1", vtFloat, true));
    EXPECT_FALSE(AcceptsChar(u'e', "1", vtInteger, true));
    EXPECT_TRUE(AcceptsChar(u'a', "1", vtHex, true));
    EXPECT_TRUE(AcceptsChar(u'F', "1", vtHex, true));
    EXPECT_FALSE(AcceptsChar(u'g', "1", vtHex, true));
    EXPECT_FALSE(AcceptsChar(u'$', "", vtHex, true));
    EXPECT_FALSE(AcceptsChar(u' ', "", vtInteger, true));
    EXPECT_FALSE(AcceptsChar(QChar(0xE4), "", vtFloat, true));
    EXPECT_FALSE(AcceptsChar(QChar(0x0661), "", vtInteger, true)); // Arabic-Indic digit one
    EXPECT_TRUE(AcceptsChar(u'\b', "1", vtInteger, true));
    EXPECT_TRUE(AcceptsChar(u'\r', "1", vtInteger, true));
    EXPECT_TRUE(AcceptsChar(QChar(0x16), "1", vtInteger, true)); // Ctrl+V
    // A disabled editor lets through only control characters other than Backspace.
    EXPECT_FALSE(AcceptsChar(u'5', "1", vtInteger, false));
    EXPECT_FALSE(AcceptsChar(u'\b', "1", vtInteger, false));
    EXPECT_TRUE(AcceptsChar(u'\r', "1", vtInteger, false));
}

TEST(NumberText, AnyTextReadsAsAFiniteNumberOfItsType) {
    // Random texts from the characters that matter to the grammars, plus
    // blanks, control characters and non-ASCII ones.
    const QString alphabet = QString::fromUtf8("0123456789,.+-eE$xXaFf \t\x01\x7fä١") + QChar(0xD83D) + QChar(0xDE00);
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int n = 0; n < 20000; ++n) {
        QString text;
        for (int len = next() % 24; len > 0; --len) text += alphabet[next() % alphabet.size()];
        const double f = F(text);
        ASSERT_TRUE(std::isfinite(f)) << text.toStdString();
        for (TValueType t : {vtInteger, vtHex}) {
            const double v = ParseNumber(text, t, Fallback);
            ASSERT_TRUE(v == -3 || (v == std::trunc(v) && v >= -2147483648.0 && v <= 2147483647.0))
                << text.toStdString();
        }
    }
}
