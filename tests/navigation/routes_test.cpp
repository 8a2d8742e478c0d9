// Waypoint routes: route files written and read, their counts held to the route, following
// started and stopped, the route window's buttons, the drawing, and the recorded drive followed
// past a route of waypoints.
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <random>

#include "geodesy/distance.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/serialpoll.h"
#include "mapdisplay/overlays.h"
#include "mapdisplay/pictures.h"
#include "navigation/routefiles.h"
#include "navigation/waypoints.h"
#include "navigation/wpform.h"
#include "platform/textrules.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

class Routes : public AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}, {"SH", 200, 300}, {"NZ", 400, 500}, {"TQ", 500, 100}, {"NH", 200, 800}});
    ico("WP.ICO"), ico("WPNEXT.ICO");
    makewpicons(*app);
    gridview(*app, 370, 380, 376.4f, 384.8f);
  }
  void ico(const std::string& name) const { put(name, std::string("\0\0\1\0\1\0\x20\x20", 8) + std::string(32, '\0')); }
  // The route as position texts with their radii (m), waypoint by waypoint.
  Items route() const {
    Items v;
    const NavState& n = app->nav;
    for (int k = 1; k <= n.wpcount; ++k) {
      std::string ref;
      gridreftext(app->geo, n.wpx[k], n.wpy[k], ref);
      v.push_back(ref + " " + std::to_string(std::lround(n.wpradius[k] * 1000)));
    }
    return v;
  }
  std::string icon(int k) const {
    const ui::Image& w = app->win.zarn.wp[k];
    return w.picture ? std::filesystem::path(w.picture->path).filename().string() : "";
  }
  NavState& n() const { return app->nav; }
};

TEST_F(Routes, CompactTextIsRoundedToTheNearestHundredthOfAMinute) {
  const struct { float lat, lon; const char* want; } cases[] = {
      {53.5f, -2.3f, "533000N0021800W"},
      {53.0f + 10.006f / 60, -(2 + 0.004f / 60), "531001N0020000W"},   // up, and down
      {53.0f + 59.996f / 60, 0.0f + 59.9999f / 60, "540000N0010000E"},  // into the next degree
      {-33.9f, 151.2f, "335400S1511200E"},
      {51.5f, -0.00001f, "513000N0000000E"}};  // nought minutes west: east, as it reads back
  for (const auto& c : cases) EXPECT_EQ(llcompactnear(c.lat, c.lon), c.want) << c.lat << " " << c.lon;
}

TEST_F(Routes, SavedAndReadAgainEveryWaypointStaysWithinAHundredthOfAMinuteWithItsRadius) {
  std::mt19937 rng(18);
  std::uniform_real_distribution<float> lat(50.0f, 58.5f), lon(-10.0f, 1.7f);
  std::uniform_int_distribution<int> count(1, 100), tens(0, 200);
  double worst = 0;
  for (int r = 0; r < 300; ++r) {
    const int wps = r == 0 ? 100 : std::max(1, count(rng) / (r % 3 + 1));
    NavState& nav = n();
    nav.wpcount = 0;
    std::vector<std::pair<float, float>> at;
    for (int k = 1; k <= wps; ++k) {
      float x = 0, y = 0;
      lltoosgb(app->geo, lat(rng), lon(rng), x, y);
      // The radius as a file gives it (whole tens of metres) or the default, which a save once
      // wrote 10 m short.
      ASSERT_TRUE(addwaypoint(nav, x, y, k % 4 == 0 ? NavState::wpradiusdefault : static_cast<float>(tens(rng) * 10 / 1000.0)));
      at.emplace_back(x, y);
    }
    const auto radii = nav.wpradius;
    ASSERT_TRUE(writeroute(*app, "ZARN.ROO"));
    const std::string first = get("ZARN.ROO");
    for (int again = 0; again < 3; ++again) {
      nav.wpcount = 0;
      ASSERT_TRUE(readroute(*app, "ZARN.ROO"));
      ASSERT_EQ(nav.wpcount, wps);
      ASSERT_TRUE(writeroute(*app, "ZARN.ROO"));
    }
    EXPECT_EQ(get("ZARN.ROO"), first) << "saving and reading again moves nothing";
    for (int k = 1; k <= wps; ++k) {
      float lat0 = 0, lon0 = 0, lat1 = 0, lon1 = 0;
      osgbtoll(app->geo, at[k - 1].first, at[k - 1].second, lat0, lon0);
      osgbtoll(app->geo, nav.wpx[k], nav.wpy[k], lat1, lon1);
      worst = std::max({worst, std::fabs(lat1 - lat0) * 60.0, std::fabs(lon1 - lon0) * 60.0});
      ASSERT_EQ(nav.wpradius[k], radii[k]) << "route " << r << " waypoint " << k;
    }
  }
  EXPECT_LE(worst, 0.01) << "minutes";
  EXPECT_EQ(wav->beeps, 0);
}

