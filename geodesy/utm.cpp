// UTM and MGRS on any ellipsoid: the transverse Mercator series of the US Defense Mapping
// Agency's manual 8358.2 (terms T1 to T9), and the 18-character UTM/MGRS texts on WGS84.
#include "geodesy/utm.h"

#include <cmath>
#include <optional>

#include "geodesy/geostate.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

constexpr double k0 = 0.9996;

// A whole number of a double when it has one; a text piece whose number cannot be formed is
// left empty rather than written as garbage.
std::optional<long long> whole(double v) {
  if (!std::isfinite(v) || std::fabs(v) > 9e15) return std::nullopt;
  return static_cast<long long>(v);
}

std::optional<long long> roundeven(double v) {
  if (!std::isfinite(v) || std::fabs(v) > 9e15) return std::nullopt;
  return static_cast<long long>(std::nearbyint(v));  // default rounding: halves to even
}

std::string zeropad(std::optional<long long> v, std::size_t width) {
  if (!v) return {};
  std::string s = std::to_string(*v);
  if (s.size() < width) s.insert(0, width - s.size(), '0');
  return s;
}

// lltoutm, in the given zone when forcedzone is 1..60, else in the zone of the longitude.
void project(const GeoState& geo, double a, double f, double lat, double lon, int forcedzone,
             int& zone, double& northing, double& easting);

}  // namespace

double tmnu(double a, double e2, double lat) {
  const double s = std::sin(lat);
  return a / std::pow(1 - e2 * s * s, 0.5);
}

double tmarcterm(double ap, double bp, double cp, double dp, double ep, double lat) {
  return ap * lat - bp * std::sin(2 * lat) + cp * std::sin(4 * lat) - dp * std::sin(6 * lat) +
         ep * std::sin(8 * lat);
}

void lltoutm(const GeoState& geo, double a, double f, double lat, double lon, int& zone,
             double& northing, double& easting) {
  project(geo, a, f, lat, lon, 0, zone, northing, easting);
}

namespace {

void project(const GeoState& geo, double a, double f, double lat, double lon, int forcedzone,
             int& zone, double& northing, double& easting) {
  const double r = std::atan(1.0) / 45;
  const double b = ((1 / f) - 1) * a / (1 / f);
  const double e2 = (a * a - b * b) / (a * a);
  const double ep2 = (a * a - b * b) / (b * b);
  const double n = (a - b) / (a + b);
  const double n2 = n * n, n3 = n2 * n, n4 = n3 * n, n5 = n4 * n;
  const double ap = a * (1 - n + 5.0 / 4 * (n2 - n3) + 81.0 / 64 * (n4 - n5));
  const double bp = 3 * a / 2 * (n - n2 + 7.0 / 8 * (n3 - n4) + 55.0 / 64 * n5);
  const double cp = 15 * a / 16 * (n2 - n3 + 3.0 / 4 * (n4 - n5));
  const double dp = 35 * a / 48 * (n3 - n4 + 11.0 / 16 * n5);
  const double epp = 315 * a / 512 * (n4 - n5);

  const double z = std::floor(lon / r / 6) + 31;
  zone = !(z <= 60) ? 60 : (z < 1 ? 1 : static_cast<int>(z));
  if (forcedzone >= 1 && forcedzone <= 60) zone = forcedzone;
  const double dl = lon - (6 * zone - 183) * r;

  const double s = std::sin(lat), c = std::cos(lat), t = s / c;
  const double t2 = t * t, t4 = t2 * t2, t6 = t4 * t2;
  const double h2 = ep2 * c * c, h4 = h2 * h2, h6 = h4 * h2, h8 = h4 * h4;
  const double nu = tmnu(a, e2, lat);
  const double sarc = tmarcterm(ap, bp, cp, dp, epp, lat);
  const double c3 = c * c * c, c5 = c3 * c * c, c7 = c5 * c * c;

  const double t1 = sarc * k0;
  const double tt2 = nu * s * c * k0 / 2;
  const double tt3 = nu * s * c3 * k0 * (5 - t2 + 9 * h2 + 4 * h4) / 24;
  const double tt4 = nu * s * c5 * k0 *
                     (61 - 58 * t2 + t4 + 270 * h2 - 330 * t2 * h2 + 445 * h4 + 324 * h6 -
                      680 * t2 * h4 + 88 * h8 - 600 * t2 * h6 - 192 * t2 * h8) /
                     720;
  const double tt5 = nu * s * c7 * k0 * (1385 - 3111 * t2 + 543 * t4 - t6) / 40320;
  const double tt6 = nu * c * k0;
  const double tt7 = nu * c3 * k0 * (1 - t2 + h2) / 6;
  const double tt8 = nu * c5 * k0 *
                     (5 - 18 * t2 + t4 + 14 * h2 - 58 * t2 * h2 + 13 * h4 + 4 * h6 -
                      64 * t2 * h4 - 24 * t2 * h6) /
                     120;
  const double tt9 = nu * c7 * k0 * (61 - 479 * t2 + 179 * t4 - t6) / 5040;

  const double fn = lat < 0 ? 10000000.0 : 0.0;
  const double dl2 = dl * dl, dl3 = dl2 * dl, dl4 = dl2 * dl2;
  northing = t1 + fn + dl2 * tt2 + dl4 * tt3 + dl4 * dl2 * tt4 + dl4 * dl4 * tt5;
  easting = 500000 + dl * tt6 + dl3 * tt7 + dl3 * dl2 * tt8 + dl3 * dl4 * tt9;
  easting = easting + geo.utmeoff;
  northing = northing + geo.utmnoff;
}

}  // namespace

