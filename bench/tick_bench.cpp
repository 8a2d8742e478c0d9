// The main road's costs on the demo data: start-up to the first tick, and one main tick with
// the demo drive playing (replay step, map choice, car, trail, read-outs, spoken reports into a
// recording sink), with and without bringing the Qt views up to date as the running program does.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <memory>

#include "bench/demoapp.h"
#include "platform/qt/qtui.h"

namespace {


using Demo = zarn::bench::DemoApp;

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
