// Direction finding: the bearing store (relative to absolute, the roll at ten, holding slot 1,
// clearing), the direction-finder lines and their filters, the estimate's rate gate and its
// announcements, the sector outline, and the direction-finder stand-in (tools/df_finder.py)
// replaying the recorded drive on a pseudo-terminal until its bearings cross near the
// transmitter.
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "geodesy/ukgrid.h"
#include "gpsinput/gpstest.h"
#include "gpsinput/serialpoll.h"
#include "mapdisplay/redraw.h"
#include "navigation/directionfinding.h"
#include "speech/queue.h"
#include "platform/programs.h"
#include "platform/serial.h"
#include "support/app_fixture.h"
#include "support/builders.h"
#include "support/pty.h"

namespace zarn::test {
namespace {

using Slots = std::vector<float>;

Slots bearings(const NavState& n) { return Slots(n.dfbrg.begin() + 1, n.dfbrg.begin() + 1 + n.dfn); }

TEST(BearingStore, RelativeBearingsTurnWithTheHeadingAndExactly360StaysABearing) {
  const struct { float value; int heading; float want; } cases[] = {
      {300, 90, 30}, {270, 90, 0}, {45, -1, 45}, {0, 359, 359}, {359.5f, 0, 359.5f}, {359.5f, 1, 0.5f}};
  for (const auto& c : cases) EXPECT_FLOAT_EQ(absolutebearing(c.value, c.heading), c.want) << c.value << "+" << c.heading;
  NavState n;
  EXPECT_EQ(storebearing(n, 360, 8, 1, 2), DfStored::stored);
  EXPECT_EQ(bearings(n), Slots{360});
}

TEST(BearingStore, TheEleventhDropsTheOldestAndEachKeepsItsStation) {
  NavState n;
  for (int i = 1; i <= 11; ++i) storebearing(n, static_cast<float>(i), 0, static_cast<float>(100 + i), static_cast<float>(200 + i));
  EXPECT_EQ(bearings(n), (Slots{11, 10, 9, 8, 7, 6, 5, 4, 3, 2}));
  EXPECT_EQ(std::tuple(n.dfx[1], n.dfy[1], n.dfx[10], n.dfy[10]), std::tuple(111.f, 211.f, 102.f, 202.f));
}

TEST(BearingStore, HoldingSlotOneOnEmptyFullAndFilledStoresThenClearing) {
  // 888 on an empty store: the first bearing still goes into slot 1 and is the one held.
  NavState n;
  EXPECT_EQ(storebearing(n, 888, 0, 0, 0), DfStored::held);
  for (float b : {10.f, 20.f, 30.f}) storebearing(n, b, 0, 0, 0);
  EXPECT_EQ(bearings(n), (Slots{10, 30, 20}));
  storebearing(n, 40, 10, 0, 0);  // typed: slot 1 even while held
  EXPECT_EQ(bearings(n), (Slots{40, 10, 30, 20}));

  // Held on a full store: slot 1 stays, the newest goes to slot 2, the oldest drops.
  NavState full;
  for (int i = 1; i <= 10; ++i) storebearing(full, static_cast<float>(i), 0, 0, 0);
  storebearing(full, 888, 0, 0, 0);
  storebearing(full, 99, 0, 0, 0);
  EXPECT_EQ(bearings(full), (Slots{10, 99, 9, 8, 7, 6, 5, 4, 3, 2}));

  // Any other value above 360 empties the store and ends the hold, full or empty.
  for (NavState* s : {&full, &n}) {
    s->dfprevt = 5;
    EXPECT_EQ(storebearing(*s, 999, 0, 0, 0), DfStored::cleared);
    EXPECT_EQ(std::tuple(s->dfn, s->dfon, s->dfprevt.has_value()), std::tuple(0, 0, false));
  }
  EXPECT_EQ(storebearing(n, 999, 0, 0, 0), DfStored::cleared);
  EXPECT_EQ(storebearing(n, std::nanf(""), 0, 0, 0), DfStored::ignored);
  storebearing(n, 7, 0, 0, 0);
  EXPECT_EQ(bearings(n), Slots{7});
}

class Df : public AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}});
    gridview(*app, 370, 380, 380, 390);  // 10 km on the 640-pixel picture
    app->map.mapew[app->map.curmap] = 10;
    ownfixat(*app, 375, 385, 0, 0);
  }
  NavState& n() const { return app->nav; }
  void line(std::string l) {
    if (l.find('.') != std::string::npos) dfinput(*app, l);
    else dfinput2(*app, l);
  }
  float destx() const { return n().destx[static_cast<std::size_t>(n().curdest)]; }
  float desty() const { return n().desty[static_cast<std::size_t>(n().curdest)]; }
};

