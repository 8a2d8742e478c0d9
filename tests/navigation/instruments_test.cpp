// The trip meter's gates, units and estimates, over the recorded drive too; the instruments' needles.
#include <cmath>
#include <fstream>

#include "gpsinput/nmea.h"
#include "mainwindow/takefix.h"
#include "navigation/destinations.h"
#include "navigation/iform.h"
#include "navigation/tripmeter.h"
#include "platform/textrules.h"
#include "geodesy/helpers.h"
#include "support/app_fixture.h"
#include "support/builders.h"
#include "support/runtool.h"

namespace zarn::test {
namespace {

using Instruments = AppTest;

// A needle's direction in degrees clockwise from up, or its length when asked.
double angle(const ui::Line& l, bool len = false) {
  if (len) return std::hypot(l.x2 - l.x1, l.y2 - l.y1);
  const double a = std::atan2(l.x2 - l.x1, l.y1 - l.y2) / degrad;
  return a < 0 ? a + 360 : a;
}

TEST_F(Instruments, TripDistanceGatesUnitsAndEstimates) {
  IForm& f = instruments(*app);
  const struct { const char* guards; float km, spd; int platform, nodest; const char* go; const char* eta; } estimates[] = {
      {"too slow before any estimate", 5, 9.9f, 0, 0, "?", "?"},
      {"5 km at 60 in a car: 300 s and a fifth more", 5, 60, 0, 0, "6m", "12:06"},
      {"the last 120 s lose 3 s before the car's fifth", 0.1f, 60, 0, 0, "3s", "12:00"},
      {"an aircraft keeps the straight line", 0.1f, 60, 2, 0, "3s", "12:00"},
      {"exactly 60 s is a minute", 0.875f, 50, 2, 0, "1m", "12:01"},
      {"3599 s cuts to 59.9 minutes", 3599, 3600, 2, 0, "59.9m", "12:59"},
      {"exactly 3600 s is an hour", 60, 60, 2, 0, "1h", "13:00"},
      {"5400 s is 1.5 hours", 90, 60, 2, 0, "1.5h", "13:30"},
      {"arrival past midnight wraps the clock", 720, 60, 2, 0, "12h", "00:00"},
      {"too slow: the last estimate, stale", 5, 9.9f, 0, 0, "12h?", "00:00?"},
      {"no destination", 5, 60, 0, 1, "?", "?"},
      {"an overflowing time is taken as none", 3e38f, 10, 2, 0, "0s", "12:00"}};
  for (const auto& c : estimates) {
    std::tie(app->nav.destdist, app->main.platformkind, app->nav.nodest) = std::tuple(c.km, c.platform, c.nodest);
    ownspeed(*app, c.spd);
    tripmeter(*app);
    EXPECT_EQ(std::tuple(f.timetil.caption, f.etalab.caption), std::tuple(c.go, c.eta)) << c.guards;
  }
  const struct { const char* guards; float dt, spd, km0; int metric, nautical; float km; const char* shown; bool taken; } trips[] = {
      {"under 5 s nothing is added and the timer waits", 4.9f, 72, 2, 1, 0, 2, "-", false},
      {"exactly 5 s takes an update; 2.1 is not cut to 2.09", 5, 72, 2, 1, 0, 2.1f, "2.1", true},
      {"72 km/h over 50 s adds 1 km", 50, 72, 2, 1, 0, 3, "3", true},
      {"exactly 100 s still counts", 100, 36, 2, 1, 0, 3, "3", true},
      {"over 100 s adds nothing but restarts the timer", 100.5f, 72, 2, 1, 0, 2, "2", true},
      {"neither unit flag: statute miles, cut to hundredths", 50, 72, 2, 0, 0, 3, "1.86", true},
      {"nautical wins over metric", 50, 72, 2, 1, 1, 3, "1.62", true},
      {"cut, not rounded", 5, 0, 12.348f, 1, 0, 12.348f, "12.34", true},
      {"an overflowing distance keeps the last", 50, 3e38f, 2, 1, 0, 2, "2", true}};
  for (const auto& c : trips) {
    const float now = app->timer();
    std::tie(app->nav.tripkm, app->nav.triptimer, f.miletacho.caption) = std::tuple(c.km0, now - c.dt, "-");
    ownspeed(*app, c.spd);
    std::tie(app->main.metric, app->main.nautical) = std::pair(c.metric, c.nautical);
    tripmeter(*app);
    EXPECT_NEAR(app->nav.tripkm, c.km, 1e-5) << c.guards;
    EXPECT_EQ(std::tuple(f.miletacho.caption, app->nav.triptimer == now), std::tuple(c.shown, c.taken)) << c.guards;
  }
}

// The drive a sentence at a time, the clock at each one's time: the track's length by geod.
TEST_F(Instruments, TripOverTheRecordedDriveMatchesGeod) {
  if (!testing::havetool("geod")) GTEST_SKIP() << "geod (proj-bin) is not installed";
  std::ifstream log(ZARN_TEST_DATA "/nmea/drive/cheshire-2020-10-26.nmea");
  std::vector<std::vector<double>> legs;
  for (std::string l; std::getline(log, l);) {
    if (l.size() < 17 || l[13] != '.') continue;  // only sentences that carry their time
    clock->settimer(text::val(l.substr(7, 2)) * 3600 + text::val(l.substr(9, 2)) * 60 + text::val(l.substr(11, 5)));
    if (legs.empty() && app->gps.ownlat == 0) resettrip(app->nav, instruments(*app), app->timer());
    const double lat = app->gps.ownlat, lon = app->gps.ownlon;
    applysentence(*app, l);
    if (lat != 0 && (lat != app->gps.ownlat || lon != app->gps.ownlon)) legs.push_back({lat, lon, app->gps.ownlat, app->gps.ownlon});
  }
  const auto rows = testing::toolrows({"geod", "+ellps=WGS84", "-I", "+units=km", "-f", "%.8f", "-F", "%.8f"}, legs);
  ASSERT_EQ(rows.size(), legs.size());
  double km = 0;
  for (const auto& r : rows) km += r.at(2);
  EXPECT_GT(km, 20);
  EXPECT_NEAR(app->nav.tripkm, km, km * 0.01);  // 20.65 against 20.72 km
}

TEST_F(Instruments, NeedlesAndReadouts) {
  IForm& f = instruments(*app);
  auto& g = app->gps;
  app->nav.destdist = 42;
  updateinstr(*app);
  EXPECT_EQ(std::tuple(f.instspdk.caption, f.insthdgt.caption, app->nav.destdist), std::tuple("", "", 42)) << "hidden";
  f.show();
  ownaltitude(*app, 500.7f, -50.0f);
  const struct { const char* guards; float spd; int metric, nautical, hdg; float destkm; double spdangle, hdgangle, destangle;
                 const char* kmh; const char* mph; const char* hdgtext; const char* brg; int circle; } cases[] = {
      {"100 km/h metric: 5/6 of a turn from straight down", 100, 1, 0, 85, 9, 120, 85, 5, " 100 kmph", " 62 mph", "085", "005", 14},
      {"100 km/h in mph reads 62.1", 100, 0, 0, 0, 9, 6.3, 0, 90, " 100 kmph", " 62 mph", "000", "090", 14},
      {"200 km/h in mph: 120, a full turn; the label keeps 124", 200, 0, 0, 0, 9, 180, 0, 90, " 200 kmph", " 124 mph", "000", "090", 14},
      {"metric wins over nautical on the dial", 100, 1, 1, 0, 9, 120, 0, 90, " 100 kmph", " 62 mph", "000", "090", 14},
      {"knots: 100 km/h is 54 on the dial", 100, 0, 1, 0, 9, 342.0, 0, 90, " 100 kmph", " 62 mph", "000", "090", 14},
      {"no heading: '?', no needle, the plain bearing", 0, 1, 0, -1, 9, 180, -1, 91, " 0 kmph", " 0 mph", "?", "090", 14},
      {"at the destination the circle is whole", 30, 1, 0, 10, 0, 270, 10, -1, " 30 kmph", " 18 mph", "010", "350", 136}};
  for (const auto& c : cases) {
    ownfixat(*app, 380, 380, c.spd, c.hdg);
    std::tie(app->main.metric, app->main.nautical) = std::pair(c.metric, c.nautical);
    std::tie(app->nav.destx[0], app->nav.desty[0]) = std::pair(380 + c.destkm, 380.f);
    updateinstr(*app);
    for (const auto& [l, want] : {std::pair(&f.instspd, c.spdangle), std::pair(&f.insthdg, c.hdgangle), std::pair(&f.instdest, c.destangle)})
      if (want >= 0 || l == &f.insthdg) { EXPECT_NEAR(angle(*l, want < 0), std::max(want, 0.0), 1.0) << c.guards << " " << l->name; }
    EXPECT_EQ(std::tuple(f.instspdk.caption, f.instspdm.caption, f.insthdgt.caption, f.dbrglab.caption, f.dcirc.height),
              std::tuple(c.kmh, c.mph, c.hdgtext, c.brg, c.circle)) << c.guards;
    EXPECT_EQ(std::tuple(f.dcirc.left + f.dcirc.width / 2, f.dcirc.top + f.dcirc.height / 2, app->nav.destdist), std::tuple(80, 77, c.destkm));
  }
  EXPECT_EQ(std::tuple(f.instdd.caption, f.instalt.caption), std::tuple(" 0 metres", "500 FT -50 FPM"));
  // Side mode keeps the window off the car's half of a 640-pixel screen; ">>" holds it still.
  gridview(*app, 370, 370, 390, 385);
  app->win.zarn.width = 640;
  for (const auto& [side, x, left] : {std::tuple(">>", 389.f, 123), std::tuple("<>", 380.f, 123), std::tuple("<>", 389.f, 0), std::tuple("<>", 371.f, 320)}) {
    std::tie(f.iside.caption, f.left) = std::tuple(side, 123);
    ownmoved(*app, x, g.owny);
    updateinstr(*app);
    EXPECT_EQ(f.left, left) << side << " car at " << x;
  }
  f.left = 648;  // beside the map, on a screen wider than the layout: it stays there
  ownmoved(*app, 371.f, g.owny);
  updateinstr(*app);
  EXPECT_EQ(f.left, 648);
}


// Before the first position there is nothing to measure from: the destination's distance and
// direction are left blank on the map window and the instruments, and shown with the first fix.
TEST_F(Instruments, NoDistanceBeforeThereIsAPosition) {
  IForm& f = instruments(*app);
  f.show();
  auto& z = app->win.zarn;
  std::tie(app->nav.destx[0], app->nav.desty[0]) = std::pair(381.f, 380.f);
  showdestdist(*app);
  updateinstr(*app);
  EXPECT_EQ(std::tuple(z.disbox.caption, z.dirbox.caption, f.instdd.caption, f.dbrglab.caption), std::tuple("", "", "", ""));
  app->main.metric = 1;
  ownfixat(*app, 380, 380, 30, 0);
  showdestdist(*app);
  updateinstr(*app);
  EXPECT_EQ(std::tuple(z.disbox.caption, z.dirbox.caption, f.instdd.caption, f.dbrglab.caption),
            std::tuple(" 1k", " 3oc", " 1 km", "090"));
}
// Until the first position the instruments read nothing: no speed, height, distance, bearing,
// trip or times in the labels, no heading or destination needle and no destination circle; the
// speed needle rests at 0. The first fix shows them.
TEST_F(Instruments, NothingIsReadBeforeTheFirstPosition) {
  IForm& f = instruments(*app);
  const auto read = [&f] {
    std::vector<std::string> v;
    for (const ui::Label* l : {&f.etalab, &f.timetil, &f.instalt, &f.instspdn, &f.instspdk, &f.instspdm, &f.insthdgt,
                               &f.miletacho, &f.dbrglab, &f.instdd})
      v.push_back(text::trim(l->caption));
    return v;
  };
  const auto pointers = [&f] { return std::tuple(angle(f.insthdg, true), angle(f.instdest, true), f.dcirc.visible); };
  EXPECT_EQ(read(), std::vector<std::string>(10)) << "as the window is made";
  EXPECT_EQ(pointers(), std::tuple(0.0, 0.0, false));
  EXPECT_NEAR(angle(f.instspd), 180, 1) << "the speed needle at rest, on 0";
  f.show();
  std::tie(app->nav.destx[0], app->nav.desty[0]) = std::pair(381.f, 380.f);
  updateinstr(*app);
  EXPECT_EQ(read(), (std::vector<std::string>{"", "", "", "", "", "", "?", "", "", ""})) << "no heading yet: '?'";
  EXPECT_EQ(pointers(), std::tuple(0.0, 0.0, false));
  app->main.metric = 1;
  ownfixat(*app, 380, 380, 30, 0);
  updateinstr(*app);
  EXPECT_EQ(std::tuple(f.instspdk.caption, f.insthdgt.caption, f.instdd.caption, f.dbrglab.caption),
            std::tuple(" 30 kmph", "000", " 1 km", "090"));
  EXPECT_EQ(pointers(), std::tuple(60.0, 60.0, true));
}

}  // namespace
}  // namespace zarn::test
