#include "mapdisplay/redraw.h"

#include <cmath>
#include <string>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/transform.h"
#include "geodesy/ukgrid.h"
#include "mapdisplay/cform.h"
#include "mapdisplay/overlays.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/symbols.h"
#include "platform/textrules.h"

namespace zarn {

namespace {
bool noposition(const App& app) { return isnopos(app.gps.ownx, app.gps.owny); }
}  // namespace

void hideoverlays(ZarnForm& z, const MapView& m, int vehicles) {
  hidevector(z);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&z.car, &z.home, &z.dest, &z.destlab, &z.destlabshad,
                                                            &z.vecto, &z.sym, &z.symlab, &z.symlabshad})
    c->visible = false;
  for (int i = 0; i <= m.ntrail; ++i)
    if (z.p.exists(i)) z.p[i].visible = false;
  for (int i = 1; i <= vehicles; ++i) {
    if (z.mvim.exists(i)) z.mvim[i].visible = false;
    if (z.mvv.exists(i)) z.mvv[i].visible = false;
  }
  z.touch();
}

void redrawmap(App& app) {
  ZarnForm& z = app.win.zarn;
  MapView& m = app.map;
  // Everything is placed on the map shown: marking the destination chooses none.
  if (m.redrawing) return;
  const MapBusy busy(m.redrawing);
  float px = -9999, py = -9999;
  worldtopix(app.geo, app.map, app.gps.ownx, app.gps.owny, px, py);
  z.car.move(static_cast<int>(std::lround(px - z.car.width / 2.0f)),
             static_cast<int>(std::lround(py - z.car.height / 2.0f)));
  if (!noposition(app)) drawvector(app, px, py);

  replottrail(m, z, app.geo, app.gps);
  callhook(app.hooks.redrawdest);

  float hx = -9999, hy = -9999;
  worldtopix(app.geo, app.map, app.main.homex, app.main.homey, hx, hy);
  z.home.move(static_cast<int>(std::lround(hx)) - 16, static_cast<int>(std::lround(hy)) - 16);
  if (app.main.nohome == 0) z.home.visible = true;

  float fx = -9999, fy = -9999;
  worldtopix(app.geo, app.map, app.main.foundx, app.main.foundy, fx, fy);
  if (app.main.mvmode == 1) callhook(app.hooks.drawvehicles);
  showsymbol(z, fx, fy, z.symlab.caption, !isnopos(app.main.foundx, app.main.foundy));

  const float w = m.mapxmax - m.mapxmin;
  const std::string caption =
      w < 5 ? "<- " + std::to_string(text::fixint(std::floor(w * 1000))) + " m ->"
            : "<- " + std::to_string(text::fixint(std::floor(w))) + " Km ->";
  app.win.get<CForm>().zoomcmd.caption = caption;

  drawwproute(app);
  if (!noposition(app)) z.car.visible = true;
  drawzones(app);
  z.touch();
}

void whitelabels(ZarnForm& z) {
  for (ui::Label* l : {&z.destlab, &z.symlab, &z.cpytext}) l->forecolor = ui::white;
}

void drawdfsector(ZarnForm& z, GeoState& geo, const MapView& map, const DfSector& d) {
  constexpr int steps = 100;
  z.touch();
  for (int i = 1; i <= steps; ++i) z.dfsec.load(i).visible = false;
  if (d.dfsecmode < 1) {
    z.circle1.visible = false;
    return;
  }
  float x = 0, y = 0, cx = 0, cy = 0;
  lltoosgb(geo, d.dfseclat, d.dfseclon, x, y);
  worldtopix(geo, map, x, y, cx, cy);
  const float rx = kmtopix(map, d.dfsecrad), ry = kmtopixdown(map, d.dfsecrad);
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(rx) || !std::isfinite(ry)) return;
  if (d.dfsecbrg1 == d.dfsecbrg2) {
    z.circle1.width = ui::pixel(2 * rx);
    z.circle1.height = ui::pixel(2 * ry);
    z.circle1.move(ui::pixel(cx - rx), ui::pixel(cy - ry));
    z.circle1.visible = true;
    return;
  }
  // Clockwise from the first bearing to the second: 350 to 10 is the 20 degrees across north.
  const double b1 = d.dfsecbrg1;
  double b2 = d.dfsecbrg2;
  if (b2 < 0) b2 += 360;
  if (b2 < b1) b2 += 360;
  constexpr double rad = 3.14159265358979 / 180;
  const auto colour = static_cast<ui::Colour>(d.dfseccol) & 0xFFFFFFu;
  double px = cx, py = cy;
  for (int i = 1; i <= steps; ++i) {
    double a = (b2 - b1) * i / steps + b1;
    if (a >= 360) a -= 360;
    double qx = cx, qy = cy;
    if (i < steps) qx = cx + rx * std::sin(a * rad), qy = cy - ry * std::cos(a * rad);
    ui::Line& l = z.dfsec.load(i);
    l.set(ui::pixel(px), ui::pixel(py), ui::pixel(qx), ui::pixel(qy));
    l.bordercolor = colour;
    l.visible = true;
    px = qx;
    py = qy;
  }
}

}  // namespace zarn
