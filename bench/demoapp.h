// The demo data set, copied once into a folder of its own, and the program started on it with a
// clock that jumps on every pass of a wait (start-up's fixed pauses are skipped: what is
// measured is the work) and that the benchmark moves a tick at a time.
#pragma once

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "app/app.h"
#include "mainwindow/startup.h"
#include "mainwindow/tick.h"
#include "platform/fakes.h"
#include "platform/qt/qtservices.h"

namespace zarn::bench {

inline const std::filesystem::path& demodir() {
  namespace fs = std::filesystem;
  static const fs::path dir = [] {
    const fs::path d = fs::temp_directory_path() / ("zarn-bench-" + std::to_string(::getpid()));
    fs::remove_all(d);
    fs::copy(fs::path(ZARN_SOURCE_DIR) / "data" / "demo", d, fs::copy_options::recursive);
    // A data folder as it is in use: not changed in the last moments (names found on disk are
    // then remembered rather than looked for again).
    fs::last_write_time(d, fs::file_time_type::clock::now() - std::chrono::hours(1));
    return d;
  }();
  return dir;
}

// The demo set made a base station, as scripts/demofolder.sh makes the fleet demo: the fleet's
// vehicle list, the map at its own size.
inline const std::filesystem::path& fleetdir() {
  namespace fs = std::filesystem;
  static const fs::path dir = [] {
    const fs::path d = fs::temp_directory_path() / ("zarn-bench-fleet-" + std::to_string(::getpid()));
    fs::remove_all(d);
    fs::copy(fs::path(ZARN_SOURCE_DIR) / "data" / "demo", d, fs::copy_options::recursive);
    fs::copy_file(d / "fleet" / "ZARN.MCV", d / "ZARN.MCV");
    fs::remove(d / "AUTORESO.CFG");
    // Pictures not changed in the last moments: what was read of them still holds.
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const auto& e : fs::recursive_directory_iterator(d)) fs::last_write_time(e.path(), old);
    fs::last_write_time(d, old);
    return d;
  }();
  return dir;
}

struct DemoApp {
  explicit DemoApp(const std::filesystem::path& dir = demodir()) {
    Services s;
    auto c = std::make_unique<platform::FakeClock>();
    auto e = std::make_unique<platform::NoEvents>();
    clock = c.get();
    events = e.get();
    s.clock = std::move(c);
    s.events = std::move(e);
    s.images = std::make_unique<qt::QtImageStore>();
    app = std::make_unique<App>(std::move(s));
    app->files.setworkdir(dir);
    clock->settimer(12 * 3600);
    events->hook = [this] { clock->advance(0.05); };
  }
  void start() {
    Form_Load(*app, "");
    events->hook = nullptr;
  }
  void tick() {
    clock->advance(0.25);  // the timer's interval
    Timer1_Timer(*app);
  }
  std::unique_ptr<App> app;
  platform::FakeClock* clock = nullptr;
  platform::NoEvents* events = nullptr;
};

}  // namespace zarn::bench
