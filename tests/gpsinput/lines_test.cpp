// Receiver-specific lines and the track and .AGD log lines.
#include <cmath>

#include "geodesy/ukgrid.h"
#include "gpsinput/fform.h"
#include "gpsinput/ownfix.h"
#include "gpsinput/receiverlines.h"
#include "gpsinput/tracklines.h"
#include "gpstest.h"

namespace zarn::test {
namespace {

using Lines = GpsTest;

TEST_F(Lines, SectorSentenceShowsOrHidesTheSector) {
  auto& g = app->gps;
  const auto& s = g.dfsector;
  g.ownhdg = 90;
  g.ownspd = 50;
  secsentence(*app, "$DFSEC,1,2,5130.000,N,00010.000,W,2.5,45,90*00");
  EXPECT_EQ(s.dfsecmode, 1);
  EXPECT_NEAR(s.dfseclat, 51.5, 1e-5);
  EXPECT_NEAR(s.dfseclon, -(10.0 / 60), 1e-5);
  EXPECT_EQ((std::vector{s.dfsecrad, s.dfsecbrg1, s.dfsecbrg2}), (std::vector<float>{2.5f, 45, 90}));
  EXPECT_EQ(g.ownhdg, -1);
  EXPECT_FLOAT_EQ(g.ownspd, 0);
  float x = 0, y = 0;
  lltoosgb(app->geo, 51.5f, static_cast<float>(-10.0 / 60), x, y);
  EXPECT_FLOAT_EQ(g.ownx, x) << "the car goes to the sector's centre";

  secsentence(*app, "$DFSEC,1,2,5130.000,N,00010.000,W,2.5,45,90");
  EXPECT_FLOAT_EQ(s.dfsecbrg2, 0) << "the last field counts only when a \"*\" or \",\" ends it";
  g.ownx = 1;
  secsentence(*app, "$DFSEC,1,2,5200.000,N,00010.000,W,0,45,90*00");
  EXPECT_EQ(s.dfsecmode, 0) << "radius 0 hides the sector";
  EXPECT_FLOAT_EQ(g.ownx, 1) << "and does not move the car";
}

TEST_F(Lines, FixedColumnPositions) {
  auto& g = app->gps;
  // SONY: hemisphere 20, degrees 21-22, minutes 23-24 and thousandths 25-27; longitude 28-36;
  // speed 42-44 (km/h) and course 45-47.
  std::string sony = "SONY" + std::string(15, ' ') + "S4512345W00110500" + std::string(5, ' ') + "050271";
  sony.resize(100, ' ');
  sonyfix(*app, sony);
  EXPECT_NEAR(g.ownlat, -(45 + 12.345 / 60), 1e-5);
  EXPECT_NEAR(g.ownlon, -(1 + 10.5 / 60), 1e-5);
  EXPECT_FLOAT_EQ(g.ownspd, 50);
  EXPECT_EQ(g.ownhdg, 271);

  // TAIP: signed hundred-thousandths of a degree, miles per hour, heading.
  taiprpv(*app, ">RPV00000+5150000-00010000030090");
  EXPECT_NEAR(g.ownlat, 51.5, 1e-5);
  EXPECT_NEAR(g.ownlon, -0.1, 1e-5);
  EXPECT_FLOAT_EQ(g.fixspeed, 30 * 1.61f);
  EXPECT_EQ(g.ownhdg, 90);
  // Not above the heading speed: the heading stays and the velocity uses it.
  g.minhdgspd = 60;
  taiprpv(*app, ">RPV00000+5150000-00010000030180");
  EXPECT_EQ(g.ownhdg, 90);
  EXPECT_NEAR(g.ownve, 48.3 / 3.6, 1e-3);
  EXPECT_NEAR(g.ownvn, 0, 1e-3);
  app->gps.gpscorrn = 1.112f;  // a correction replaces the received latitude and longitude
  taiprpv(*app, ">RPV00000+5150000-00010000030180");
  EXPECT_NEAR(g.ownlat, 51.51, 1e-3);
}

TEST_F(Lines, SwitchStatesAreReportedWhenTheyChange) {
  put("SWITCHES.CFG", "2\r\n10000001,Door open,door.wav,Door shut,shut.wav\r\n"
                      "01000000,\"Engine, on\",eng.wav,Engine off,off.wav\r\n");
  gpstaswitch(*app, "$GPSTA,S,00000000");
  auto& sw = app->win.get<FForm>().switches;
  EXPECT_EQ(sw[7].caption, "Door shut");
  EXPECT_EQ(sw[0].caption, "Door shut");
  EXPECT_EQ(sw[1].caption, "Engine off");
  EXPECT_EQ(app->speech.msgtext, "Door shut");  // switch 8 first, switch 1 last
  EXPECT_EQ(app->gps.switchstates, "00000000");
  sw[1].caption = "";
  gpstaswitch(*app, "$GPSTA,S,00000000");
  EXPECT_EQ(sw[1].caption, "") << "nothing changed, nothing reported";
  gpstaswitch(*app, "$GPSTA,S,01000000");
  EXPECT_EQ(sw[1].caption, "Engine, on");
}

TEST_F(Lines, TrackPoints) {
  auto& g = app->gps;
  auto trk = [&](const char* lat, const char* datetime) {
    trkline(*app, std::string("T  N") + lat + " W00010.25000 " + datetime);
  };
  trk("5130.50000", "17-FEB-98 12:00:00");
  EXPECT_NEAR(g.ownlat, 51.508333, 1e-5);
  EXPECT_NEAR(g.ownlon, -0.170833, 1e-5);
  EXPECT_EQ(g.gpsdatetxt, "170298");
  EXPECT_EQ(g.gpstimetxt, "12:00:00");
  // The first point has nothing before it: no speed, and the heading stays unknown.
  EXPECT_FLOAT_EQ(g.ownspd, 0);
  EXPECT_EQ(app->win.zarn.hdgbox.caption, "?");
  trk("5131.03960", "17-FEB-98 12:01:00");  // one minute later, about 1 km north
  EXPECT_NEAR(g.ownspd, 60, 1.5);
  EXPECT_TRUE(g.ownhdg <= 2 || g.ownhdg >= 358) << g.ownhdg;  // north, give or take convergence
  trk("5131.03960", "17-FEB-98 23:59:30");
  trk("5131.57920", "18-FEB-98 00:00:30");
  EXPECT_NEAR(g.ownspd, 60, 1.5) << "across midnight: one minute";
  g.ownhdg = 123;
  trk("5131.57920", "18-FEB-98 00:00:30");
  EXPECT_FLOAT_EQ(g.ownspd, 0);
  EXPECT_EQ(g.ownhdg, 123) << "a point that has not moved keeps the heading";
  trk("5132.11880", "18-FEB-98 00:00:30");
  EXPECT_NEAR(g.ownspd, 1, 0.03) << "the same time twice counts as one hour";

  // Short lines or another start change nothing but the message line.
  const float x = g.ownx;
  trkline(*app, "T  N5130.50000 W00010.25000");
  trkline(*app, "X  N5130.50000 W00010.25000 17-FEB-98 12:00:00");
  EXPECT_FLOAT_EQ(g.ownx, x);
  EXPECT_EQ(app->speech.msgtext.size(), 80u);
}

TEST_F(Lines, AgdFixesAndTimes) {
  auto& g = app->gps;
  parsefix(*app, "17/02/1998 12:00:00     2 51.500000 -0.100000 A 3.0 4.0 123.5");
  EXPECT_EQ(g.gpsdatetxt, "170298");
  EXPECT_FLOAT_EQ(g.fixsecs, 43200);
  EXPECT_EQ(g.agdqual, 2);
  EXPECT_NEAR(g.ownlat, 51.5, 1e-6);
  EXPECT_NEAR(g.ownlon, -0.1, 1e-6);
  EXPECT_NEAR(g.ownspd, 18, 1e-4) << "5 m/s from 3 east and 4 north";
  EXPECT_EQ(g.ownhdg, 37);
  EXPECT_FLOAT_EQ(g.ownalt, 123.5f);
  parsefix(*app, "17/02/1998 12:00:01     2 51.500000");
  EXPECT_FLOAT_EQ(g.ownalt, 0) << "missing fields read as 0";
  EXPECT_FLOAT_EQ(g.ownspd, 0);

  EXPECT_FLOAT_EQ(timetosecs("12:30"), 45000);
  EXPECT_FLOAT_EQ(timetosecs("12:30:15"), 45015);
  EXPECT_FLOAT_EQ(timetosecs("12:30:1"), 45000);
  EXPECT_FLOAT_EQ(timetosecs(""), 0);
}

TEST_F(Lines, SpeedReadOutInTheChosenUnit) {
  const struct { float kmh; int metric, nautical; const char* shown; } cases[] = {
      {100, 1, 0, "100"}, {100, 0, 0, "62"}, {100, 0, 1, "54"}, {100, 1, 1, "100"}, {0.9f, 0, 1, "0"}};
  for (const auto& c : cases) {
    app->gps.ownspd = c.kmh;
    app->main.metric = c.metric;
    app->main.nautical = c.nautical;
    showspeed(*app);
    EXPECT_EQ(app->win.zarn.spdbox.caption, c.shown) << c.kmh << " " << c.metric << c.nautical;
  }
}

}  // namespace
}  // namespace zarn::test
