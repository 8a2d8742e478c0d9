// The map click: who takes it, the destination of the left button, the car and correction moved
// by the right button, the simulated drive, waypoints, the editors and road digitising.
#include "mainwindow/mapclick.h"

#include <cmath>

#include "geodesy/distance.h"
#include "gpsinput/fixsteps.h"
#include "gpsinput/ownfix.h"
#include "mapdisplay/landmarks.h"
#include "navigation/rgiman.h"
#include "navigation/roadnet.h"
#include "navigation/waypoints.h"
#include "navigation/wpform.h"
#include "platform/textrules.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

class MapClick : public AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}});
    gridview(*app, 360, 370, 380, 385);  // 20 km across 640 pixels, 15 km down 480
    app->nav.adhocdest = 3;
    app->nav.destname[3] = "(mouse)";
    makewpicons(*app);
  }
  // A click at a window pixel; the position it read out (gridbox) as frame km.
  std::pair<float, float> click(int button, float px, float py) {
    mapclick(*app, button, 0, px, py);
    float x = 0, y = 0;
    parsepos(app->geo, shown(), x, y);
    return {x, y};
  }
  const std::string& shown() const { return app->win.zarn.gridbox.caption; }
  Items lines(const std::string& file) const {
    Items v;
    for (auto& l : platform::splitlines(get(file))) v.push_back(l);
    if (!v.empty() && v.back().empty()) v.pop_back();
    return v;
  }
  ZarnForm& z() { return app->win.zarn; }
};

TEST_F(MapClick, EachModeTakesTheClickBeforeThoseAfterIt) {
  const struct {
    const char* guards;
    std::function<void(App&)> mode;
    int button;
    std::function<bool(App&)> took;
  } cases[] = {
      {"the road network window, even while recording", [](App& a) { showlinkman(a), a.gps.nmealog = 1; }, 1,
       [this](App&) { return lines("NODES.TXT").size() == 1 && !has("NEW.NME"); }},
      {"links with no NODES.TXT: a beep, nothing written", [](App& a) {
         showlinkman(a);
         a.win.get<LinkmanForm>().Command1.onClick();
       }, 2, [this](App&) { return wav->beeps == 1 && !has("LINKS.TXT"); }},
      {"recording before the waypoint window", [](App& a) { a.gps.nmealog = 1, showwpform(a); }, 1,
       [this](App& a) { return lines("NEW.NME").size() == 1 && a.nav.wpcount == 0; }},
      {"the waypoint window takes the left button", [](App& a) { showwpform(a), a.map.geomanon = 1; }, 1,
       [](App& a) { return a.nav.wpcount == 1 && !a.win.loaded<GForm>(); }},
      {"and lets the right button through", [](App& a) { showwpform(a), a.map.geomanon = 1; }, 2,
       [](App& a) { return a.nav.wpcount == 0 && a.win.loaded<GForm>(); }},
      {"the landmark editor before the guidance editor", [](App& a) { a.map.geomanon = 1, a.nav.rgimanon = 1; }, 1,
       [](App& a) { return a.win.get<GForm>().gg.text == a.win.zarn.gridbox.caption && !a.win.loaded<RgimanForm>(); }},
      {"the guidance editor before digitising", [](App& a) { a.nav.rgimanon = 1, a.main.digmode = 1; }, 1,
       [this](App& a) { return a.win.get<RgimanForm>().gg.caption == a.win.zarn.gridbox.caption && !has("NEW.GTX"); }},
      {"a middle click with nothing on only reads out", [](App&) {}, 4,
       [this](App& a) { return a.nav.curdest == 0 && a.gps.ownx == noposx && wav->beeps == 0; }},
  };
  for (const auto& c : cases) {
    make();
    c.mode(*app);
    click(c.button, 320, 160);
    EXPECT_TRUE(c.took(*app)) << c.guards;
    EXPECT_EQ(std::tie(z().modebox.caption, z().llbox.backcolor), std::tuple("<-", ui::white)) << c.guards;
  }
  z().modebox.set("OLD");
  click(ui::button_middle, 320, 160);
  EXPECT_EQ(z().modebox.caption, "OLD") << "old data stays marked as old";
}

