// A base station's drawing costs with 500 vehicles on the demo map: every icon and heading line
// placed again (a map redraw), one vehicle report (row, map choice, all vehicles redrawn, trail
// dot, pager), and one main tick with the reports a saturated 9600-baud link brings in it
// (about 30 lines a second, so 8 in a 250 ms tick).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "bench/demoapp.h"
#include "geodesy/ukgrid.h"
#include "vehicles/mcv.h"
#include "vehicles/vehicledraw.h"

namespace {


constexpr int fleet = 500;

// The demo started and driven onto its map, then a table of 500 vehicles scattered over
// 6 x 6 km round the car, each with a heading and speed.
struct Base : zarn::bench::DemoApp {
  Base() {
    start();
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
  // The next vehicle's report, a few metres on from its last one.
  void report() {
    next = next % fleet + 1;
    auto& [lat, lon] = reports[static_cast<std::size_t>(next - 1)];
    lat += 0.00002f;
    float a = lat, b = lon;
    zarn::plotvehicle(*app, next, a, b);
  }
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
