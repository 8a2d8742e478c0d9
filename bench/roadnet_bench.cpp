// The road tool's output of a digitised network, with link ends written as positions (VALUE)
// and as node numbers (INDEX), for networks of n nodes and n links.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "geodesy/geostate.h"
#include "navigation/roadnet.h"
#include "platform/datetime.h"
#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

// n nodes on a grid near Manchester, each linked to the next.
fs::path network(long n) {
  const fs::path d = fs::temp_directory_path() / ("zarn-roadnet-" + std::to_string(::getpid()) + "-" + std::to_string(n));
  fs::create_directories(d);
  std::ofstream nodes(d / "NODES.TXT", std::ios::binary), links(d / "LINKS.TXT", std::ios::binary);
  const auto pos = [](long k) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.6f -%010.6f", 53.0 + static_cast<double>(k / 200) * 0.001,
                  2.0 + static_cast<double>(k % 200) * 0.001);
    return std::string(buf);
  };
  for (long k = 0; k < n; ++k) nodes << pos(k) << ",J\r\n";
  for (long k = 0; k < n; ++k) links << pos(k) << "," << pos((k + 1) % n) << ",2,R,road\r\n";
  return d;
}

void output(benchmark::State& state, bool index) {
  const fs::path d = network(state.range(0));
  zarn::platform::Files files(d);
  zarn::GeoState geo;
  const zarn::platform::DateTime now{2026, 12, 7, 12, 0, 0};
  for (auto _ : state) benchmark::DoNotOptimize(zarn::writenetwork(geo, files, index, now));
  fs::remove_all(d);
}

void BM_RoadNetworkOutputByValue(benchmark::State& state) { output(state, false); }
void BM_RoadNetworkOutputByIndex(benchmark::State& state) { output(state, true); }
BENCHMARK(BM_RoadNetworkOutputByValue)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoadNetworkOutputByIndex)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
