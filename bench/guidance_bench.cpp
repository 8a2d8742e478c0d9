// Route guidance on every tick: the guidance step over a full load window of instructions, and
// the demo's tick with its guidance file, the trip meter and the instruments window on.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <tuple>

#include "app/app.h"
#include "bench/demoapp.h"
#include "geodesy/postext.h"
#include "navigation/guidance.h"
#include "navigation/iform.h"

namespace {

// 400 instructions for the car's direction within 0.5 km of it, none close enough to fire:
// every one is parsed and measured on every step, the most a step ever does without speaking.
void BM_GuidanceStep400(benchmark::State& state) {
  zarn::bench::DemoApp d;
  d.start();
  zarn::App& app = *d.app;
  zarn::NavState& n = app.nav;
  zarn::GpsState& g = app.gps;
  std::tie(g.ownx, g.owny, g.ownhdg) = std::tuple(375.0f, 384.0f, 90);
  std::tie(n.rgiexists, n.rgiloadx, n.rgiloady, n.rgicount) = std::tuple(1, g.ownx, g.owny, zarn::NavState::rgimax);
  app.main.repint[4] = 1;
  for (int i = 1; i <= n.rgicount; ++i) {
    zarn::RgiRecord& r = n.rgirec[static_cast<std::size_t>(i)];
    const float a = static_cast<float>(i) * 0.0157f;
    const float x = g.ownx + 0.45f * std::sin(a), y = g.owny + 0.45f * std::cos(a);
    zarn::gridreftext(app.geo, x, y, r.pos);
    r.at = zarn::framepoint(app.geo, x, y);
    std::tie(r.radius, r.dir, r.tol, r.wav, r.sign, r.msg) = std::tuple(100.0f, 90, 45, "RGI$S.WAV", "RGI$S", "Go on");
  }
  for (auto _ : state) {
    zarn::rgistep(app);
    benchmark::DoNotOptimize(n.rgilastidx);
  }
  state.counters["given"] = n.rgilastidx == -2 ? 0 : 1;
}
BENCHMARK(BM_GuidanceStep400)->Unit(benchmark::kMicrosecond);

// The demo drive with its guidance: ticks across the whole drive, instructions and all.
void BM_DemoTickWithGuidance(benchmark::State& state) {
  zarn::bench::DemoApp d;
  d.start();
  zarn::App& app = *d.app;
  // The slowest tick of all (a map picture loaded as the car enters it) and the slowest that
  // gave an instruction (sign drawn, prompt queued).
  double slowest = 0, slowestgiven = 0;
  for (auto _ : state) {
    const std::string last = app.nav.rgilasttext;
    const auto t0 = std::chrono::steady_clock::now();
    d.tick();
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
    slowest = std::max(slowest, us);
    if (app.nav.rgilasttext != last) slowestgiven = std::max(slowestgiven, us);
  }
  state.counters["slowest_us"] = slowest;
  state.counters["slowest_given_us"] = slowestgiven;
  state.counters["guidance"] = app.nav.rgiexists;
  state.counters["instruments"] = app.win.get<zarn::IForm>().visible ? 1 : 0;
  state.counters["tripkm"] = app.nav.tripkm;
}
BENCHMARK(BM_DemoTickWithGuidance)->Unit(benchmark::kMicrosecond)->Iterations(5 * 880);

}  // namespace