void utmtext(const GeoState& geo, int mode, float lat, float lon, std::string& text) {
  if (mode != 1 && mode != 2) return;  // only UTM and MGRS have a text
  int zone = 0;
  double north = 0, east = 0;
  lltoutm(geo, wgs84a, wgs84f, lat * utmdegrad, lon * utmdegrad, zone, north, east);
  const float ekm = static_cast<float>(east / 1000);
  float nkm = static_cast<float>(north / 1000);
  if (nkm < 0) nkm = nkm + 10000;
  nkm = nkm - std::trunc(nkm / 2000) * 2000;  // within the 2000 km cycle of row letters

  // The band that holds the latitude: 0 is the first band north of the equator, -8 the first
  // south of it.
  const float bandindex = std::floor(lat / 8) + 11;
  const char band = bandindex >= 1 && bandindex <= 20 ? utmbands[static_cast<int>(bandindex) - 1]
                                                      : ' ';
  const std::string zonetext = zeropad(zone, 2);

  if (mode == 1) {
    text = zonetext + band + " " + zeropad(whole(east), 6) + " " + zeropad(whole(north), 7);
    return;
  }
  // MGRS: round to whole metres once and take the square letters and the digits from the same
  // value, so a point a few decimetres short of a 100 km line gets the square it is written in.
  const auto em = roundeven(ekm * 1000.0f);
  const auto nm = roundeven(nkm * 1000.0f);
  const std::string edigits = em ? zeropad(*em % 100000, 5) : std::string();
  const std::string ndigits = nm ? zeropad(*nm % 100000, 5) : std::string();
  std::string col, row;
  if (em) {
    long long ci = (zone % 3) * 8 + *em / 100000 - 8;
    if (ci < 1) ci += 24;
    if (ci >= 1 && ci <= 24) col = std::string(1, mgrscolumns[ci - 1]);
  }
  if (nm) {
    long long ri = ((*nm / 100000) % 20 + 20) % 20 + 1;
    if (zone % 2 == 0) ri += 5;
    row = std::string(1, mgrsrows[ri - 1]);
  }
  text = zonetext + band + " " + col + row + " " + edigits + " " + ndigits;
}

void utmtoll(const GeoState& geo, const std::string& text, float& lat, float& lon) {
  std::string t = text;
  if (t.size() == 16) {
    t = text::mid(text, 1, 3) + " " + text::mid(text, 4, 6) + " " + text::mid(text, 10, 7);
  } else if (t.size() == 12) {
    t = text::mid(text, 1, 3) + " " + text::mid(text, 4, 4) + "00 " + text::mid(text, 8, 5) +
        "00";
  }
  const double zv = text::val(text::mid(t, 1, 2));
  const int zone = std::fabs(zv) < 1e6 ? text::cint(zv) : 0;
  const std::string band = text::ucase(text::mid(t, 3, 1));
  const float et = static_cast<float>(text::val(text::mid(t, 5, 6)) / 1000);
  const float nt = static_cast<float>(text::val(text::mid(t, 12, 7)) / 1000);

  // Start in the middle of the zone and band the text names.
  float lo = static_cast<float>((zone - 1) * 6 - 177);
  const long i = band.empty() ? 0 : text::instr(utmbands, band);
  float la = i > 0 ? static_cast<float>(8 * i - 84) : 0.0f;
  // Norway and Svalbard have wider zones; start inside the part that exists.
  if (band == "X") {
    if (zone == 31) lo = 5.0f;
    if (zone >= 32 && zone <= 34) lo = 15.0f;
    if (zone >= 34 && zone <= 36) lo = 26.0f;
  }
  if (band == "V" && zone == 31) lo = 7.0f;

  const float klon = static_cast<float>(1.0 / 71.549);
  const float klat = static_cast<float>(1.0 / 111.2453);
  lat = la;
  lon = lo;
  for (int pass = 1; pass < 1000; ++pass) {
    // Project in the text's own zone: near a zone edge a step may cross into the next zone,
    // whose eastings would pull the estimate ever further away. Whole metres, as the text
    // holds them.
    int z = 0;
    double n = 0, e = 0;
    project(geo, wgs84a, wgs84f, la * utmdegrad, lo * utmdegrad, zone, z, n, e);
    const float de = static_cast<float>((whole(e).value_or(0)) / 1000.0) - et;
    const float dn = static_cast<float>((whole(n).value_or(0)) / 1000.0) - nt;
    lo = lo - de * klon * 0.99f;
    la = la - dn * klat * 0.99f;
    lat = la;
    lon = lo;
    if (std::fabs(de) < 0.005f && std::fabs(dn) < 0.005f) break;
  }
}

}  // namespace zarn
