#include "gpsinput/fixsteps.h"

#include <cmath>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "mainwindow/readouts.h"
#include "platform/textrules.h"

namespace zarn {

void storeposition(App& app, float lat, float lon) {
  auto& g = app.gps;
  if (app.gps.gpscorre != 0 || app.gps.gpscorrn != 0) {
    float x = 0, y = 0;
    lltoosgb(app.geo, lat, lon, x, y);
    x += app.gps.gpscorre;
    y += app.gps.gpscorrn;
    osgbtoll(app.geo, x, y, lat, lon);
  }
  g.ownlat = lat;
  g.ownlon = lon;
  lltoosgb(app.geo, g.ownlat, g.ownlon, g.ownx, g.owny);
  showposition(app);
}

void showposition(App& app) {
  auto& g = app.gps;
  gridreftext(app.geo, g.ownx, g.owny, g.owngrid);
  showgridref(app, g.owngrid);
  std::string ll;
  latlongtext(g.ownlat, g.ownlon, ll);
  app.win.zarn.llbox.set(std::move(ll));
  g.prevx = g.ownx;
  g.prevy = g.owny;
}

bool store16(double v, int& out) {
  if (!std::isfinite(v) || v < -32768.5 || v >= 32767.5) return false;
  out = text::int16(v);
  return true;
}

void headingrule(App& app, float course) {
  if (app.gps.ownspd > app.gps.minhdgspd) store16(std::floor(static_cast<double>(course)), app.gps.ownhdg);
}

void velocityrule(App& app, double rad) {
  auto& g = app.gps;
  const double a = g.ownhdg * rad;
  g.ownve = static_cast<float>(g.fixspeed * std::sin(a) / 3.6);
  g.ownvn = static_cast<float>(g.fixspeed * std::cos(a) / 3.6);
}

}  // namespace zarn
