// The position text reader, whatever the text. Whatever it accepts must be a place on earth, and
// the text the program writes for that place, in the system the text was in, must read back to
// it: within 10 m, or within the compact form's hundredths of a minute.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "geodesy/geostate.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"

namespace {

// Every 100-km square of the national grid, 0..700 km east and 0..1300 km north, by the grid's
// letter rule, as MAPS.CCC lists them.
zarn::GeoState gridstate() {
  zarn::GeoState g;
  for (int n = 0; n < 13; ++n)
    for (int e = 0; e < 7; ++e) {
      const int l1 = (19 - n) - (19 - n) % 5 + (e + 10) / 5, l2 = (19 - n) * 5 % 25 + e % 5;
      ++g.ccccount;
      g.ccccode[g.ccccount] = {static_cast<char>('A' + l1 + (l1 > 7)), static_cast<char>('A' + l2 + (l2 > 7))};
      g.cccx[g.ccccount] = static_cast<float>(e * 100);
      g.cccy[g.ccccount] = static_cast<float>(n * 100);
    }
  return g;
}

bool failed(float x, float y) { return x == zarn::parsefailx && y == zarn::parsefaily; }

double groundmetres(float lat1, float lon1, float lat2, float lon2) {
  const double dlon = std::remainder(static_cast<double>(lon2) - lon1, 360.0);
  return 111195.0 * std::hypot(lat2 - lat1, dlon * std::cos(lat1 * M_PI / 180));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zarn::GeoState geo = gridstate();
  const std::string text(reinterpret_cast<const char*>(data), size);
  float x = 0, y = 0, lat = 0, lon = 0;
  zarn::parsepos(geo, text, x, y);
  if (failed(x, y)) return 0;
  zarn::osgbtoll(geo, x, y, lat, lon);
  if (!std::isfinite(x) || !std::isfinite(y) || !(std::fabs(lat) <= 90) || !(std::fabs(lon) <= 180)) std::abort();

  // UTM text is written again as UTM, MGRS as MGRS, every other form in the grid system; each
  // run of blanks is read as one.
  std::string read;
  for (char c : text)
    if (c != ' ' || read.empty() || read.back() != ' ') read += c;
  const std::size_t n = read.size();
  const bool utm = n == 12 || n == 16 || n == 18;
  geo.utmmode = !utm ? 0 : n == 18 && !(read[4] >= '0' && read[4] <= '9') ? 2 : 1;
  std::string again;
  zarn::gridreftext(geo, x, y, again);
  float x2 = 0, y2 = 0, lat2 = 0, lon2 = 0;
  zarn::parsepos(geo, again, x2, y2);
  if (failed(x2, y2)) std::abort();
  zarn::osgbtoll(geo, x2, y2, lat2, lon2);
  // Compact: hundredths of a minute cut, 18.5 m each way.
  if (groundmetres(lat, lon, lat2, lon2) > (again.size() == 15 ? 30 : 10)) std::abort();
  return 0;
}
