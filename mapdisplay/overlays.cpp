#include "mapdisplay/overlays.h"

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "mapdisplay/pictures.h"
#include "platform/textrules.h"

namespace zarn {

void drawwproute(App& app) {
  const NavState& n = app.nav;
  ZarnForm& z = app.win.zarn;
  z.touch();
  for (int i = 1; i <= NavState::wpmax; ++i)
    if (ui::Image* w = z.wp.find(i)) w->visible = false;
  for (int i = 1; i <= NavState::wpmax; ++i)
    if (ui::Line* l = z.leg.find(i)) l->visible = false;
  if (n.routeshown != 1) return;
  // The counts may come from files: never beyond the route's 100.
  const int legs = std::clamp(n.legcount, 0, NavState::wpmax), wps = std::clamp(n.wpcount, 0, NavState::wpmax);
  for (int i = 1; i <= legs; ++i) {
    ui::Line* l = z.leg.find(i);
    if (!l) continue;
    const auto a = static_cast<std::size_t>(i - 1), b = static_cast<std::size_t>(i);
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    worldtopix(app.geo, app.map, n.legx[a], n.legy[a], x1, y1);
    worldtopix(app.geo, app.map, n.legx[b], n.legy[b], x2, y2);
    l->set(ui::pixel(x1), ui::pixel(y1), ui::pixel(x2), ui::pixel(y2));
    l->visible = true;
  }
  for (int i = 1; i <= wps; ++i) {
    ui::Image* w = z.wp.find(i);
    if (!w) continue;
    float px = 0, py = 0;
    worldtopix(app.geo, app.map, n.wpx[static_cast<std::size_t>(i)], n.wpy[static_cast<std::size_t>(i)], px, py);
    w->move(ui::pixel(px) - 16, ui::pixel(py) - 16);
    w->visible = n.wpstyle == 0;
  }
}

void drawzones(App& app) {
  const NavState& n = app.nav;
  ZarnForm& z = app.win.zarn;
  z.touch();
  for (int i = 0; i < NavState::zonemax; ++i) z.zonec.load(i).visible = false;
  if (n.zonedispon != 1) return;
  const int count = std::clamp(n.zonecount, 0, NavState::zonemax);
  for (int i = 1; i <= count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    // A hand-edited file may give a radius no circle has: that zone is left off, not the rest.
    if (!(n.zonerad[k] >= 0) || !std::isfinite(n.zonerad[k])) continue;
    float px = 0, py = 0;
    worldtopix(app.geo, app.map, n.zonex[k], n.zoney[k], px, py);
    // Each axis at its own scale: the drawn edge is the zone's edge on a map stretched unevenly.
    const float w = 2 * kmtopix(app.map, n.zonerad[k]), h = 2 * kmtopixdown(app.map, n.zonerad[k]);
    if (!std::isfinite(px) || !std::isfinite(py) || !std::isfinite(w) || !std::isfinite(h) || std::fabs(w) > 1e6f ||
        std::fabs(h) > 1e6f)
      continue;
    ui::Shape& c = z.zonec.load(i - 1);
    c.shape = ui::Shape::oval;
    c.width = ui::pixel(w);
    c.height = ui::pixel(h);
    c.move(ui::pixel(px) - c.width / 2, ui::pixel(py) - c.height / 2);
    c.visible = true;
  }
}

// The drawing file gives the route's line and its waypoints' places and icons; their reach
// radii are the route's own and are left as they are.
void readpicfile(App& app) {
  NavState& n = app.nav;
  ZarnForm& z = app.win.zarn;
  n.wpcount = 0;
  n.legcount = 0;
  auto f = platform::InputFile::open(app.files, "ZARN.PIC");
  if (!f) return;
  ui::Colour colour = ui::red;
  std::string icon;
  int points = 0;
  while (!f->eof()) {
    const std::string code = text::ucase(f->field());
    const std::string value = text::ucase(f->field());
    if (code == "END") break;
    if (code == "C") {
      colour = static_cast<ui::Colour>(text::clng(text::val(value))) & 0xFFFFFFu;
    } else if (code == "I") {
      icon = value;
    } else if (code == "L" && points <= NavState::wpmax) {
      const auto k = static_cast<std::size_t>(points++);
      if (k > 0) z.leg.load(static_cast<int>(k)).bordercolor = colour;
      parsepos(app.geo, value, n.legx[k], n.legy[k]);
    } else if (code == "P" && n.wpcount < NavState::wpmax) {
      // A waypoint whose icon is there but cannot be shown is left out, not the rest of the file.
      // The name is judged before the file is looked for; the store reads each icon once and
      // shares it among the waypoints that name it.
      ui::PictureRef pic;
      if (!icon.empty() && !app.files.confined(icon)) continue;
      if (!icon.empty() && app.files.exists(icon) && !(pic = loadpicture(app.files, *app.sys.images, icon))) continue;
      const auto k = static_cast<std::size_t>(++n.wpcount);
      ui::Image& wp = z.wp.load(n.wpcount);
      if (pic) wp.setpicture(pic);
      n.wpicon[k] = pic ? icon : n.wpdefaulticon;
      parsepos(app.geo, value, n.wpx[k], n.wpy[k]);
    }
  }
  n.legcount = std::max(points - 1, 0);
}

void readoverlay(ZarnForm& z, GeoState& geo, const MapView& m, const platform::Files& files,
                 const std::string& fname) {
  if (!files.exists(fname)) return;
  auto f = platform::InputFile::open(files, fname, platform::Files::datalimit);
  if (!f) return;
  f->lineinput();
  f->lineinput();
  while (!f->eof()) {
    const std::string code = text::ucase(f->field());
    const std::string east = f->field();
    const std::string north = f->field();
    f->field();
    f->field();
    float x = 0, y = 0;
    if (east.empty()) {
      parsepos(geo, north, x, y);
    } else {
      x = static_cast<float>(text::val(east));
      y = static_cast<float>(text::val(north));
    }
    drawoverlay(z, geo, m, x, y, code);
  }
  z.touch();
}

void drawoverlay(ZarnForm& z, GeoState& geo, const MapView& m, float x, float y, const std::string& code) {
  const auto cur = static_cast<std::size_t>(std::clamp(m.curmap, 0, MapView::mapmax));
  const bool xin = m.mapnex[cur] > m.mapswx[cur] ? x >= m.mapxmin && x <= m.mapxmax  // a map across the seam:
                                                 : x >= m.mapxmin || x <= m.mapxmax;  // either side of it
  if (!xin || y < m.mapymin || y > m.mapymax) return;
  float px = 0, py = 0;
  worldtopix(geo, m, x, y, px, py);
  ui::DrawSurface& s = z.surface;
  // Whole kilometres are usually a rough position: a 2 km circle says how rough.
  if (x == std::floor(x) && y == std::floor(y)) s.ellipse(px, py, kmtopix(m, 2), kmtopixdown(m, 2), ui::red);
  if (code.starts_with("AF")) {
    s.circle(px, py, 1, ui::cyan);
    s.circle(px, py, 3, ui::black);
    return;
  }
  ui::Colour boxcol = ui::green, centre = ui::green;
  if (code == "EFFLC") boxcol = ui::red, centre = ui::white;
  else if (code == "EFFHE") boxcol = ui::yellow, centre = ui::red;
  else if (code == "LNT") boxcol = ui::yellow, centre = ui::green;
  else if (code == "LEH") boxcol = ui::white, centre = ui::red;
  s.box(px - 3, py - 3, px + 3, py + 3, ui::black);
  s.filledbox(px - 2, py - 2, px + 2, py + 2, boxcol);
  if (centre != boxcol) s.pset(px, py, centre);
}

void drawroads(ZarnForm& z, GeoState& geo, const MapView& m, const platform::Files& files) {
  if (!files.exists("road.dat")) return;
  auto f = platform::InputFile::open(files, "ROAD.DAT", platform::Files::datalimit);
  if (!f) return;
  ui::DrawSurface& s = z.surface;
  s.forecolor = ui::cyan;
  // The first point starts a line of its own, whatever was drawn before.
  bool newline = true;
  while (!f->eof()) {
    const std::string item = f->field();
    if (item.find("MOVE") != std::string::npos) {
      newline = true;
      continue;
    }
    float x = 0, y = 0, px = 0, py = 0;
    parsepos(geo, item, x, y);
    if (x < m.mapxmin || x > m.mapxmax || y < m.mapymin || y > m.mapymax) continue;
    worldtopix(geo, m, x, y, px, py);
    if (newline) s.pset(px, py);
    else s.lineto(px, py);
    newline = false;
  }
  z.touch();
}

}  // namespace zarn