TEST_F(Routes, BothLayoutsAndCountsHeldToTheLinesAndTheRoute) {
  std::string many, manycount = "150\r\n";
  for (int i = 0; i < 120; ++i) many += "SJ 7" + std::to_string(1000 + i) + " 83000\r\n";
  manycount += many;
  const struct { const char* guards; std::string file; int count, beeps; std::string first; } cases[] = {
      {"count line, radius in metres", " 2 \r\nSJ 71000 83000 *R250\r\nSJ 72000 83000\r\n", 2, 0, "SJ 71000 83000 250"},
      {"no count line: up to the first blank line", "SJ 71000 83000\r\nSJ 72000 83000\r\n  \r\nSJ 73000 83000\r\n", 2, 0,
       "SJ 71000 83000 120"},
      {"a count of none", " 0 \r\nSJ 71000 83000\r\n", 0, 0, ""},
      {"a count beyond the lines present: what there is", " 5 \r\nSJ 71000 83000\r\nSJ 72000 83000", 2, 1,
       "SJ 71000 83000 120"},
      {"a negative count: none", "-5\r\nSJ 71000 83000\r\n", 0, 1, ""},
      {"a count beyond any route", "1e9\r\nSJ 71000 83000\r\n", 1, 1, "SJ 71000 83000 120"},
      {"a count above 100", manycount, 100, 1, "SJ 71000 83000 120"},
      {"more than 100 lines", many, 100, 1, "SJ 71000 83000 120"},
      {"\"*R\" first: the reader's failure pair with the radius", " 1 \r\n*R300\r\n", 1, 0, "-250 950 300"},
      {"no number after \"*R\": radius 0", " 1 \r\nSJ 71000 83000 *Rx\r\n", 1, 0, "SJ 71000 83000 0"},
      {"a comma where the lines have no count", "SJ 71000 83000,*R500\r\nSJ 72000 83000\r\n", 2, 0,
       "SJ 71000 83000 120"},
      {"a comma ends the waypoint's text", " 1 \r\nSJ 71000 83000,*R500\r\n", 1, 0, "SJ 71000 83000 120"}};
  for (const auto& c : cases) {
    put("ZARN.ROO", c.file);
    wav->beeps = 0;
    n().legcount = 7;
    ASSERT_TRUE(readroute(*app, "ZARN.ROO")) << c.guards;
    EXPECT_EQ(std::tuple(n().wpcount, n().legcount, wav->beeps), std::tuple(c.count, std::max(c.count - 1, 0), c.beeps))
        << c.guards;
    std::string first = route().empty() ? "" : route()[0];
    if (n().wpcount > 0 && n().wpx[1] == parsefailx && n().wpy[1] == parsefaily)
      first = "-250 950 " + std::to_string(std::lround(n().wpradius[1] * 1000));
    EXPECT_EQ(first, c.first) << c.guards;
    EXPECT_EQ(std::tuple(app->win.get<WpForm>().nwps.caption, n().routeshown),
              std::tuple(text::str(c.count) + " waypoints", 1))
        << c.guards;
  }
  wav->beeps = 0;
  EXPECT_FALSE(readroute(*app, "MISSING.ROO"));
  EXPECT_EQ(std::tuple(wav->beeps, n().wpcount), std::tuple(1, 1)) << "a missing file: a beep, the route as it was";
  // The text after a comma is the next waypoint; the lines still count them.
  for (const char* file : {" 3 \r\nSJ 71000 83000,SJ 72000 83000 *R300\r\nSJ 73000 83000\r\nSJ 74000 83000\r\n",
                           "SJ 71000 83000,SJ 72000 83000 *R300\r\nSJ 73000 83000\r\nSJ 74000 83000\r\n\r\n"}) {
    put("ZARN.ROO", file);
    ASSERT_TRUE(readroute(*app, "ZARN.ROO"));
    EXPECT_EQ(route(), (Items{"SJ 71000 83000 120", "SJ 72000 83000 300", "SJ 73000 83000 120"})) << file;
  }
}

