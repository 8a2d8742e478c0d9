// Distance and bearing: planar in the grid frame within one chart, flat-earth on
// latitude/longitude elsewhere.
#include "geodesy/distance.h"

#include <cmath>

#include "geodesy/geostate.h"
#include "geodesy/helpers.h"
#include "geodesy/ukgrid.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

bool inplanarbox(float x, float y) { return x >= -200 && x <= 700 && y >= 0 && y <= 1300; }

int sgn(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// Nearest whole degree, halves to even; a non-number keeps the fallback.
int rounddeg(double v, int fallback) {
  if (!std::isfinite(v) || std::fabs(v) > 1e9) return fallback;
  return text::cint(v);
}

}  // namespace

void distbearing(GeoState& geo, float x1, float y1, float x2, float y2, float& dist, int& brg) {
  // Planar only within one chart: across the seam the frame has a jump of some 145 km.
  if (inplanarbox(x1, y1) && inplanarbox(x2, y2) && inirishzone(x1, y1) == inirishzone(x2, y2)) {
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    bearingdeg(dx, dy, brg);
    dist = std::sqrt(dx * dx + dy * dy);
    return;
  }
  float lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
  osgbtoll(geo, x1, y1, lat1, lon1);
  osgbtoll(geo, x2, y2, lat2, lon2);
  float b = 0;
  distbrg(lat1, lon1, lat2, lon2, dist, b);
  brg = rounddeg(b, brg);
}

int clockposition(int brg, int hdg) {
  int c = static_cast<int>(std::floor((brg - hdg + 15) / 30.0));
  while (c < 1) c += 12;
  while (c > 12) c -= 12;
  return c;
}

FramePoint framepoint(GeoState& geo, float x, float y) {
  FramePoint p{x, y, 0, 0, inplanarbox(x, y), inirishzone(x, y) != 0};
  osgbtoll(geo, x, y, p.lat, p.lon);
  return p;
}

void distbearing(const FramePoint& a, const FramePoint& b, float& dist, int& brg) {
  if (a.planar && b.planar && a.irish == b.irish) {
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    bearingdeg(dx, dy, brg);
    dist = std::sqrt(dx * dx + dy * dy);
    return;
  }
  float bb = 0;
  distbrg(a.lat, a.lon, b.lat, b.lon, dist, bb);
  brg = rounddeg(bb, brg);
}

void distbrg(float lat1, float lon1, float lat2, float lon2, float& dist, float& brg) {
  float dl = lon2 - lon1;
  float offset = 0;
  if (std::fabs(dl) > 180) {
    // The short way round the antimeridian: mirror the difference, turn the result by 180.
    dl = (360 - std::fabs(dl)) * static_cast<float>(sgn(dl));
    offset = 180;
  }
  if (lat1 == lat2) {
    dist = std::fabs(dl) * 111 * static_cast<float>(std::cos(degtorad(lat2)));
    // dl points the short way only after turning by the offset, so east is its sign flipped
    // when the antimeridian lies between the points.
    const bool east = offset == 0 ? lon2 > lon1 : lon2 < lon1;
    brg = east ? 90.0f : 270.0f;
    return;
  }
  const float dx = dl * static_cast<float>(std::cos(degtorad(lat2))) * 111;
  float dy = (lat2 - lat1) * 111;
  dist = std::sqrt(dx * dx + dy * dy);
  if (offset == 180) dy = -dy;
  int b = 0;
  bearingdeg(dx, dy, b);
  brg = static_cast<float>(b) + offset;
  if (brg > 360) brg = brg - 360;
}

void bearingdeg(float dx, float dy, int& brg) {
  if (std::fabs(dy) < 0.001f) {
    if (dx > 0) brg = 90;
    if (dx < 0) brg = 270;
  } else {
    const float r = dx / dy;
    const double at = std::atan(r);
    double a = 0;
    if (dx > 0 && dy > 0) {
      a = at;
    } else if (dx > 0 && dy < 0) {
      a = shortpi + at;
    } else if (dy > 0) {
      a = 2 * shortpi + at;
    } else {
      a = shortpi + at;
    }
    // The half degree biases whole-degree bearings upwards: 10.2 gives 11, 10.0 gives 10.
    brg = rounddeg(a * 180 / shortpi + 0.5, brg);
  }
  if (brg >= 360) brg -= 360;
  if (brg < 0) brg += 360;
}

void compasstext(int brg, std::string& text) {
  const int b = brg == 360 ? 0 : brg;
  if (b <= 22) text = " north";
  else if (b <= 67) text = " north east";
  else if (b <= 112) text = " east";
  else if (b <= 157) text = " south east";
  else if (b <= 202) text = " south";
  else if (b <= 247) text = " south west";
  else if (b <= 292) text = " west";
  else if (b <= 337) text = " north west";
  else text = " north";
}

void bearingtext(float dx, float dy, std::string& text) {
  int brg = 0;
  bearingdeg(dx, dy, brg);
  compasstext(brg, text);
}

void lineline(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
              float& x, float& y, int& found) {
  found = 0;
  x = 0;
  y = 0;
  // A (near) vertical segment gets a tiny run so its slope stays finite; an exactly vertical
  // one leans east.
  bool leaned1 = false, leaned2 = false;
  auto run = [](double r, bool& leaned) {
    if (std::fabs(r) >= 0.0001) return r;
    leaned = true;
    return r < 0 ? -0.0001 : 0.0001;
  };
  const double run1 = run(static_cast<double>(x2) - x1, leaned1);
  const double run2 = run(static_cast<double>(x4) - x3, leaned2);
  const double m1 = (static_cast<double>(y2) - y1) / run1;
  const double m2 = (static_cast<double>(y4) - y3) / run2;
  if (m1 == m2) return;
  const double c1 = y1 - x1 * m1;
  const double c2 = y3 - x3 * m2;
  const double cx = (c2 - c1) / (m1 - m2);
  const double cy = cx * m1 + c1;
  x = static_cast<float>(cx);
  y = static_cast<float>(cy);
  // The point, as handed back, must lie within both segments, end points excluded on a
  // slanted one. A leaned segment is tested against the ends its slope was taken from and
  // with the unrounded point, since its crossing lies only 0.00005 east of its line.
  const double px = x, py = y;
  const double px1 = leaned1 ? cx : px, ex2 = x1 + run1;
  const double px3 = leaned2 ? cx : px, ex4 = x3 + run2;
  if (sgn(px1 - x1) == sgn(ex2 - px1) && sgn(px3 - x3) == sgn(ex4 - px3) &&
      sgn(py - y1) == sgn(y2 - py) && sgn(py - y3) == sgn(y4 - py))
    found = 1;
}

}  // namespace zarn
