// Free-text reports replayed from a multi-vehicle log, and the own unit's "P:" line on the link.
#include <cmath>

#include "gpsinput/serialpoll.h"
#include "mainwindow/replay.h"
#include "support/app_fixture.h"
#include "support/builders.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

using TextReports = AppTest;

TEST_F(TextReports, ReportsAddUnitsTheTripLogsOwnLinesDoNot) {
  squares({{"SJ", 300, 300}});
  VehicleTable& v = app->veh;
  std::tie(app->main.mvmode, app->gps.replayfile, v.mvtotal) = std::tuple(1, "TEST.MVD", 1);
  vehicle(*app, 1, {.label = "V12  "});
  // A new unit twice; a place that does not read; an identity unfit for a file name. The trip log's
  // lines of a line report, record and Datatrak report, for V12 and a new unit, in Cheshire and London.
  const std::string t = "LOG: 12:00:00 10-26-2020 from ";
  for (const std::string& l : Items{"LOG msg from AB12 at 1205 SJ574832", "LOG msg from AB12 at 1206 SJ575833",
                                    "LOG msg from CD34 at 1205 SJ57 712", "LOG msg from ../x at 1205 SJ574832",
                                    t + "W7    SJ574832 at 1205", t + "V12 at 1205 SJ574832 7",
                                    t + "W7 at 1205 513000N0000600W 7", t + "V12 at SJ574832 SJ 57467 83268"})
    put("TEST.MVD", l + "\r\n"), app->gps.replay.reset(), replaystep(*app);
  EXPECT_FIELDS(Fields()
                    .FIELD(v.mvtotal, 2)
                    .FIELD(v.mvlabel[2], "AB12 ")
                    .FIELD(v.mvid[2], "AB12     ")
                    .FIELD(v.mvx[1], 0.0f)
                    .FIELD(v.alarmcount, 0));
  EXPECT_TRUE(played().empty() && tts->said.empty());
}

// A report's code, its kind in front, shows under Msg in the unit's row; one without keeps it.
TEST_F(TextReports, ACodedReportShowsItsCodeUnderMsg) {
  squares({{"SJ", 300, 300}});
  std::tie(app->main.mvmode, app->gps.replayfile) = std::tuple(1, "TEST.MVD");
  const MvForm& f = app->win.get<MvForm>();
  Items shown;
  for (const char* code : {" 712", " A12", ""}) {
    put("TEST.MVD", "LOG msg from AB12 at 1205 SJ574832" + std::string(code) + "\r\n");
    app->gps.replay.reset(), replaystep(*app);
    shown.push_back(app->veh.mvstat[1] + "|" + f.mvdata[0].caption.substr(f.Label2.caption.find("Msg"), 3));
  }
  EXPECT_EQ(shown, (Items{"712|712", "A12|A12", "A12|A12"}));
}

TEST_F(TextReports, OwnUnitsLineOnTheLink) {
  // Ordnance Survey test point TP16 (53.34480 N, 2.64049 W) in 4 m units, east at 50 mph; then damaged lines.
  app->main.mvmode = 1;
  for (const char* l : {"P:0001 12:34:56 2 10 089364 095823", "P:0001 12:34:56 2 10 089364 09582",
                        "P:0001 12:34:56 2 10 0893X4 095823", "P:0001 12:34:56 2  5 089364 095823"})
    serial->chunks.push_back(l + std::string("\r")), readcomms(*app);
  const GpsState& g = app->gps;
  EXPECT_EQ(std::tuple(g.ownhdg, app->win.zarn.hdgbox.caption, std::lround(g.ownspd * 10)), std::tuple(90, "090", 805));
  EXPECT_TRUE(std::abs(g.ownx - 357.456f) < 1e-3f && std::abs(g.owny - 383.292f) < 1e-3f &&
              std::abs(g.ownve - 80.5f / 3.6f) < 1e-3f && std::abs(g.ownvn) < 1e-3f &&
              std::abs(g.ownlat - 53.3448f) < 6e-4f && std::abs(g.ownlon + 2.6405f) < 1e-3f);
}

}  // namespace
}  // namespace zarn::test