TEST_F(Df, BearingsAreSaidDrawnAndControlValuesHoldOrClearTheLines) {
  wavfile("GOTDFBRG.WAV");
  dfbearing(*app, 45, 8);
  EXPECT_EQ(app->win.zarn.saytxt.caption, "DF Bearing 45");
  ASSERT_EQ(played().size(), 1u);
  EXPECT_TRUE(played()[0].ends_with("GOTDFBRG.WAV")) << played()[0];
  EXPECT_EQ(bearings(n()), Slots{45});
  const ui::Line& l = *app->win.zarn.brg.find(0);
  EXPECT_TRUE(l.visible);
  EXPECT_EQ(std::tuple(l.x1, l.y1), std::tuple(320, 240));  // from the station, the map's centre
  EXPECT_GT(l.x2, l.x1);
  EXPECT_LT(l.y2, l.y1);  // north-east
  dfbearing(*app, 888, 0);
  EXPECT_EQ(l.borderwidth, 2);
  dfbearing(*app, 999, 0);
  EXPECT_FALSE(l.visible);
  EXPECT_EQ(n().dfn, 0);
}

// Each prompt lasts a second, as a recording does. A burst of bearings is heard once, not as a
// backlog of prompts that would hold up the lines behind it for a second each.
TEST_F(Df, ABurstOfBearingsIsHeardOnceAndHoldsUpNothingBehindIt) {
  wavfile("GOTDFBRG.WAV");
  wav->attach(*clock, 1.0);
  // The clock moves only while a sound is waited for, the port read meanwhile.
  waitstep = 0;
  app->voice.poll = [this] {
    clock->advance(0.01);
    readcomms(*app);
  };
  app->gps.gpsoncom = 1;
  app->main.starting = 0;
  std::string burst;
  for (int k = 0; k < 50; ++k) burst += nmea("$DFBRG," + std::to_string(k * 7 % 360) + ".0");
  burst += nmea(rmcbody);
  serial->chunks.push_back(burst);
  std::optional<float> fixat;
  const auto applied = app->hooks.sentence;
  app->hooks.sentence = [&](const LineResult& r, std::string& l) {
    applied(r, l);
    if (l.starts_with("$GPRMC")) fixat = app->timer();
  };
  const float t0 = app->timer();
  readcomms(*app);
  ASSERT_TRUE(fixat);
  EXPECT_LT(*fixat - t0, 0.1) << "the fix behind the bearings";
  EXPECT_EQ(std::tuple(n().dfn, played(), app->win.zarn.saytxt.caption),
            std::tuple(NavState::dfmax, Items{"GOTDFBRG.WAV"}, "DF Bearing " + std::to_string(49 * 7 % 360)));
  // Once the prompt has ended, the next bearing is heard again.
  clock->advance(1.0);
  dfbearing(*app, 90, 8);
  EXPECT_EQ(std::tuple(played().size(), app->win.zarn.saytxt.caption), std::tuple(2u, "DF Bearing 90"));
}

// Bearings read while a sentence is spoken do not break into it: their prompt follows it, once.
TEST_F(Df, BearingsReadDuringASentenceAreHeardOnceAfterIt) {
  for (const char* w : {"GOTDFBRG.WAV", "1.wav", "2.wav"}) wavfile(w);
  wav->attach(*clock, 1.0);
  waitstep = 0.01;
  int polls = 0;
  app->voice.poll = [&] {
    if (++polls == 1)
      for (float b : {10.f, 20.f, 30.f}) dfbearing(*app, b, 8);
  };
  for (const char* w : {"1.wav", "2.wav"}) queuewav(app->voice, w);
  speakqueue(app->voice);
  EXPECT_EQ(std::tuple(played(), app->win.zarn.saytxt.caption), std::tuple(Items{"1.wav", "2.wav"}, "DF Bearing 30"));
  speakqueue(app->voice);
  EXPECT_EQ(played(), (Items{"1.wav", "2.wav", "GOTDFBRG.WAV"}));
}

TEST_F(Df, DirectionFinderLinesAndTheirFilters) {
  n().dfaccept = 0;
  line("%090.0/3");  // relative to heading 0; the first needs no movement
  line("%090.0/3");  // the same again: dropped
  ownfixat(*app, 375.2f, 385, 0, 0);
  line("%100/4");
  ownfixat(*app, 375.25f, 385, 0, 0);
  line("%110/4");  // moved 50 m: dropped
  line("%x2y.z/5");  // does not read: dropped, not a bearing of 0
  line("%12a/5");
  EXPECT_EQ(bearings(n()), (Slots{100, 90}));
  line("%123.5");  // a heading, to the even degree
  EXPECT_EQ(std::tuple(app->gps.ownhdg, n().dfn), std::tuple(124, 2));
  line("%400.2");
  EXPECT_EQ(app->gps.ownhdg, 40);
  n().dfrel = 0;
  ownfixat(*app, 376, 385, 0, 90);
  line("%010/0");  // "%" bearings are relative whatever the setting
  EXPECT_EQ(std::tuple(n().dfbrg[1], n().dfrel), std::tuple(100.f, 0));
}

