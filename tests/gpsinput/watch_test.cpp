// The GPS watch: reception and its loss, each announced once.
#include <utility>

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
  // One tick after the clock moved on; the message it left, which is then cleared.
  std::string tick(double seconds, bool withdata) {
    clock->advance(seconds);
    if (withdata) data();
    gpswatch(*app);
    return std::exchange(app->speech.msgtext, "");
  }
  const std::string on = "I am receiving GPS data !", off = "I'm not receiving any GPS data";
};

TEST_F(Watch, ReceptionStartsAndIsLostOnce) {
  auto& g = app->gps;
  auto& z = app->win.zarn;
  z.modebox.set("GPS");
  EXPECT_EQ(tick(0, false), off) << "the first tick without data announces the loss";
  EXPECT_EQ(z.modebox.caption, "OLD");
  EXPECT_EQ(z.modebox.backcolor, ui::yellow);

  g.prevx = 379;
  g.ownhdg = 45;
  g.ownspd = 30;
  app->main.cfgcorre = 0.5f;
  z.p.load(3).visible = true;
  app->map.trailcount = 3;
  EXPECT_EQ(tick(1, true), on);
  EXPECT_EQ(g.gpsrx, 1);
  EXPECT_EQ(z.modebox.caption, "GPS");
  // The old fix is forgotten: no heading or speed, the car back at the last position.
  EXPECT_EQ(g.ownhdg, -1);
  EXPECT_FLOAT_EQ(g.ownspd, 0);
  EXPECT_EQ(z.hdgbox.caption, " ");
  EXPECT_FLOAT_EQ(g.ownx, 379);
  EXPECT_FLOAT_EQ(app->gps.gpscorre, 0.5f);
  EXPECT_FALSE(z.p[3].visible);
  EXPECT_EQ(app->map.trailcount, 0);

  for (int i = 0; i < 5; ++i) EXPECT_EQ(tick(9, true), "") << "data every 9 s keeps reception, silently";
  app->gps.dgpsfix = 1;
  EXPECT_EQ(tick(0, true), "") << "a differential fix recolours without announcing";
  EXPECT_EQ(z.modebox.forecolor, ui::green);
  EXPECT_EQ(tick(10, false), off) << "a gap of 10 s loses it";
  EXPECT_EQ(g.gpsrx, 0);
  EXPECT_EQ(tick(30, false), "") << "once";
}

TEST_F(Watch, ReportSettingDecidesThePrompts) {
  for (int setting : {0, 1}) {
    SCOPED_TRACE(setting);
    fresh();
    wavfile("gotgps.wav");
    wavfile("notgps.wav");
    app->main.repint[8] = setting;
    tick(0, true);
    EXPECT_EQ(tick(20, false), off);
    EXPECT_EQ(played(), (setting ? Items{"gotgps.wav", "notgps.wav"} : Items{}));
  }
}

TEST_F(Watch, ModeLabelChanges) {
  app->main.mvmode = 1;  // the icons $mv$gsel.ico and $mv$ysel.ico are not there
  EXPECT_EQ(tick(0, true), on) << "a missing car icon does not stop the change";
  EXPECT_EQ(app->win.zarn.modebox.caption, "GPS");
  app->gps.reportmode = 3;
  app->win.zarn.modebox.set("DEMO");
  EXPECT_EQ(tick(60, false), off);
  EXPECT_EQ(app->win.zarn.modebox.caption, "DEMO") << "the demonstration's text stays";
  EXPECT_EQ(app->win.zarn.modebox.backcolor, ui::yellow);
  EXPECT_EQ(app->gps.reportmode, 0);
}

TEST_F(Watch, MidnightDoesNotLoseReception) {
  clock->settimer(86399);
  tick(0, true);
  tick(5, false);
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
