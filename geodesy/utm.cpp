// UTM and MGRS on any ellipsoid: the transverse Mercator series of the US Defense Mapping
// Agency's manual 8358.2 (terms T1 to T9), and the UTM/MGRS texts on WGS84.
#include "geodesy/utm.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "geodesy/geostate.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

constexpr double k0 = 0.9996;

using text::isdigit;
bool isalnum(char c) { return isdigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Whole metres, cut towards minus infinity; nothing for a value no text can hold.
std::optional<long long> floormetres(double v) {
  if (!std::isfinite(v) || std::fabs(v) > 9e15) return std::nullopt;
  return static_cast<long long>(std::floor(v));
}

std::string zeropad(long long v, std::size_t width) { return text::padleft(std::to_string(v), width, '0'); }

// The number of the digits from..from+len-1 (0-based); nullopt unless every one is a digit.
std::optional<long> digits(const std::string& t, std::size_t from, std::size_t len) {
  long v = 0;
  for (std::size_t i = from; i < from + len; ++i) {
    if (!isdigit(t[i])) return std::nullopt;
    v = v * 10 + (t[i] - '0');
  }
  return v;
}

long floormod(long long v, long m) { return static_cast<long>(((v % m) + m) % m); }

// The transverse Mercator series in the given zone and hemisphere (latitude and longitude in
// radians), the user's offsets included.
void project(const GeoState& geo, double a, double f, double lat, double lon, int zone, bool south,
             double& northing, double& easting) {
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

  // From the zone's central meridian the short way round: 180 E lies 3 degrees west of
  // zone 1's.
  const double dl = std::remainder(lon - (6 * zone - 183) * r, 360 * r);

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

  const double fn = south ? 10000000.0 : 0.0;
  const double dl2 = dl * dl, dl3 = dl2 * dl, dl4 = dl2 * dl2;
  northing = t1 + fn + dl2 * tt2 + dl4 * tt3 + dl4 * dl2 * tt4 + dl4 * dl4 * tt5;
  easting = 500000 + dl * tt6 + dl3 * tt7 + dl3 * dl2 * tt8 + dl3 * dl4 * tt9;
  easting = easting + geo.utmeoff;
  northing = northing + geo.utmnoff;
}

// Latitude and longitude (degrees) of an easting and northing (m) in a zone and hemisphere:
// Newton steps on the forward series from the central meridian at latitude lat. False when
// they do not settle to a tenth of a millimetre, as far from the central meridian, where the
// series stops describing the projection.
bool inverse(const GeoState& geo, int zone, bool south, double east, double north, double& lat,
             double& lon) {
  const double r = std::atan(1.0) / 45;
  double phi = lat * r, lam = (6 * zone - 183) * r;
  constexpr double h = 1e-8;  // radians, about 6 cm
  for (int pass = 0; pass < 30; ++pass) {
    double n = 0, e = 0, nf = 0, ef = 0, nl = 0, el = 0;
    project(geo, wgs84a, wgs84f, phi, lam, zone, south, n, e);
    const double de = e - east, dn = n - north;
    if (std::fabs(de) < 1e-4 && std::fabs(dn) < 1e-4) {
      lat = phi / r;
      lon = std::remainder(lam / r, 360);
      return true;
    }
    project(geo, wgs84a, wgs84f, phi + h, lam, zone, south, nf, ef);
    project(geo, wgs84a, wgs84f, phi, lam + h, zone, south, nl, el);
    const double enp = (ef - e) / h, nnp = (nf - n) / h, enl = (el - e) / h, nnl = (nl - n) / h;
    const double det = enp * nnl - enl * nnp;
    if (!(std::fabs(det) > 0)) return false;
    // Steps of at most a degree keep the estimate where the series means something.
    const double dphi = std::clamp((-de * nnl + dn * enl) / det, -r, r);
    const double dlam = std::clamp((-dn * enp + de * nnp) / det, -r, r);
    phi = std::clamp(phi + dphi, -89 * r, 89 * r);
    lam += dlam;
  }
  return false;
}

}  // namespace

int utmzone(double lon) {
  if (!std::isfinite(lon)) return 0;
  // Exact for single-precision degrees: 180 + lon and the division by 6 round nothing away
  // that could carry a longitude across a multiple of 6.
  const double z = std::fmod(std::floor((lon + 180) / 6), 60);
  return static_cast<int>(z < 0 ? z + 60 : z) + 1;
}

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
  zone = utmzone(lon / degrad);  // exact for the callers' degrees times degrad
  project(geo, a, f, lat, lon, zone == 0 ? 1 : zone, lat < 0, northing, easting);
}