TEST_F(Df, CrossingBearingsBecomeTheDestinationWhenTheyCrossWithinTheLineLength) {
  at(*clock, "12:00:00");
  n().dfrel = 0;
  ownfixat(*app, 370, 380);
  dfbearing(*app, 45, 8);
  ownfixat(*app, 380, 380);
  dfbearing(*app, 315, 8);
  // The east offsets are stretched by cos(latitude) / 0.6459, so the crossing lies a little off
  // (375, 385).
  EXPECT_NEAR(destx(), 375, 0.01);
  EXPECT_NEAR(desty(), 380 + 5 / dfstretch(app->geo, n()), 0.01);
  EXPECT_EQ(n().nodest, 0);
  EXPECT_EQ(n().destname[static_cast<std::size_t>(n().curdest)].substr(0, 2), "SJ");

  // Lines shorter than the way to their crossing give nothing.
  n().dflinemax = 5;
  dfbearing(*app, 999, 0);
  const float x = destx(), y = desty();
  ownfixat(*app, 370, 380);
  dfbearing(*app, 45, 8);
  ownfixat(*app, 380, 380);
  dfbearing(*app, 315, 8);
  EXPECT_EQ(std::tuple(destx(), desty()), std::tuple(x, y));
}

TEST_F(Df, TheRateGateAndTheMinuteBetweenAnnouncements) {
  ownfixat(*app, 375, 385);
  // The first estimate after a clear is taken even seconds after midnight.
  at(*clock, "00:00:10");
  EXPECT_FLOAT_EQ(dfrate(n(), app->geo, app->timer(), 375, 385, 380, 385), 0);
  n().dfprevt = app->timer();
  // 10 km in 30 s at 5 km range: 1148 km/h.
  at(*clock, "00:00:40");
  EXPECT_NEAR(dfrate(n(), app->geo, app->timer(), 375, 385, 390, 385), 1148, 2);
  EXPECT_EQ(std::tuple(n().dfprevx, n().dfprevy), std::tuple(390.f, 385.f));
  at(*clock, "00:02:00");  // the last taken is older than a minute
  EXPECT_FLOAT_EQ(dfrate(n(), app->geo, app->timer(), 375, 385, 300, 300), 0);

  // Two estimates 20 s apart are both taken; only the first is spoken.
  dfbearing(*app, 999, 0);
  n().rgifile = "ROUTE.RGI";
  std::vector<float> taken, spoken;
  for (const char* t : {"12:00:00", "12:00:20", "12:01:30"}) {
    at(*clock, t);
    dfcross(*app, 370, 380, 380, 390, 380, 380, 370, 390.2f);
    taken.push_back(n().dfprevt.value_or(-1));
    spoken.push_back(n().dfelapsed.value_or(-1));
  }
  EXPECT_EQ(taken, (std::vector<float>{43200, 43220, 43290}));
  EXPECT_EQ(spoken, (std::vector<float>{43200, 43200, 43290}));
  EXPECT_NEAR(destx(), 375, 0.05);
  EXPECT_TRUE(n().rgifile.empty());
}