TEST_F(Routes, ARouteFileThatCannotBeReadIsNamedWithWhyAndTheRouteStays) {
  addwaypoint(n(), 373, 383, 0.12f);
  std::filesystem::create_directories(dir / "ZARN.ROO");
  ASSERT_EQ(::mkfifo((dir / "rpoints.txt").c_str(), 0600), 0);
  put("ZARNAUTO.ROO", "1 \r\n" + std::string(2 << 20, ' '));
  for (const auto& [name, why] : {std::pair("ZARN.ROO", "ZARN.ROO: not a regular file"),
                                  {"rpoints.txt", "rpoints.txt: not a regular file"},
                                  {"ZARNAUTO.ROO", "ZARNAUTO.ROO: too large"}}) {
    wav->beeps = 0;
    EXPECT_FALSE(readroute(*app, name)) << name;  // a FIFO is never waited on
    EXPECT_EQ(app->speech.msgtext.rfind(why, 0), 0u) << app->speech.msgtext;
    EXPECT_EQ(std::tuple(wav->beeps, n().wpcount), std::tuple(1, 1)) << name;
  }
}

// Read and Import with no file: the beep, the route as it was, and its first waypoint current.
TEST_F(Routes, ReadAndImportOfNoFileStartTheRouteAgainAtItsFirstWaypoint) {
  WpForm& f = wpwindow(*app);
  addwaypoint(n(), 373, 383, 0.12f);
  for (ui::Button* b : {&f.readcmd, &f.importcmd}) {
    n().curwp = 3;
    wav->beeps = 0;
    b->onClick();
    EXPECT_EQ(std::tuple(wav->beeps, n().wpcount, n().curwp), std::tuple(1, 1, 1)) << b->caption;
  }
}

TEST_F(Routes, ASaveThatCannotBeWrittenIsReportedAndTheOldFileStays) {
  std::filesystem::create_directories(dir / "ZARN.ROO");
  addwaypoint(n(), 373, 383, 0.12f);
  EXPECT_FALSE(writeroute(*app, "ZARN.ROO"));
  EXPECT_EQ(app->speech.msgtext.rfind("Route not saved: ", 0), 0u) << app->speech.msgtext;
  EXPECT_TRUE(std::filesystem::is_directory(dir / "ZARN.ROO"));
}

TEST_F(Routes, FollowingStartsAtWaypointOneAndNeverOnAnEmptyRoute) {
  WpForm& f = wpwindow(*app);
  n().adhocdest = 5;
  wponcmd_Click(*app);
  EXPECT_EQ(std::tuple(n().wpfollowon, f.wponcmd.caption, wav->beeps, n().curdest), std::tuple(0, "Route Following now OFF", 1, 0))
      << "an empty route: a beep, nothing steered to";
  for (float x : {371.f, 372.f, 373.f}) addwaypoint(n(), x, 383, 0.12f);
  for (int k : {2, 3})  // marks left from before
    app->win.zarn.wp[k].setpicture(loadicon(app->map, app->files, *app->sys.images, "WPNEXT.ICO"));
  wponcmd_Click(*app);
  EXPECT_EQ(std::tuple(n().wpfollowon, f.wponcmd.caption, n().curwp, n().curdest, n().destlabel[5], n().destwav, n().nodest),
            std::tuple(1, "Route Following now ON", 1, 5, "wp1", "destinat.wav", 0));
  EXPECT_EQ(std::tuple(n().destx[5], n().desty[5], n().destname[5]), std::tuple(371.f, 383.f, "SJ 71000 83000"));
  EXPECT_EQ(std::tuple(icon(1), icon(2), icon(3)), std::tuple("WPNEXT.ICO", "WP.ICO", "WP.ICO")) << "only the next is marked";
  wponcmd_Click(*app);
  EXPECT_EQ(std::tuple(n().wpfollowon, f.wponcmd.caption), std::tuple(0, "Route Following now OFF"));
}

