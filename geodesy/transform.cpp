#include "geodesy/transform.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "geodesy/ukgrid.h"

namespace zarn {

namespace {

// Rotation always turns about this pixel, whatever the picture size.
constexpr float rotx = 320, roty = 240;
constexpr float pixlimit = 9999;

// East edge of a latitude/longitude map, carried past 180 degrees for a map across it.
float lonspan(const MapFrame& m) {
  float s = m.maplonmax - m.maplonmin;
  if (m.maplonmax < m.maplonmin) s += 360;
  return s;
}

bool zeroextent(const MapFrame& m) {
  if (m.curlatlon == 1) return lonspan(m) == 0 || m.maplatmax == m.maplatmin;
  return m.mapxmax == m.mapxmin || m.mapymax == m.mapymin;
}

bool rotated(const MapFrame& m) { return m.rotangle > 0 && m.norotmap == 0; }

}  // namespace

bool worldtopix(GeoState& geo, const MapFrame& m, float x, float y, float& px, float& py) {
  const float w = m.picwidth - 1;
  const float h = m.picheight - 1;
  if (zeroextent(m) || (m.mapzoom > 0 && (w == 0 || h == 0))) return false;

  float u, v;
  if (m.curlatlon == 1) {
    float lat = 0, lon = 0;
    osgbtoll(geo, x, y, lat, lon);
    if (lon < 0 && m.maplonmax < m.maplonmin) lon += 360;
    u = (lon - m.maplonmin) * w / lonspan(m);
    v = (m.maplatmax - lat) * h / (m.maplatmax - m.maplatmin);
  } else {
    u = (x - m.mapxmin) * w / (m.mapxmax - m.mapxmin);
    v = (m.mapymax - y) * h / (m.mapymax - m.mapymin);
  }
  if (rotated(m)) {
    const float du = u - rotx, dv = v - roty;
    u = rotx + du * m.rotcosneg - dv * m.rotsinneg;
    v = roty + dv * m.rotcosneg + du * m.rotsinneg;
  }
  if (m.mapzoom > 0) {
    u = (m.scrwidth - 1) * u / w;
    v = (m.scrheight - 1) * v / h;
  }
  px = std::clamp(u, -pixlimit, pixlimit);
  py = std::clamp(v, -pixlimit, pixlimit);
  return true;
}

bool pixtoll(GeoState& geo, const MapFrame& m, float px, float py, float& x, float& y) {
  const float w = m.picwidth - 1;
  const float h = m.picheight - 1;
  if (zeroextent(m) || w == 0 || h == 0) return false;
  if (m.mapzoom > 0 && (m.scrwidth - 1 == 0 || m.scrheight - 1 == 0)) return false;

  float u = px, v = py;
  if (m.mapzoom > 0) {
    u = px * w / (m.scrwidth - 1);
    v = py * h / (m.scrheight - 1);
  }
  if (rotated(m)) {
    const float du = u - rotx, dv = v - roty;
    u = rotx + du * m.rotcos - dv * m.rotsin;
    v = roty + dv * m.rotcos + du * m.rotsin;
  }
  if (m.curlatlon != 1) {
    x = m.mapxmin + (m.mapxmax - m.mapxmin) * u / w;
    y = m.mapymax - (m.mapymax - m.mapymin) * v / h;
    return true;
  }
  float east = m.maplonmax;
  if (m.maplonmax < m.maplonmin) east += 360;
  float lon = m.maplonmin + (east - m.maplonmin) * u / w;
  if (lon > 180) lon -= 360;
  float lat = m.maplatmax - (m.maplatmax - m.maplatmin) * v / h;
  lat = std::clamp(lat, -90.0f, 90.0f);
  if (lon < -180) lon = -180;
  lltoosgb(geo, lat, lon, x, y);
  return true;
}

float kmtopix(const MapFrame& m, float d) {
  if (m.mapxmax == m.mapxmin) return 0;
  const float px = d * m.picwidth / (m.mapxmax - m.mapxmin);
  // A picture stretched to the screen is shown at the screen's scale, as worldtopix places points.
  if (m.mapzoom > 0 && m.picwidth > 1) return px * (m.scrwidth - 1) / (m.picwidth - 1);
  return px;
}

float kmtopixdown(const MapFrame& m, float d) {
  if (m.mapymax == m.mapymin) return 0;
  const float py = d * m.picheight / (m.mapymax - m.mapymin);
  if (m.mapzoom > 0 && m.picheight > 1) return py * (m.scrheight - 1) / (m.picheight - 1);
  return py;
}

}  // namespace zarn
