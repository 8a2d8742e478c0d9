// A base station's drawing costs with 500 vehicles on the demo map: every icon and heading line
// placed again (a map redraw), one vehicle report (row, map choice, all vehicles redrawn, trail
// dot, pager), and one main tick with the reports a saturated 9600-baud link brings in it
// (about 30 lines a second, so 8 in a 250 ms tick).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "app/app.h"
#include "geodesy/ukgrid.h"
#include "mainwindow/startup.h"
#include "mainwindow/tick.h"
#include "platform/fakes.h"
#include "platform/qt/qtservices.h"
#include "vehicles/mcv.h"
#include "vehicles/vehicledraw.h"

namespace {

namespace fs = std::filesystem;
using zarn::App;

constexpr int fleet = 500;

const fs::path& demodir() {
  static const fs::path dir = [] {
    const fs::path d = fs::temp_directory_path() / ("zarn-vehbench-" + std::to_string(::getpid()));
    fs::remove_all(d);
    fs::copy(fs::path(ZARN_SOURCE_DIR) / "data" / "demo", d, fs::copy_options::recursive);
    return d;
  }();
  return dir;
}

// The demo started and driven onto its map, then a table of 500 vehicles scattered over
// 6 x 6 km round the car, each with a heading and speed.
struct Base {
  Base() {
    zarn::Services s;
    auto c = std::make_unique<zarn::platform::FakeClock>();
    auto e = std::make_unique<zarn::platform::NoEvents>();
    clock = c.get();
    events = e.get();
    s.clock = std::move(c);
    s.events = std::move(e);
    s.images = std::make_unique<zarn::qt::QtImageStore>();
    app = std::make_unique<App>(std::move(s));
    app->files.setworkdir(demodir());
    clock->settimer(12 * 3600);
    events->hook = [this] { clock->advance(0.05); };
    zarn::Form_Load(*app, "");
    events->hook = nullptr;
    for (int i = 0; i < 20; ++i) tick();

    zarn::VehicleTable& v = app->veh;
    zarn::sizetable(v, fleet);
    v.mvtotal = fleet;
    app->main.mvmode = 1;
    for (int i = 0; i <= fleet; ++i) app->win.zarn.mvim.load(i), app->win.zarn.mvv.load(i);
    for (int i = 1; i <= fleet; ++i) {
      const auto k = static_cast<std::size_t>(i);
      v.mvlabel[k] = "V" + std::to_string(1000 + i);
      v.mvid[k] = "   " + std::to_string(100000 + i);
      v.mvhdg[k] = (i * 37) % 360;
      v.mvspd[k] = static_cast<float>(i % 70);
      v.mvstat[k] = "A01";
      float lat = 0, lon = 0;
      zarn::osgbtoll(app->geo, app->gps.ownx - 3 + static_cast<float>(i % 25) * 0.25f,
                     app->gps.owny - 3 + static_cast<float>(i / 25) * 0.3f, lat, lon);
      reports.push_back({lat, lon});
      zarn::plotvehicle(*app, i, lat, lon);
    }
  }
  void tick() {
    clock->advance(0.25);
    zarn::Timer1_Timer(*app);
  }
  // The next vehicle's report, a few metres on from its last one.
  void report() {
    next = next % fleet + 1;
    auto& [lat, lon] = reports[static_cast<std::size_t>(next - 1)];
    lat += 0.00002f;
    float a = lat, b = lon;
    zarn::plotvehicle(*app, next, a, b);
  }
  std::unique_ptr<App> app;
  zarn::platform::FakeClock* clock = nullptr;
  zarn::platform::NoEvents* events = nullptr;
  std::vector<std::pair<float, float>> reports;
  int next = 0;
};

void BM_DrawVehicles500(benchmark::State& state) {
  Base b;
  for (auto _ : state) {
    zarn::drawvehicles(*b.app);
    benchmark::DoNotOptimize(b.app->win.zarn.mvv[fleet].x2);
  }
  if (!b.app->win.zarn.mvim[fleet].visible) state.SkipWithError("vehicles not drawn");
}
BENCHMARK(BM_DrawVehicles500)->Unit(benchmark::kMicrosecond);

void BM_VehicleReport500(benchmark::State& state) {
  Base b;
  for (auto _ : state) b.report();
  benchmark::DoNotOptimize(b.app->win.zarn.mvim[fleet].left);
}
BENCHMARK(BM_VehicleReport500)->Unit(benchmark::kMicrosecond);

void BM_TickWith500Vehicles(benchmark::State& state) {
  Base b;
  for (auto _ : state) {
    b.tick();
    for (int r = 0; r < 8; ++r) b.report();
  }
  benchmark::DoNotOptimize(b.app->win.zarn.car.left);
}
BENCHMARK(BM_TickWith500Vehicles)->Unit(benchmark::kMicrosecond);

}  // namespace