TEST_F(MapClick, TheLeftButtonMakesTheMouseSlotTheDestinationMarkedAndAnnounced) {
  put("ZARN.WAW", "SJ 70000 80000,Ashley,Ashley, 8\r\n");
  wavfile("destinat.wav");
  app->nav.nodest = 1;  // cleared by Ctrl+D
  app->main.demoon = 1;
  app->speech.talkon = 0;
  at(*clock, "12:00:05");
  const auto [x, y] = click(ui::button_left, 320, 160);
  const NavState& n = app->nav;
  EXPECT_EQ(std::tuple(n.curdest, n.nodest, n.destname[3], n.destwav), std::tuple(3, 0, shown(), "Ashley"))
      << "named after the place it lies in";
  EXPECT_EQ(n.destll[3], z().llbox.caption);
  EXPECT_NEAR(n.destx[3], x, 0.001);
  EXPECT_NEAR(n.desty[3], y, 0.001);
  EXPECT_TRUE(z().dest.visible) << "marked";
  EXPECT_NEAR(z().dest.left + 16, 320, 1) << "at the click";
  EXPECT_EQ(app->speech.msgtext.rfind("Destination ", 0), 0u) << app->speech.msgtext;
  EXPECT_NE(app->speech.msgtext.find("Ashley"), std::string::npos) << "where it is said: " << app->speech.msgtext;
  EXPECT_EQ(std::tuple(app->speech.talkon, app->main.destreptime), std::tuple(0, clock->timer())) << "sound as it was";
  EXPECT_EQ(played(), Items{}) << "with speech off the click does not speak";
  EXPECT_EQ(std::tuple(app->main.demoon, z().modebox.caption), std::tuple(0, "SIM")) << "the demo stops";
  app->speech.talkon = 1;
  click(ui::button_left, 320, 160);
  EXPECT_EQ(played(), Items{"destinat.wav"}) << "with speech on it is spoken";
}

// A destination clicked where no place is near keeps the plain prompt, which start-up also gives
// the found place (ZARN.CFG's destination prompt) and a typed position has: it is told under a
// found place's label only when it is that place.
TEST_F(MapClick, AClickedDestinationIsToldUnderAFoundLabelOnlyAtThatPlace) {
  put("ZARN.WAW", "SJ 60000 80000,Ashley,Ashley, 1\r\n");  // 10 km west of the clicks, its reach 1 km
  MainState& m = app->main;
  std::tie(m.foundwav, m.foundlabel) = std::tuple("destinat.wav", "End of the drive");  // as start-up leaves them
  const auto said = [&](int px, int py) {
    click(ui::button_left, static_cast<float>(px), static_cast<float>(py));
    return std::tuple(app->nav.destwav, app->speech.msgtext.substr(0, app->speech.msgtext.find(' ')));
  };
  EXPECT_EQ(said(320, 160), std::tuple("destinat.wav", "Destination")) << "no place found yet";
  const auto at = static_cast<std::size_t>(app->nav.curdest);
  // A position typed there is the found place.
  std::tie(m.foundx, m.foundy, m.foundlabel) = std::tuple(app->nav.destx[at], app->nav.desty[at], "SJ7000080000");
  EXPECT_EQ(said(100, 100), std::tuple("destinat.wav", "Destination")) << "elsewhere";
  EXPECT_EQ(said(320, 160), std::tuple("destinat.wav", "SJ7000080000")) << "at the place typed";
}

TEST_F(MapClick, TheRightButtonMovesTheCarAndTheCorrectionByTheMove) {
  ownfixat(*app, "SJ 70000 80000", 30, 0);
  setgpscorr(app->gps, 0.05f, -0.02f);
  // What the receiver sent for the fix shown, before the correction.
  float rawx = app->gps.ownx - 0.05f, rawy = app->gps.owny + 0.02f, lat = 0, lon = 0;
  const int dots = app->map.trailcount;
  const auto [x, y] = click(ui::button_right, 480, 100);
  const GpsState& g = app->gps;
  EXPECT_NEAR(g.ownx, x, 0.002);
  EXPECT_NEAR(g.owny, y, 0.002);
  int brg = 0;
  bearingdeg(x - 370, y - 380, brg);
  EXPECT_EQ(std::tuple(g.ownhdg, z().hdgbox.caption, g.ownspd), std::tuple(brg, text::format(brg, "000"), 30.0f));
  EXPECT_NEAR(std::hypot(g.ownve, g.ownvn), 50 / 3.6, 0.01) << "toward the click at 50 km/h";
  EXPECT_NEAR(std::atan2(g.ownve, g.ownvn) * 180 / 3.14159, brg, 0.5);
  EXPECT_EQ(app->map.trailcount, dots + 1);
  EXPECT_TRUE(z().car.visible);
  EXPECT_NEAR(z().car.left + z().car.width / 2.0, 479, 1.5) << "the car at the click";
  applycorrection(g, app->geo, rawx, rawy, lat, lon);
  EXPECT_NEAR(rawx, g.ownx, 0.0005) << "the same fix again lands on the click";
  EXPECT_NEAR(rawy, g.owny, 0.0005);

  noownfix(*app);
  setgpscorr(app->gps, 0.05f, -0.02f);
  click(ui::button_right, 200, 200);
  EXPECT_EQ(std::tuple(g.gpscorre, g.gpscorrn, g.ownhdg), std::tuple(0.05f, -0.02f, -1)) << "no fix: nothing to shift";
  EXPECT_NE(g.ownx, noposx) << "but the car is put there";
}

