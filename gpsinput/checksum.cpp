#include "gpsinput/checksum.h"

namespace zarn {

namespace {
constexpr char hexdigits[] = "0123456789ABCDEF";

std::string hex2(unsigned x) { return {hexdigits[(x >> 4) & 15], hexdigits[x & 15]}; }

int hexvalue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

unsigned xorof(std::string_view s) {
  unsigned x = 0;
  for (unsigned char c : s) x ^= c;
  return x;
}

// The value carried after the "*" at position star, or -1 when it is not a checksum: two hex
// digits, or one that ends the sentence (nothing, or a line end, after it).
int carried(std::string_view s, std::size_t star) {
  const std::size_t p = star + 1;
  if (p >= s.size()) return -1;
  const int hi = hexvalue(s[p]);
  if (hi < 0) return -1;
  if (p + 1 >= s.size()) return hi;
  const int lo = hexvalue(s[p + 1]);
  if (lo >= 0) return hi * 16 + lo;
  return s[p + 1] == '\r' || s[p + 1] == '\n' ? hi : -1;
}
}  // namespace

std::string nmeachksum(std::string_view s) { return hex2(s.empty() ? 0 : xorof(s.substr(1))); }

bool nmeachecksumok(std::string_view s) {
  const std::size_t star = s.find('*');
  if (star == std::string_view::npos) return false;
  const unsigned x = star > 0 ? xorof(s.substr(1, star - 1)) : 0;
  return carried(s, star) == static_cast<int>(x);
}

NmeaCheck nmeacheck(std::string_view s) {
  NmeaCheck r;
  const std::size_t star = s.find('*');
  if (star == std::string_view::npos) {
    r.got = "(no checksum)";
    r.calc = "  ";
    return r;
  }
  r.got = std::string(s.substr(star + 1, 2));
  const unsigned x = star > 0 ? xorof(s.substr(1, star - 1)) : 0;
  r.calc = hex2(x);
  r.ok = carried(s, star) == static_cast<int>(x);
  return r;
}

}  // namespace zarn
