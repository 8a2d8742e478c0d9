#include "gpsinput/nmeafields.h"

#include <algorithm>

#include "gpsinput/fixsteps.h"

namespace zarn {

NmeaFields::NmeaFields(std::string_view l) : line(l) {
  for (std::size_t i = 7, start = 7; i < l.size() && n < v.size(); ++i) {
    if (l[i] != ',' && l[i] != '*') continue;
    v[n++] = l.substr(start, i - start);
    if (l[i] == '*') break;
    start = i + 1;
  }
}

NmeaPosition nmeaposition(const NmeaFields& f, std::size_t k) {
  const std::string_view ns = f.at(k + 1), ew = f.at(k + 3);
  if (f.at(k).empty() && ns.empty() && f.at(k + 2).empty() && ew.empty()) return {NmeaPosition::None};
  const auto lat = nmeadegrees(f.at(k), 90), lon = nmeadegrees(f.at(k + 2), 180);
  if (!lat || !lon || (ns != "N" && ns != "S") || (ew != "E" && ew != "W")) return {};
  return {NmeaPosition::Fix, static_cast<float>(ns == "S" ? -*lat : *lat),
          static_cast<float>(ew == "W" ? -*lon : *lon)};
}

std::optional<VehicleFix> vehiclefix(std::string_view line) {
  if (line.size() < 7 || line[0] != '$' || line[6] != ',') return std::nullopt;
  const std::string_view type = line.substr(3, 3);
  const NmeaFields f(line);
  const std::size_t at = type == "RMC" ? 3 : type == "GGA" ? 2 : type == "GLL" ? 1 : 0;
  if (at == 0) return std::nullopt;
  const NmeaPosition p = nmeaposition(f, at);
  if (p.got != NmeaPosition::Fix) return std::nullopt;
  VehicleFix v;
  v.lat = p.lat;
  v.lon = p.lon;
  // The time: field 1 of an RMC or GGA, field 5 of a GLL; hhmm only when it holds four digits.
  const std::string_view t = f.at(type == "GLL" ? 5 : 1);
  if (t.size() >= 4 && std::all_of(t.begin(), t.begin() + 4, [](char c) { return c >= '0' && c <= '9'; }))
    v.hhmm = std::string(t.substr(0, 4));
  if (type == "RMC") {
    v.knots = plaindecimal(f.at(7));
    v.course = plaindecimal(f.at(8));
    if (v.course && *v.course >= 360) v.course.reset();
  }
  return v;
}

}  // namespace zarn
