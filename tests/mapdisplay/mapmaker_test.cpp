// The map maker hand-off: the request files, and a receiver's log recorded near Paris (outside
// the grid areas) replayed through the main tick with the stand-in maker (tools/map_maker.py)
// running beside the program, and without it.
#include "mapdisplay/mapmaker.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <optional>

#include "mainwindow/tick.h"
#include "map_support.h"
#include "mapdisplay/cform.h"

extern char** environ;

namespace zarn::maptest {
namespace {

// The stand-in, running in the working folder until the test ends.
struct Maker {
  pid_t pid = 0;
  Maker(const std::filesystem::path& dir, const char* fault) {
    const std::string d = dir.string(), tool = ZARN_SOURCE_DIR "/tools/map_maker.py";
    // The graticule alone: the drawing is not what is tested, and GMT would take its time. A
    // second's delay (late, but well within the limit) lets the test see the request pending.
    std::vector<const char*> argv{
        "python3", tool.c_str(),           "--dir", d.c_str(), "--poll", "0.02", "--no-gmt", "--delay", "1.0",
        "--fault", *fault ? fault : "late"};
    argv.push_back(nullptr);
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, const_cast<char* const*>(argv.data()), environ) != 0) pid = 0;
  }
  ~Maker() {
    if (pid > 0) ::kill(pid, SIGTERM), ::waitpid(pid, nullptr, 0);
  }
};

class MapMaker : public MapTest {
 protected:
  // The demo's maps and the log queued on the serial line, a line a poll; automatic maps on.
  void demo() {
    copydemo();
    ASSERT_EQ(loadccc(app->geo, app->files), std::nullopt);
    ASSERT_TRUE(readmaplist(*app));
    tileinit(z());
    app->gps.gpsoncom = 1;
    std::tie(m().automapon, m().automapdist) = std::tuple(1, 5.f);
    std::tie(app->main.stepsecs, app->main.initmark) = std::tuple(1e9f, 1234);  // no replay steps
    std::ifstream in(std::string(ZARN_TEST_DATA) + "/nmea/gpsd/gpslim236.log", std::ios::binary);
    Items log;
    for (std::string l; std::getline(in, l);)
      if (!l.starts_with("#")) log.push_back(l + "\n");
    for (int k = 0; k < 10; ++k) serial->chunks.insert(serial->chunks.end(), log.begin(), log.end());  // never runs dry
  }
  void tick() {
    clock->advance(0.25);
    Timer1_Timer(*app);
  }
  // Ticks until done holds, at most n.
  bool ticks(int n, const std::function<bool()>& done) {
    for (int i = 0; i < n && !done(); ++i) tick();
    return done();
  }
  int made() const {
    for (int i = 1; i <= m().mapcount; ++i)
      if (m().mapname[static_cast<std::size_t>(i)].starts_with("R48")) return i;
    return 0;
  }
};

TEST_F(MapMaker, RequestOnlyOutsideTheGridsWithTheCentreAsLatitudeLongitude) {
  struct Row {
    const char* guards;
    float lat, lon;  // the own fix; 0, 0: none
    int utmmode;
    MapMade end;
    std::string dat, msg;
  };
  const std::string paris = "485425N0021998E, 1", timeout = "The map maker did not answer in 120 s";
  const Row rows[] = {
      {"near Paris: the compact text and the scale; no maker, our flag gone", 48.904292f, 2.333027f, 0,
       MapMade::timedout, paris, timeout},
      {"read-outs in UTM: latitude/longitude all the same", 48.904292f, 2.333027f, 2, MapMade::timedout, paris,
       timeout},
      {"in Cheshire: no request", 53.35f, -2.34f, 0, MapMade::notarea, "", "Not in CD-ROM Area"},
      {"no position: no request", 0, 0, 0, MapMade::noposition, "", "No position for the map maker"},
  };
  for (const Row& r : rows) {
    for (const char* f : {"ROMSHELF.DAT", "ROMSHELF.FLG"}) std::filesystem::remove(dir / f);
    make();
    m().automapon = 1;
    if (r.lat != 0)
      ownfix(*app, r.lat, r.lon);
    else
      noownfix(*app);
    app->geo.utmmode = r.utmmode;
    app->gps.owngrid = "own";
    std::string flag;
    events->hook = [&] {  // the clock runs once the request is out
      if (flag.empty()) flag = get("ROMSHELF.FLG");
      clock->advance(flag.empty() ? 0 : 5);
    };
    EXPECT_EQ(makecdmap(*app), r.end) << r.guards;
    EXPECT_EQ(
        std::tuple(get("ROMSHELF.DAT"), flag, has("ROMSHELF.FLG"), app->speech.msgtext),
        std::tuple(r.dat.empty() ? "" : r.dat + "\r\n", r.dat.empty() ? "" : "10-26-2020 12:00:00\r\n", false, r.msg))
        << r.guards;
    EXPECT_EQ(std::tuple(app->gps.owngrid, app->geo.utmmode, wav->beeps, m().makingmap),
              std::tuple("own", r.utmmode, 1, false))
        << r.guards;
  }
}

