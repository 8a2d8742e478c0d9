#include "mapdisplay/redraw.h"

#include <cmath>
#include <string>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/transform.h"
#include "mapdisplay/cform.h"
#include "mapdisplay/overlays.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/symbols.h"

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
      w < 5 ? "<- " + std::to_string(static_cast<long>(std::floor(w * 1000))) + " m ->"
            : "<- " + std::to_string(static_cast<long>(std::floor(w))) + " Km ->";
  app.win.get<CForm>().zoomcmd.caption = caption;

  drawwproute(app);
  if (!noposition(app)) z.car.visible = true;
  drawzones(app);
  z.touch();
}

void whitelabels(ZarnForm& z) {
  for (ui::Label* l : {&z.destlab, &z.symlab, &z.cpytext}) l->forecolor = ui::white;
}

void drawdfsector(App& app) {
  // TODO: with dfsecmode 1, the range circle of dfsecrad around the sector centre and a fan of
  // up to 100 lines from dfsecbrg1 to dfsecbrg2 in dfseccol; otherwise hide the sector.
  (void)app;
}

}  // namespace zarn
