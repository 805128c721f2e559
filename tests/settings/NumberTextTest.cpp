#include "settings/NumberText.h"

#include <gtest/gtest.h>

namespace mutaplot {
namespace {

TEST(FormatDecimal, WritesShortestFormWithoutExponent) {
    EXPECT_EQ(FormatDecimal(0.3 + 0.9), "1.2");
    EXPECT_EQ(FormatDecimal(100000.0), "100000");
    EXPECT_EQ(FormatDecimal(1e15), "1000000000000000");
    EXPECT_EQ(FormatDecimal(0.000015), "0.000015");
    EXPECT_EQ(FormatDecimal(-0.25), "-0.25");
    EXPECT_EQ(FormatDecimal(0.125), "0.125");
    EXPECT_EQ(FormatDecimal(1.5), "1.5");
    EXPECT_EQ(FormatDecimal(-0.0), "0");
    EXPECT_EQ(FormatDecimal(2.0), "2");
    EXPECT_EQ(FormatDecimal(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatDecimal(99.999999999999999), "100");
}

TEST(ParseDecimal, AcceptsWholeNumbersWithBlanksOnly) {
    EXPECT_EQ(ParseDecimal(" 0.50 "), 0.5);
    EXPECT_EQ(ParseDecimal("-1.5"), -1.5);
    EXPECT_EQ(ParseDecimal("+2"), 2.0);
    EXPECT_FALSE(ParseDecimal(""));
    EXPECT_FALSE(ParseDecimal("1.5x"));
    EXPECT_FALSE(ParseDecimal("--1"));
    EXPECT_FALSE(ParseDecimal("abc"));
}

TEST(ParseLeadingNumber, TakesTheNumberAtTheStart) {
    EXPECT_EQ(ParseLeadingNumber("500I20J0"), 500.0);
    EXPECT_EQ(ParseLeadingNumber("-12.5mm"), -12.5);
    EXPECT_EQ(ParseLeadingNumber(".5"), 0.5);
    EXPECT_FALSE(ParseLeadingNumber("D01"));
    EXPECT_FALSE(ParseLeadingNumber("-"));
}

TEST(Rounding, HalfUpAndHalfEvenDifferOnHalves) {
    EXPECT_EQ(RoundHalfUp(2.5), 3.0);
    EXPECT_EQ(RoundHalfUp(-2.5), -2.0);
    EXPECT_EQ(RoundHalfUp(2.4999), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(3.5), 4.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(-3.5), -4.0);
    EXPECT_EQ(RoundHalfEven(2.6), 3.0);
}

}  // namespace
}  // namespace mutaplot
