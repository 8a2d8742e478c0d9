// The GPS watch: reception and its loss, each announced once.
#include "gpsinput/gpswatch.h"
#include "gpstest.h"

namespace zarn::test {
namespace {

class Watch : public GpsTest {
 protected:
  void SetUp() override {
    GpsTest::SetUp();
    app->speech.ttsavail = 1;
    clock->settimer(1000);
  }
  // Data arrives now.
  void data() { app->gps.lastgpstime = app->timer(); }
};

TEST_F(Watch, FirstTickWithoutDataAnnouncesTheLoss) {
  app->gps.lastgpstime = 0;
  app->win.zarn.modebox.set("GPS");
  gpswatch(*app);
  EXPECT_EQ(app->gps.rxstate, 0);
  EXPECT_EQ(app->speech.msgtext, "I'm not receiving any GPS data");
  EXPECT_EQ(app->win.zarn.modebox.caption, "OLD");
  EXPECT_EQ(app->win.zarn.modebox.backcolor, ui::yellow);
}

TEST_F(Watch, ReceptionStartsAndIsLostOnce) {
  app->main.repint[8] = 1;
  auto& g = app->gps;
  g.prevx = 379;
  g.prevy = 384;
  g.ownhdg = 45;
  g.ownspd = 30;
  app->main.cfgcorre = 0.5f;
  app->win.zarn.p.load(3).visible = true;
  app->map.trailcount = 3;
  data();
  gpswatch(*app);
  EXPECT_EQ(g.gpsrx, 1);
  EXPECT_EQ(g.rxseen, 1);
  EXPECT_EQ(app->speech.msgtext, "I am receiving GPS data !");
  EXPECT_EQ(app->win.zarn.modebox.caption, "GPS");
  EXPECT_EQ(g.ownhdg, -1);
  EXPECT_FLOAT_EQ(g.ownspd, 0);
  EXPECT_EQ(app->win.zarn.hdgbox.caption, " ");
  EXPECT_FLOAT_EQ(g.ownx, 379);
  EXPECT_FLOAT_EQ(app->main.gpscorre, 0.5f);
  EXPECT_FALSE(app->win.zarn.p[3].visible);
  EXPECT_EQ(app->map.trailcount, 0);

  // Data every 9 s keeps reception on, silently.
  app->speech.msgtext.clear();
  for (int i = 0; i < 5; ++i) {
    clock->advance(9);
    data();
    gpswatch(*app);
  }
  EXPECT_EQ(app->speech.msgtext, "");
  // A gap of 10 s loses it, once.
  clock->advance(10);
  gpswatch(*app);
  EXPECT_EQ(g.gpsrx, 0);
  EXPECT_EQ(app->speech.msgtext, "I'm not receiving any GPS data");
  app->speech.msgtext.clear();
  clock->advance(30);
  gpswatch(*app);
  EXPECT_EQ(app->speech.msgtext, "");
}

TEST_F(Watch, ReportSettingDecidesThePrompts) {
  for (int setting : {0, 1}) {
    SCOPED_TRACE(setting);
    TearDown();
    SetUp();
    std::ofstream(dir / "gotgps.wav", std::ios::binary) << std::string("RIFF\0\0\0\0WAVE", 12);
    std::ofstream(dir / "notgps.wav", std::ios::binary) << std::string("RIFF\0\0\0\0WAVE", 12);
    app->main.repint[8] = setting;
    data();
    gpswatch(*app);
    clock->advance(20);
    gpswatch(*app);
    EXPECT_EQ(app->speech.msgtext, "I'm not receiving any GPS data");
    const auto p = played();
    if (setting == 0) {
      EXPECT_TRUE(p.empty());
    } else {
      EXPECT_EQ(p, (std::vector<std::string>{"gotgps.wav", "notgps.wav"}));
    }
  }
}

TEST_F(Watch, DemoModeTextStaysButTurnsYellow) {
  data();
  gpswatch(*app);
  app->win.zarn.modebox.set("DEMO");
  clock->advance(60);
  gpswatch(*app);
  EXPECT_EQ(app->win.zarn.modebox.caption, "DEMO");
  EXPECT_EQ(app->win.zarn.modebox.backcolor, ui::yellow);
}

TEST_F(Watch, DifferentialFixRecoloursWithoutAnnouncing) {
  data();
  gpswatch(*app);
  app->speech.msgtext.clear();
  app->gps.dgpsfix = 1;
  gpswatch(*app);
  EXPECT_EQ(app->win.zarn.modebox.forecolor, ui::green);
  app->gps.dgpsfix = 0;
  gpswatch(*app);
  EXPECT_EQ(app->win.zarn.modebox.forecolor, ui::black);
  EXPECT_EQ(app->speech.msgtext, "");
}

TEST_F(Watch, MissingCarIconDoesNotStopTheChange) {
  app->main.mvmode = 1;  // the icons $mv$gsel.ico and $mv$ysel.ico are not there
  data();
  gpswatch(*app);
  EXPECT_EQ(app->win.zarn.modebox.caption, "GPS");
  EXPECT_EQ(app->speech.msgtext, "I am receiving GPS data !");
  app->gps.reportmode = 3;
  clock->advance(60);
  gpswatch(*app);
  EXPECT_EQ(app->win.zarn.modebox.caption, "OLD");
  EXPECT_EQ(app->gps.reportmode, 0);
}

TEST_F(Watch, MidnightDoesNotLoseReception) {
  clock->settimer(86399);
  data();
  gpswatch(*app);
  clock->advance(5);
  gpswatch(*app);
  EXPECT_EQ(app->gps.gpsrx, 1);
  EXPECT_NEAR(app->gps.gpsage, 5, 1e-3);
}

TEST_F(Watch, NothingDuringStartUp) {
  app->main.starting = 1;
  gpswatch(*app);
  EXPECT_EQ(app->gps.rxstate, -1);
}

}  // namespace
}  // namespace zarn::test