TEST_F(Routes, TheWindowAddsDeletesShowsAndReads) {
  WpForm& f = wpwindow(*app);
  EXPECT_EQ(n().routeshown, 1) << "opening the window shows the route";
  n().adhocdest = n().curdest = 5;
  std::tie(n().destx[5], n().desty[5]) = std::pair(372.f, 383.f);
  f.addestcmd.onClick();
  std::tie(n().destx[5], n().desty[5]) = std::pair(373.f, 383.5f);
  f.addestcmd.onClick();
  EXPECT_EQ(std::tuple(f.nwps.caption, n().legcount, n().wpradius[2]), std::tuple(" 2 waypoints", 1, 0.12f))
      << "a destination added has the default radius";
  EXPECT_EQ(std::tuple(n().legx[0], n().legx[1], app->win.zarn.leg[1].visible, app->win.zarn.wp[2].visible),
            std::tuple(372.f, 373.f, true, true));
  f.savecmd.onClick();
  f.delcmd.onClick();
  f.delcmd.onClick();
  EXPECT_EQ(std::tuple(f.nwps.caption, n().legcount, app->win.zarn.leg[1].visible, app->win.zarn.wp[1].visible),
            std::tuple(" 0 waypoints", 0, false, false));
  f.delcmd.onClick();
  EXPECT_EQ(wav->beeps, 1) << "nothing to delete";
  n().curwp = 3;
  f.readcmd.onClick();
  ASSERT_EQ(std::tuple(n().wpcount, n().curwp, n().wpradius[1], n().wpradius[2]), std::tuple(2, 1, 0.12f, 0.12f));
  for (const auto& [k, x, y] : {std::tuple(1, 372.f, 383.f), {2, 373.f, 383.5f}}) {
    EXPECT_NEAR(n().wpx[k], x, 0.015) << "within a hundredth of a minute";
    EXPECT_NEAR(n().wpy[k], y, 0.02);
  }
  f.showcmd.onClick();
  f.stylecmd.onClick();
  EXPECT_EQ(std::tuple(n().routeshown, f.showcmd.caption, app->win.zarn.leg[1].visible), std::tuple(0, "Route Hidden", false));
  f.showcmd.onClick();
  EXPECT_EQ(std::tuple(f.showcmd.caption, app->win.zarn.leg[1].visible, app->win.zarn.wp[1].visible),
            std::tuple("Route Shown", true, false))
      << "style 1: the lines alone";
  for (int k = n().wpcount; k < NavState::wpmax; ++k) addwaypoint(n(), 372, 383, 0.1f);
  wav->beeps = 0;
  f.addestcmd.onClick();
  EXPECT_EQ(std::tuple(n().wpcount, wav->beeps), std::tuple(100, 1)) << "a full route";
}

TEST_F(Routes, TheWindowOpensShowingTheWaypointsTheMapAlreadyHolds) {
  for (float x : {371.f, 372.f, 373.f}) addwaypoint(n(), x, 383, 0.12f);
  EXPECT_EQ(wpwindow(*app).nwps.caption, " 3 waypoints");
}

