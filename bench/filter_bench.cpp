// The playback filter engine over about a million real sentences (the recorded logs repeated
// into one .NME file in a scratch folder): PLOT and SAVE with every record passing, and SAVE
// with a narrow filter, all without windows (the map side of a run is not wired).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/app.h"
#include "bench/reallogs.h"
#include "gpsinput/fform.h"
#include "gpsinput/filter.h"
#include "gpsinput/logs.h"
#include "platform/fakes.h"

namespace {

namespace fs = std::filesystem;

struct Corpus {
  fs::path dir;
  long lines = 0;

  Corpus() {
    const std::string once = zarn::bench::reallogs();
    const long per = static_cast<long>(std::count(once.begin(), once.end(), '$'));
    std::string data;
    for (long n = 0; n < 1000000; n += per) data += once;
    dir = fs::temp_directory_path() / ("zarn-filter-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "BENCH.NME", std::ios::binary) << data;
  }
  ~Corpus() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

const Corpus& corpus() {
  static const Corpus c;
  return c;
}

// Argument: 0 PLOT, 1 SAVE of every record, 2 SAVE of the drive's fast minutes only.
void BM_FilterRun(benchmark::State& state) {
  const Corpus& c = corpus();
  long records = 0, passed = 0;
  for (auto _ : state) {
    state.PauseTiming();
    zarn::Services s;
    s.clock = std::make_unique<zarn::platform::FakeClock>();
    auto app = std::make_unique<zarn::App>(std::move(s));
    app->files.setworkdir(c.dir);
    app->hooks.plotmap = nullptr;
    app->main.playback = 1;  // the status line shows every record, as in the window
    zarn::setreplayfile(app->gps, "BENCH.NME");
    zarn::FForm& f = app->win.get<zarn::FForm>();
    if (state.range(0) == 2) {
      f.dfrom.text = f.dto.text = "261020";
      f.tfrom.text = "14:58:00";
      f.tto.text = "15:01:30";
      f.sfilter.text = "80";
    }
    state.ResumeTiming();
    const zarn::PlotResult r = zarn::plotfilter(*app, f, state.range(0) == 0 ? zarn::PlotMode::plot : zarn::PlotMode::save);
    records = r.records;
    passed = r.passed;
    state.PauseTiming();
    app.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * records);
  state.counters["records"] = static_cast<double>(records);
  state.counters["passed"] = static_cast<double>(passed);
}
BENCHMARK(BM_FilterRun)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
