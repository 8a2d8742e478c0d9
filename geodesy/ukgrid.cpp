// The national-grid frame. Two charts meet at a seam through the sea between Ireland and Great
// Britain: west of it the Irish grid (shifted into the frame), east of it a fixed polynomial
// series for Great Britain. Each chart is exact over its own rectangle and is carried on beyond
// it at the flat approximation's scale from the nearest point of the rectangle, so neither has
// a jump or a fold, the two images never overlap, and every point on earth has one frame
// position that comes back from the inverse.
#include "geodesy/ukgrid.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "geodesy/geostate.h"
#include "geodesy/helpers.h"
#include "geodesy/irishgrid.h"

namespace zarn {

namespace {

// The flat approximation's scale (km per degree), which also carries each chart beyond its
// rectangle, and its origin, from which the inverse takes its first estimate.
constexpr float kmperlon = 71.549f;
constexpr float kmperlat = 111.2453f;
constexpr float flatlat0 = 49.7668f;
constexpr float flatlon0 = -7.5581f;

struct Box {
  float latmin, latmax, lonmin, lonmax;
};
// Where each chart is used as it is. The series reaches 49.8 N for the Scilly Isles.
constexpr Box seriesbox{49.8f, 61.0f, -8.0f, 2.0f};
constexpr Box irishbox{50.0f, 57.5f, -13.0f, -4.0f};

// The seam, by latitude: west of these longitudes lies the Irish chart. It keeps to the sea:
// west of the Scilly Isles, through St George's Channel, the Irish Sea and the North Channel,
// between Inishtrahull and Islay, then west of the Hebrides and St Kilda. Beyond its ends it
// runs due north and south. It never runs much closer to east-west than north-south: the Irish
// chart lies about 145 km west and 11 km north of where the series would put the same place,
// and that gap is what keeps the two images apart.
struct SeamPoint {
  float lat, lon;
};
constexpr SeamPoint seam[] = {{50.5f, -7.0f},   {52.0f, -5.6f},  {53.4f, -5.35f}, {54.6f, -5.15f},
                              {54.85f, -5.45f}, {55.29f, -6.0f}, {55.5f, -6.6f},   {55.65f, -7.3f},
                              {56.5f, -9.0f}};

float seamlon(float lat) {
  if (!(lat > seam[0].lat)) return seam[0].lon;
  for (std::size_t i = 1; i < std::size(seam); ++i)
    if (lat <= seam[i].lat) {
      const SeamPoint &a = seam[i - 1], &b = seam[i];
      return a.lon + (b.lon - a.lon) * (lat - a.lat) / (b.lat - a.lat);
    }
  return seam[std::size(seam) - 1].lon;
}

constexpr double cubic(double l, double c3, double c2, double c1, double c0) {
  return ((c3 * l + c2) * l + c1) * l + c0;
}

// The UK series.
void series(float lat, float lon, float& x, float& y) {
  const double phi = degtorad(lat);  // the series was fitted with the full pi
  const double dl = degtorad(static_cast<double>(lon) + 2);
  const double l = phi * phi;
  double n = 0.001 * phi * cubic(l, 297.6730308, -4035.833005, 21075.31931, 6332502.309);
  n = n + 0.001 * phi * dl * dl * cubic(l, -30133.28311, 405319.6626, -2109428.575, 3186785.893);
  double e = 0.001 * dl * cubic(l, -5472.9871, 250042.9691, -3166992.355, 6375064.175) + 500;
  e = e + 0.001 * dl * dl * dl * cubic(l, -281847.3318, 1537771.461, -2564283.884, 1063359.643);
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

// A chart at (lat, lon): the projection at the nearest point of its box, plus the rest of the
// way at the flat scale (nothing inside the box).
template <class Projection>
void carry(const Box& b, Projection projection, float lat, float lon, float& x, float& y) {
  const float clat = std::clamp(lat, b.latmin, b.latmax);
  const float clon = std::clamp(lon, b.lonmin, b.lonmax);
  projection(clat, clon, x, y);
  if (clat != lat) y += (lat - clat) * kmperlat;
  if (clon != lon) x += (lon - clon) * kmperlon;
}

void britishchart(float lat, float lon, float& x, float& y) { carry(seriesbox, series, lat, lon, x, y); }

void irishchart(float lat, float lon, float& x, float& y) {
  carry(irishbox,
        [](float la, float lo, float& e, float& n) {
          lltoirish(la, lo, e, n);
          e = e - irishdx;
          n = n + irishdy;
        },
        lat, lon, x, y);
}

// The seam as the frame sees it: between the two charts' images of the seam lies a strip that
// neither chart reaches; its middle line (x by y, y rising) decides which chart's inverse a
// frame position takes. Sampled once over the latitudes where the seam or the boxes turn;
// beyond them both images run straight north and south.
struct FrameSeam {
  std::vector<float> y, x;
};

const FrameSeam& frameseam() {
  static const FrameSeam s = [] {
    FrameSeam f;
    for (int i = 0; i <= 1600; ++i) {
      const float lat = 47.0f + 0.01f * static_cast<float>(i);
      const float lon = seamlon(lat);
      float xi = 0, yi = 0, xb = 0, yb = 0;
      irishchart(lat, lon, xi, yi);
      britishchart(lat, lon, xb, yb);
      f.y.push_back((yi + yb) / 2);
      f.x.push_back((xi + xb) / 2);
    }
    return f;
  }();
  return s;
}

// The last conversion, which the inverse of its result finds again without working.
void remember(GeoState& geo, float lat, float lon, float x, float y) {
  geo.osgbclat = lat;
  geo.osgbclon = lon;
  geo.osgbce = x;
  geo.osgbcn = y;
  geo.osgbcvalid = true;
}

// Steps on a chart from an estimate until its image is within 10 m of (x, y); each pass takes
// off 99.9 % of the error at the flat scale. False when it did not settle within the passes.
template <class Chart>
bool refine(GeoState& geo, Chart chart, float x, float y, float& lat, float& lon, int maxpasses) {
  for (int pass = 1;; ++pass) {
    lat = std::clamp(lat, -90.0f, 90.0f);
    if (pass >= maxpasses) return false;
    float x2 = 0, y2 = 0;
    chart(lat, lon, x2, y2);
    remember(geo, lat, lon, x2, y2);
    const float dx = x2 - x;
    const float dy = y2 - y;
    lon = lon - dx / kmperlon * 0.999f;
    lat = lat - dy / kmperlat * 0.999f;
    if (!(std::fabs(dx) >= 0.01f || std::fabs(dy) >= 0.01f)) return true;
  }
}

bool inbox(const Box& b, float lat, float lon) {
  return lat >= b.latmin && lat <= b.latmax && lon >= b.lonmin && lon <= b.lonmax;
}

}  // namespace

int inukbox(float lat, float lon) {
  if (!(lat >= 49.8f && lat <= 61.0f && lon >= -8.0f && lon <= 2.0f)) return 0;
  // Keep the Continent's coast out of the British references.
  if (lat < 52.0f && lon > 1.5f) return 0;
  if (lat < 50.1f && lon > -1.0f) return 0;
  return 1;
}

int irishside(float lat, float lon) { return lon < seamlon(lat) ? 1 : 0; }

namespace {
// x of the frame seam's middle line at y.
float seamx(float y) {
  const FrameSeam& s = frameseam();
  if (y <= s.y.front()) return s.x.front();
  if (y >= s.y.back()) return s.x.back();
  const auto i = static_cast<std::size_t>(std::upper_bound(s.y.begin(), s.y.end(), y) - s.y.begin());
  const float f = (y - s.y[i - 1]) / (s.y[i] - s.y[i - 1]);
  return s.x[i - 1] + f * (s.x[i] - s.x[i - 1]);
}
}  // namespace

int inirishzone(float x, float y) {
  if (!(std::isfinite(x) && std::isfinite(y))) return 0;
  return x < seamx(y) ? 1 : 0;
}

void lltoosgb(GeoState& geo, float lat, float lon, float& x, float& y) {
  // A longitude beyond 180 degrees is carried on as it is, so a map 360 degrees wide keeps
  // two edges.
  if (irishside(lat, lon) == 1)
    irishchart(lat, lon, x, y);
  else
    britishchart(lat, lon, x, y);
  remember(geo, lat, lon, x, y);
}

bool osgbtoll(GeoState& geo, float x, float y, float& lat, float& lon) {
  bool settled = true;
  if (geo.osgbcvalid && x == geo.osgbce && y == geo.osgbcn) {
    lat = geo.osgbclat;
    lon = geo.osgbclon;
  } else if (inirishzone(x, y) == 1) {
    // The Irish grid's own inverse serves its box; beyond it, steps on the carried chart from
    // an estimate at the chart's scale about its origin.
    const float e = x + irishdx, n = y - irishdy;
    settled = e > -300 && e < 800 && n > -300 && n < 900 && irishtoll(e, n, lat, lon) &&
              inbox(irishbox, lat, lon);
    if (!settled) {
      lon = -8 + (e - 200) / kmperlon;
      lat = 53.5f + (n - 250) / kmperlat;
      settled = refine(geo, irishchart, x, y, lat, lon, 1000);
    }
  } else {
    lon = x / kmperlon + flatlon0;
    lat = y / kmperlat + flatlat0;
    settled = refine(geo, britishchart, x, y, lat, lon, 1000);
  }
  if (lon > 180) lon -= 360;
  if (!settled) ++geo.unsettled;
  return settled;
}

}  // namespace zarn
