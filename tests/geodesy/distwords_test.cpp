#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/app.h"
#include "geodesy/distwords.h"

namespace zarn {
namespace {

TEST(Distwords, DistextBandsInEachUnitSystem) {
  struct Case {
    int metric, nautical;
    float km;
    const char* text;
    const char* label;
    const char* why;
  };
  const Case cases[] = {
      {1, 0, 5.0f, " 5 km", " 5k", "5 km exactly is in the tenths band"},
      {1, 0, 5.04f, " 5 km", " 5k", "whole band rounds half up"},
      {1, 0, 5.5f, " 6 km", " 6k", "whole band rounds half up"},
      {1, 0, 1.0f, " 1 km", " 1k", "1 km is in the tenths band"},
      {1, 0, 2.79f, " 2.7 km", " 2.7k", "tenths are cut"},
      {1, 0, 0.999f, " 990 metres", " 990m", "tens of metres cut"},
      {1, 0, 0.004f, " 0 metres", " 0m", "nothing left"},
      {0, 0, 1.0f, " .6 miles", " .6m", "0.621 miles, no leading zero"},
      {0, 0, 0.5f, " 540 yards", " 540y", "0.31 miles is below 0.6: tens of yards"},
      {0, 0, 100.0f, " 62 miles", " 62m", "whole miles"},
      {0, 1, 5.0f, " 2.7 nm", " 2.7m", "5 km is 2.7005 nautical miles"},
      {0, 1, 20.0f, " 11 nm", " 11m", "10.8 nautical miles rounds to 11"},
      {0, 1, 1.0f, " 950 yards", " 950y", "yards of nautical miles"},
  };
  for (const auto& c : cases) {
    std::string t, l;
    distext(c.metric, c.nautical, c.km, t, l);
    EXPECT_EQ(t, c.text) << c.why;
    EXPECT_EQ(l, c.label) << c.why;
  }
  App app;
  app.main.metric = 1;
  std::string t, l;
  distext(app, 12.3f, t, l);
  EXPECT_EQ(t, " 12 km");
}

struct ZarnBgd : ui::Form {
  static constexpr const char* formname = "zarnbgd";
  ZarnBgd() : ui::Form(formname) {}
};

TEST(Distwords, ShowdestdistClockPositions) {
  App app;
  app.main.metric = 1;
  app.gps.ownx = 400;
  app.gps.owny = 400;
  app.nav.curdest = 3;
  // Places the destination 10 km away at a bearing whose whole degree is brg.
  auto dest = [&](int brg) {
    const double r = (brg - 0.2) * 3.14159265358979 / 180;
    app.nav.destx[3] = static_cast<float>(400 + 10 * std::sin(r));
    app.nav.desty[3] = static_cast<float>(400 + 10 * std::cos(r));
  };
  struct Case {
    int brg, hdg, clock;
  };
  const Case cases[] = {
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
