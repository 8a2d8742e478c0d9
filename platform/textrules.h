// The old runtime's text rules, built once: how numbers are written and read, Format
// patterns, rounding, and the small string functions with 1-based positions.
// Text is Latin-1 bytes in std::string throughout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zarn::platform {
struct DateTime;
}

namespace zarn::text {

// Str$ of a single-precision value: a leading blank when not negative, seven significant
// digits, no trailing zeros, no leading zero before the point (" 12", " .6", "-.5", " 1E+08").
std::string str(float v);
// Str$ of a double-precision value (fifteen significant digits).
std::string strd(double v);
// Str$ of a whole number (" 12", "-3").
std::string str(long long v);
inline std::string str(int v) { return str(static_cast<long long>(v)); }
inline std::string str(short v) { return str(static_cast<long long>(v)); }

// Val: the leading decimal number of the text (blanks skipped, sign, digits, point, exponent),
// 0 when there is none.
double val(std::string_view s);
// Whether an item read by the field reader is a number where one is wanted: a digit, a sign or
// point before a digit or point, or "&H"/"&O" first (an empty item reads as 0, so it is one).
bool isnumber(std::string_view item);

// Format with the patterns the program uses: "000", "00", "00.000", "#00.000000", "#.##",
// "0.0", "##0" ... ('0' a digit always written, '#' a digit written only when significant).
std::string format(double v, std::string_view pattern);

// CInt / CLng: round half to even. Int: floor. Fix: truncation.
int cint(double v);
long clng(double v);
double vbint(double v);
double fix(double v);
// Fix as an int: the whole part, held inside the int range (0 for NaN). Every number read from
// a file or a line reaches an integer through these (cint, clng, int16, fixint), never a cast,
// which is undefined beyond the range.
int fixint(double v);

// Sixteen-bit integer assignment of the old runtime: rounds half to even and keeps the value
// inside -32768..32767 (an overflow there was an error; callers get the clamped value).
std::int16_t int16(double v);

// 1-based string helpers that never throw: out-of-range positions give short or empty texts.
std::string mid(std::string_view s, long start, long len = -1);
std::string left(std::string_view s, long n);
std::string right(std::string_view s, long n);
long instr(std::string_view s, std::string_view find);              // 0 when absent
long instr(long start, std::string_view s, std::string_view find);  // 0 when absent
std::string ucase(std::string_view s);  // ASCII and Latin-1 letters
std::string lcase(std::string_view s);
std::string trim(std::string_view s);   // blanks only, as Trim$
std::string ltrim(std::string_view s);
std::string rtrim(std::string_view s);
std::string space(long n);
// The text filled out with `fill` on the right, or on the left, to `width` characters; a longer
// text is left as it is (cut it first with left where a column must not grow).
std::string pad(std::string_view s, std::size_t width, char fill = ' ');
std::string padleft(std::string_view s, std::size_t width, char fill = ' ');
// "0" to "9"; and every character of a text one of them (true for an empty text).
constexpr bool isdigit(char c) { return c >= '0' && c <= '9'; }
bool alldigits(std::string_view s);
// The number of commas in a text (the sentence field-count tests).
int countcommas(std::string_view s);
std::string chr(int code);
int asc(std::string_view s);  // 0 for an empty text

// Latin-1 to UTF-8 for the outside world (file names, other programs), and back: false when
// the text is not UTF-8 or holds a character beyond Latin-1.
std::string latin1toutf8(std::string_view s);
bool utf8tolatin1(std::string_view s, std::string& out);

// Time$ and Date$ of a clock reading: "hh:mm:ss" (hours 0 to 23) and "mm-dd-yyyy".
std::string timetext(const platform::DateTime& t);
std::string datetext(const platform::DateTime& t);

}  // namespace zarn::text
