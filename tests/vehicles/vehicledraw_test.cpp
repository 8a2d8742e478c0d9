// Reported vehicles in their rows, on the map along a real drive, selected and corrected.
#include <cmath>

#include "mapdisplay/map_support.h"
#include "support/builders.h"
#include "vehicles/chase.h"
#include "vehicles/mvforms.h"
#include "vehicles/vehicledraw.h"

namespace zarn::test {
namespace {

// An Ordnance Survey test point, SP 74335 62047 on the National Grid.
constexpr float tplat = 52.2516095f, tplon = -0.9124896f;

class VehicleDraw : public maptest::MapTest {
 protected:
  void ready() override {
    squares({{"SP", 400, 200}, {"SJ", 300, 300}});
    app->veh.mvtotal = 3;
    for (int i = 0; i <= app->veh.mvsize; ++i) z().mvim.load(i), z().mvv.load(i);
  }
  // A north-up grid view of a 640 x 480 picture from a south-west corner, w km wide.
  void frame(float x, float y, float w) const { gridview(*app, x, y, x + w, y + w * 3 / 4); }
  ui::ControlArray<ui::Label>& rows() const { return app->win.get<MvForm>().mvdata; }
};

TEST_F(VehicleDraw, RowsKeepTheirColumns) {
  const struct { const char *what, *stat, *loc; float spd; int hdg; double at; const char* row; } cases[] = {
      {"short status as stored", "7", "0000", 105.5f, 7, 86399, "   V1 SP743620       7 0000 2359 105 007       123 "},
      {"empty fields aligned", "", "", -1, -1, 32730.5, "   V1 SP743620                0905      ?        123 "},
      {"never reported: blanks", "", "", -1, VehicleTable::hdgnever, 32730.5, "   V1 SP743620                0905               123 "},
      {"every field", "A01", "1142", 29.9f, 45, 43200, "   V1 SP743620       A01 1142 1200  29 045       123 "},
  };
  auto& v = app->veh;
  vehicle(*app, 1, {.id = "      123", .label = "   V1"});
  for (const auto& c : cases) {
    vehicle(*app, 1, {.stat = c.stat, .loc = c.loc, .spd = c.spd, .hdg = c.hdg});
    clock->settimer(c.at);
    float lat = tplat, lon = tplon;
    plotvehicle(*app, 1, lat, lon);
    EXPECT_FIELDS(Fields().FIELD(rows()[0].caption, c.row).FIELD(v.mvtimer[1], float(c.at))) << c.what;
  }
  EXPECT_EQ(rows()[0].caption.find("045"), app->win.get<MvForm>().Label2.caption.find("Hdg")) << "under the header";
  vehicle(*app, 1, {.label = "LORRY"});
  float lat = tplat, lon = tplon;
  plotvehicle(*app, 1, lat, lon);
  EXPECT_EQ(rows()[0].caption.substr(0, 14), "LORRY SP743620") << "a full label stands apart";
  EXPECT_EQ(rows()[0].caption.find("SP743620"), app->win.get<MvForm>().Label2.caption.find("Location"));
  EXPECT_EQ(VehicleTable().mvhdg[1], VehicleTable::hdgnever);
  EXPECT_LT(VehicleTable().mvspd[1], 0);
}

TEST_F(VehicleDraw, IconAndHeadingLineFollowARealDrive) {
  const auto fixes = maptest::drivefixes();
  int compared = 0, along = 0;
  for (std::size_t k = 0; k + 1 < fixes.size(); ++k) {
    float lat = fixes[k].lat, lon = fixes[k].lon, x = 0, y = 0;
    lltoosgb(app->geo, lat, lon, x, y);
    frame(x - 0.16f, y - 0.12f, 0.32f);  // 2,000 pixels to the km, the vehicle in the middle
    vehicle(*app, 2, {.hdg = fixes[k].course});
    plotvehicle(*app, 2, lat, lon);
    const ui::Line l = z().mvv[2];
    const int left = z().mvim[2].left, top = z().mvim[2].top, len = fixes[k].course < 0 ? 0 : 22;
    // Icon and line start on the vehicle in the middle of the view; the line 22 pixels long.
    ASSERT_TRUE(z().mvim[2].visible && l.visible && l.x1 == left + 16 && l.y1 == top + 16 &&
                std::abs(l.x1 - 320) <= 1 && std::abs(l.y1 - 240) <= 1 &&
                std::abs(std::hypot(l.x2 - l.x1, l.y2 - l.y1) - len) < 1.5);
    std::tie(lat, lon) = std::pair(fixes[k + 1].lat, fixes[k + 1].lon);
    vehicle(*app, 2, {.hdg = -1});
    plotvehicle(*app, 2, lat, lon);
    const int dx = z().mvim[2].left - left, dy = z().mvim[2].top - top;
    if (len == 0 || std::hypot(dx, dy) < 8) continue;
    // Screen y grows downwards: the line points where the icon goes next, but in sharp turns.
    const double turn = std::remainder(std::atan2(dx, -dy) - std::atan2(l.x2 - l.x1, l.y1 - l.y2), 2 * fullpi);
    along += std::abs(turn) < degtorad(15);
    ++compared;
  }
  EXPECT_TRUE(compared > 500 && along > compared * 0.97) << along << " of " << compared;
  EXPECT_EQ(std::tuple(z().mvv[2].x1, z().mvv[2].y1), std::tuple(z().mvv[2].x2, z().mvv[2].y2)) << "heading unknown";
}

TEST_F(VehicleDraw, SelectionFollowsReportsAndTheCorrectionMovesThem) {
  const struct { const char* what; int autosel, vehicle, sel; float corre, corrn; } cases[] = {
      {"no automatic selection: highlight stays", 0, 3, 1, 0, 0}, {"reporter selected, corrected", 1, 2, 2, 1, -0.5f},
      {"and the next", 1, 3, 3, 0, 0}, {"slot 0: corrected, no trail dot", 0, 0, 3, 1, -0.5f}};
  auto& v = app->veh;
  float x = 0, y = 0;
  lltoosgb(app->geo, tplat, tplon, x, y);
  v.mvsel = 1;  // as start-up leaves it
  rows()[0].backcolor = ui::white;
  for (const auto& c : cases) {
    std::tie(v.mvautosel, app->gps.gpscorre, app->gps.gpscorrn) = std::tuple(c.autosel, c.corre, c.corrn);
    const int dots = m().trailcount, before = v.mvsel;
    float lat = tplat, lon = tplon;
    plotvehicle(*app, c.vehicle, lat, lon);
    EXPECT_TRUE(v.mvsel == c.sel && rows()[c.sel - 1].backcolor == ui::white &&
                (before == c.sel || rows()[before - 1].backcolor == ui::lightgrey)) << c.what;
    EXPECT_LT(std::hypot(v.mvx[c.vehicle] - x - c.corre, v.mvy[c.vehicle] - y - c.corrn), 0.002) << c.what;
    // The corrected position goes back to the caller too (for the pager).
    EXPECT_EQ(std::tuple(lat != tplat, m().trailcount), std::tuple(c.corre != 0, dots + (c.vehicle != 0))) << c.what;
  }
}


// A base station with chase switched on: every report of the selected vehicle moves the tiled
// map onto it, where the read-outs put it, not onto a destination that nothing moves.
using FleetMap = AppTest;

TEST_F(FleetMap, TheMapShowsTheSelectedVehicleWithChaseOnOrOff) {
  demomaps(*app);
  auto& v = app->veh;
  std::tie(app->main.mvmode, v.mvtotal, v.mvsel, v.mvautosel) = std::tuple(1, 2, 1, true);
  for (int i = 0; i <= v.mvsize; ++i) app->win.zarn.mvim.load(i), app->win.zarn.mvv.load(i);
  NavState& n = app->nav;
  std::tie(n.curdest, n.destx[0], n.desty[0]) = std::tuple(0, 379.0f, 384.5f);  // SJ 79000 84500
  ASSERT_GT(onemap(*app, "DRIVE"), 0);
  for (bool chase : {false, true}) {
    if (chase) chasetoggle(*app);
    for (const auto& [x, y] : {std::pair(377.9f, 384.6f), std::pair(372.481f, 382.881f)}) {
      float lat = 0, lon = 0;
      ASSERT_TRUE(osgbtoll(app->geo, x, y, lat, lon));
      plotvehicle(*app, 2, lat, lon);
      const MapView& m = app->map;
      EXPECT_TRUE(m.mapxmin < app->gps.ownx && app->gps.ownx < m.mapxmax && m.mapymin < app->gps.owny &&
                  app->gps.owny < m.mapymax)
          << "chase " << chase << ": the vehicle read out at " << app->win.zarn.gridbox.caption << ", the map "
          << m.mapxmin << ".." << m.mapxmax << " east";
      EXPECT_LT(std::hypot(app->gps.ownx - x, app->gps.owny - y), 0.01) << "the read-outs show the reporting vehicle";
    }
  }
}

}  // namespace
}  // namespace zarn::test