TEST_F(MapClick, RecordingDrivesFromTheCarToEachClick) {
  app->gps.nmealog = 1;
  const struct {
    const char* guards;
    std::function<void(App&)> before;
    float px, py;
    int hdg;
    const char* course;
  } steps[] = {
      {"no fix: the heading stays unknown", [](App& a) { noownfix(a); }, 320, 240, -1, "000"},
      {"from the first click due east", [](App&) {}, 420, 240, 90, "090"},
      {"a click in the same place keeps the heading", [](App&) {}, 420, 240, 90, "090"},
      {"from a fix, not from the grid origin", [](App& a) { ownfixat(a, a.gps.ownx, 395); }, 420, 240, 180, "180"},
  };
  std::size_t written = 0;
  for (const auto& s : steps) {
    s.before(*app);
    const auto [x, y] = click(ui::button_left, s.px, s.py);
    const Items rec = lines("NEW.NME");
    ASSERT_EQ(rec.size(), ++written) << s.guards;
    EXPECT_EQ(std::tuple(app->gps.ownhdg, app->gps.ownspd), std::tuple(s.hdg, 45.0f)) << s.guards;
    EXPECT_NEAR(app->gps.ownx, x, 0.001) << s.guards;
    EXPECT_NEAR(app->gps.owny, y, 0.001) << s.guards;
    EXPECT_NE(rec.back().find(",30," + std::string(s.course) + ","), std::string::npos) << s.guards << ": " << rec.back();
  }
}

TEST_F(MapClick, WaypointsUpToAHundred) {
  showwpform(*app);
  NavState& n = app->nav;
  n.legcount = 7;
  const auto [x1, y1] = click(ui::button_left, 101, 101);
  EXPECT_EQ(std::tuple(n.wpcount, n.legcount, n.routeshown), std::tuple(1, 7, 1)) << "the first waypoint starts the legs";
  EXPECT_NEAR(std::hypot(n.legx[0] - x1, n.legy[0] - y1), 0, 0.001);
  EXPECT_NEAR(n.wpradius[1], 20.0f / 213 + 0.12f, 1e-6) << "the map's width over 213, and 120 m";
  const auto [x2, y2] = click(ui::button_left, 201, 151);
  EXPECT_EQ(std::tuple(n.wpcount, n.legcount), std::tuple(2, 1));
  EXPECT_NEAR(std::hypot(n.legx[1] - x2, n.legy[1] - y2), 0, 0.001);
  EXPECT_TRUE(z().wp[2].visible);
  while (n.wpcount < 100) click(ui::button_left, 301, 201);
  EXPECT_EQ(app->win.get<WpForm>().nwps.caption, " 100 waypoints");
  click(ui::button_left, 301, 201);
  EXPECT_EQ(std::tuple(n.wpcount, wav->beeps, app->win.get<WpForm>().nwps.caption), std::tuple(100, 1, " 100 waypoints"));
}

TEST_F(MapClick, EditorsNeedALeftClickBeforeADirectionAndNameCellsFromTheNationalGrid) {
  for (int* on : {&app->map.geomanon, &app->nav.rgimanon}) {
    app->map.geomanon = app->nav.rgimanon = 0;
    *on = 1;
    const int beeps = wav->beeps;
    click(ui::button_right, 400, 200);
    EXPECT_EQ(wav->beeps, beeps + 1) << "no position yet";
    click(ui::button_left, 320, 240);
    click(ui::button_right, 320, 100);
    EXPECT_EQ(wav->beeps, beeps + 1);
  }
  EXPECT_EQ(app->win.get<GForm>().dg.text, "N");
  EXPECT_LE(std::stoi(app->win.get<RgimanForm>().hdg.caption), 1) << "north, to the degree";

  // Near Paris, with the read-outs in MGRS: the editor still gets the compact latitude/longitude
  // text and its cell.
  app->map.geomanon = 1, app->nav.rgimanon = 0;
  float px = 0, py = 0;
  lltoosgb(app->geo, 48.85f, 2.35f, px, py);
  gridview(*app, px - 5, py - 4, px + 5, py + 4);
  app->geo.utmmode = 2;
  click(ui::button_left, 320, 240);
  const GForm& f = app->win.get<GForm>();
  EXPECT_EQ(shown().size(), 18u) << "the read-out in MGRS";
  EXPECT_EQ(f.gg.text.size(), 15u) << f.gg.text;
  EXPECT_EQ(std::tie(f.fg.text, app->map.geofile), std::tuple("48N002EP.GEA", "48N002EP.GEA")) << f.gg.text;
}

TEST_F(MapClick, DigitisingWritesEachPointAndMovesOnTheRightButton) {
  app->main.digmode = 1;
  std::tie(app->main.digclass, app->main.digname) = std::tuple("A,,", "#A34#");
  click(ui::button_left, 101, 101);
  const std::string first = shown();
  click(ui::button_right, 201, 101);
  EXPECT_EQ(lines("NEW.GTX"), (Items{"A,," + first + ",#A34#,", "A,," + shown() + ",#A34#,"}));
  EXPECT_EQ(lines("newroad.dat"), (Items{first, "MOVE A34"}));
  app->main.digname = "#A";
  click(ui::button_right, 201, 101);
  EXPECT_EQ(lines("newroad.dat").back(), "MOVE #A") << "a name of two characters as it is";
}

}  // namespace
}  // namespace zarn::test
