// The population-centre search as the user types: one search per key over the demo's $LPOP.PCD
// (all 4,654 towns of the gazetteer), and the nearest-centre search for the spoken reports.
#include <benchmark/benchmark.h>

#include <string>

#include "app/app.h"
#include "bench/demoapp.h"
#include "mainwindow/popsearch.h"

namespace {

// A name typed letter by letter, as the search box sees it: every key one search, and each
// longer code goes on from the last match. Names in the longest blocks and a miss.
void BM_PcsearchPerKey(benchmark::State& state) {
  zarn::bench::DemoApp d;
  d.start();
  zarn::App& app = *d.app;
  std::string name, county;
  float x = 0, y = 0;
  int more = 0;
  long keys = 0, found = 0;
  for (auto _ : state) {
    for (const std::string word : {"KNUTSFORD", "STOKE-ON-TRENT", "BRAMLEY+", "NEWPORT++", "WHITTLESFORD", "BAXQ"}) {
      for (std::size_t k = 1; k <= word.size(); ++k) {
        zarn::pcsearch(app.files, app.main, word.substr(0, k), name, county, x, y, more);
        ++keys;
        found += name != "-";
      }
    }
    benchmark::DoNotOptimize(more);
  }
  state.SetItemsProcessed(keys);
  state.counters["per_key"] =
      benchmark::Counter(static_cast<double>(keys), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["found"] = static_cast<double>(found) / static_cast<double>(keys);
}
BENCHMARK(BM_PcsearchPerKey)->Unit(benchmark::kMicrosecond);

// Ten nearest centres to the drive's start, each one further out than the last.
void BM_PcrecordWalk10(benchmark::State& state) {
  zarn::bench::DemoApp d;
  d.start();
  zarn::App& app = *d.app;
  std::string name, county;
  float x = 0, y = 0;
  for (auto _ : state) {
    for (int n = 1; n <= 10; ++n) zarn::pcrecord(app.files, app.geo, app.main, 375.0f, 384.0f, x, y, name, county, n);
    benchmark::DoNotOptimize(x);
  }
}
BENCHMARK(BM_PcrecordWalk10)->Unit(benchmark::kMicrosecond);

}  // namespace
