// The main tick: its order-independent rules, checked one at a time on a fresh application
// (no map, no replay step unless a test asks for one).
#include "mainwindow/tick.h"
#include "mapdisplay/symbols.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

class Tick : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    waitstep = 0;
    app->main.stepsecs = 1e9f;  // no replay step
    app->main.initmark = 1234;
    app->main.lastclick = app->timer() - 60;
    app->speech.msgtime = app->timer();
    app->main.searchtime = app->timer();
  }
  void tick(double after = 0.25) {
    clock->advance(after);
    Timer1_Timer(*app);
  }
  // Replay steps due on every tick, from a file that does not exist.
  void stepping() {
    app->main.stepsecs = 1.0f;
    app->gps.replayfile = "NONE.NME";
  }
};

TEST_F(Tick, APlacedSymbolKeepsItsLeaderLineForThreeSeconds) {
  std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo" / "$L.ICO", dir / "$L.ICO");
  app->main.foundx = 375;
  app->main.foundy = 378;
  clock->advance(10);
  placesymbol(*app, "L", 100, 100, 200, 200);
  auto& z = app->win.zarn;
  ASSERT_TRUE(z.vecto.visible);
  EXPECT_EQ(app->map.vectotime, app->timer());
  tick(1);
  EXPECT_TRUE(z.vecto.visible) << "not hidden on the next tick";
  tick(1.5);
  EXPECT_TRUE(z.vecto.visible);
  tick(1);
  EXPECT_FALSE(z.vecto.visible) << "hidden once more than 3 s have passed";
}

TEST_F(Tick, NeverRunsInsideItselfThroughTheWaitsOfItsSteps) {
  // A replay step and the reports let events run; the timer may fire meanwhile.
  put("ZARN.NME", "SAY one\r\n$GPRMC,145240.00,A,5321.4835,N,00218.3930,W,52.2778,253.784,261020,-1.2,W*78\r\n");
  app->gps.replayfile = "ZARN.NME";
  app->main.stepsecs = 1.0f;
  app->main.demoon = 1;
  long inner = 0;
  events->hook = [&] {
    ++inner;
    Timer1_Timer(*app);
  };
  for (int i = 0; i < 12; ++i) tick(0.5);
  EXPECT_EQ(app->main.ticks, 12);
  EXPECT_GT(inner, 12) << "events did run inside the ticks";
  EXPECT_FALSE(app->main.tickbusy_guard);
}

TEST_F(Tick, SpeedColourBoundaries) {
  stepping();  // no data, but a finished step each time
  for (const auto& [mph, colour] : {std::pair{0.0f, ui::green}, {30.0f, ui::green}, {30.5f, ui::yellow},
                                    {70.0f, ui::yellow}, {71.0f, ui::red}}) {
    app->gps.ownspd = mph * 1.61f;
    tick(1.5);
    EXPECT_EQ(app->win.zarn.spdbox.backcolor, colour) << mph;
  }
}

TEST_F(Tick, ModalWindowsStopTheServicesButNotTheHousekeeping) {
  serial->chunks.push_back("$GPRMC\r\n");
  app->gps.gpsoncom = 1;
  app->win.zarn.saytxt.visible = true;
  app->win.zarn.Help.visible = true;
  tick(11);
  EXPECT_EQ(serial->chunks.size(), 1u) << "no serial poll while help shows";
  EXPECT_FALSE(app->win.zarn.saytxt.visible) << "the message line still goes after 10 s";
  app->win.zarn.Help.visible = false;
  tick();
  EXPECT_TRUE(serial->chunks.empty());
}

TEST_F(Tick, AClickHoldsTheReplayForThreeSeconds) {
  stepping();
  app->main.lastclick = app->timer();
  tick(2);
  EXPECT_EQ(app->main.laststep, 0) << "clicked 2 s ago: no step";
  tick(2);
  EXPECT_GT(app->main.laststep, 0);
}

TEST_F(Tick, ReportsByTheirIntervals) {
  MainState& m = app->main;
  GpsState& g = app->gps;
  for (int k = 1; k <= 10; ++k) m.repint[k] = 0;
  m.repint[1] = 60;
  m.repint[2] = 20;
  m.repint[3] = 60;
  const float t0 = app->timer();
  m.herereptime = m.destreptime = m.dirreptime = t0;
  tick(100);
  EXPECT_EQ(m.herereptime, t0) << "no fix yet: no reports";
  g.ownlat = 53.3f;
  g.ownlon = -2.3f;
  g.ownhdg = -1;
  tick(1);
  EXPECT_GT(m.herereptime, t0);
  EXPECT_GT(m.destreptime, t0);
  EXPECT_EQ(m.dirreptime, t0) << "the direction report waits for a heading";
  g.ownhdg = 90;
  const float here = m.herereptime, dest = m.destreptime;
  tick(20);
  EXPECT_GT(m.dirreptime, t0);
  EXPECT_GT(m.destreptime, dest) << "20 s: at least the interval";
  EXPECT_EQ(m.herereptime, here) << "20 s is not more than 60";
  m.repint[2] = 0;
  const float dest2 = m.destreptime;
  tick(100);
  EXPECT_EQ(m.destreptime, dest2) << "interval 0: off";
}

TEST_F(Tick, SearchBoxesCloseAfterThreeMinutesAndTheFirstTickSelectsTheFirstList) {
  MainState& m = app->main;
  auto& z = app->win.zarn;
  z.search.visible = true;
  m.typingmode = 1;
  m.refname = "TEXT";
  m.prevmode = "OUR CAR";
  m.searchidx = 4;
  tick(170);
  EXPECT_TRUE(z.search.visible);
  tick(20);
  EXPECT_FALSE(z.search.visible);
  EXPECT_EQ(m.typingmode, 0);
  EXPECT_EQ(m.refname, "OUR CAR");
  EXPECT_EQ(m.searchidx, 1);

  m.initmark = 0;
  m.searchprompts[1] = "Places";
  m.searchidx = 3;
  tick();
  EXPECT_EQ(m.searchidx, 1);
  EXPECT_EQ(z.search.text, "Places");
  EXPECT_EQ(m.initmark, 1234);
}

TEST_F(Tick, PeriodicCommandAndDeferredKey) {
  MainState& m = app->main;
  m.pollint = 5;
  m.pollcmd = "AT\r";
  m.pollmsg = "Polling";
  m.lastsent = app->timer();
  app->speech.talkon = 0;
  tick(4);
  EXPECT_EQ(serial->sent, "");
  tick(1);
  EXPECT_EQ(serial->sent, "AT\r");
  EXPECT_EQ(app->speech.msgtext, "Polling") << "shown even with sound off";
  m.pollcmd.clear();
  tick(10);
  EXPECT_EQ(serial->sent, "AT\r");
  m.lastkey = 'M';
  tick();
  EXPECT_EQ(m.lastkey, 0) << "taken and run once";
}

TEST_F(Tick, TrailDotsByTheIntervalAndMidnightPullsTheLastStepBack) {
  MainState& m = app->main;
  app->map.histint = 2;  // 60 s
  m.lasttrail = app->timer();
  const float t0 = m.lasttrail;
  tick(30);
  EXPECT_EQ(m.lasttrail, t0);
  tick(31);
  EXPECT_GT(m.lasttrail, t0);
  m.trailperline = 1;
  const float t1 = m.lasttrail;
  tick();
  EXPECT_GT(m.lasttrail, t1) << "the demo's DEM line: every tick";

  m.laststep = 86399;
  clock->settimer(86399.5);
  tick(1);
  EXPECT_LT(m.laststep, 10);
}

}  // namespace
}  // namespace zarn::test
