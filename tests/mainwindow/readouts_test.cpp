#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "mainwindow/readouts.h"
#include "support/app_fixture.h"

namespace zarn {
namespace {

void gridmap(MapView& m, float x0, float x1, float y0, float y1) {
  m.curlatlon = 0;
  m.mapxmin = x0;
  m.mapxmax = x1;
  m.mapymin = y0;
  m.mapymax = y1;
}

using Readout = test::AppTest;

TEST_F(Readout, MousereadoutShowsWhatLiesUnderThePointer) {
  squares({{"TQ", 500, 100}});
  clock->settimer(1000);
  ZarnForm& z = app->win.zarn;
  gridmap(app->map, 500, 564, 150, 198);  // 100 m a pixel
  mousereadout(*app, 0, 0, 321, 241);
  EXPECT_EQ(app->main.lastclick, 1000);
  EXPECT_EQ(z.gridbox.caption, "TQ 32050 73950");
  EXPECT_EQ(z.llbox.caption, "51  26.948'N 000  06.058'W");  // cs2cs puts the two within a metre
  EXPECT_EQ(z.modebox.caption, "<-");
  EXPECT_EQ(z.iconmouse.left, 321);
  EXPECT_EQ(z.iconmouse.top, 241);

  clock->settimer(2000);
  z.modebox.caption = "SIM";
  mousereadout(*app, 0, 0, 321, 241.3f);
  EXPECT_EQ(z.modebox.caption, "SIM") << "only the fraction of Y changed: nothing happens";
  EXPECT_EQ(app->main.lastclick, 1000);
  z.modebox.caption = "OLD";
  app->main.displayxy = 1;
  mousereadout(*app, 0, 0, 321.5f, 241.3f);
  EXPECT_EQ(z.modebox.caption, "OLD") << "any change of X counts; \"OLD\" is kept";
  EXPECT_EQ(z.gridbox.caption, " 320 240") << "the pixel position, each number with its blank";
  EXPECT_EQ(app->main.lastclick, 2000);
}

struct ZarnBgd : ui::Form {
  static constexpr const char* formname = "zarnbgd";
  ZarnBgd() : ui::Form(formname) {}
};

TEST_F(Readout, ShowdestdistClockPositions) {
  App& app = *this->app;
  app.main.metric = 1;
  app.gps.ownx = app.gps.owny = 400;
  app.nav.curdest = 3;
  // Places the destination 10 km away at a bearing whose whole degree is brg.
  auto dest = [&](int brg) {
    const double r = (brg - 0.2) * M_PI / 180;
    app.nav.destx[3] = static_cast<float>(400 + 10 * std::sin(r));
    app.nav.desty[3] = static_cast<float>(400 + 10 * std::cos(r));
  };
  const struct { int brg, hdg, clock; } cases[] = {
      {10, 350, 1},   {0, 0, 12},   {0, 359, 12},  // -344 / 30 floors to -12: 12 added twice
      {180, 0, 6},    {90, -1, 3},  {345, -1, 12}, {343, -1, 11}, {344, -1, 12}, {100, 10, 3},
  };
  for (const auto& c : cases) {
    dest(c.brg);
    app.gps.ownhdg = c.hdg;
    showdestdist(app);
    EXPECT_EQ(app.nav.clockbrg, c.clock) << c.brg << " " << c.hdg;
    EXPECT_EQ(app.win.zarn.dirbox.caption, " " + std::to_string(c.clock) + "oc");
    EXPECT_NEAR(app.nav.destdist, 10, 1e-4);
    EXPECT_EQ(app.win.zarn.disbox.caption, " 10k");
  }

  // The stand-by window, once it exists, carries both read-outs.
  app.win.get<ZarnBgd>();
  app.gps.ownhdg = 0;
  dest(180);
  app.main.metric = 0;
  showdestdist(app);
  EXPECT_EQ(app.win.find("zarnbgd")->caption, " 6m@ 6oc");

  app.nav.curdest = 201;  // a slot beyond the table reads nothing
  showdestdist(app);
  EXPECT_EQ(app.nav.clockbrg, 6);
}

}  // namespace
}  // namespace zarn
