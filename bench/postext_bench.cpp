// Position texts: how many positions a second the reader and the grid-reference writer handle
// (place lists and road network files are read through parsepos; every fix and pointer move is
// written with gridreftext).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "geodesy/geostate.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"

namespace {

using zarn::GeoState;

// The national grid's 100-km squares, as MAPS.CCC lists them.
GeoState gridstate() {
  GeoState g;
  for (int n = 0; n < 13; ++n)
    for (int e = 0; e < 7; ++e) {
      int l1 = (19 - n) - (19 - n) % 5 + (e + 10) / 5;
      int l2 = (19 - n) * 5 % 25 + e % 5;
      if (l1 > 7) ++l1;
      if (l2 > 7) ++l2;
      ++g.ccccount;
      g.ccccode[g.ccccount] = {static_cast<char>('A' + l1), static_cast<char>('A' + l2)};
      g.cccx[g.ccccount] = static_cast<float>(e * 100);
      g.cccy[g.ccccount] = static_cast<float>(n * 100);
    }
  return g;
}

// Frame positions spread over Great Britain (or Ireland), a few hundred metres apart.
std::vector<std::pair<float, float>> positions(GeoState& g, bool ireland) {
  std::vector<std::pair<float, float>> v;
  for (int i = 0; i < 1000; ++i) {
    const float lat = (ireland ? 52.0f : 50.5f) + static_cast<float>(i % 40) * (ireland ? 0.08f : 0.2f);
    const float lon = (ireland ? -9.5f : -4.5f) + static_cast<float>(i / 40) * (ireland ? 0.12f : 0.25f);
    float x = 0, y = 0;
    zarn::lltoosgb(g, lat, lon, x, y);
    v.emplace_back(x, y);
  }
  return v;
}

void gridreftextbench(benchmark::State& state, bool ireland) {
  GeoState g = gridstate();
  const auto pos = positions(g, ireland);
  std::string t;
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& [x, y] = pos[i++ % pos.size()];
    zarn::gridreftext(g, x, y, t);
    benchmark::DoNotOptimize(t);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_gridreftext_uk(benchmark::State& state) { gridreftextbench(state, false); }
void BM_gridreftext_irish(benchmark::State& state) { gridreftextbench(state, true); }
BENCHMARK(BM_gridreftext_uk);
BENCHMARK(BM_gridreftext_irish);

void parseposbench(benchmark::State& state, const std::vector<std::string>& texts) {
  GeoState g = gridstate();
  float x = 0, y = 0;
  std::size_t i = 0;
  for (auto _ : state) {
    zarn::parsepos(g, texts[i++ % texts.size()], x, y);
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(y);
  }
  state.SetItemsProcessed(state.iterations());
}

// The texts gridreftext writes for the positions: a place list read back.
std::vector<std::string> written(bool ireland) {
  GeoState g = gridstate();
  std::vector<std::string> v;
  for (const auto& [x, y] : positions(g, ireland)) {
    std::string t;
    zarn::gridreftext(g, x, y, t);
    v.push_back(t);
  }
  return v;
}

void BM_parsepos_uk14(benchmark::State& state) { parseposbench(state, written(false)); }
void BM_parsepos_irish13(benchmark::State& state) { parseposbench(state, written(true)); }
void BM_parsepos_shortgrid(benchmark::State& state) {
  parseposbench(state, {"TQ3080", "TQ301804", "TQ30128045", "NT2573", "SU123456"});
}
void BM_parsepos_latlong(benchmark::State& state) {
  parseposbench(state, {"51.5 -0.1", "513000N0000600W", "55.9533 -3.1883", "523456N0012345W"});
}
void BM_parsepos_utm(benchmark::State& state) { parseposbench(state, {"30U 701277 5709417"}); }
BENCHMARK(BM_parsepos_uk14);
BENCHMARK(BM_parsepos_irish13);
BENCHMARK(BM_parsepos_shortgrid);
BENCHMARK(BM_parsepos_latlong);
BENCHMARK(BM_parsepos_utm);

}  // namespace