TEST_F(Routes, DrawingKeepsToTheRouteWhateverTheCounts) {
  for (float x : {371.f, 372.f, 373.f}) addwaypoint(n(), x, 383, 0.12f);
  n().routeshown = 1;
  auto& z = app->win.zarn;
  const struct { int wps, legs; int icons, lines; } cases[] = {{3, 2, 3, 2}, {1000, 150, 100, 100}, {-3, -7, 0, 0}, {3, 0, 3, 0}};
  for (const auto& c : cases) {
    std::tie(n().wpcount, n().legcount) = std::pair(c.wps, c.legs);
    drawwproute(*app);
    int icons = 0, lines = 0;
    for (int i = 1; i <= NavState::wpmax; ++i) icons += z.wp[i].visible, lines += z.leg[i].visible;
    EXPECT_EQ(std::tuple(icons, lines), std::tuple(c.icons, c.lines)) << c.wps << " " << c.legs;
  }
  const auto [px, py] = std::pair(z.wp[2].left + 16, z.wp[2].top + 16);
  EXPECT_EQ(std::tuple(px, py, z.leg[1].x2, z.leg[1].y2), std::tuple(200, 180, 200, 180)) << "372, 383 on the view";
}

// The map drawing file places the waypoints and names their icons; the reach radii they had
// stay theirs.
TEST_F(Routes, MapDrawingFileWaypointsKeepTheirReachRadii) {
  std::tie(n().wpradius[1], n().wpradius[2]) = std::tuple(0.3f, 0.0f);
  put("ZARN.PIC", "L,SJ 71000 83000\r\nL,SJ 72000 83000\r\nI,WPNEXT.ICO\r\nP,SJ 71000 83000\r\nP,SJ 72000 83000\r\nEND,\r\n");
  readpicfile(*app);
  ASSERT_EQ(std::tuple(n().wpcount, n().legcount), std::tuple(2, 1));
  EXPECT_EQ(std::tuple(n().wpradius[1], n().wpradius[2], n().wpicon[1]), std::tuple(0.3f, 0.0f, "WPNEXT.ICO"));
}

// ---- The drive

// The drive's sentences as the serial line brings them, one fix to a chunk: each chunk ends
// with an RMC sentence.
std::vector<std::string> drivechunks() {
  std::ifstream in(std::string(ZARN_TEST_DATA) + "/nmea/drive/cheshire-2020-10-26.nmea", std::ios::binary);
  std::vector<std::string> out;
  std::string cur;
  for (std::string l; std::getline(in, l);) {
    cur += l + "\n";
    if (l.starts_with("$GPRMC") && l.find(",A,") != std::string::npos) out.push_back(std::exchange(cur, ""));
  }
  return out;
}

class FollowDrive : public Routes {
 protected:
  void ready() override {
    Routes::ready();
    app->gps.gpsoncom = 1;
    app->speech.talkon = 1;
    for (const char* w : {"wenearwp.wav", "NEXTDEST.WAV", "FINALDES.WAV", "destinat.wav"}) wavfile(w);
    for (int d = 1; d <= 9; ++d) wavfile(std::to_string(d) + ".wav");
    chunks = drivechunks();
    ASSERT_GT(chunks.size(), 1500u);
    n().adhocdest = 5;
  }
  // The route: waypoints where the drive was at the given fixes (counted from 1), or elsewhere.
  void placeroute(const std::vector<std::tuple<int, float, float>>& wps) {
    std::string file = text::str(static_cast<int>(wps.size())) + " \r\n";
    for (const auto& [fix, dx, radius] : wps) {
      feed(fix);  // the own position at that fix
      std::string ref;
      gridreftext(app->geo, app->gps.ownx + dx, app->gps.owny, ref);
      file += ref + " *R" + std::to_string(std::lround(radius * 1000)) + "\r\n";
    }
    put("ROUTE.ROO", file);
    ASSERT_TRUE(readroute(*app, "ROUTE.ROO"));
    n().wpfollowon = 1;
    ASSERT_TRUE(routeon(*app));
  }
  // The serial line brings fix i (from 1); the tick's poll takes it in.
  void feed(int i) {
    serial->chunks.push_back(chunks.at(static_cast<std::size_t>(i - 1)));
    readcomms(*app);
  }
  // An arrival: the fix it came at, the message line and the destination after it, and the
  // prompts of its tick.
  struct Arrival {
    int fix;
    std::string msg, dest;
    Items said;
  };
  // The drive from the first fix, half a second a fix, each followed by the tick's waypoint step;
  // every arrival, with the fix at which it came.
  std::vector<Arrival> drive(int to) {
    std::vector<Arrival> out;
    std::size_t heard = 0;
    for (int i = 1; i <= to; ++i) {
      clock->advance(0.5);
      feed(i);
      wpfollow(*app);
      const auto& p = wav->played;
      Items said;
      for (std::size_t w = heard; w < p.size(); ++w) said.push_back(p[w].file);
      for (; heard < p.size(); ++heard)
        if (p[heard].file == "wenearwp.wav" || p[heard].file == "FINALDES.WAV") {
          out.push_back({i, app->speech.msgtext, n().destlabel[5], said});
          // Reached at its radius: inside it now, not at the fix before.
          const int k = n().curwp - 1;
          const float r = n().wpradius[k];
          EXPECT_LE(dist(k), r) << "waypoint " << k << " at fix " << i;
          EXPECT_GT(before[k], r) << "waypoint " << k << " reached earlier than fix " << i;
        }
      for (int k = 1; k <= n().wpcount; ++k) before[k] = dist(k);
    }
    return out;
  }
  float dist(int k) {
    float d = 0;
    int b = 0;
    distbearing(app->geo, app->gps.ownx, app->gps.owny, n().wpx[k], n().wpy[k], d, b);
    return d;
  }
  std::vector<std::string> chunks;
  std::array<float, NavState::wpmax + 1> before{};
};

