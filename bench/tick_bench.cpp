// The main road's costs on the demo data: start-up to the first tick, and one main tick with
// the demo drive playing (replay step, map choice, car, trail, read-outs, spoken reports into a
// recording sink), with and without bringing the Qt views up to date as the running program does;
// and a flood of direction-finder bearings taken in one poll by the running program's shell.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <utility>

#include "app/main/shell.h"
#include "bench/demoapp.h"
#include "gpsinput/serialpoll.h"
#include "platform/fakes.h"
#include "platform/qt/qtui.h"

namespace {

// The one application object of the benchmarks that show windows, offscreen.
QApplication& qtapp() {
  static int argc = 1;
  static char name[] = "zarn_bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication qapp(argc, argv);
  return qapp;
}

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
  qtapp();
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

// N "$DFBRG" bearings arriving together, for a program started with its windows shown and drawn
// as the program draws them while events run.
struct BearingFlood {
  explicit BearingFlood(long n) : app(services()), shell(app) {
    shell.onend = [] {};
    shell.start();
    app.main.starting = 0;
    app.gps.gpsoncom = 1;
    for (long k = 0; k < n; ++k) {
      char body[32];
      std::snprintf(body, sizeof body, "DFBRG,%03ld.0", k * 7 % 360);
      unsigned x = 0;
      for (const char* c = body; *c; ++c) x ^= static_cast<unsigned char>(*c);
      char sum[8];
      std::snprintf(sum, sizeof sum, "*%02X\r\n", x);
      flood += std::string("$") + body + sum;
    }
  }
  zarn::Services services() {
    qtapp();
    zarn::Services s;
    s.events = std::make_unique<zarn::qt::QtEventPump>();
    auto line = std::make_unique<zarn::platform::HeldLine>();
    port = line.get();
    s.serial = std::move(line);
    return s;
  }
  void take() {
    port->held = flood;
    zarn::readcomms(app);
    benchmark::DoNotOptimize(app.nav.dfn);
  }
  zarn::platform::HeldLine* port = nullptr;
  zarn::App app;
  zarn::Shell shell;
  std::string flood;
};

// The flood taken in one poll: stored, spoken onto the message line, drawn.
void BM_TakeBearings(benchmark::State& state) {
  BearingFlood f(state.range(0));
  for (auto _ : state) f.take();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TakeBearings)->Arg(1000)->Unit(benchmark::kMillisecond);

// The same in the demo data folder (no bearing prompt in it) just after the folder changed, as
// when a trip log has been started: names looked for are then not taken from what was read of
// the folder before.
void BM_TakeBearingsAfterAFolderChange(benchmark::State& state) {
  BearingFlood f(state.range(0));
  f.app.files.setworkdir(zarn::bench::demodir());
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::last_write_time(zarn::bench::demodir(), std::filesystem::file_time_type::clock::now());
    state.ResumeTiming();
    f.take();
  }
  std::filesystem::last_write_time(zarn::bench::demodir(),
                                   std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TakeBearingsAfterAFolderChange)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
