// The map maker hand-off: the request files, and a receiver's log recorded near Paris (outside
// the grid areas) replayed through the main tick with the stand-in maker (tools/map_maker.py)
// running beside the program, and without it.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "mainwindow/tick.h"
#include "mapdisplay/cform.h"
#include "mapdisplay/mapmaker.h"
#include "map_support.h"

extern char** environ;

namespace zarn::maptest {
namespace {

// The stand-in, running in the working folder until the test ends.
class Maker {
 public:
  explicit Maker(const std::filesystem::path& dir) {
    std::vector<std::string> args{"python3", ZARN_SOURCE_DIR "/tools/map_maker.py", "--dir", dir.string(), "--poll",
                                  "0.02"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = 0;
  }
  ~Maker() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  Maker(const Maker&) = delete;
  Maker& operator=(const Maker&) = delete;
  bool started() const { return pid_ > 0; }

 private:
  pid_t pid_ = 0;
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
    for (std::string l; std::getline(in, l);)
      if (!l.starts_with("#")) serial->chunks.push_back(l + "\n");
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
    std::function<void()> before;
    MapMade end;
    std::string dat, msg;
  };
  const Row rows[] = {
      {"near Paris: the compact text and the scale; no maker, so a time-out and our flag gone",
       [&] { ownfix(*app, 48.904292f, 2.333027f); }, MapMade::timedout, "485425N0021998E, 1",
       "The map maker did not answer in 120 s"},
      {"read-outs in UTM: the request in latitude/longitude all the same", [&] {
         ownfix(*app, 48.904292f, 2.333027f);
         app->geo.utmmode = 2;
       }, MapMade::timedout, "485425N0021998E, 1", "The map maker did not answer in 120 s"},
      {"in Cheshire: no request", [&] { ownfix(*app, 53.35f, -2.34f); }, MapMade::notarea, "", "Not in CD-ROM Area"},
      {"no position: no request", [&] { noownfix(*app); }, MapMade::noposition, "", "No position for the map maker"},
  };
  for (const Row& r : rows) {
    for (const char* f : {"ROMSHELF.DAT", "ROMSHELF.FLG"}) std::filesystem::remove(dir / f);
    make();
    m().automapon = 1;
    r.before();
    const int utmmode = app->geo.utmmode;
    app->gps.owngrid = "own";
    std::string flag;
    events->hook = [&] {  // the clock runs once the request is out
      if (flag.empty()) flag = get("ROMSHELF.FLG");
      clock->advance(flag.empty() ? 0 : 5);
    };
    EXPECT_EQ(makecdmap(*app), r.end) << r.guards;
    EXPECT_EQ(std::tuple(get("ROMSHELF.DAT"), flag, has("ROMSHELF.FLG"), app->speech.msgtext),
              std::tuple(r.dat.empty() ? "" : r.dat + "\r\n", r.dat.empty() ? "" : "10-26-2020 12:00:00\r\n", false,
                         r.msg))
        << r.guards;
    EXPECT_EQ(std::tuple(app->gps.owngrid, app->geo.utmmode, wav->beeps, m().makingmap),
              std::tuple("own", utmmode, 1, false))
        << r.guards;
  }
}

// The stand-in makes the map while the tick waits; the catalogue is built again from MAPS.DIR
// even with a cache, a description without its picture is left out, the control panel lists
// every map once, and the next choice takes the new map.
TEST_F(MapMaker, TheMapIsMadeCataloguedAndChosen) {
  for (const bool cache : {false, true}) {
    make();
    demo();
    if (cache) {
      ASSERT_TRUE(savefastmaps(m(), app->voice));
    }
    const int before = m().mapcount;
    Maker maker(dir);
    ASSERT_TRUE(maker.started());
    std::string said;
    events->hook = [&] {  // the wall clock, ten times as fast, while the stand-in works
      ::usleep(1000);
      clock->advance(0.01);
      if (app->speech.msgtext.starts_with("Map GHOST")) said = app->speech.msgtext;
    };
    put("GHOST.DES", "Ghost\r\nGHOST\r\nSJ 27000 38000, 0, 479\r\nSJ 27000 97875, 0, 0\r\nSK 06875 38000, 639, 479\r\n");
    ASSERT_TRUE(ticks(200, [&] { return made() > 0; })) << "cache " << cache << ": " << app->speech.msgtext;
    const int n = made();
    const std::string name = m().mapname[static_cast<std::size_t>(n)];
    EXPECT_EQ(std::tuple(m().mapcount, name.size(), has(name + ".BMP"), has("ROMSHELF.FLG"), app->main.quit),
              std::tuple(before + 1, 16u, true, false, false))
        << "cache " << cache;
    EXPECT_EQ(said, "Map GHOST left out: its picture GHOST.BMP is missing") << "cache " << cache;
    const auto& list = app->win.get<CForm>().map.items;
    EXPECT_EQ(list.size(), static_cast<std::size_t>(m().mapcount)) << "cache " << cache << ": each map listed once";
    EXPECT_EQ(list.back().substr(0, 9), "Made map ") << "cache " << cache;
    ASSERT_TRUE(ticks(4, [&] { return m().curmap == n; })) << "cache " << cache << ": the new map is chosen";
    EXPECT_EQ(std::tuple(m().curlatlon, app->win.zarn.map.visible), std::tuple(1, true)) << "cache " << cache;
  }
}

// Without a maker the wait ends at its limit with a message, our flag is deleted and the tick
// goes on; a second request asked meanwhile is not made.
TEST_F(MapMaker, WithoutTheMakerTheWaitEndsAndTheTickGoesOn) {
  demo();
  MapMade inner = MapMade::made;
  std::string flag, after;
  events->hook = [&] {
    clock->advance(1);
    if (!has("ROMSHELF.FLG") || !flag.empty()) return;
    flag = get("ROMSHELF.FLG");
    clock->advance(1);
    inner = makecdmap(*app);  // "$" typed while it waits
    after = get("ROMSHELF.FLG");
  };
  ASSERT_TRUE(ticks(40, [&] { return !flag.empty(); }));
  EXPECT_EQ(std::tuple(inner, after, has("ROMSHELF.FLG"), m().mapcount, app->speech.msgtext),
            std::tuple(MapMade::pending, flag, false, 6, std::string("The map maker did not answer in 120 s")));
  const std::size_t left = serial->chunks.size();
  const long ticked = app->main.ticks;
  for (int i = 0; i < 20; ++i) tick();
  EXPECT_EQ(app->main.ticks, ticked + 20);
  EXPECT_LT(serial->chunks.size(), left) << "the log is still read";
  EXPECT_FALSE(has("ROMSHELF.FLG")) << "the car has not moved: nothing asked again";
}

}  // namespace
}  // namespace zarn::maptest
