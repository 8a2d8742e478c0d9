#include "mapdisplay/mapchoice.h"

#include <cmath>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/distance.h"
#include "geodesy/transform.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/mapmaker.h"

namespace zarn {

bool followsdest(const App& app) {
  // A base station shows the selected vehicle as its own position, and every report of it moves
  // the map there: a view centred on the destination would leave it off the map.
  return app.main.refdest != 0 && app.main.mvmode != 1;
}

void followedpoint(const App& app, float& x, float& y) {
  const NavState& n = app.nav;
  if (followsdest(app) && n.curdest >= 0 && n.curdest <= NavState::destmax) {
    x = n.destx[static_cast<std::size_t>(n.curdest)];
    y = n.desty[static_cast<std::size_t>(n.curdest)];
  } else {
    x = app.gps.ownx;
    y = app.gps.owny;
  }
}

void choosemap(App& app, float x, float y) {
  MapView& m = app.map;
  if (m.automaps == 0 || m.mapbusy()) return;
  const MapBusy busy(m.choosing);
  setrotation(m, app.gps.ownhdg);
  // No catalogue, no map to fall back on.
  if (m.mapcount < 1) return;
  float best = 1e20f;
  int bi = -1;
  float x2 = x, y2 = y;
  const bool turn = m.rotangle > 0 && m.norotmap == 0;
  for (int i = 1; i <= m.mapcount; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (turn) {
      // The point as it lies on map i turned about its centre.
      const float cx = (m.mapswx[k] + m.mapnex[k]) / 2, cy = (m.mapney[k] + m.mapswy[k]) / 2;
      x2 = (x - cx) * m.rotcos + cx - (y - cy) * m.rotsin;
      y2 = (y - cy) * m.rotcos + cy + (x - cx) * m.rotsin;
    }
    if (mapcovers(m, x2, y2, i) && m.mapew[k] <= best && m.mapew[k] >= m.minscale && !m.failedmaps.contains(i)) {
      best = m.mapew[k];
      bi = i;
    }
  }
  if (bi < 0) bi = 1;
  // A map that failed is not tried again on every tick; the current one stays.
  if (m.failedmaps.contains(bi)) return;

  if (m.mapkind[static_cast<std::size_t>(bi)] == 0) {
    if (bi != m.curmap || (m.headingup == 1 && m.rotangle != m.rotlast)) {
      m.rotlast = m.rotangle;
      loadmap(app, bi);
    }
    return;
  }
  if (bi != m.curmap) {
    loadmap(app, bi);
    return;
  }
  // The followed point itself: worldtopix turns it for heading-up as the window shows it, and
  // stretches it to the map area, whose centre is then that of the area, not of 640 x 480.
  const float cx = m.scrwidth / 2, cy = m.scrheight / 2;
  float px = cx, py = cy;
  worldtopix(app.geo, app.map, x, y, px, py);
  if (std::fabs(px - cx) < m.recentredist && std::fabs(py - cy) < m.recentredist) return;
  loadmap(app, bi);
}

void northup(MapView& m) {
  m.rotsector = 0;
  m.rotangle = 0;
  m.rotsin = 0;
  m.rotcos = 1;
  m.rotsinneg = 0;
  m.rotcosneg = 1;
}

void setrotation(MapView& m, int hdg) {
  const int n = m.rotsectors;
  if (m.headingup != 1 || n < 1) {
    northup(m);
    return;
  }
  int sector = static_cast<int>(std::floor((180.0 / n + hdg) / 45));
  if (sector > 7 || sector < 0) sector = 0;
  if (n == 4) sector &= 6;
  if (n == 2) sector &= 4;
  m.rotsector = sector;
  m.rotangle = static_cast<float>(45 * sector);
  const float a = m.rotangle * static_cast<float>(shortpi) / 180;
  m.rotsin = std::sin(a);
  m.rotcos = std::cos(a);
  m.rotsinneg = std::sin(-a);
  m.rotcosneg = std::cos(-a);
}

void zoomnextmap(App& app) {
  MapView& m = app.map;
  float x = 0, y = 0;
  followedpoint(app, x, y);
  float next = 1e10f;
  for (int i = 1; i <= m.mapcount; ++i) {
    const float w = m.mapew[static_cast<std::size_t>(i)];
    if (mapcovers(m, x, y, i) && i != m.curmap && w > m.minscale && w < next && !m.failedmaps.contains(i)) next = w;
  }
  if (m.minscale != 0) m.minscale = next == 1e10f ? 0.0001f : next;
  choosemap(app, x, y);
}

void centreonveh(App& app) {
  float x = 0, y = 0;
  followedpoint(app, x, y);
  choosemap(app, x, y);
}

void automapmove(App& app) {
  MapView& m = app.map;
  if (m.automapon <= 0) return;
  float x = 0, y = 0;
  followedpoint(app, x, y);
  float d = 0;
  int brg = 0;
  distbearing(app.geo, x, y, m.automapx, m.automapy, d, brg);
  if (d > m.automapdist) {
    m.automapx = x;
    m.automapy = y;
    makecdmap(app);
  }
}

void setminscale(MapView& m, float km) { m.minscale = km; }

}  // namespace zarn
