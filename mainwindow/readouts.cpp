#include "mainwindow/readouts.h"

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"

namespace zarn {

void showgridref(App& app, const std::string& text) {
  ui::Label& box = app.win.zarn.gridbox;
  if (text.size() <= 14)
    box.setfontsize(12);
  else if (text.size() == 15)
    box.setfontsize(9.75);
  else
    box.setfontsize(8.25);
  box.set(text);
}

void ownreadouts(App& app) {
  const auto& g = app.gps;
  std::string grid, ll;
  gridreftext(app.geo, g.ownx, g.owny, grid);
  float lat = 0, lon = 0;
  osgbtoll(app.geo, g.ownx, g.owny, lat, lon);
  latlongtext(lat, lon, ll);
  showgridref(app, grid);
  app.win.zarn.llbox.set(ll);
}

void setstatcol(App& app, ui::Colour colour) {
  auto& z = app.win.zarn;
  if (z.llbox.backcolor == colour) return;
  z.llbox.backcolor = colour;
  z.gridbox.backcolor = colour;
  z.hdgbox.backcolor = colour;
  z.vecto.bordercolor = colour;
}

}  // namespace zarn
