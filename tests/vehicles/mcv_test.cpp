// ZARN.MCV as start-up reads it: link settings, modem commands, the satellite terminal, the vehicles.
#include <set>

#include "mainwindow/startwin.h"
#include "platform/textrules.h"
#include "support/app_fixture.h"
#include "vehicles/mcv.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

class Mcv : public AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}});
    events->hook = [this] {
      clock->advance(waitstep);
      if (app->win.loaded<StartForm>()) statuses.insert(app->win.get<StartForm>().trace.caption);
    };
  }
  static std::string mcv(const Items& commands, const std::string& count, const Items& vehicles) {
    std::string s = "Base station of the test\r\n9600,N,8,1          serial settings\r\n" +
                    std::to_string(commands.size()) + "\r\n";
    for (const auto& c : commands) s += c + "\r\n";
    s += "  0800 123456\r\nuser\r\nsecret\r\nSEND NOW\r\nACK\r\n30\r\n 12345678 \r\n01234 567890\r\n";
    s += text::pad(count, 20) + "vehicles\r\n";
    for (const auto& v : vehicles) s += v + "\r\n";
    return s;
  }
  std::set<std::string> statuses;
};

TEST_F(Mcv, SettingsCommandsAndTheTable) {
  put("ZARN.MCV",
      mcv({"ATZ", "AT&F"}, "3", {"A1,123,ATD1,", "\"TRUCK 12\",987654321,ATD2,SJ 75128 78480", "B,9,x,SJ 1 1"}));
  ASSERT_TRUE(readmcv(*app));
  const VehicleTable& v = app->veh;
  const std::pair<std::string, std::string> read[] = {
      {serial->settings, "9600,N,8,1"}, {serial->sent, "ATZ\rAT&F\r"}, {v.csatnumber, "0800 123456"},
      {v.dnid, "12345678"}, {v.mvlabel[1], "A1   "}, {v.mvid[1], "123      "}, {v.mvid[2], "987654321"},
      {v.mvlabel[4], "....."}, {v.mvid[27], "........."}, {app->win.get<MvForm>().mtxadd.caption, "ALL UNITS"},
      {app->gps.replayfile, "ZARN.MVD"}, {app->main.mcvlastpos, "SJ 1 1"}};
  for (const auto& [got, want] : read) EXPECT_EQ(got, want);
  EXPECT_TRUE(app->gps.gpstimeout == 30 && v.mvtotal == 3 && v.mvsize == 27 && !app->win.zarn.mvim[1].visible &&
              app->win.get<MvForm>().mvdata[0].backcolor == ui::white)
      << "the timeout, the table's size; no position: the icon is hidden; the first unit's row selected";
  EXPECT_NEAR(v.mvx[2], 375.128, 0.001);
  EXPECT_TRUE(statuses.count("Modem Command : AT&F") && statuses.count("Setting up 3 vehicles ...")) << "start window";

  Items vs;  // a table larger than the default
  for (int i = 1; i <= 40; ++i) vs.push_back("V" + std::to_string(i) + ",ID" + std::to_string(i) + ",x,");
  put("ZARN.MCV", mcv({}, "40", vs));
  make();
  app->main.cmdline = "night.mvd";
  ASSERT_TRUE(readmcv(*app));
  EXPECT_TRUE(statuses.count("max number now 40") && app->veh.mvid.size() == 41 && app->win.zarn.mvim.ubound() == 40);
  EXPECT_EQ(app->gps.replayfile, "night.mvd") << "a replay file named on the command line";
  EXPECT_TRUE(serial->sent.empty() && app->veh.csatnumber == "0800 123456") << "no commands: line 4 is the number";
}

TEST_F(Mcv, ShortOrOverlongFilesEndReadingCleanly) {
  const struct { const char* guards; std::string contents; bool whole; int total; } cases[] = {
      {"ends inside the settings", "T\r\n9600,N,8,1\r\n0\r\n  0800 123456\r\n", false, 0},
      {"ends inside the modem commands", "T\r\n9600,N,8,1\r\n5\r\nATZ\r\n", false, 0},
      {"fewer vehicles than counted", mcv({}, "5", {"A,1,x,", "B,2,x,"}), false, 5},
      {"an over-long identity", mcv({}, "1", {"A,12345678901234567890,x,"}), true, 1},
      {"an absurd count", mcv({}, "99999", {"A,1,x,"}), false, mvmax},
      {"a negative count", mcv({}, "-4", {}), true, 0},
      {"an empty file", "", false, 0},
  };
  for (const auto& c : cases) {
    std::string problem;
    make();
    put("ZARN.MCV", c.contents);
    EXPECT_EQ(readmcv(*app, &problem), c.whole) << c.guards << ": " << problem;
    EXPECT_TRUE(c.whole || problem.find("ZARN.MCV") != std::string::npos) << c.guards << ": " << problem;
    EXPECT_EQ(app->veh.mvtotal, c.total) << c.guards;
    for (const auto& id : app->veh.mvid) EXPECT_LE(id.size(), 9u) << c.guards;
  }
}

}  // namespace
}  // namespace zarn::test
