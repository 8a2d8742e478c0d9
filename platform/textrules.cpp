#include "platform/textrules.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/datetime.h"

namespace zarn::text {

namespace {

// The significant digits of a positive finite value rounded to prec digits, trailing zeros
// removed, and its decimal exponent: 1234.5 with prec 7 gives "12345" and 3.
// to_chars is used because it ignores the C locale, which the GUI library sets.
void sigdigits(double a, int prec, std::string& digits, int& exp) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, prec - 1);
  const std::string_view t(buf, static_cast<std::size_t>(res.ptr - buf));
  const std::size_t e = t.find('e');
  digits.clear();
  for (std::size_t i = 0; i < e; ++i)
    if (t[i] != '.') digits += t[i];
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::size_t k = e + 1;
  const bool neg = t[k] == '-';
  if (t[k] == '-' || t[k] == '+') ++k;
  exp = 0;
  std::from_chars(t.data() + k, t.data() + t.size(), exp);
  if (neg) exp = -exp;
}

// Str$ layout: fixed notation while the exponent lies in -4..prec-1, otherwise d.dddE+xx.
std::string numtext(double v, int prec) {
  if (std::isnan(v)) return " NaN";
  if (std::isinf(v)) return v < 0 ? "-Inf" : " Inf";
  if (v == 0) return " 0";
  std::string out = v < 0 ? "-" : " ";
  std::string d;
  int exp = 0;
  sigdigits(std::fabs(v), prec, d, exp);
  const int n = static_cast<int>(d.size());
  if (exp > -5 && exp < prec) {
    if (exp >= 0) {
      const int whole = exp + 1;
      out += d.substr(0, static_cast<std::size_t>(std::min(whole, n)));
      if (n < whole) out.append(static_cast<std::size_t>(whole - n), '0');
      if (n > whole) out += "." + d.substr(static_cast<std::size_t>(whole));
    } else {
      out += ".";
      out.append(static_cast<std::size_t>(-exp - 1), '0');
      out += d;
    }
    return out;
  }
  out += d[0];
  if (n > 1) out += "." + d.substr(1);
  char e[16];
  std::snprintf(e, sizeof e, "E%c%02d", exp < 0 ? '-' : '+', exp < 0 ? -exp : exp);
  return out + e;
}

bool isblank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Val of "&Hxxxx" / "&Oxxx": up to four digits make a 16-bit value and up to eight a 32-bit
// one, both signed, as the old runtime's integer types gave them.
double radixval(std::string_view s, int radix) {
  unsigned long long v = 0;
  int count = 0;
  for (char c : s) {
    int d;
    if (isdigit(c)) d = c - '0';
    else if (radix == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (radix == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else break;
    if (d >= radix) break;
    if (++count > 22) return 0;  // overflow
    v = v * static_cast<unsigned>(radix) + static_cast<unsigned>(d);
  }
  // A trailing "&" marks a 32-bit value, as in "&HFF00&".
  const bool islong = static_cast<std::size_t>(count) < s.size() && s[static_cast<std::size_t>(count)] == '&';
  if (!islong && v <= 0xFFFF && (radix == 16 ? count <= 4 : count <= 6)) {
    return v >= 0x8000 ? static_cast<double>(v) - 65536.0 : static_cast<double>(v);
  }
  if (v <= 0xFFFFFFFFull) {
    return v >= 0x80000000ull ? static_cast<double>(v) - 4294967296.0 : static_cast<double>(v);
  }
  return 0;  // too large for the runtime's integer types
}

// Round half to even, then hold the result inside lo..hi (NaN gives 0).
double roundeven(double v) {
  const double fl = std::floor(v);
  const double diff = v - fl;
  if (diff > 0.5) return fl + 1;
  if (diff < 0.5) return fl;
  return std::fmod(fl, 2.0) == 0 ? fl : fl + 1;
}

template <class T>
T roundclamp(double v, double lo, double hi) {
  if (std::isnan(v)) return 0;
  const double r = roundeven(v);
  if (r < lo) return static_cast<T>(lo);
  if (r > hi) return static_cast<T>(hi);
  return static_cast<T>(r);
}

// |v| rounded half away from zero to f decimals, after first taking it to fifteen significant
// digits (so 0.125 and 2.675 round up as the old Format did). Integer digits without leading
// zeros ("" for zero) and exactly f fraction digits.
void decimal(double a, int f, std::string& whole, std::string& frac) {
  std::string d(15, '0');
  int exp = 0;
  if (a != 0) {
    std::string digits;
    sigdigits(a, 15, digits, exp);
    d.replace(0, digits.size(), digits);
  }
  int point = exp + 1;  // digits before the decimal point
  if (point < 0) {
    d.insert(0, static_cast<std::size_t>(-point), '0');
    point = 0;
  }
  const int keep = point + f;
  if (static_cast<int>(d.size()) < keep) d.append(static_cast<std::size_t>(keep) - d.size(), '0');
  if (static_cast<int>(d.size()) > keep) {
    const bool up = d[static_cast<std::size_t>(keep)] >= '5';
    d.resize(static_cast<std::size_t>(keep));
    if (up) {
      int i = keep - 1;
      for (; i >= 0 && d[static_cast<std::size_t>(i)] == '9'; --i) d[static_cast<std::size_t>(i)] = '0';
      if (i >= 0) {
        ++d[static_cast<std::size_t>(i)];
      } else {
        d.insert(d.begin(), '1');
        ++point;
      }
    }
  }
  whole = d.substr(0, static_cast<std::size_t>(point));
  frac = d.substr(static_cast<std::size_t>(point));
  const std::size_t nz = whole.find_first_not_of('0');
  whole = nz == std::string::npos ? std::string() : whole.substr(nz);
}

}  // namespace

std::string str(float v) { return numtext(static_cast<double>(v), 7); }
std::string strd(double v) { return numtext(v, 15); }
std::string str(long long v) { return (v < 0 ? "" : " ") + std::to_string(v); }

double val(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && isblank(s[i])) ++i;
  if (i < s.size() && s[i] == '&') {
    if (i + 1 >= s.size()) return 0;
    const char r = s[i + 1];
    if (r == 'H' || r == 'h') return radixval(s.substr(i + 2), 16);
    if (r == 'O' || r == 'o') return radixval(s.substr(i + 2), 8);
    return 0;
  }
  std::string num;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    if (s[i] == '-') num += '-';
    ++i;
  }
  bool anydigit = false;
  while (i < s.size() && isdigit(s[i])) {
    num += s[i++];
    anydigit = true;
  }
  if (i < s.size() && s[i] == '.') {
    num += s[i++];
    while (i < s.size() && isdigit(s[i])) {
      num += s[i++];
      anydigit = true;
    }
  }
  if (!anydigit) return 0;
  // An exponent counts only when digits follow the letter: "12E" is 12.
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    std::size_t j = i + 1;
    std::string e = "e";
    if (j < s.size() && (s[j] == '-' || s[j] == '+')) {
      if (s[j] == '-') e += '-';
      ++j;
    }
    if (j < s.size() && isdigit(s[j])) {
      while (j < s.size() && isdigit(s[j])) e += s[j++];
      num += e;
    }
  }
  double v = 0;
  const auto res = std::from_chars(num.data(), num.data() + num.size(), v);
  if (res.ec != std::errc() || !std::isfinite(v)) return 0;  // overflow was an error there
  return v;
}