TEST_F(FollowDrive, EachWaypointIsAnnouncedOnceAtItsRadiusAndTheNextBecomesTheDestination) {
  placeroute({{700, 0, 0.05f}, {820, 0, 0.12f}, {940, 0, 0.25f}, {1060, 0, 0.12f}});
  EXPECT_EQ(std::tuple(n().curdest, n().destlabel[5], n().curwp), std::tuple(5, "wp1", 1));
  const auto arrivals = drive(static_cast<int>(chunks.size()));
  ASSERT_EQ(arrivals.size(), 4u);
  for (int k = 1; k <= 3; ++k) {
    const Arrival& a = arrivals[static_cast<std::size_t>(k - 1)];
    EXPECT_EQ(a.dest, "wp" + std::to_string(k + 1));
    // Near the waypoint, its number, the change of destination, then the new one's distance.
    EXPECT_EQ(Items(a.said.begin(), a.said.begin() + 4),
              (Items{"wenearwp.wav", std::to_string(k) + ".wav", "NEXTDEST.WAV", "destinat.wav"}));
  }
  EXPECT_EQ(std::tuple(arrivals[3].msg, arrivals[3].dest, arrivals[3].said),
            std::tuple("We are near final Destination", "wp4", Items{"FINALDES.WAV"}));
  for (std::size_t a = 0; a < 4; ++a) {
    const int at = 700 + 120 * static_cast<int>(a);  // where the drive passes the waypoint
    EXPECT_TRUE(arrivals[a].fix > at - 80 && arrivals[a].fix <= at) << a << ": " << arrivals[a].fix;
  }
  EXPECT_EQ(std::tuple(n().curwp, n().destx[5], n().desty[5]), std::tuple(5, n().wpx[4], n().wpy[4]));
  EXPECT_EQ(std::tuple(icon(1), icon(2), icon(3), icon(4)), std::tuple("WP.ICO", "WP.ICO", "WP.ICO", "WPNEXT.ICO"));
  EXPECT_GE(app->main.destreptime, clock->timer() - 15) << "the distance is said every 15 s";
}

// Following leaves a hidden destination hidden, and a waypoint passed shows the plain mark
// whatever the map drawing gave it.
TEST_F(FollowDrive, FollowingKeepsTheDestinationHiddenAndAPassedWaypointShowsThePlainMark) {
  n().nodest = 1;
  placeroute({{700, 0, 0.12f}, {820, 0, 0.12f}});
  ico("OWN.ICO");
  n().wpicon[1] = "OWN.ICO";
  EXPECT_EQ(std::tuple(n().nodest, n().destlabel[5]), std::tuple(1, "wp1"));
  ASSERT_EQ(drive(760).size(), 1u);
  EXPECT_EQ(std::tuple(n().nodest, n().destlabel[5], icon(1), icon(2)), std::tuple(1, "wp2", "WP.ICO", "WPNEXT.ICO"));
}

