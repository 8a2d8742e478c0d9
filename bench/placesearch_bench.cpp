// A typed place search over the demo's town lists, as each Enter in the search box runs it:
// the list read, the nearest match found, marked, its map chosen and its position spoken (into a
// recording sink). Typing must never wait: under 1 ms.
#include <benchmark/benchmark.h>

#include "bench/demoapp.h"
#include "geodesy/postext.h"
#include "mainwindow/placesearch.h"

namespace {

using Demo = zarn::bench::DemoApp;

// Argument: the list (1 the text list, 2 the binary list, where a typed name finds nothing at
// once); the text by its beginning or anywhere.
void typed(benchmark::State& state, const char* text) {
  Demo d;
  d.start();
  zarn::App& app = *d.app;
  zarn::parsepos(app.geo, "SJ 79718 84625", app.gps.ownx, app.gps.owny);
  app.main.searchidx = static_cast<int>(state.range(0) % 10);
  app.speech.nosound = state.range(0) >= 10 ? 1 : 0;  // 10+: the search alone, nothing played
  for (auto _ : state) {
    app.main.hitcount = 1;
    app.win.zarn.search.text = text;
    zarn::typedsearch(app);
    benchmark::DoNotOptimize(app.main.foundx);
  }
  state.SetLabel(app.main.searchlists[static_cast<std::size_t>(app.main.searchidx)] + ": " + app.main.foundlabel);
}

void BM_TypedPlaceSearch(benchmark::State& state) { typed(state, "Knutsford"); }
BENCHMARK(BM_TypedPlaceSearch)->Arg(1)->Arg(2)->Arg(11)->Arg(12)->Unit(benchmark::kMicrosecond);

void BM_TypedPlaceSearchAnywhere(benchmark::State& state) { typed(state, "*MILL"); }
BENCHMARK(BM_TypedPlaceSearchAnywhere)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
