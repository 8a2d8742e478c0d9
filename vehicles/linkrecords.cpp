#include "vehicles/linkrecords.h"

#include <cmath>

#include "gpsinput/fixsteps.h"
#include "platform/textrules.h"

namespace zarn {

std::optional<DialledRecord> dialledrecord(std::string_view bytes, int length) {
  if (length < 8 || bytes.size() < static_cast<std::size_t>(length)) return std::nullopt;
  auto b = [&](int k) { return k <= length ? static_cast<unsigned char>(bytes[static_cast<std::size_t>(k - 1)]) : 0u; };
  DialledRecord r;
  const double latdeg = (b(1) & 0x1F) * 4 + (b(2) & 0xC0) / 64;
  const double latmin = (b(2) & 0x3F) + ((b(3) & 0xF8) / 8) * 0.04;
  const double londeg = (b(3) & 3) * 64 + (b(4) & 0xFC) / 4;
  const double lonmin = (b(4) & 3) * 16 + (b(5) & 0xF0) / 16 + ((b(5) & 0x0F) * 2 + (b(6) & 0x80) / 128) * 0.04;
  const double lat = latdeg + latmin / 60, lon = londeg + lonmin / 60;
  if (latmin >= 60 || lonmin >= 60 || lat > 90 || lon > 180) return std::nullopt;
  const int hours = static_cast<int>((b(7) & 3) * 8 + (b(8) & 0xE0) / 32), minutes = static_cast<int>((b(8) & 0x1F) * 2);
  if (hours <= 23 && minutes <= 59) r.hhmm = text::format(hours, "00") + text::format(minutes, "00");
  r.lat = static_cast<float>(b(1) & 0x20 ? -lat : lat);
  r.lon = static_cast<float>(b(3) & 0x04 ? -lon : lon);
  r.status = static_cast<int>(b(6) & 0x7F);
  if (length > 8) {
    r.kind = static_cast<int>(b(11) & 0x7F);
    r.code = {static_cast<char>(b(12) & 0x7F), static_cast<char>(b(13) & 0x7F)};
  }
  return r;
}

std::optional<std::string> hexrecord(std::string_view line, int length) {
  auto nibble = [](char c) {
    return text::isdigit(c) ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
  };
  if (length < 0 || line.size() < 4 + 2 * static_cast<std::size_t>(length)) return std::nullopt;
  std::string out;
  for (int k = 0; k < length; ++k) {
    const int hi = nibble(line[4 + 2 * k]), lo = nibble(line[5 + 2 * k]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
  }
  return out;
}

namespace {

// Columns from..to (from 1) as a plain number, blanks around it allowed.
std::optional<double> number(std::string_view l, std::size_t from, std::size_t to) {
  std::string_view s = l.substr(from - 1, to - from + 1);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return plaindecimal(s);
}

}  // namespace

std::optional<FixedRecord> fixedrecord(std::string_view l) {
  if (l.size() < 50) return std::nullopt;
  const auto latd = number(l, 20, 21), latm = number(l, 22, 27), lond = number(l, 30, 32), lonm = number(l, 33, 38);
  if (!latd || !latm || !lond || !lonm || *latm >= 60 || *lonm >= 60) return std::nullopt;
  const double lat = *latd + *latm / 60, lon = *lond + *lonm / 60;
  if (lat > 90 || lon > 180) return std::nullopt;
  FixedRecord r;
  r.id = std::string(l.substr(4, 9));
  r.lat = static_cast<float>(lat);
  r.lon = static_cast<float>(l[38] == 'W' ? -lon : lon);
  if (const auto h = number(l, 41, 43); h && *h < 360) r.heading = static_cast<int>(*h);
  if (const auto k = number(l, 44, 46)) r.knots = *k;
  r.hhmm = std::string(l.substr(46, 4));
  return r;
}

}  // namespace zarn