TEST_F(FollowDrive, ReachingAWaypointAheadAnnouncesItAndSteersToTheOneAfter) {
  // Waypoint 2 lies 2 km east of the road: the drive passes waypoint 3 first.
  placeroute({{700, 0, 0.12f}, {760, 2, 0.12f}, {880, 0, 0.12f}, {1000, 0, 0.12f}});
  const auto arrivals = drive(1100);
  ASSERT_EQ(arrivals.size(), 3u);
  Items said;
  for (const auto& a : arrivals) said.push_back(a.dest);
  EXPECT_EQ(said, (Items{"wp2", "wp4", "wp4"}));
  EXPECT_EQ(n().curwp, 5);
  Items numbers;  // the number said after "we are near waypoint"
  const auto& p = wav->played;
  for (std::size_t i = 0; i + 1 < p.size(); ++i)
    if (p[i].file == "wenearwp.wav") numbers.push_back(p[i + 1].file);
  EXPECT_EQ(numbers, (Items{"1.wav", "3.wav"}));
}

TEST_F(FollowDrive, EachArrivalMessageStandsWhileItsOwnRecordedPromptsAreHeard) {
  // The demo's own recordings: a message is seen for as long as its prompts play.
  for (const char* w : {"wenearwp.wav", "NEXTDEST.WAV", "FINALDES.WAV", "destinat.wav", "1.wav", "2.wav"}) {
    const auto demo = std::filesystem::path(ZARN_SOURCE_DIR) / "data/demo" / w;
    std::filesystem::remove(dir / w);  // no recording, no prompt
    if (std::filesystem::exists(demo)) std::filesystem::copy_file(demo, dir / w);
  }
  // The message line as each prompt is waited for.
  std::vector<std::pair<std::string, std::string>> heard;
  events->hook = [this, &heard] {
    for (std::size_t i = heard.size(); i < wav->played.size(); ++i)
      heard.emplace_back(wav->played[i].file, app->win.zarn.saytxt.caption);
  };
  placeroute({{700, 0, 0.05f}, {820, 0, 0.12f}, {940, 0, 0.05f}});
  heard.clear();
  wav->played.clear();
  drive(1000);
  std::vector<std::pair<std::string, std::string>> arrivals;
  for (std::size_t i = 0; i < heard.size(); ++i) {
    const std::string& f = heard[i].first;
    if (f != "wenearwp.wav" && f != "NEXTDEST.WAV" && f != "FINALDES.WAV") continue;
    arrivals.push_back(heard[i]);
    if (f == "wenearwp.wav" && i + 1 < heard.size()) arrivals.push_back(heard[i + 1]);  // the number
    EXPECT_GT(wav->played[i].seconds, 0.5) << f;
  }
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(arrivals, (std::vector<P>{{"wenearwp.wav", "We are near Waypoint 1"},
                                      {"1.wav", "We are near Waypoint 1"},
                                      {"NEXTDEST.WAV", "Changing Destination to Next Waypoint"},
                                      {"wenearwp.wav", "We are near Waypoint 2"},
                                      {"2.wav", "We are near Waypoint 2"},
                                      {"NEXTDEST.WAV", "Changing Destination to Next Waypoint"},
                                      {"FINALDES.WAV", "We are near final Destination"}}));
  // The new destination's distance follows each change, under its own message.
  for (std::size_t i = 0; i + 1 < heard.size(); ++i)
    if (heard[i].first == "NEXTDEST.WAV") {
      EXPECT_EQ(heard[i + 1].first, "destinat.wav");
      EXPECT_TRUE(heard[i + 1].second.starts_with("Destination ")) << heard[i + 1].second;
    }
}

}  // namespace
}  // namespace zarn::test