// The log replayed through the tick. The stand-in makes the map while the tick waits; the
// catalogue is built again from MAPS.DIR even with a cache, a description without its picture is
// left out, the control panel lists every map once, and the next choice takes the new map.
// Without a maker, or with one that dies half-way through the picture, the wait ends at its limit,
// our flag is deleted, nothing half-made is catalogued and the tick goes on. A second request
// asked while one is pending is not made.
TEST_F(MapMaker, TheLogOutsideTheGridsGetsItsMapOrATimeOut) {
  const std::string timeout = "The map maker did not answer in 120 s",
                    ghost = "Map GHOST left out: its picture GHOST.BMP is missing";
  for (const auto& [maker, cache, said] :
       {std::tuple{"", false, timeout}, {"half", false, timeout}, {"fine", false, ghost}, {"fine", true, ghost}}) {
    const std::string row = std::string(maker) + (cache ? " with a cache" : "");
    make();
    demo();
    if (cache) {
      ASSERT_TRUE(savefastmaps(m(), app->voice));
    }
    put("GHOST.DES",
        "Ghost\r\nGHOST\r\nSJ 27000 38000, 0, 479\r\nSJ 27000 97875, 0, 0\r\nSK 06875 38000, 639, 479\r\n");
    std::optional<Maker> running;
    if (*maker) running.emplace(dir, maker == std::string("half") ? "half" : "");
    MapMade inner = MapMade::made;
    std::string flag, after, last;
    std::size_t atflag = 0;
    events->hook = [&] {  // with a stand-in, the program's clock 25 times as fast as the wall clock
      if (*maker) ::usleep(20000);
      clock->advance(*maker ? 0.5 : 5);
      if (app->speech.msgtext == said) last = said;
      if (!has("ROMSHELF.FLG") || !flag.empty()) return;
      flag = get("ROMSHELF.FLG");
      atflag = serial->chunks.size();
      inner = makecdmap(*app);  // "$" typed while it waits
      after = get("ROMSHELF.FLG");
    };
    ASSERT_TRUE(ticks(40, [&] { return !flag.empty() && !m().makingmap; })) << row;
    if (app->speech.msgtext == said) last = said;  // shown after the last events of the wait
    const int n = made();
    EXPECT_EQ(std::tuple(inner, after, has("ROMSHELF.FLG"), last, app->main.quit,
                         said == ghost || serial->chunks.size() < atflag),
              std::tuple(MapMade::pending, flag, false, said, false, true))
        << row << ": the serial port polled while it waits out the limit, " << atflag << " lines left then";
    EXPECT_EQ(std::tuple(n > 0, m().mapcount, app->files.list("R48*.*").size(), has(".R485425N0021998E.BMP.part")),
              std::tuple(said == ghost, said == ghost ? 7 : 6, said == ghost ? 2u : 0u, maker == std::string("half")))
        << row << ": the map catalogued, or nothing but the half-made picture under its temporary name";
    const auto& list = app->win.get<CForm>().map.items;
    EXPECT_EQ(list.size(), static_cast<std::size_t>(m().mapcount)) << row << ": each map listed once";
    const long ticked = app->main.ticks;
    for (int i = 0; i < 4; ++i) tick();
    EXPECT_EQ(std::tuple(app->main.ticks, has("ROMSHELF.FLG")), std::tuple(ticked + 4, false))
        << row << ": the tick goes on; the car has not moved, so nothing is asked again";
    if (n > 0) {
      EXPECT_EQ(std::tuple(m().curmap, m().curlatlon, list.back().substr(0, 9)), std::tuple(n, 1, "Made map "))
          << row << ": the new map is chosen";
    }
  }
}

}  // namespace
}  // namespace zarn::maptest
