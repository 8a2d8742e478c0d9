// The multi-vehicle configuration ZARN.MCV as start-up reads it: link settings, modem
// commands, the satellite terminal's values and the vehicle table with its icons.
#include <set>

#include "mainwindow/startwin.h"
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
  // A configuration with the given modem commands and vehicle lines.
  static std::string mcv(const Items& commands, std::string count, const Items& vehicles) {
    std::string s = "Base station of the test\r\n9600,N,8,1          serial settings\r\n";
    s += std::to_string(commands.size()) + "\r\n";
    for (const auto& c : commands) s += c + "\r\n";
    for (const char* l : {"  0800 123456", "user", "secret", "SEND NOW", "ACK", "30", " 12345678 ", "01234 567890"})
      s += std::string(l) + "\r\n";
    count.resize(20, ' ');
    s += count + "vehicles\r\n";
    for (const auto& v : vehicles) s += v + "\r\n";
    return s;
  }
  std::set<std::string> statuses;
};

TEST_F(Mcv, SettingsCommandsAndTheTable) {
  put("ZARN.MCV", mcv({"ATZ", "AT&F"}, "3", {"A1,123,ATD1,", "\"TRUCK 12\",987654321,ATD2,SJ 75128 78480", "B,9,x,SJ 1 1"}));
  std::string problem;
  ASSERT_TRUE(readmcv(*app, &problem)) << problem;
  const VehicleTable& v = app->veh;
  EXPECT_EQ(serial->settings, "9600,N,8,1");
  EXPECT_EQ(serial->sent, "ATZ\rAT&F\r");
  EXPECT_EQ(v.csatnumber, "0800 123456") << "trimmed";
  EXPECT_EQ(v.dnid, "12345678");
  EXPECT_FLOAT_EQ(app->gps.gpstimeout, 30);
  EXPECT_EQ(v.mvtotal, 3);
  EXPECT_EQ(v.mvsize, 27);
  EXPECT_EQ(v.mvlabel[1], "A1   ");
  EXPECT_EQ(v.mvid[1], "123      ");
  EXPECT_FALSE(app->win.zarn.mvim[1].visible) << "no position: the icon is hidden";
  EXPECT_NEAR(v.mvx[2], 375.128, 0.001);
  EXPECT_EQ(v.mvlabel[4], ".....");
  EXPECT_EQ(v.mvid[27], ".........");
  EXPECT_EQ(app->win.get<MvForm>().mtxadd.caption, "ALL UNITS");
  EXPECT_EQ(app->gps.replayfile, "ZARN.MVD");
  EXPECT_EQ(app->main.mcvlastpos, "SJ 1 1");
  for (const char* s : {"Setting baud rate to 9600,N,8,1 ...", "Modem Command : AT&F", "Setting up 3 vehicles ..."})
    EXPECT_TRUE(statuses.count(s)) << s;

  Items vs;  // a table larger than the default
  for (int i = 1; i <= 40; ++i) vs.push_back("V" + std::to_string(i) + ",ID" + std::to_string(i) + ",x,");
  put("ZARN.MCV", mcv({}, "40", vs));
  make();
  app->main.cmdline = "night.mvd";
  ASSERT_TRUE(readmcv(*app));
  EXPECT_TRUE(statuses.count("max number now 40"));
  EXPECT_EQ(app->veh.mvid.size(), 41u);
  EXPECT_EQ(app->win.zarn.mvim.ubound(), 40);
  EXPECT_EQ(app->gps.replayfile, "night.mvd");
  EXPECT_TRUE(serial->sent.empty()) << "no modem commands: line 4 is the service number";
  EXPECT_EQ(app->veh.csatnumber, "0800 123456");
}

TEST_F(Mcv, ShortOrOverlongFilesEndReadingCleanly) {
  struct Case {
    const char* guards;
    std::string contents;
    bool whole;
    int total;
  };
  const std::string full = mcv({"ATZ"}, "2", {"A,1,x,", "B,2,x,"});
  const Case cases[] = {
      {"ends inside the settings", full.substr(0, full.find("user")), false, 0},
      {"ends inside the modem commands", "T\r\n9600,N,8,1\r\n5\r\nATZ\r\n", false, 0},
      {"fewer vehicles than counted", mcv({}, "5", {"A,1,x,", "B,2,x,"}), false, 5},
      {"an over-long identity", mcv({}, "1", {"A,12345678901234567890,x,"}), true, 1},
      {"an absurd count", mcv({}, "99999", {"A,1,x,"}), false, mvmax},
      {"a negative count", mcv({}, "-4", {}), true, 0},
      {"an empty file", "", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.guards);
    make();
    put("ZARN.MCV", c.contents);
    std::string problem;
    EXPECT_EQ(readmcv(*app, &problem), c.whole) << problem;
    if (!c.whole) {
      EXPECT_NE(problem.find("ZARN.MCV"), std::string::npos) << problem;
    }
    EXPECT_EQ(app->veh.mvtotal, c.total);
    for (const auto& id : app->veh.mvid) EXPECT_LE(id.size(), 9u);
  }
  std::filesystem::remove(dir / "ZARN.MCV");
  EXPECT_FALSE(readmcv(*app)) << "no file";
}

}  // namespace
}  // namespace zarn::test
