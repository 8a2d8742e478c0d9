// The main road's costs on the demo data: start-up to the first tick, and one main tick with
// the demo drive playing (replay step, map choice, car, trail, read-outs, spoken reports into a
// recording sink), with and without bringing the Qt views up to date as the running program does.
// Start-up's fixed pauses (half a second after most progress texts) are skipped by a clock
// that jumps on every pass of a wait: what is measured is the work.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <memory>

#include "app/app.h"
#include "mainwindow/startup.h"
#include "mainwindow/tick.h"
#include "platform/fakes.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"

namespace {

namespace fs = std::filesystem;
using zarn::App;

// A copy of the demo data set, made once.
const fs::path& demodir() {
  static const fs::path dir = [] {
    const fs::path d = fs::temp_directory_path() / ("zarn-tickbench-" + std::to_string(::getpid()));
    fs::remove_all(d);
    fs::copy(fs::path(ZARN_SOURCE_DIR) / "data" / "demo", d, fs::copy_options::recursive);
    return d;
  }();
  return dir;
}

struct Demo {
  Demo() {
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
  }
  void start() {
    zarn::Form_Load(*app, "");
    events->hook = nullptr;
  }
  void tick() {
    clock->advance(0.25);  // the timer's interval
    zarn::Timer1_Timer(*app);
  }
  std::unique_ptr<App> app;
  zarn::platform::FakeClock* clock = nullptr;
  zarn::platform::NoEvents* events = nullptr;
};

void BM_StartupToFirstTick(benchmark::State& state) {
  for (auto _ : state) {
    Demo d;
    d.start();
    d.tick();
    benchmark::DoNotOptimize(d.app->gps.ownx);
  }
}
BENCHMARK(BM_StartupToFirstTick)->Unit(benchmark::kMillisecond);

void BM_DemoTick(benchmark::State& state) {
  Demo d;
  d.start();
  for (int i = 0; i < 20; ++i) d.tick();  // into the drive: the map has been chosen
  for (auto _ : state) {
    d.tick();
    benchmark::DoNotOptimize(d.app->win.zarn.car.left);
  }
  state.counters["fix"] = static_cast<double>(d.app->gps.ownlat);
}
BENCHMARK(BM_DemoTick)->Unit(benchmark::kMicrosecond);

// Every tick a replay step: the busiest kind of tick the demo has.
void BM_DemoStepTick(benchmark::State& state) {
  Demo d;
  d.start();
  for (int i = 0; i < 20; ++i) d.tick();
  for (auto _ : state) {
    d.clock->advance(1.0);
    d.tick();
    benchmark::DoNotOptimize(d.app->win.zarn.car.left);
  }
}
BENCHMARK(BM_DemoStepTick)->Unit(benchmark::kMicrosecond);

void BM_DemoTickWithViews(benchmark::State& state) {
  static int argc = 1;
  static char name[] = "zarn_bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication qapp(argc, argv);
  Demo d;
  zarn::qt::QtUi ui([&d] { return d.app->win.all(); });
  d.start();
  for (int i = 0; i < 20; ++i) {
    d.tick();
    ui.refresh();
  }
  for (auto _ : state) {
    d.tick();
    ui.refresh();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_DemoTickWithViews)->Unit(benchmark::kMicrosecond);

}  // namespace
