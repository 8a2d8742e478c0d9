#include "vehicles/datatrak.h"

#include <array>

#include "app/app.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/linkmodes.h"
#include "platform/textrules.h"
#include "vehicles/mcv.h"

namespace zarn {

namespace {

long digits(std::string_view s) {
  long v = 0;
  for (char c : s) v = v * 10 + (c - '0');
  return v;
}

// A code as the units fill it: the digits read, blanks passed over, up to anything else; none
// reads as 0 ("1 " is 1).
int code(std::string_view s) {
  int v = 0;
  for (char c : s) {
    if (c == ' ') continue;
    if (!text::isdigit(c)) break;
    v = v * 10 + (c - '0');
  }
  return v;
}

// The report of a decoded line, the same for both forms: its unit's slot, its position in the
// frame and in degrees, and the raw start of the line that a full log writes with it (29
// characters of a text line, the 12 of a binary one).
LinkReport report(VehicleTable& v, const GpsState& gps, GeoState& geo, platform::WavPlayer& wav,
                  const std::string& line, const DatatrakReport& d, bool binary) {
  LinkReport r;
  r.vehicle = findvehicle(v, gps, wav, d.id);
  const auto k = static_cast<std::size_t>(r.vehicle);
  // 0: a unit the table does not take (new units refused): the report is logged, not plotted.
  if (r.vehicle < 0 || k >= v.mvhdg.size() || k >= v.mvloc.size()) return {};
  r.form = LinkReport::Form::datatrak;
  r.unit = d.id;
  r.hdg = d.heading;
  r.mph = static_cast<float>(d.speed);
  r.x = static_cast<float>(d.east) / datatrakstep;
  r.y = static_cast<float>(d.north) / datatrakstep;
  osgbtoll(geo, r.x, r.y, r.lat, r.lon);
  r.binary = binary;
  r.raw = line.substr(0, binary ? 12 : 29);
  return r;
}

}  // namespace

std::optional<DatatrakReport> datatraktext(std::string_view line) {
  // A line cut short or with a stray character in its position would put the unit at the
  // frame's origin. Columns 7-9 carry nothing; a speed code that does not read is 0.
  if (!datatrakline(line)) return std::nullopt;
  DatatrakReport r;
  r.id = std::string(1, line[24]) + std::string(line.substr(1, 5));
  r.heading = static_cast<int>(digits(line.substr(9, 1))) * 45;
  r.speed = code(line.substr(10, 2)) * 5;
  r.east = digits(line.substr(12, 6));
  r.north = digits(line.substr(18, 6));
  return r;
}

std::optional<DatatrakReport> datatrakbin(std::string_view line) {
  if (line.size() < 11 || line[0] != '`') return std::nullopt;
  // b[1..10] are the record's bytes. The unit is b9's high half (0..15) written in front of
  // b1 b2 (0..65535) in decimal; b4 holds heading code (bits 4-6) and speed code (bits 0-3);
  // b5 b6 and the top two bits of b7 the easting (18 bits), the rest of b7 and b8 the northing
  // (14 bits). b3, bit 7 of b4, b9's low half and b10 carry nothing.
  std::array<long, 11> b{};
  for (std::size_t n = 1; n <= 10; ++n) b[n] = static_cast<unsigned char>(line[n]);
  DatatrakReport r;
  r.id = std::to_string(b[9] >> 4) + std::to_string(b[1] * 256 + b[2]);
  r.heading = static_cast<int>((b[4] & 0x70) >> 4) * 45;
  r.speed = static_cast<int>(b[4] & 0x0F) * 5;
  r.east = (b[5] * 256 + b[6]) * 4 + (b[7] & 0xC0) / 64;
  r.north = (b[7] & 0x3F) * 256 + b[8];
  return r;
}

LinkReport mvdecode(VehicleTable& v, const GpsState& gps, GeoState& geo, platform::WavPlayer& wav,
                    const std::string& line) {
  const auto d = datatraktext(line);
  return d ? report(v, gps, geo, wav, line, *d, false) : LinkReport();
}

LinkReport mvdecodebin(VehicleTable& v, const GpsState& gps, GeoState& geo, platform::WavPlayer& wav,
                       const std::string& line) {
  const auto d = datatrakbin(line);
  return d ? report(v, gps, geo, wav, line, *d, true) : LinkReport();
}

}  // namespace zarn
