#include "mainwindow/readouts.h"

#include <cmath>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/distwords.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/ownfix.h"
#include "platform/textrules.h"

namespace zarn {

void ownreadouts(App& app) {
  const auto& g = app.gps;
  std::string grid, ll;
  gridreftext(app.geo, g.ownx, g.owny, grid);
  float lat = 0, lon = 0;
  osgbtoll(app.geo, g.ownx, g.owny, lat, lon);
  latlongtext(lat, lon, ll);
  showgridref(app.win.zarn, grid);
  app.win.zarn.llbox.set(ll);
}

void setstatcol(ZarnForm& z, ui::Colour colour) {
  if (z.llbox.backcolor == colour) return;
  z.llbox.backcolor = colour;
  z.gridbox.backcolor = colour;
  z.hdgbox.backcolor = colour;
  z.vecto.bordercolor = colour;
}

void mousereadout(App& app, int /*button*/, int /*shift*/, float X, float Y) {
  GeoState& g = app.geo;
  const int iy = text::int16(Y);
  if (X == app.map.mouselastx && iy == app.map.mouselasty) return;
  app.main.lastclick = app.timer();
  app.map.mouselastx = X;
  app.map.mouselasty = iy;

  ZarnForm& z = app.win.zarn;
  float x = 0, y = 0;
  if (pixtoll(app.geo, app.map, X, Y, x, y)) {  // the pixel under the pointer
    app.map.mousex = x;
    app.map.mousey = y;
    std::string grid, ll;
    gridreftext(g, x, y, grid);
    float lat = 0, lon = 0;
    osgbtoll(g, x, y, lat, lon);
    latlongtext(lat, lon, ll);
    if (app.main.displayxy == 1)
      showgridref(app.win.zarn, text::str(static_cast<long long>(std::floor(X))) +
                           text::str(static_cast<long long>(std::floor(Y))));
    else
      showgridref(app.win.zarn, grid);
    z.llbox.set(ll);
  }
  if (z.modebox.caption != "OLD") z.modebox.set("<-");
  setstatcol(z, ui::white);
  z.iconmouse.move(text::cint(X), text::cint(Y));
}

}  // namespace zarn
