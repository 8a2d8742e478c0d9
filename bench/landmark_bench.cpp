// Plotting the landmarks of the national demo map (Great Britain and Ireland, some two million
// 1 km squares): the cell files present are listed once and each is checked only where it can
// lie. The walk over every square, as the plot once did, is measured beside it for comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "demoapp.h"
#include "mapdisplay/landmarks.h"
#include "mapdisplay/mapload.h"

namespace {

// The demo started, on its national map, the landmark editor shown with no file typed.
struct National {
  zarn::bench::DemoApp d;
  zarn::App& app;
  National() : app(*(d.start(), d.app)) {
    const auto& names = app.map.mapname;
    const auto it = std::find(names.begin() + 1, names.begin() + 1 + app.map.mapcount, "GBIRL");
    zarn::loadmap(app, static_cast<int>(it - names.begin()));
    zarn::showgform(app);
    app.win.get<zarn::GForm>().fg.text.clear();
  }
};

void BM_PlotNationalMap(benchmark::State& state) {
  National n;
  std::size_t boxes = 0;
  for (auto _ : state) {
    n.app.win.zarn.surface.cls();
    zarn::plotg_Click(n.app);
    boxes = n.app.win.zarn.surface.ops().size();
  }
  state.counters["boxes"] = static_cast<double>(boxes);
  state.counters["squares"] = (n.app.map.mapxmax - n.app.map.mapxmin + 1) * (n.app.map.mapymax - n.app.map.mapymin + 1);
}
BENCHMARK(BM_PlotNationalMap)->Unit(benchmark::kMillisecond);

// Every 1 km square of the map named and looked for.
void BM_WalkEverySquareOfTheNationalMap(benchmark::State& state) {
  National n;
  long found = 0;
  for (auto _ : state) {
    found = 0;
    const zarn::MapFrame& m = n.app.map;
    for (float x = m.mapxmin; x <= m.mapxmax; x += 1)
      for (float y = m.mapymin; y <= m.mapymax; y += 1)
        found += n.app.files.exists(zarn::cellfile(n.app.geo, x, y)) ? 1 : 0;
  }
  state.counters["cells"] = static_cast<double>(found);
}
BENCHMARK(BM_WalkEverySquareOfTheNationalMap)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
