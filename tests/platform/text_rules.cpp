// The old runtime's number and string rules that every display text and file depends on.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "platform/services.h"
#include "platform/textrules.h"

namespace text = zarn::text;

namespace {

TEST(TextStr, SingleLikeTheOldRuntime) {
  const struct { const char* guards; float v; const char* want; } cases[] = {
      {"zero has its blank", 0.0f, " 0"},
      {"no leading zero before the point", 0.6f, " .6"},
      {"negative fraction keeps no zero", -0.5f, "-.5"},
      {"seven digits still fixed", 1234567.0f, " 1234567"},
      {"eight digits switch to E form", 12345678.0f, " 1.234568E+07"},
      {"large round value", 1e8f, " 1E+08"},
      {"two thirds rounds the last digit", 2.0f / 3.0f, " .6666667"},
      {"single noise hidden", 0.1f, " .1"},
      {"small values stay fixed to 1E-4", 0.0001f, " .0001"},
      {"smaller values in E form", 0.00001f, " 1E-05"},
      {"negative E form with fraction", -1.5e10f, "-1.5E+10"},
      {"trailing zeros of whole numbers kept", 100.0f, " 100"},
  };
  for (const auto& c : cases) EXPECT_EQ(text::str(c.v), c.want) << c.guards;
  for (float v : {0.6f, -0.5f, 1234567.0f, 1e-5f, 531.979f, -1e20f})
    EXPECT_EQ(static_cast<float>(text::val(text::str(v))), v) << "reads back through val: " << text::str(v);
}

TEST(TextStr, DoubleAndWholeNumbers) {
  EXPECT_EQ(text::strd(1.0 / 3.0), " .333333333333333");
  EXPECT_EQ(text::strd(0.1), " .1");
  EXPECT_EQ(text::strd(123456789012345.0), " 123456789012345");
  EXPECT_EQ(text::strd(1e15), " 1E+15");
  EXPECT_EQ(text::str(12), " 12");
  EXPECT_EQ(text::str(static_cast<short>(-32768)), "-32768");
  EXPECT_EQ(text::str(LLONG_MIN), "-9223372036854775808");
}

TEST(TextVal, LeadingNumberOrZero) {
  const struct { const char* guards; const char* in; double want; } cases[] = {
      {"blanks skipped, letters end the number", "  12abc", 12},
      {"sign, no leading zero, exponent", "-.5E2x", -50},
      {"no number at all", "abc", 0},
      {"tab and explicit plus", "\t+7", 7},
      {"reading stops at an inner blank", "12 34", 12},
      {"exponent letter without digits is not an exponent", "1.5e", 1.5},
      {"exponent sign without digits", "2E-x", 2},
      {"double-precision exponent letter", "1D2", 100},
      {"sign alone", "-", 0},
      {"overflow gives 0 rather than infinity", "1e400", 0},
      {"four hex digits are a 16-bit integer", "&HFFFF", -1},
      {"five hex digits a 32-bit one", "&H10000", 65536},
      {"lower-case hex, still 16-bit", "&hff00", -256},
      {"trailing & makes it 32-bit", "&HFF00&", 65280},
      {"octal", "&O17", 15},
      {"ampersand alone", "&", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(text::val(c.in), c.want) << c.guards;
}

TEST(TextFormat, PatternsOfTheProgram) {
  const struct { double v; const char* pattern; const char* want; } cases[] = {
      {7, "000", "007"}, {1234, "000", "1234"}, {-3.14159, "00.000", "-03.142"}, {99.9996, "00.000", "100.000"},
      {123.25, "#00.000000", "123.250000"}, {-0.1234567, "#00.000000", "-00.123457"}, {0.5, "#.##", ".5"},
      {2, "#.##", "2."}, {0, "#.##", "."}, {2.345, "#.##", "2.35"}, {9.96, "0.0", "10.0"}, {0.125, "0.00", "0.13"},
      {2.675, "0.00", "2.68"}, {-2.5, "0", "-3"}, {0, "##0", "0"}, {1.5, "0.0#", "1.5"}, {1.0, "0.0#", "1.0"},
      {-0.04, "0.0", "0.0"}, {12.5, "0.0 km", "12.5 km"}, {2.5, "", "2.5"},
  };
  for (const auto& c : cases) EXPECT_EQ(text::format(c.v, c.pattern), c.want) << c.v << " " << c.pattern;
  EXPECT_EQ(text::format(std::numeric_limits<double>::quiet_NaN(), "0.0"), "") << "odd inputs never crash";
  EXPECT_EQ(text::format(1e300, "0").size(), 301u);
}

TEST(TextRounding, HalfToEvenTruncationAndRangeHeld) {
  EXPECT_EQ(text::cint(2.5), 2);
  EXPECT_EQ(text::cint(3.5), 4);
  EXPECT_EQ(text::cint(-2.5), -2);
  EXPECT_EQ(text::cint(2.5001), 3);
  EXPECT_EQ(text::cint(1e12), INT_MAX) << "out of range is held, not undefined";
  EXPECT_EQ(text::cint(std::nan("")), 0);
  EXPECT_EQ(text::clng(0.5), 0);
  EXPECT_EQ(text::clng(1e10), 2147483647L);
  EXPECT_EQ(text::int16(40000), 32767);
  EXPECT_EQ(text::int16(-40000), -32768);
  EXPECT_EQ(text::int16(32767.5), 32767);
  EXPECT_EQ(text::vbint(-2.5), -3);
  EXPECT_EQ(text::fix(-2.5), -2);
}

TEST(TextStrings, PositionsOutOfRangeGiveShortTexts) {
  EXPECT_EQ(text::mid("ABCDE", 2, 3), "BCD");
  EXPECT_EQ(text::mid("ABCDE", 6), "");
  EXPECT_EQ(text::mid("ABCDE", 0, 2), "A") << "positions before 1 do not exist";
  EXPECT_EQ(text::mid("ABCDE", -5, 10), "ABCD");
  EXPECT_EQ(text::mid("ABCDE", 1, -2), "");
  EXPECT_EQ(text::mid("ABCDE", LONG_MAX, LONG_MAX), "");
  EXPECT_EQ(text::mid("ABCDE", 2, LONG_MAX), "BCDE");
  EXPECT_EQ(text::left("AB", -1), "");
  EXPECT_EQ(text::right("ABC", 10), "ABC");
  EXPECT_EQ(text::instr(3, "A,B,C", ","), 4);
  EXPECT_EQ(text::instr(10, "ABC", "A"), 0);
  EXPECT_EQ(text::instr(0, "ABC", "A"), 1);
  EXPECT_EQ(text::instr("", ""), 0);
  EXPECT_EQ(text::instr(2, "ABC", ""), 2);
  EXPECT_EQ(text::space(-1), "");
  EXPECT_EQ(text::chr(256), "");
  EXPECT_EQ(text::asc(""), 0);
}

TEST(TextStrings, CaseBlanksAndLatin1) {
  EXPECT_EQ(text::ucase("abc \xE9\xFF\xF7\xDF"), "ABC \xC9\xFF\xF7\xDF") << "y-umlaut, division sign, sharp s stay";
  EXPECT_EQ(text::lcase("ABC \xC0\xC9\xD7"), "abc \xE0\xE9\xD7") << "multiplication sign stays";
  EXPECT_EQ(text::trim("  a b  "), "a b");
  EXPECT_EQ(text::trim("\ta\t"), "\ta\t") << "only blanks are trimmed";
  EXPECT_EQ(text::asc("\xE9"), 233);
  EXPECT_EQ(text::latin1toutf8("caf\xE9 \xB0"), "caf\xC3\xA9 \xC2\xB0");
  std::string back;
  ASSERT_TRUE(text::utf8tolatin1("caf\xC3\xA9 \xC2\xB0", back));
  EXPECT_EQ(back, "caf\xE9 \xB0");
  EXPECT_FALSE(text::utf8tolatin1("\xE2\x82\xAC", back)) << "the euro sign is not Latin-1";
  EXPECT_FALSE(text::utf8tolatin1("caf\xE9", back)) << "Latin-1 bytes are not UTF-8";
}

TEST(TextClock, TimeAndDateTexts) {
  const zarn::platform::DateTime t{2020, 10, 6, 9, 5, 7, 0.75};
  EXPECT_EQ(text::timetext(t), "09:05:07");
  EXPECT_EQ(text::datetext(t), "10-06-2020");
}

}  // namespace
