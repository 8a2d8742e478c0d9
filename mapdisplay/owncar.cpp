#include "mapdisplay/owncar.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/distwords.h"
#include "geodesy/transform.h"
#include "mapdisplay/pictures.h"

namespace zarn {

namespace {

constexpr float deg = static_cast<float>(shortpi) / 180;

int px(float v) { return static_cast<int>(std::lround(v)); }

bool noposition(const App& app) { return isnopos(app.gps.ownx, app.gps.owny); }

// The arrow icons, one per 22.5 degrees of screen heading.
const std::string& arrowname(int k) {
  static const std::array<std::string, 16> names = [] {
    std::array<std::string, 16> a;
    for (int i = 0; i < 16; ++i) a[static_cast<std::size_t>(i)] = "VECTR" + std::to_string(i) + ".ICO";
    return a;
  }();
  return names[static_cast<std::size_t>(std::clamp(k, 0, 15))];
}

// Dot i of the ring at its stored position, sized by the fix's accuracy.
void plotdot(const MapView& m, ZarnForm& z, GeoState& geo, const GpsState& gps, int i) {
  const auto k = static_cast<std::size_t>(i);
  const float r = (gps.dgpsfix != 0 ? m.trailsizedgps : m.trailsize) / 1000;
  float x = -9999, y = -9999;
  worldtopix(geo, m, m.trailx[k], m.traily[k], x, y);
  float w = 2 * kmtopix(m, r), h = 2 * kmtopixdown(m, r);
  if (w < 4) w = h = 4;  // a dot, not a ring
  ui::Shape& dot = z.p.load(i);
  dot.visible = false;
  dot.shape = ui::Shape::oval;
  dot.width = px(std::min(w, 30000.0f));
  dot.height = px(std::clamp(h, 4.0f, 30000.0f));
  dot.left = px(x - static_cast<float>(dot.width) / 2);
  dot.top = px(y - static_cast<float>(dot.height) / 2);
  if (dot.width <= 4) {
    // A filled dot.
    dot.borderstyle = 1;
    dot.bordercolor = m.trailcolour;
    dot.fillcolor = m.trailcolour;
    dot.fillstyle = 0;
  } else {
    // A ring showing the accuracy radius.
    dot.borderstyle = 1;
    dot.bordercolor = m.trailcolour;
    dot.fillstyle = 1;
  }
  if (dot.width < m.trailmaxpix || gps.dgpsfix == 1) {
    dot.borderwidth = 1;
    dot.visible = true;
  }
  dot.zorder(0);
  z.dest.zorder(0);
  z.sym.zorder(0);
  z.home.zorder(0);
  z.car.zorder(0);
}

bool trailrefused(const MapView& m, const GpsState& gps) { return gps.drawmode > 0 || m.histint == -1; }

}  // namespace

void updatecar(App& app) {
  ZarnForm& z = app.win.zarn;
  app.gps.carupdtime = app.timer();
  hidevector(z);
  callhook(app.hooks.tripupdate);
  float x = 0, y = 0;
  const bool onmap = worldtopix(app.geo, app.map, app.gps.ownx, app.gps.owny, x, y);
  // Without a map there is no pixel to put the car on.
  if (noposition(app) || !onmap) {
    z.car.visible = false;
    return;
  }
  drawvector(app, x, y);
  z.car.move(px(x - static_cast<float>(z.car.width) / 2), px(y - static_cast<float>(z.car.height) / 2));
  z.car.visible = true;
  if (app.map.histint == 0) addtrail(app.map, z, app.geo, app.gps, app.gps.ownx, app.gps.owny);
}

void drawvector(App& app, float x, float y) {
  MapView& m = app.map;
  ZarnForm& z = app.win.zarn;
  const int hdg = app.gps.ownhdg;
  m.hdgsin = std::sin(static_cast<float>(hdg) * deg);
  m.hdgcos = std::cos(static_cast<float>(hdg) * deg);
  float h = static_cast<float>(hdg);
  if (m.rotangle > 0 && m.norotmap == 0) {
    h -= m.rotangle;
    if (h < 0) h += 360;
  }
  hidevector(app.win.zarn);

  if (hdg >= 0 && m.pointermode == 1) {
    constexpr float L = 30;
    const float tx = x + L * std::sin(h * deg), ty = y - L * std::cos(h * deg);
    const float b1x = x + (L / 12) * std::sin((h + 60) * deg), b1y = y - (L / 12) * std::cos((h + 60) * deg);
    const float b2x = x + (L / 12) * std::sin((h + 300) * deg), b2y = y - (L / 12) * std::cos((h + 300) * deg);
    for (int i = 1; i <= 5; ++i) {
      const float f = static_cast<float>(i - 1) / 4;
      ui::Line& l = z.v.load(i);
      l.bordercolor = ui::white;
      l.borderwidth = 1;
      l.set(px(tx), px(ty), px(b1x + (b2x - b1x) * f), px(b1y + (b2y - b1y) * f));
      l.visible = true;
    }
    const struct {
      ui::Line* line;
      float x1, y1, x2, y2;
    } outline[] = {{&z.vshad1, x, y, b1x, b1y},
                   {&z.vshad2, b1x, b1y, tx, ty},
                   {&z.vshad3, tx, ty, b2x, b2y},
                   {&z.vshad4, b2x, b2y, x, y}};
    for (const auto& o : outline) {
      o.line->bordercolor = ui::black;
      o.line->borderwidth = 3;
      o.line->set(px(o.x1), px(o.y1), px(o.x2), px(o.y2));
      o.line->visible = true;
    }
  }

  ui::Image& arrow = z.vecticon;
  if (hdg >= 0 && m.arrowmode == 1) {
    int k = static_cast<int>(std::floor((h + 11) / 22.5f));
    if (k > 15 || k < 0) k = 0;
    arrow.visible = false;
    // A missing icon hides the arrow: the previous one would point the wrong way.
    if (ui::PictureRef pic = loadicon(app.map, app.files, *app.sys.images, arrowname(k))) {
      arrow.setpicture(std::move(pic));
      arrow.move(px(x) - 16, px(y) - 16);
      arrow.visible = true;
    }
  } else {
    arrow.visible = false;
  }
}

void hidevector(ZarnForm& z) {
  for (int i = 0; i <= 5; ++i)
    if (z.v.exists(i)) z.v[i].visible = false;
  for (ui::Line* l : {&z.vshad1, &z.vshad2, &z.vshad3, &z.vshad4}) l->visible = false;
}

void addtrail(MapView& m, ZarnForm& z, GeoState& geo, const GpsState& gps, float x, float y) {
  if (trailrefused(m, gps)) return;
  const int nt = std::clamp(m.ntrail, 1, MapView::trailmax);
  if (m.trailcount > 0 && m.trailidx >= 1 && m.trailidx <= MapView::trailmax &&
      x == m.trailx[static_cast<std::size_t>(m.trailidx)] && y == m.traily[static_cast<std::size_t>(m.trailidx)])
    return;
  if (m.trailcount < nt) {
    ++m.trailcount;
    m.trailidx = m.trailcount;
  } else {
    ++m.trailidx;
    if (m.trailidx > nt || m.trailidx < 1) m.trailidx = 1;
  }
  const auto k = static_cast<std::size_t>(m.trailidx);
  m.trailx[k] = x;
  m.traily[k] = y;
  plotdot(m, z, geo, gps, m.trailidx);
}

void replottrail(MapView& m, ZarnForm& z, GeoState& geo, const GpsState& gps) {
  const int count = std::clamp(m.trailcount, 0, std::clamp(m.ntrail, 1, MapView::trailmax));
  // The dots are placed again in their own slots, so the ring goes on where it was.
  if (trailrefused(m, gps)) {
    m.trailcount = 0;
    return;
  }
  for (int i = 1; i <= count; ++i) plotdot(m, z, geo, gps, i);
  m.trailcount = count;
}

void cleartrail(MapView& m, ZarnForm& z) {
  auto& p = z.p;
  for (int i = 0; i <= std::min(m.ntrail, MapView::trailmax); ++i)
    if (p.exists(i)) p[i].visible = false;
  m.trailcount = 0;
}

void hidehelp(ZarnForm& z) {
  if (!z.Help.visible) {
    z.Image2.visible = false;
    for (ui::Label* l : {&z.Label1, &z.Label2, &z.Label3, &z.Label4, &z.Label5, &z.Label6}) l->visible = false;
    z.logotxt.visible = true;
  }
  z.Help.visible = false;
  z.ghelp.visible = false;
  z.ghelpi.visible = false;
  z.Help.text.clear();
}

void drawarrow(ZarnForm& z, float x, float y, int dir, ui::Colour colour, int len) {
  ui::DrawSurface& s = z.surface;
  const float a = static_cast<float>(dir * 45 + 180);
  const float l = static_cast<float>(len);
  s.line(x, y, x + 2 * l * std::sin(a * deg), y - 2 * l * std::cos(a * deg), colour);
  s.line(x, y, x + l * std::sin((a - 45) * deg), y - l * std::cos((a - 45) * deg), colour);
  s.line(x, y, x + l * std::sin((a + 45) * deg), y - l * std::cos((a + 45) * deg), colour);
}

}  // namespace zarn
