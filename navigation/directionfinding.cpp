#include "navigation/directionfinding.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string_view>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "geodesy/ukgrid.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/owncar.h"
#include "navigation/destinations.h"
#include "platform/textrules.h"
#include "speech/position.h"
#include "speech/queue.h"
#include "speech/reports.h"

namespace zarn {

namespace {

constexpr double pi = 3.14159265358979;
std::size_t slot(int i) { return static_cast<std::size_t>(i); }

// The steps both "%" line forms share: the repeat and movement filters, then the bearing,
// always taken as relative to the heading.
void dfline(App& app, float bearing, int code) {
  NavState& n = app.nav;
  const GpsState& g = app.gps;
  if (n.dfaccept == 0 && bearing == n.dflastb) return;
  n.dflastb = bearing;
  float d = 0;
  int b = 0;
  distbearing(app.geo, g.ownx, g.owny, n.dflastx, n.dflasty, d, b);
  if (d < n.dfmove && n.dfn != 0) return;
  n.dflastx = g.ownx;
  n.dflasty = g.owny;
  const int rel = n.dfrel;
  n.dfrel = 1;
  dfbearing(app, bearing, code);
  n.dfrel = rel;
}

// Whether the number part of a direction-finder line reads as a number: digits with at most one
// point, blanks around it. A line garbled on the way is dropped, not taken as a bearing of 0.
bool readsnumber(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  int digits = 0, points = 0;
  for (char c : s) {
    if (c >= '0' && c <= '9') ++digits;
    else if (c == '.') ++points;
    else return false;
  }
  return digits > 0 && points <= 1;
}

// A whole degree 0..359 of a heading read from a line.
int wholeheading(double v) {
  const int h = text::int16(std::isfinite(v) ? std::fmod(v, 360.0) : 0.0);
  return (h % 360 + 360) % 360;
}

// Takes estimate (x, y) as the destination: named by its grid reference, marked, dotted on the
// trail, and the map chosen to show it.
void takeestimate(App& app, float x, float y) {
  NavState& n = app.nav;
  n.dfprevt = app.timer();
  std::string ref;
  gridreftext(app.geo, x, y, ref);
  n.destwav = "destinat.wav";  // setdest names the slot after its grid reference
  addtrail(app.map, app.win.zarn, app.geo, app.gps, x, y);
  n.nodest = 0;
  setdest(app, 1, x, y, ref);
  choosemap(app, x, y);
}

// Where the estimate is and how far, spoken even with speech turned off.
void sayestimate(App& app) {
  const NavState& n = app.nav;
  TalkGuard talk(app.speech);
  talk.on();
  sayposition(app, n.destx[slot(n.curdest)], n.desty[slot(n.curdest)], n.destwav);
  saydestdist(app.voice, app.win.zarn.disbox.caption, app.gps.ownhdg, n.clockbrg, n.destwav);
}

}  // namespace

void dfinput(App& app, const std::string& line) {
  const auto slash = line.find('/');
  if (slash == std::string::npos) {
    // A base station's own fix is never moved by what its link carries: the finder's bearings
    // are drawn there, its heading is not taken.
    if (app.main.mvmode == 1) return;
    const std::string heading = text::mid(line, 2);
    if (!readsnumber(heading)) return;
    GpsState& g = app.gps;
    g.ownhdg = wholeheading(text::val(heading));
    const double a = g.ownhdg * pi / 180;
    g.ownve = static_cast<float>(g.ownspd * std::sin(a) / 3.6);
    g.ownvn = static_cast<float>(g.ownspd * std::cos(a) / 3.6);
    updatecar(app);
    return;
  }
  const std::string bearing = line.substr(std::min<std::size_t>(1, slash), slash - std::min<std::size_t>(1, slash));
  if (!readsnumber(bearing)) return;
  dfline(app, static_cast<float>(text::val(bearing)), 0);
}

void dfinput2(App& app, const std::string& line) {
  const std::string c = text::mid(line, 6, 1);
  const int code = !c.empty() && c[0] >= '0' && c[0] <= '9' ? c[0] - '0' : 0;
  const std::string bearing = text::mid(line, 2, 3);
  if (!readsnumber(bearing)) return;
  dfline(app, static_cast<float>(text::val(bearing)), code);
}

float absolutebearing(float value, int heading) {
  float b = value;
  if (heading >= 0) b += static_cast<float>(heading);
  if (b >= 360) b -= 360;  // 359.5 is a bearing as it stands
  return b;
}

DfStored storebearing(NavState& n, float b, int code, float x, float y) {
  if (!std::isfinite(b)) return DfStored::ignored;
  if (b > 360) {
    if (b == 888) {
      n.dfon = 1;
      return DfStored::held;
    }
    n.dfon = 0;
    n.dfn = 0;
    n.dfprevt.reset();
    return DfStored::cleared;
  }
  const bool empty = n.dfn <= 0;
  n.dfn = std::clamp(n.dfn + 1, 1, NavState::dfmax);
  for (int i = n.dfn; i >= 2; --i) {
    n.dfbrg[slot(i)] = n.dfbrg[slot(i - 1)];
    n.dfx[slot(i)] = n.dfx[slot(i - 1)];
    n.dfy[slot(i)] = n.dfy[slot(i - 1)];
  }
  // A held slot 1 keeps its bearing, unless there is none yet to keep.
  const std::size_t k = n.dfon == 1 && code != 10 && !empty ? 2 : 1;
  n.dfbrg[k] = b;
  n.dfx[k] = x;
  n.dfy[k] = y;
  return DfStored::stored;
}

void dflineend(float x, float y, float b, float len, float k, float& ex, float& ey) {
  const double a = b * pi / 180;
  ex = static_cast<float>(x + len * std::sin(a) * k);
  ey = static_cast<float>(y + len * std::cos(a));
}

float dfstretch(GeoState& geo, const NavState& n) {
  float lat = 0, lon = 0;
  osgbtoll(geo, n.dfx[1], n.dfy[1], lat, lon);
  return static_cast<float>(std::cos(lat * pi / 180) / 0.6459);
}

void drawdflines(ZarnForm& z, GeoState& geo, const MapView& map, const NavState& n) {
  const int count = std::clamp(n.dfn, 0, NavState::dfmax);
  if (count == 0) return;
  const float k = dfstretch(geo, n);
  const float len = std::min(1.4f * map.mapew[slot(std::clamp(map.curmap, 0, MapView::mapmax))], n.dflinemax);
  for (int i = 1; i <= count; ++i) {
    float sx = 0, sy = 0, ex = 0, ey = 0, px = 0, py = 0;
    dflineend(n.dfx[slot(i)], n.dfy[slot(i)], n.dfbrg[slot(i)], len, k, ex, ey);
    worldtopix(geo, map, n.dfx[slot(i)], n.dfy[slot(i)], sx, sy);
    worldtopix(geo, map, ex, ey, px, py);
    z.brg.load(i - 1).set(ui::pixel(sx), ui::pixel(sy), ui::pixel(px), ui::pixel(py));
  }
  z.touch();
}

void dfbearing(App& app, float value, int code) {
  NavState& n = app.nav;
  ZarnForm& z = app.win.zarn;
  if (!std::isfinite(value)) return;
  if (value > 360) {
    if (storebearing(n, value, code, 0, 0) == DfStored::held) {
      z.brg.load(0).borderwidth = 2;
    } else {
      for (int i = 0; i < NavState::dfmax; ++i) z.brg.load(i).visible = false;
    }
    z.touch();
    return;
  }
  // Bearings can come many a second: their prompt is never waited for.
  saystart(app.voice, "DF Bearing" + text::str(value), "GOTDFBRG.WAV");
  const float b = n.dfrel == 1 ? absolutebearing(value, app.gps.ownhdg) : value;
  storebearing(n, b, code, app.gps.ownx, app.gps.owny);
  drawdflines(z, app.geo, app.map, n);
  z.brg.load(n.dfn - 1).visible = true;
  if (n.dfn < 2) return;

  const float k = dfstretch(app.geo, n);
  const float x1 = n.dfx[1], y1 = n.dfy[1], x2 = n.dfx[2], y2 = n.dfy[2];
  const float b1 = n.dfbrg[1], b2 = n.dfbrg[2];
  float e1x = 0, e1y = 0, e2x = 0, e2y = 0;
  dflineend(x1, y1, b1, n.dflinemax, k, e1x, e1y);
  dflineend(x2, y2, b2, n.dflinemax, k, e2x, e2y);
  float between = b1 - b2;
  if (b1 < b2) between += 360;
  if (between > 180) between = 360 - between;
  if (between > 0) {
    dfcross(app, x1, y1, e1x, e1y, x2, y2, e2x, e2y);
  } else if (between == 0 && n.curdest >= 0 && n.curdest <= NavState::destmax) {
    float r = 0;
    int brg = 0;
    distbearing(app.geo, app.gps.ownx, app.gps.owny, n.destx[slot(n.curdest)], n.desty[slot(n.curdest)], r, brg);
    dfdest(app, b1, r, app.gps.ownx, app.gps.owny);
  }
}

float dfrate(NavState& n, GeoState& geo, float now, float ownx, float owny, float x, float y) {
  float rate = 0;
  // With no estimate taken since start-up or the last clear, this one is the first.
  if (n.dfprevt) {
    const float t = elapsed(now, *n.dfprevt);
    if (t <= n.dfratemaxt) {
      float moved = 0, range = 0;
      int b = 0;
      distbearing(geo, n.dfprevx, n.dfprevy, x, y, moved, b);
      distbearing(geo, ownx, owny, n.dfprevx, n.dfprevy, range, b);
      const float allowance = range * n.dfratef * 3.14159f / 180;
      rate = (moved - allowance) * 3600 / t;
    }
  }
  n.dfprevx = x;
  n.dfprevy = y;
  return rate;
}

void dfcross(App& app, float x1, float y1, float x1e, float y1e, float x2, float y2, float x2e, float y2e) {
  NavState& n = app.nav;
  n.rgifile.clear();
  n.rgiexists = 0;
  float x = 0, y = 0;
  int found = 0;
  lineline(x1, y1, x1e, y1e, x2, y2, x2e, y2e, x, y, found);
  if (found != 1 || !std::isfinite(x) || !std::isfinite(y)) return;
  const float now = app.timer();
  if (dfrate(n, app.geo, now, app.gps.ownx, app.gps.owny, x, y) > n.dfratemin) return;
  takeestimate(app, x, y);
  if (n.dfelapsed && elapsed(now, *n.dfelapsed) <= 60) return;
  n.dfelapsed = now;
  sayestimate(app);
}

void dfdest(App& app, float b, float range, float x, float y) {
  NavState& n = app.nav;
  const double a = b * 3.14159 / 180;
  const auto px = static_cast<float>(x + range * std::sin(a));
  const auto py = static_cast<float>(y + range * std::cos(a));
  if (!std::isfinite(px) || !std::isfinite(py)) return;
  const float now = app.timer();
  if (dfrate(n, app.geo, now, app.gps.ownx, app.gps.owny, px, py) > n.dfratemin) return;
  takeestimate(app, px, py);
  // Shares the clock of the regular "where we are" reports.
  if (elapsed(now, app.main.herereptime) <= 60) return;
  app.main.herereptime = now;
  sayestimate(app);
}

}  // namespace zarn