bool isnumber(std::string_view item) {
  const std::string t = trim(item);
  if (t.empty()) return true;
  const char c = t[0];
  if (c == '&') return t.size() > 1 && (t[1] == 'H' || t[1] == 'h' || t[1] == 'O' || t[1] == 'o');
  if (isdigit(c)) return true;
  if (c == '-' || c == '+' || c == '.') return t.size() > 1 && (isdigit(t[1]) || t[1] == '.');
  return false;
}

std::string format(double v, std::string_view pattern) {
  if (!std::isfinite(v)) return {};
  // A whole number in digit places alone ("000"), as the read-outs and rows write them many
  // times a second: its digits directly, padded to the zeros.
  if (v != 0 && v == std::trunc(v) && std::fabs(v) < 1e15 && !pattern.empty() &&
      pattern.find_first_not_of("0#") == std::string_view::npos) {
    char buf[24];
    const auto end = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(std::fabs(v))).ptr;
    const auto zeros = static_cast<std::size_t>(std::count(pattern.begin(), pattern.end(), '0'));
    const auto n = static_cast<std::size_t>(end - buf);
    std::string out = v < 0 ? "-" : "";
    if (n < zeros) out.append(zeros - n, '0');
    out.append(buf, n);
    return out;
  }
  const std::size_t first = pattern.find_first_of("0#.");
  if (first == std::string_view::npos) return pattern.empty() ? ltrim(strd(v)) : std::string(pattern);
  const std::size_t last = pattern.find_last_of("0#.");
  const std::string_view prefix = pattern.substr(0, first);
  const std::string_view suffix = pattern.substr(last + 1);
  const std::string_view body = pattern.substr(first, last - first + 1);
  const std::size_t dot = body.find('.');
  const std::string_view ipat = body.substr(0, dot);
  std::string fpat;
  if (dot != std::string_view::npos)
    for (char c : body.substr(dot + 1))
      if (c == '0' || c == '#') fpat += c;
  int mindigits = 0;
  for (char c : ipat) mindigits += c == '0';

  std::string whole, frac;
  decimal(std::fabs(v), static_cast<int>(fpat.size()), whole, frac);
  const bool nonzero = !whole.empty() || frac.find_first_not_of('0') != std::string::npos;
  if (static_cast<int>(whole.size()) < mindigits)
    whole.insert(0, static_cast<std::size_t>(mindigits) - whole.size(), '0');
  // Trailing '#' places are written only when they hold a significant digit.
  std::size_t flen = frac.size();
  while (flen > 0 && fpat[flen - 1] == '#' && frac[flen - 1] == '0') --flen;
  frac.resize(flen);

  std::string out;
  if (v < 0 && nonzero) out += '-';
  out += prefix;
  out += whole;
  if (dot != std::string_view::npos) out += "." + frac;
  out += suffix;
  return out;
}