TEST_F(Df, SectorOutlinesSweepClockwiseAndLeaveTheRouteAlone) {
  auto& z = app->win.zarn;
  ui::Line& leg = z.leg.load(1);
  leg.visible = true;
  float lat = 0, lon = 0;
  osgbtoll(app->geo, 375, 385, lat, lon);
  DfSector d{1, lat, lon, 2.5f, 0, 90, 255};
  const auto angle = [&](int i) {  // the bearing of line i's end from the centre, on the ground
    const ui::Line& l = *z.dfsec.find(i);  // the square map on the 4:3 picture: 64 pixels a km across, 48 down
    return std::fmod(std::atan2((l.x2 - 320.0) / 64, (240.0 - l.y2) / 48) * 180 / 3.14159265358979 + 360, 360);
  };
  const auto draw = [&](float b1, float b2) {
    std::tie(d.dfsecbrg1, d.dfsecbrg2) = std::pair(b1, b2);
    drawdfsector(z, app->geo, app->map, d);
  };
  draw(0, 90);
  EXPECT_NEAR(angle(1), 0.9, 0.5);
  EXPECT_NEAR(angle(99), 89.1, 0.5);
  EXPECT_EQ(std::tuple(z.dfsec.find(100)->x2, z.dfsec.find(100)->y2), std::tuple(320, 240));
  EXPECT_EQ(z.dfsec.find(50)->bordercolor, 255u);
  draw(350, 10);  // across north, 20 degrees wide
  for (int i = 1; i < 100; ++i) EXPECT_TRUE(angle(i) >= 349.9 || angle(i) <= 10.1) << i << ": " << angle(i);
  draw(30, 30);
  EXPECT_TRUE(z.circle1.visible);
  EXPECT_EQ(z.circle1.width, 320);  // twice 2.5 km at 64 pixels a km
  EXPECT_FALSE(z.dfsec.find(1)->visible);
  d.dfsecmode = 0;
  draw(0, 90);
  EXPECT_FALSE(z.circle1.visible);
  EXPECT_FALSE(z.dfsec.find(1)->visible);
  EXPECT_TRUE(leg.visible);
}

// The stand-in direction finder on a pseudo-terminal: its recorded drive sets the clock (each
// RMC's time of day), its bearings cross, and the estimate ends near its transmitter.
class DfFinder : public Df {
 protected:
  void SetUp() override {
    auto p = std::make_unique<platform::TermiosSerial>();
    EXPECT_TRUE(p->open(pty.path, "4800,N,8,1")) << p->lasterror();
    make(std::move(p));
  }
  void ready() override {}
  testing::Pty pty;
};

TEST_F(DfFinder, TheFeedersBearingsCrossWithinAKilometreOfTheTransmitter) {
  demomaps(*app);
  onemap(*app, "0LOCAL");
  float tx = 0, ty = 0;
  lltoosgb(app->geo, 53.3500f, -2.3350f, tx, ty);
  // The clock follows the drive; each new estimate and each announcement is noted.
  struct Estimate { float t, x, y; };
  std::vector<Estimate> estimates;
  std::vector<float> spoken;
  auto applied = app->hooks.sentence;
  app->hooks.sentence = [&, applied](const LineResult& r, std::string& l) {
    int h = 0, m = 0;
    float s = 0;
    if (std::sscanf(l.c_str(), "$GPRMC,%2d%2d%f", &h, &m, &s) == 3) clock->settimer(h * 3600.0 + m * 60.0 + s);
    const auto before = std::tuple(n().dfprevt, n().dfelapsed);
    applied(r, l);
    if (n().dfprevt != std::get<0>(before)) estimates.push_back({app->timer(), destx(), desty()});
    if (n().dfelapsed != std::get<1>(before)) spoken.push_back(app->timer());
  };
  platform::SpawnOptions o;
  std::tie(o.stdout_fd, o.stderr_fd, o.searchpath) = std::tuple(pty.master, -1, true);
  const pid_t pid = platform::spawnprogram(
      "python3", {"python3", ZARN_SOURCE_DIR "/tools/df_finder.py", "--fd", "1", "--interval", "0"}, o);
  ASSERT_GT(pid, 0);
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) readcomms(*app), ::usleep(200);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int quiet = 0; quiet < 50; ::usleep(1000)) {
    quiet = app->sys.serial->inbuffercount() > 0 ? 0 : quiet + 1;
    readcomms(*app);
  }

  ASSERT_GE(n().dfn, 10);
  ASSERT_GT(estimates.size(), 10u);
  const auto off = [&](const Estimate& e) { return std::hypot(double{e.x} - tx, double{e.y} - ty); };
  double worst = 0, sum = 0;
  for (const Estimate& e : estimates) worst = std::max(worst, off(e)), sum += off(e);
  if (std::getenv("ZARN_DF_TRACE"))
    for (const Estimate& e : estimates) std::cout << e.t << " " << e.x << " " << e.y << " " << off(e) << "\n";
  std::cout << estimates.size() << " estimates taken; the last " << off(estimates.back()) * 1000 << " m, mean "
            << sum / estimates.size() * 1000 << " m, worst " << worst * 1000 << " m off the transmitter\n";
  EXPECT_LT(off(estimates.back()), 1.0);
  EXPECT_EQ(std::tuple(destx(), desty()), std::tuple(estimates.back().x, estimates.back().y));
  EXPECT_EQ(n().nodest, 0);
  ASSERT_FALSE(spoken.empty());
  for (std::size_t i = 1; i < spoken.size(); ++i) EXPECT_GT(spoken[i] - spoken[i - 1], 60) << i;
}

}  // namespace
}  // namespace zarn::test
