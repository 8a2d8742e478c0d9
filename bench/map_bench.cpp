// The map display's costs: the catalogue of a full map set (1,100 maps) built from the
// descriptions and from the FASTMAPS.DAT cache, loading a 640 x 480 map, and the per-fix car
// update and trail dot, which must never touch the map picture.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "bench/demoapp.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/mapload.h"
#include "mapdisplay/owncar.h"
#include "platform/fakes.h"
#include "platform/qt/qtservices.h"

namespace {

namespace fs = std::filesystem;
using zarn::App;

void write(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

std::string bmp(int w, int h, bool whole) {
  const int row = (w * 3 + 3) / 4 * 4;
  const auto data = static_cast<std::uint32_t>(whole ? row * h : 0);
  std::string s(54, '\0');
  auto put = [&](std::size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  s[0] = 'B';
  s[1] = 'M';
  put(2, 54 + data, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<std::uint32_t>(w), 4);
  put(22, static_cast<std::uint32_t>(h), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  if (whole) s += std::string(data, '\x60');
  return s;
}

// Grid squares enough for the generated maps (SJ and its neighbours).
void squares(App& app) {
  const struct {
    const char* code;
    float x, y;
  } sq[] = {{"SJ", 300, 300}, {"SK", 400, 300}, {"SD", 300, 400}, {"SE", 400, 400}};
  for (const auto& q : sq) {
    ++app.geo.ccccount;
    app.geo.ccccode[static_cast<std::size_t>(app.geo.ccccount)] = q.code;
    app.geo.cccx[static_cast<std::size_t>(app.geo.ccccount)] = q.x;
    app.geo.cccy[static_cast<std::size_t>(app.geo.ccccount)] = q.y;
  }
}

// Two directories of 1,100 single-picture grid maps each (descriptions and picture headers):
// one without a cache, one with FASTMAPS.DAT written from the first.
struct MapSet {
  fs::path slow, fast;
  MapSet() {
    const fs::path top = fs::temp_directory_path() / ("zarn-mapbench-" + std::to_string(::getpid()));
    slow = top / "descriptions";
    fast = top / "cache";
    fs::remove_all(top);
    fs::create_directories(slow);
    fs::create_directories(fast);
    std::string dir;
    const std::string header = bmp(640, 480, false);
    for (int i = 0; i < zarn::MapView::mapmax; ++i) {
      const std::string name = "M" + std::to_string(1000 + i);
      const int e = 10000 + (i % 30) * 2500, n = 10000 + (i / 30) * 2000;
      auto ref = [](int ee, int nn) { return "SJ " + std::to_string(ee) + " " + std::to_string(nn); };
      const std::string des = "Map " + name + "\r\n" + name + "\r\n" + ref(e, n) + ", 0, 479\r\n" +
                              ref(e, n + 7500) + ", 0, 0\r\n" + ref(e + 10000, n) + ", 639, 479\r\nZARN.WAW\r\n";
      for (const fs::path& d : {slow, fast}) write(d / (name + ".DES"), des);
      write(slow / (name + ".BMP"), header);
      dir += name + "\r\n";
    }
    write(slow / "MAPS.DIR", dir);
    App app;
    app.files.setworkdir(slow);
    squares(app);
    zarn::readmaplist(app);
    app.files.setworkdir(fast);
    zarn::savefastmaps(app.map, app.voice);
  }
  ~MapSet() { fs::remove_all(slow.parent_path()); }
};

MapSet& mapset() {
  static MapSet s;
  return s;
}

void BM_CatalogueFromDescriptions(benchmark::State& state) {
  App app;
  app.files.setworkdir(mapset().slow);
  squares(app);
  for (auto _ : state) {
    zarn::readmaplist(app);
    benchmark::DoNotOptimize(app.map.mapcount);
  }
  if (app.map.mapcount != zarn::MapView::mapmax) state.SkipWithError("catalogue incomplete");
}
BENCHMARK(BM_CatalogueFromDescriptions)->Unit(benchmark::kMillisecond);

void BM_CatalogueFromFastmaps(benchmark::State& state) {
  App app;
  app.files.setworkdir(mapset().fast);
  for (auto _ : state) {
    zarn::readmaplist(app);
    benchmark::DoNotOptimize(app.map.mapcount);
  }
  if (app.map.mapcount != zarn::MapView::mapmax) state.SkipWithError("catalogue incomplete");
}
BENCHMARK(BM_CatalogueFromFastmaps)->Unit(benchmark::kMillisecond);

// One 640 x 480 map: its description, place file threshold and the picture decoded by Qt's
// reader, as the program does on every map change.
struct OneMap {
  fs::path dir;
  App app;
  explicit OneMap(bool withpicture) {
    dir = fs::temp_directory_path() / ("zarn-mapbench-one-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    write(dir / "AREA.DES",
          "Area\r\nAREA\r\nSJ 70000 78000, 0, 479\r\nSJ 70000 85500, 0, 0\r\nSJ 80000 78000, 639, 479\r\n");
    write(dir / "AREA.BMP", bmp(640, 480, withpicture));
    write(dir / "MAPS.DIR", "AREA\r\n");
    // A place file of a thousand towns.
    std::string places;
    for (int i = 0; i < 1000; ++i) places += "SJ " + std::to_string(70000 + i) + " 80000,Town " + std::to_string(i) + ",t.wav, 1.5\r\n";
    places += "BIGPLACE,NULL,NULL, 3\r\n";
    write(dir / "ZARN.WAW", places);
    for (int k = 0; k < 16; ++k) {
      std::string ico(40, '\0');
      ico[2] = 1;
      ico[4] = 1;
      ico[6] = 32;
      ico[7] = 32;
      write(dir / ("VECTR" + std::to_string(k) + ".ICO"), ico);
    }
    app.files.setworkdir(dir);
    squares(app);
    zarn::readmaplist(app);
  }
  ~OneMap() { fs::remove_all(dir); }
};

void BM_Loadmap640x480(benchmark::State& state) {
  OneMap one(true);
  one.app.sys.images = std::make_unique<zarn::qt::QtImageStore>();
  for (auto _ : state) {
    zarn::loadmap(one.app, 1);
    benchmark::DoNotOptimize(one.app.map.mapxmax);
  }
  if (!one.app.win.zarn.map.picture) state.SkipWithError("picture not read");
}
BENCHMARK(BM_Loadmap640x480)->Unit(benchmark::kMicrosecond);

// The bytes of the distinct pictures among those held.
std::size_t heldbytes(const std::vector<zarn::ui::PictureRef>& held) {
  std::set<const zarn::ui::Picture*> distinct;
  for (const auto& p : held)
    if (p) distinct.insert(p.get());
  std::size_t bytes = 0;
  for (const auto* p : distinct) bytes += static_cast<std::size_t>(p->width) * static_cast<std::size_t>(p->height) * 4;
  return bytes;
}

// A 3840 x 2160 icon named by a hundred waypoints, its file dated a day ahead as in a folder
// copied from another machine: "MB" counts the pictures the waypoints hold, "decodes" the reads.
void BM_IconDatedAheadForAHundredWaypoints(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / ("zarn-mapbench-icon-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  write(dir / "BIG.BMP", bmp(3840, 2160, true));
  fs::last_write_time(dir / "BIG.BMP", fs::file_time_type::clock::now() + std::chrono::hours(24));
  std::size_t decodes = 0, bytes = 0;
  for (auto _ : state) {
    zarn::qt::QtImageStore store;
    store.setscreen([] { return zarn::platform::ScreenArea{0, 0, 3840, 2160}; });
    std::vector<zarn::ui::PictureRef> held;
    for (int i = 0; i < 100; ++i) held.push_back(store.load(dir / "BIG.BMP"));
    bytes = heldbytes(held);
    decodes = store.decodes();
  }
  fs::remove_all(dir);
  state.counters["decodes"] = static_cast<double>(decodes);
  state.counters["MB"] = static_cast<double>(bytes >> 20);
}
BENCHMARK(BM_IconDatedAheadForAHundredWaypoints)->Unit(benchmark::kMillisecond)->Iterations(3);

// A 3840 x 2160 picture taken by twenty users, its mode changed before each (as a sync tool or
// a backup restore does): "decodes" counts the reads, "MB" the pictures the users hold.
void BM_PictureChmodBeforeEachOfTwentyUses(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / ("zarn-mapbench-chmod-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path file = dir / "BIG.BMP";
  write(file, bmp(3840, 2160, true));
  fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
  std::size_t decodes = 0, bytes = 0;
  for (auto _ : state) {
    zarn::qt::QtImageStore store;
    store.setscreen([] { return zarn::platform::ScreenArea{0, 0, 3840, 2160}; });
    std::vector<zarn::ui::PictureRef> held;
    for (int i = 0; i < 20; ++i) {
      fs::permissions(file, i % 2 ? fs::perms(0644) : fs::perms(0600));
      std::this_thread::sleep_for(std::chrono::milliseconds(5));  // the change time moves on
      held.push_back(store.load(file));
    }
    bytes = heldbytes(held);
    decodes = store.decodes();
  }
  fs::remove_all(dir);
  state.counters["decodes"] = static_cast<double>(decodes);
  state.counters["MB"] = static_cast<double>(bytes >> 20);
}
BENCHMARK(BM_PictureChmodBeforeEachOfTwentyUses)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Updatecar(benchmark::State& state) {
  OneMap one(false);
  App& app = one.app;
  zarn::loadmap(app, 1);
  app.map.arrowmode = 1;
  app.map.histint = 1;  // dots by the tick, not by the update
  app.nav.curdest = 1;
  app.nav.destx[1] = 380;
  app.nav.desty[1] = 384;
  int i = 0;
  for (auto _ : state) {
    app.gps.ownx = 372 + static_cast<float>(i % 500) * 0.01f;
    app.gps.owny = 380 + static_cast<float>(i % 300) * 0.01f;
    app.gps.ownhdg = (i * 7) % 360;
    zarn::updatecar(app);
    ++i;
  }
  benchmark::DoNotOptimize(app.win.zarn.car.left);
  if (!app.win.zarn.car.visible || !app.win.zarn.vecticon.visible) state.SkipWithError("car not drawn");
}
BENCHMARK(BM_Updatecar)->Unit(benchmark::kMicrosecond);

void BM_Addtrail(benchmark::State& state) {
  OneMap one(false);
  App& app = one.app;
  zarn::loadmap(app, 1);
  int i = 0;
  for (auto _ : state) {
    zarn::addtrail(app.map, app.win.zarn, app.geo, app.gps, 372 + static_cast<float>(i % 977) * 0.007f,
                   380 + static_cast<float>(i % 331) * 0.01f);
    ++i;
  }
  benchmark::DoNotOptimize(app.map.trailidx);
  const auto want = std::min<std::int64_t>(state.iterations(), app.map.ntrail);
  if (app.map.trailcount != want) state.SkipWithError("the ring did not fill");
}
BENCHMARK(BM_Addtrail)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// The fleet demo replayed for 160 s: the automatic selection recentres the map on each reporting
// vehicle, choosing among a few maps again and again. A map chosen again is not read again:
// "decodes" counts the pictures read from disk meanwhile.
void BM_FleetReplayMapChanges(benchmark::State& state) {
  std::size_t decodes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    zarn::bench::DemoApp d(zarn::bench::fleetdir());
    d.start();
    const std::size_t before = d.app->sys.images->decodes();
    state.ResumeTiming();
    for (int i = 0; i < 640; ++i) d.tick();  // 160 s of 0.25 s ticks
    decodes = d.app->sys.images->decodes() - before;
    benchmark::DoNotOptimize(d.app->map.mapbmp);
  }
  state.counters["decodes"] = static_cast<double>(decodes);
}
BENCHMARK(BM_FleetReplayMapChanges)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
