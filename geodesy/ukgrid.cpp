// The national-grid frame: a fixed polynomial series for Great Britain, the Irish grid for the
// Irish area and a flat approximation everywhere else.
#include "geodesy/ukgrid.h"

#include <algorithm>
#include <cmath>

#include "geodesy/geostate.h"
#include "geodesy/irishgrid.h"

namespace zarn {

namespace {

// The series was fitted with this rounded pi; keep it so positions do not move.
constexpr double pi = 3.1415926535898;
constexpr double degrad = pi / 180.0;

// Flat approximation around the south-west of the British Isles.
constexpr float flatlat0 = 49.7668f;
constexpr float flatlon0 = -7.5581f;
constexpr float kmperlon = 71.549f;
constexpr float kmperlat = 111.2453f;

constexpr double cubic(double l, double c3, double c2, double c1, double c0) {
  return ((c3 * l + c2) * l + c1) * l + c0;
}

}  // namespace

int inukbox(float lat, float lon) {
  if (!(lat >= 49.9f && lat <= 61.0f && lon >= -8.0f && lon <= 2.0f)) return 0;
  // Keep the Continent's coast out of the series.
  if (lat < 52.0f && lon > 1.5f) return 0;
  if (lat < 50.1f && lon > -1.0f) return 0;
  return 1;
}

int inirishzone(float x, float y) {
  if (!(x > -320.0f && x < 180.0f && y > 173.5f && y < 630.0f)) return 0;
  if (x >= 154.0f && y >= 595.0f) return 0;  // south-west Scotland
  if (x >= 15.0f && y <= 250.0f) return 0;   // Wales and Cornwall
  return 1;
}

void lltoosgb(GeoState& geo, float lat, float lon, float& x, float& y) {
  if (inukbox(lat, lon) == 0) {
    x = (lon - flatlon0) * kmperlon;
    y = (lat - flatlat0) * kmperlat;
  } else {
    double lam = lon;
    if (lam > 180) lam -= 360;
    if (lam < -180) lam += 360;
    const double phi = lat * degrad;
    const double dl = (lam + 2) * degrad;
    const double l = phi * phi;
    double n = 0.001 * phi * cubic(l, 297.6730308, -4035.833005, 21075.31931, 6332502.309);
    n = n + 0.001 * phi * dl * dl *
                cubic(l, -30133.28311, 405319.6626, -2109428.575, 3186785.893);
    double e = 0.001 * dl * cubic(l, -5472.9871, 250042.9691, -3166992.355, 6375064.175) + 500;
    e = e + 0.001 * dl * dl * dl *
                cubic(l, -281847.3318, 1537771.461, -2564283.884, 1063359.643);
    e = e + 0.1;
    n = n + 0.1;
    if (n < 0) n = n + 10000;
    n = n - 5529.228602;
    n = n + 2.1;
    e = e - 100;
    e = e + 0.004;
    n = n - 0.089;
    x = static_cast<float>(e);
    y = static_cast<float>(n);
  }
  if (inirishzone(x, y) == 1) {
    lltoirish(lat, lon, x, y);
    x = x - irishdx;
    y = y + irishdy;
  }
  geo.osgbclat = lat;
  geo.osgbclon = lon;
  geo.osgbce = x;
  geo.osgbcn = y;
  geo.osgbcvalid = true;
}

namespace {
// Newton-like steps on the forward series from an estimate within tens of km; each pass removes
// 99.9 % of the error. True when the steps settled within 10 m before the pass limit.
bool refine(GeoState& geo, float x, float y, float& lat, float& lon, int maxpasses) {
  const float klon = static_cast<float>(1.0 / 71.549);
  const float klat = static_cast<float>(1.0 / 111.2453);
  for (int pass = 1;; ++pass) {
    if (lon < -180) lon += 360;
    if (lon > 180) lon -= 360;
    if (lat > 90) lat = 90;
    if (lat < -90) lat = -90;
    if (pass >= maxpasses) return false;
    float x2 = 0, y2 = 0;
    lltoosgb(geo, lat, lon, x2, y2);
    const float dx = x2 - x;
    const float dy = y2 - y;
    lon = lon - klon * dx * 0.999f;
    lat = lat - klat * dy * 0.999f;
    if (!(std::fabs(dx) >= 0.01f || std::fabs(dy) >= 0.01f)) return true;
  }
}
}  // namespace

void osgbtoll(GeoState& geo, float x, float y, float& lat, float& lon) {
  if (geo.osgbcvalid && x == geo.osgbce && y == geo.osgbcn) {
    lat = geo.osgbclat;
    lon = geo.osgbclon;
  } else if (inirishzone(x, y) == 1) {
    if (!irishtoll(x + irishdx, y - irishdy, lat, lon) && geo.beep) geo.beep();
  } else {
    const float klon = static_cast<float>(1.0 / 71.549);
    const float klat = static_cast<float>(1.0 / 111.2453);
    lon = x * klon + flatlon0;
    lat = y * klat + flatlat0;
    if (inukbox(lat, lon) == 1) {
      if (!refine(geo, x, y, lat, lon, 1000) && geo.beep) geo.beep();
    } else if (lat > 49.4f && lat < 61.5f && lon > -8.5f && lon < 2.5f) {
      // The flat estimate of a position near the edge of the series area can fall just
      // outside it (the Scilly Isles, the Lizard) although the position came from the
      // series: refine from the nearest point of the area, and keep the answer only when it
      // settles inside the area.
      float rlat = std::clamp(lat, 49.9f, 61.0f), rlon = std::clamp(lon, -8.0f, 2.0f);
      if (refine(geo, x, y, rlat, rlon, 50) && inukbox(rlat, rlon) == 1) {
        lat = rlat;
        lon = rlon;
      }
    }
  }
  if (lon > 180) lon -= 360;
}

}  // namespace zarn
