#include "model/value_text.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace bxw {
namespace {

TEST(IsIntegerTextTest, DigitsWithOneLeadingMinus) {
  const struct {
    const char* text;
    bool expected;
  } cases[] = {
      {"1", true},   {"12", true},   {"-5", true},   {"007", true},  {"-", true},
      {"", false},   {"12a", false}, {"1-2", false}, {"--1", false}, {"+1", false},
      {" 1", false}, {"1 ", false},  {"$FF", false}, {"1.5", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsIntegerText(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(ValueOfTextTest, ReadsDecimalHexAndBinaryPrefixes) {
  const struct {
    const char* text;
    qint64 expected;
  } cases[] = {
      {"42", 42},    {"  \t42", 42},
      {"-42", -42},  {"+7", 7},
      {"$FF", 255},  {"$ff0000", 0xFF0000},
      {"-$10", -16}, {"%101", 5},
      {"%102", 2},   {"12abc", 12},
      {"$", 0},      {"", 0},
      {"abc", 0},    {"- 5", 0},
      {"4 2", 4},    {"$FFFFFFFF", 0xFFFFFFFFLL},
      {"-1", -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ValueOfText(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(ValueOfTextTest, OverlongDigitRunsDoNotOverflow) {
  // Digit runs wrap in 64 bits (the sanitizer build checks that nothing overflows).
  EXPECT_EQ(ValueOfText(QStringLiteral("18446744073709551616")), 0);  // 2^64
  EXPECT_EQ(ValueOfText(QStringLiteral("18446744073709551617")), 1);
  EXPECT_EQ(ValueOfText(QStringLiteral("$") + QString(40, QLatin1Char('F'))), -1);
}

}  // namespace
}  // namespace bxw
