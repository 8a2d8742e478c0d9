#include "vehicles/vehicledraw.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "geodesy/ukgrid.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/owncar.h"
#include "navigation/gridref6.h"
#include "platform/textrules.h"
#include "vehicles/chase.h"
#include "vehicles/mvforms.h"
#include "vehicles/pager.h"

namespace zarn {

namespace {

std::string blankfill(const std::string& field, std::size_t width) {
  return field.empty() ? std::string(width, ' ') : field;
}

// The row of vehicle i: label, a blank and the short grid reference in 21 columns, status,
// report time, receipt time, speed, heading and identity, under the header's columns. A label
// longer than its five columns (a Datatrak unit's six) takes them from the reference's, so that
// the columns after it stay under the header. A vehicle with no position yet (the frame origin
// lies out at sea, where no report puts one) shows none, and an empty field blanks across its
// column.
std::string vehiclerow(App& app, int i) {
  const VehicleTable& v = app.veh;
  const auto k = static_cast<std::size_t>(i);
  std::string six;
  if (v.mvx[k] != 0 || v.mvy[k] != 0) {
    std::string grid;
    gridreftext(app.geo, v.mvx[k], v.mvy[k], grid);
    gridref6(grid, six);
  }
  std::string row;
  row.reserve(64);
  row += v.mvlabel[k];
  row += ' ';  // a label that fills its five columns still stands apart from the reference
  row += six;
  row = text::pad(row, 21);
  row += blankfill(v.mvstat[k], 3);
  row += ' ';
  row += blankfill(v.mvloc[k], 4);
  row += ' ';
  row += blankfill(v.mvhhmm[k], 4);
  row += ' ';
  row += vehspdtext(v.mvspd[k]);
  row += ' ';
  row += vehhdgtext(v.mvhdg[k]);
  row += ' ';
  row += v.mvid[k];
  row += ' ';
  return row;
}

void rowcolour(MvForm& f, int row, ui::Colour c) {
  if (f.mvdata.exists(row)) f.mvdata[row].backcolor = c;
}


}  // namespace

std::string vehhdgtext(int hdg) {
  if (hdg == VehicleTable::hdgnever) return "   ";
  return hdg < 0 ? " ? " : text::padleft(std::to_string(hdg), 3, '0');
}

std::string vehspdtext(float mph) {
  if (mph < 0 || !std::isfinite(mph)) return "   ";
  // The whole part: a speed of 29.9 is 29.
  return text::padleft(std::to_string(static_cast<long>(std::min(mph, 1e6f))), 3, ' ');
}

void showvehiclerow(App& app, int i) {
  const VehicleTable& v = app.veh;
  if (i < 1 || i > v.mvsize) return;
  // Vehicles beyond the rows of the window have their icon but no row.
  MvForm& f = app.win.get<MvForm>();
  if (f.mvdata.exists(i - 1)) f.mvdata[i - 1].set(vehiclerow(app, i));
}

void plotvehicle(App& app, int i, float& lat, float& lon) {
  VehicleTable& v = app.veh;
  const GpsState& g = app.gps;
  if (g.gpscorre != 0 || g.gpscorrn != 0) {
    // The vehicles are moved by the same correction as the own fix.
    float x = 0, y = 0;
    lltoosgb(app.geo, lat, lon, x, y);
    osgbtoll(app.geo, x + g.gpscorre, y + g.gpscorrn, lat, lon);
  }
  if (i < 0 || i > v.mvsize) return;
  const auto k = static_cast<std::size_t>(i);
  lltoosgb(app.geo, lat, lon, v.mvx[k], v.mvy[k]);

  const platform::DateTime now = app.sys.clock->now();
  v.mvtimer[k] = static_cast<float>(now.hour * 3600 + now.minute * 60 + now.second + now.fraction);
  const std::string t = text::timetext(now);
  v.mvhhmm[k] = t.substr(0, 2) + t.substr(3, 2);
  if (v.mvloc[k].empty()) v.mvloc[k] = "    ";
  if (v.mvstat[k].empty()) v.mvstat[k] = "   ";

  MvForm& f = app.win.get<MvForm>();
  showvehiclerow(app, i);
  if (v.mvautosel) {
    rowcolour(f, v.mvsel - 1, ui::lightgrey);
    v.mvsel = i;
    rowcolour(f, v.mvsel - 1, ui::white);
  }
  if (i == v.mvsel) selvehicle(app, i);

  if (i != 0) {
    // The map follows the shown position, which is the selected vehicle's.
    choosemap(app, g.ownx, g.owny);
    drawvehicles(app);
    addtrail(app.map, app.win.zarn, app.geo, app.gps, v.mvx[k], v.mvy[k]);
  }
  // The pager takes speeds in mph as the vehicles report them; an unknown one goes as 0.
  pagerreq(v, app.files, *app.sys.clock, text::trim(v.mvlabel[k]), lat, lon, v.mvhdg[k] < 0 ? -1 : v.mvhdg[k],
           std::max(v.mvspd[k], 0.0f), v.mvstat[k].substr(0, 2));
}

void drawvehicle(ZarnForm& z, const VehicleTable& v, GeoState& geo, const MapView& map, int i) {
  if (i < 0 || i > v.mvsize) return;
  ui::Image* icon = z.mvim.find(i);
  ui::Line* line = z.mvv.find(i);
  if (!icon || !line) return;
  const auto k = static_cast<std::size_t>(i);
  float px = 0, py = 0;
  // Without a map there is no pixel: the icon and line stay as they were.
  if (!worldtopix(geo, map, v.mvx[k], v.mvy[k], px, py)) return;

  // The 32-pixel icon centred on the position.
  icon->move(ui::pixel(px) - 16, ui::pixel(py) - 16);
  icon->visible = true;

  // A white line 22 pixels long from the position along the heading, up the screen for 0;
  // of no length while the heading is unknown.
  float ex = px, ey = py;
  if (v.mvhdg[k] >= 0) {
    const float a = static_cast<float>(v.mvhdg[k]) * 3.14159f / 180;
    ex = px + 22 * std::sin(a);
    ey = py - 22 * std::cos(a);
  }
  line->bordercolor = ui::white;
  line->borderwidth = 2;
  line->set(ui::pixel(px), ui::pixel(py), ui::pixel(ex), ui::pixel(ey));
  line->visible = true;
}

void drawvehicles(App& app) {
  for (int i = 1; i <= app.veh.mvtotal; ++i) drawvehicle(app.win.zarn, app.veh, app.geo, app.map, i);
}

}  // namespace zarn
