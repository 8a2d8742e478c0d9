// The vehicle table's look-up and own file names; the pager hand-off against the stand-in of tools/.
#include "gpsinput/gpstest.h"
#include "mainwindow/takefix.h"
#include "support/app_fixture.h"
#include "support/builders.h"
#include "support/runtool.h"
#include "vehicles/mcv.h"
#include "vehicles/pager.h"
#include "vehicles/vehicledraw.h"

namespace zarn::test {
namespace {

TEST_F(AppTest, FindVehicleMatchesTrimmedAndRefusesWhatItCannotHold) {
  const struct { const char *guards, *id; int nonew, total, want; const char* row; int beeps; bool split = false; } cases[] = {
      {"blanks around an identity: the same vehicle", "      ABC", 1, 2, 2, "ABC      |", 0},
      {"a new identity: the next slot, both padded right", "AB1", 0, 2, 3, "AB1      |AB1  ", 0},
      {"new vehicles refused: 0, no beep", "NEW", 1, 2, 0, "", 0}, {"empty", "  ", 0, 2, 0, "", 0},
      {"an over-long identity keeps its first 9", "123456789012", 0, 2, 3, "123456789|123456789", 0},
      {"a full table: the newcomer takes over the last slot, with a beep", "NEW", 0, 27, 27, "NEW      |NEW  ", 1},
      {"GP from a relayed line: the relay's call sign", "GP", 1, 2, 2, "ABC      |", 0, true},
      {"GP with the call sign of an earlier line: GP itself", "GP", 0, 2, 3, "GP       |GP   ", 0}};
  for (const auto& c : cases) {
    make();
    auto& v = app->veh;
    vehicle(*app, 2, {.id = "ABC      "});
    vehicle(*app, 27, {.id = "OLD", .stat = "A12", .loc = "1230", .hhmm = "1231", .dial = "ATD1", .x = 400, .y = 300,
                       .spd = 30, .hdg = 90});
    std::tie(v.nonewmv, v.mvtotal) = std::pair(c.nonew, c.total);
    std::tie(app->gps.callsign, app->gps.callsplit) = std::tuple("ABC", c.split);
    const int i = findvehicle(app->veh, app->gps, *app->sys.wav, c.id);
    EXPECT_TRUE(i == c.want && (i == 0 || v.mvid[i] + "|" + v.mvlabel[i] == c.row) && wav->beeps == c.beeps &&
                (i == 27 || v.mvid[27] == "OLD")) << c.guards << i;
    // Nothing of the unit replaced passes for the newcomer's: place, times, status, dial command.
    if (i == 27) {
      EXPECT_EQ(std::tuple(v.mvx[27], v.mvy[27], v.mvstat[27], v.mvloc[27], v.mvhhmm[27], v.mvdial[27], v.mvspd[27],
                           v.mvhdg[27], v.mvtotal),
                std::tuple(0.0f, 0.0f, "", "    ", "", "", -1.0f, VehicleTable::hdgnever, 27)) << c.guards;
    }
  }
  EXPECT_EQ(unitfile("$MV$", "AB1  ", ".WAV") + unitfile("$mv$", "TRUCK 12", ".ICO") +
                unitfile("$MV$", "../x", ".TXT") + unitfile("$MV$", "/", ".WAV"),
            "$MV$AB1.WAV$mv$TRUC.ICO") << "no file from a bad label";
}

TEST_F(AppTest, PagerStandInTakesRequestsAndItsFaultsLeaveNothingCut) {
  EXPECT_EQ(pagerline("GP  ", 53.5f, -2.25f, -1, 45.6f, "00"), "PAGE GP   533000N0021500W  ?  0046 00");
  EXPECT_EQ(pagerline("  ABCDEFG", 53.5f, -2.25f, 7, 0, "A12"), "PAGE ABCD 533000N0021500W 007 0000 A12");
  const struct { const char* fault; std::size_t sent; int left; } cases[] = {
      {"none", 1, 2}, {"silent", 0, 1}, {"late", 1, 2}, {"half", 0, 2}};
  const std::string line[] = {"", pagerline("AB", 53.5f, -2.25f, 90, 1, "R"), pagerline("AB", 53.5f, -2, 9, 2, "")};
  for (const auto& c : cases) {
    std::filesystem::remove_all(dir), make(), app->veh.pageron = 1;
    pagerreq(app->veh, app->files, *app->sys.clock, "AB", 53.5f, -2.25f, 90, 1, "R");
    const Items sent = platform::splitlines(
        zarn::testing::runtool({"/usr/bin/python3", ZARN_SOURCE_DIR "/tools/pager_standin.py", "--dir=" + dir.string(),
                                std::string("--fault=") + c.fault, "--count=1", "--seconds=0.6", "--delay=0.2"},
                               "").value_or("failed"));
    pagerreq(app->veh, app->files, *app->sys.clock, "AB", 53.5f, -2, 9, 2, "");
    EXPECT_TRUE(sent.size() == c.sent && (sent.empty() || sent[0] == line[1])) << c.fault;
    EXPECT_EQ(get("PAGERDAT.TXT"), line[c.left] + "\r\n") << c.fault << ": the pending line kept, else a whole new one";
  }
}

// Each sender's speed goes in the unit it keeps: 20 knots of the own fix as 37 km/h, a vehicle's
// 30 as the mph its row shows.
TEST_F(AppTest, ThePagerTakesEachSpeedAsItsSenderKeepsIt) {
  squares({{"SJ", 300, 300}});
  app->veh.pageron = true;
  std::string rmc = line("$GPRMC,120000.00,A,5321.44300,N,00218.82200,W,20.0,84.5,261020,,,");
  applysentence(*app, rmc);
  EXPECT_TRUE(get("PAGERDAT.TXT").ends_with(" 084 0037 00\r\n")) << get("PAGERDAT.TXT");
  std::filesystem::remove(dir / "PAGERREQ.TXT");
  vehicle(*app, 1, {.label = "VAN1 ", .spd = 30, .hdg = 90});
  float lat = 53.35f, lon = -2.3f;
  plotvehicle(*app, 1, lat, lon);
  EXPECT_TRUE(get("PAGERDAT.TXT").ends_with(" 090 0030   \r\n")) << get("PAGERDAT.TXT");
}

}  // namespace
}  // namespace zarn::test