int cint(double v) { return roundclamp<int>(v, INT_MIN, INT_MAX); }
long clng(double v) { return roundclamp<long>(v, -2147483648.0, 2147483647.0); }
double vbint(double v) { return std::floor(v); }
double fix(double v) { return std::trunc(v); }
int fixint(double v) { return roundclamp<int>(std::trunc(v), INT_MIN, INT_MAX); }
std::int16_t int16(double v) { return roundclamp<std::int16_t>(v, -32768.0, 32767.0); }

std::string mid(std::string_view s, long start, long len) {
  const long n = static_cast<long>(s.size());
  if (len < -1 || start > n) return {};
  // Positions from..to-1; start + len cannot overflow in the last branch.
  long from = start, to;
  if (len < 0 || (start > 0 && len > n)) to = n + 1;
  else to = start + len;
  if (from < 1) from = 1;
  if (to > n + 1) to = n + 1;
  if (from > n || to <= from) return {};
  return std::string(s.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from)));
}

std::string left(std::string_view s, long n) {
  if (n <= 0) return {};
  return std::string(s.substr(0, static_cast<std::size_t>(n)));
}

std::string right(std::string_view s, long n) {
  if (n <= 0) return {};
  const std::size_t k = std::min(s.size(), static_cast<std::size_t>(n));
  return std::string(s.substr(s.size() - k));
}

long instr(std::string_view s, std::string_view find) { return instr(1, s, find); }

long instr(long start, std::string_view s, std::string_view find) {
  if (start < 1) start = 1;
  if (s.empty() || start > static_cast<long>(s.size())) return 0;
  if (find.empty()) return start;
  const std::size_t p = s.find(find, static_cast<std::size_t>(start - 1));
  return p == std::string_view::npos ? 0 : static_cast<long>(p) + 1;
}

std::string ucase(std::string_view s) {
  std::string out(s);
  for (char& ch : out) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) ch = static_cast<char>(c - 32);
  }
  return out;
}

std::string lcase(std::string_view s) {
  std::string out(s);
  for (char& ch : out) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) ch = static_cast<char>(c + 32);
  }
  return out;
}

std::string ltrim(std::string_view s) {
  const std::size_t a = s.find_first_not_of(' ');
  return a == std::string_view::npos ? std::string() : std::string(s.substr(a));
}

std::string rtrim(std::string_view s) {
  const std::size_t b = s.find_last_not_of(' ');
  return b == std::string_view::npos ? std::string() : std::string(s.substr(0, b + 1));
}

std::string trim(std::string_view s) { return ltrim(rtrim(s)); }

std::string space(long n) { return n <= 0 ? std::string() : std::string(static_cast<std::size_t>(n), ' '); }

std::string pad(std::string_view s, std::size_t width, char fill) {
  std::string out(s);
  if (out.size() < width) out.append(width - out.size(), fill);
  return out;
}

std::string padleft(std::string_view s, std::size_t width, char fill) {
  std::string out(s);
  if (out.size() < width) out.insert(0, width - out.size(), fill);
  return out;
}

bool alldigits(std::string_view s) {
  for (char c : s)
    if (!isdigit(c)) return false;
  return true;
}

int countcommas(std::string_view s) { return static_cast<int>(std::count(s.begin(), s.end(), ',')); }

std::string chr(int code) {
  if (code < 0 || code > 255) return {};
  return std::string(1, static_cast<char>(code));
}

int asc(std::string_view s) { return s.empty() ? 0 : static_cast<unsigned char>(s[0]); }

std::string latin1toutf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool utf8tolatin1(std::string_view s, std::string& out) {
  std::string r;
  r.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      r += s[i];
      continue;
    }
    // Only the two-byte forms of U+0080..U+00FF fit.
    if ((c != 0xC2 && c != 0xC3) || i + 1 >= s.size()) return false;
    const auto c2 = static_cast<unsigned char>(s[i + 1]);
    if ((c2 & 0xC0) != 0x80) return false;
    r += static_cast<char>(((c & 0x03) << 6) | (c2 & 0x3F));
    ++i;
  }
  out = std::move(r);
  return true;
}

std::string timetext(const platform::DateTime& t) {
  char b[32];
  std::snprintf(b, sizeof b, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return b;
}

std::string datetext(const platform::DateTime& t) {
  char b[32];
  std::snprintf(b, sizeof b, "%02d-%02d-%04d", t.month, t.day, t.year);
  return b;
}

}  // namespace zarn::text
