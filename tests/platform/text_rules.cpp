// The old runtime's number and string rules that every display text and file depends on.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "platform/datetime.h"
#include "platform/textrules.h"

namespace {

using namespace zarn::text;

// Each case: what it guards, what the code gave, what it must give.
template <class T> struct Case { const char* guards; T got, want; };

TEST(TextRules, NumbersAndStringsMadeAsTheOldRuntimeMadeThem) {
  std::string back;
  const auto latin1 = [&](const char* utf8) { return utf8tolatin1(utf8, back) ? back : "refused"; };
  const zarn::platform::DateTime t{2020, 10, 6, 9, 5, 7, 0.75};
  const Case<std::string> cases[] = {
      {"zero's blank", str(0.0f), " 0"}, {"no zero before .", str(0.6f), " .6"}, {"minus", str(-0.5f), "-.5"},
      {"7 digits fixed", str(1234567.0f), " 1234567"}, {"8 in E form", str(12345678.0f), " 1.234568E+07"},
      {"round E", str(1e8f), " 1E+08"}, {"last digit rounded", str(2.0f / 3.0f), " .6666667"},
      {"single noise hidden", str(0.1f), " .1"}, {"fixed to 1E-4", str(0.0001f), " .0001"},
      {"then E", str(0.00001f), " 1E-05"}, {"negative E", str(-1.5e10f), "-1.5E+10"}, {"zeros", str(100.0f), " 100"},
      {"double: 15 digits", strd(1.0 / 3.0), " .333333333333333"}, {"double noise hidden", strd(0.1), " .1"},
      {"15 digits fixed", strd(123456789012345.0), " 123456789012345"}, {"16 in E", strd(1e15), " 1E+15"},
      {"16-bit minimum", str(static_cast<short>(-32768)), "-32768"}, {"64-bit", str(LLONG_MIN), "-9223372036854775808"},
      {"Format: leading zeros", format(7, "000"), "007"}, {"more digits than zeros", format(1234, "000"), "1234"},
      {"sign before zeros", format(-3.14159, "00.000"), "-03.142"}, {"carry", format(99.9996, "00.000"), "100.000"},
      {"# before zeros", format(-0.1234567, "#00.000000"), "-00.123457"}, {"no 0 for #", format(0.5, "#.##"), ".5"},
      {"point kept", format(2, "#.##"), "2."}, {"zero with # only", format(0, "#.##"), "."},
      {"rounded from the decimal digits", format(2.345, "#.##"), "2.35"}, {"halves up", format(0.125, "0.00"), "0.13"},
      {"halves away from zero", format(-2.5, "0"), "-3"}, {"optional decimal", format(1.5, "0.0#"), "1.5"},
      {"required decimal", format(1.0, "0.0#"), "1.0"}, {"no sign on a zero", format(-0.04, "0.0"), "0.0"},
      {"literal text kept", format(12.5, "0.0 km"), "12.5 km"}, {"empty pattern", format(2.5, ""), "2.5"},
      {"NaN does not crash", format(std::numeric_limits<double>::quiet_NaN(), "0.0"), ""},
      {"huge value does not crash", std::to_string(format(1e300, "0").size()), "301"},
      {"Mid$", mid("ABCDE", 2, 3), "BCD"}, {"past the end", mid("ABCDE", 6), ""}, {"Left$", left("AB", -1), ""},
      {"Mid$: no position before 1", mid("ABCDE", 0, 2), "A"}, {"Mid$ from before", mid("ABCDE", -5, 10), "ABCD"},
      {"Mid$ negative length", mid("ABCDE", 1, -2), ""}, {"Mid$ huge start", mid("ABCDE", LONG_MAX, LONG_MAX), ""},
      {"Mid$ huge length", mid("ABCDE", 2, LONG_MAX), "BCDE"}, {"Right$ beyond", right("ABC", 10), "ABC"},
      {"Space$", space(-1), ""}, {"Chr$ beyond a byte", chr(256), ""}, {"Trim$", trim("  a b  "), "a b"},
      {"Trim$: only blanks", trim("\ta\t"), "\ta\t"}, {"Time$", timetext(t), "09:05:07"},
      {"UCase$: y-umlaut, division sign, sharp s stay", ucase("abc \xE9\xFF\xF7\xDF"), "ABC \xC9\xFF\xF7\xDF"},
      {"LCase$: multiplication sign stays", lcase("ABC \xC0\xC9\xD7"), "abc \xE0\xE9\xD7"},
      {"Latin-1 to UTF-8", latin1toutf8("caf\xE9 \xB0"), "caf\xC3\xA9 \xC2\xB0"},
      {"UTF-8 to Latin-1", latin1("caf\xC3\xA9 \xC2\xB0"), "caf\xE9 \xB0"}, {"Date$", datetext(t), "10-06-2020"},
      {"the euro sign is not Latin-1", latin1("\xE2\x82\xAC"), "refused"},
      {"Latin-1 bytes are not UTF-8", latin1("caf\xE9"), "refused"},
      {"padded to a column", pad("AB1", 5) + "|", "AB1  |"}, {"a longer text is not cut", pad("ABCDEF", 3), "ABCDEF"},
      {"zeros in front", padleft("7", 3, '0'), "007"},
      {"digits only, not the superscript one; an empty text counts",
       std::string() + "01"[alldigits("0123456789")] + "01"[alldigits("")] + "01"[alldigits("12 ")] +
           "01"[alldigits("\xB9")] + "01"[alldigits("/:")],
       "11000"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.guards;
  for (float v : {0.6f, -0.5f, 1234567.0f, 1e-5f, 531.979f, -1e20f})
    EXPECT_EQ(static_cast<float>(val(str(v))), v) << "reads back through Val: " << str(v);
}

TEST(TextRules, NumbersReadAndRounded) {
  const Case<double> read[] = {
      {"blanks skipped, letters end", val("  12abc"), 12}, {"sign, no zero, exponent", val("-.5E2x"), -50},
      {"no number", val("abc"), 0}, {"tab and plus", val("\t+7"), 7}, {"inner blank ends", val("12 34"), 12},
      {"exponent letter without digits", val("1.5e"), 1.5}, {"exponent sign without digits", val("2E-x"), 2},
      {"D exponent", val("1D2"), 100}, {"sign alone", val("-"), 0}, {"overflow gives 0", val("1e400"), 0},
      {"4 hex digits are 16-bit", val("&HFFFF"), -1}, {"&H8000 is the 16-bit minimum", val("&H8000"), -32768},
      {"5 hex digits 32-bit", val("&H10000"), 65536}, {"lower-case hex", val("&hff00"), -256},
      {"trailing & makes 32-bit", val("&HFF00&"), 65280}, {"octal", val("&O17"), 15}, {"& alone", val("&"), 0},
      {"Int is floor", vbint(-2.5), -3}, {"Fix", fix(-2.5), -2},
  };
  for (const auto& c : read) EXPECT_EQ(c.got, c.want) << c.guards;
  const Case<long> whole[] = {
      {"CInt half to even, down", cint(2.5), 2}, {"up", cint(3.5), 4}, {"negative", cint(-2.5), -2},
      {"CInt above a half", cint(2.5001), 3}, {"CInt of NaN", cint(std::nan("")), 0},
      {"CInt out of range is held", cint(1e12), INT_MAX}, {"CLng half to even", clng(0.5), 0},
      {"CLng held at 32 bits", clng(1e10), 2147483647}, {"16-bit held above", int16(40000), 32767},
      {"16-bit held below", int16(-40000), -32768}, {"16-bit rounding cannot overflow", int16(32767.5), 32767},
      {"Fix as an int cuts", fixint(-2.9), -2}, {"Fix as an int held above", fixint(2.5e72), INT_MAX},
      {"Fix as an int held below", fixint(-1e300), INT_MIN}, {"Fix as an int of NaN", fixint(std::nan("")), 0},
      {"InStr from a start", instr(3, "A,B,C", ","), 4}, {"InStr from the last character", instr(3, "ABC", "C"), 3},
      {"InStr past the end", instr(10, "ABC", "A"), 0}, {"InStr from 0 is from 1", instr(0, "ABC", "A"), 1},
      {"InStr in nothing", instr("", ""), 0}, {"InStr of nothing is the start", instr(2, "ABC", ""), 2},
      {"Asc", asc(""), 0}, {"Asc", asc("\xE9"), 233},
  };
  for (const auto& c : whole) EXPECT_EQ(c.got, c.want) << c.guards;
}

}  // namespace
