#include "gpsinput/fixsteps.h"

#include <charconv>
#include <cmath>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/ownfix.h"
#include "platform/textrules.h"

namespace zarn {

bool applycorrection(const GpsState& g, GeoState& geo, float& x, float& y, float& lat, float& lon) {
  if (g.gpscorre == 0 && g.gpscorrn == 0) return false;
  x += g.gpscorre;
  y += g.gpscorrn;
  osgbtoll(geo, x, y, lat, lon);
  return true;
}

void storeposition(GpsState& g, GeoState& geo, float lat, float lon) {
  float x = 0, y = 0;
  lltoosgb(geo, lat, lon, x, y);
  // Corrected, the position is the one its latitude and longitude give, as it is shown.
  if (applycorrection(g, geo, x, y, lat, lon)) lltoosgb(geo, lat, lon, x, y);
  g.ownlat = lat;
  g.ownlon = lon;
  g.ownx = x;
  g.owny = y;
  keepposition(g, geo);
}

void keepposition(GpsState& g, GeoState& geo) {
  gridreftext(geo, g.ownx, g.owny, g.owngrid);
  g.prevx = g.ownx;
  g.prevy = g.owny;
}

void takeunitfix(GpsState& g, GeoState& geo, const MainState& settings, ZarnForm& form, float x, float y,
                 float kmh, int hdg) {
  g.ownhdg = hdg < 0 ? -1 : hdg;
  g.ownspd = kmh;
  const double a = g.ownhdg * shortpi / 180;
  g.ownve = g.ownhdg < 0 ? 0.0f : static_cast<float>(std::sin(a) * kmh / 3.6);
  g.ownvn = g.ownhdg < 0 ? 0.0f : static_cast<float>(std::cos(a) * kmh / 3.6);
  showspeed(g, settings, form);
  g.ownx = x;
  g.owny = y;
  osgbtoll(geo, x, y, g.ownlat, g.ownlon);
  keepposition(g, geo);
  showposition(g, form);
}

bool store16(double v, int& out) {
  if (!std::isfinite(v) || v < -32768.5 || v >= 32767.5) return false;
  out = text::int16(v);
  return true;
}

std::optional<double> plaindecimal(std::string_view s) {
  constexpr std::string_view digits = "0123456789";
  const std::size_t point = s.find_first_not_of(digits);
  if (s.empty() || point == 0) return std::nullopt;
  if (point != s.npos && (s[point] != '.' || s.find_first_not_of(digits, point + 1) != s.npos)) return std::nullopt;
  double v = 0;
  if (std::from_chars(s.data(), s.data() + s.size(), v).ec != std::errc()) return std::nullopt;  // beyond a double
  return v;
}

std::optional<double> nmeadegrees(std::string_view s, double max) {
  const auto v = plaindecimal(s);
  if (!v) return std::nullopt;
  const double deg = std::floor(*v / 100), min = *v - deg * 100;
  if (min >= 60 || deg + min / 60 > max) return std::nullopt;
  return deg + min / 60;
}

void headingrule(GpsState& g, float course) {
  if (g.ownspd > g.minhdgspd) store16(std::floor(static_cast<double>(course)), g.ownhdg);
}

void velocityrule(GpsState& g, double rad) {
  const double a = g.ownhdg * rad;
  g.ownve = static_cast<float>(g.fixspeed * std::sin(a) / 3.6);
  g.ownvn = static_cast<float>(g.fixspeed * std::cos(a) / 3.6);
}

}  // namespace zarn