bool utmtext(const GeoState& geo, int mode, float lat, float lon, std::string& text) {
  if ((mode != 1 && mode != 2) || !(lat >= -80 && lat < 84) || !std::isfinite(lon)) return false;
  const int zone = utmzone(lon);
  double north = 0, east = 0;
  project(geo, wgs84a, wgs84f, degtorad(lat), degtorad(lon), zone, lat < 0, north, east);
  const auto em = floormetres(east), nm = floormetres(north);
  if (!em || !nm || *em < 0 || *em > 999999 || *nm < 0 || *nm > 9999999) return false;
  // 8-degree bands from 80 S; the last, X, runs 12 degrees to 84 N.
  const int band = std::min(static_cast<int>(std::floor(lat / 8)) + 10, 19);
  const std::string head = zeropad(zone, 2) + utmbands[band] + " ";
  if (mode == 1) {
    text = head + zeropad(*em, 6) + " " + zeropad(*nm, 7);
    return true;
  }
  // MGRS: the letters name the 100-km square of the very metres the digits are cut from. The
  // columns of a zone's set are those of eastings 100 to 900 km; no letter names others.
  const long col = static_cast<long>(std::floor(*em / 100000.0));
  if (col < 1 || col > 8) return false;
  const long ci = col + 8 * ((zone % 3 + 2) % 3);
  const long ri = floormod(static_cast<long long>(std::floor(*nm / 100000.0)), 20) + 1 + (zone % 2 == 0 ? 5 : 0);
  text = head + mgrscolumns[ci - 1] + mgrsrows[ri - 1] + " " + zeropad(floormod(*em, 100000), 5) +
         " " + zeropad(floormod(*nm, 100000), 5);
  return true;
}

bool utmtoll(const GeoState& geo, const std::string& t, float& lat, float& lon) {
  const std::size_t len = t.size();
  if (len != 12 && len != 16 && len != 18) return false;
  const auto zone = digits(t, 0, 2);
  const char* bandp = std::char_traits<char>::find(utmbands, 20, upper(t[2]));
  if (!zone || *zone < 1 || *zone > 60 || !bandp) return false;
  const int z = static_cast<int>(*zone), band = static_cast<int>(bandp - utmbands);
  const bool mgrs = len == 18 && !isdigit(t[4]);
  std::optional<long> e, n;
  double unit = 1;  // metres of the last digit
  if (len == 12) {
    e = digits(t, 3, 4), n = digits(t, 7, 5), unit = 100;
  } else if (len == 16) {
    e = digits(t, 3, 6), n = digits(t, 9, 7);
  } else if (!mgrs) {
    if (isalnum(t[3]) || isalnum(t[10])) return false;
    e = digits(t, 4, 6), n = digits(t, 11, 7);
  } else {
    if (isalnum(t[3]) || isalnum(t[6]) || isalnum(t[12])) return false;
    e = digits(t, 7, 5), n = digits(t, 13, 5);
  }
  if (!e || !n) return false;
  // The digits as written, the short form's in hundreds of metres: the text reads as the metre
  // it names, taken at its middle so that the single-precision degrees write it back the same.
  double east = *e * unit + 0.5, north = *n * unit + 0.5;
  // The band's latitudes: the text names a position inside them. In UTM text "N" is also
  // read as the northern hemisphere, as texts without bands write it.
  const double southedge = 8.0 * band - 80;
  const double northedge = band == 19 || (band == 10 && !mgrs) ? 84 : southedge + 8;
  const bool south = band < 10;
  if (mgrs) {
    // The column letter gives the 100 km of easting, 1 to 8, within the zone's set of 8; the
    // row letter the 100 km of northing within a 2000-km cycle, of which the band picks one.
    const char* cp = std::char_traits<char>::find(mgrscolumns, 24, upper(t[4]));
    const char* rp = std::char_traits<char>::find(mgrsrows, 20, upper(t[5]));
    if (!cp || !rp) return false;
    const long col = (cp - mgrscolumns) + 1 - 8 * ((z % 3 + 2) % 3);
    if (col < 1 || col > 8) return false;
    east += col * 100000.0;
    north += floormod((rp - mgrsrows) - (z % 2 == 0 ? 5 : 0), 20) * 100000.0;
    double nmid = 0, emid = 0;
    project(geo, wgs84a, wgs84f, degtorad((southedge + northedge) / 2), degtorad(6 * z - 183), z,
            south, nmid, emid);
    north += 2000000.0 * std::nearbyint((nmid - north) / 2000000.0);
  }
  // Start on the central meridian at the latitude whose meridian arc the northing is.
  const double arc = (north - (south ? 10000000.0 : 0.0) - geo.utmnoff) / (6367449.146 * k0);
  double la = std::clamp(arc / degrad, southedge, northedge), lo = 0;
  if (!inverse(geo, z, south, east, north, la, lo)) return false;
  // Degrees: a text written on a band's edge may read just outside, and a short text's digits
  // just south of the edge name a square that reaches into the band.
  const double slack = 1e-4 + (unit - 1) * 1e-5;
  if (la < southedge - slack || la > northedge + slack) return false;
  lat = static_cast<float>(la);
  lon = static_cast<float>(lo);
  return true;
}

}  // namespace zarn
