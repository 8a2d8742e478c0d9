// A headless application for the fuzz targets, working in a scratch directory so that nothing
// the program writes (logs, receiver initialisation) lands in the current directory.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/app.h"
#include "platform/fakes.h"

namespace zarn::fuzz {

// Made on first use, removed when the fuzzer exits.
struct Scratch {
  Scratch() {
    std::string t = (std::filesystem::temp_directory_path() / "zarn-fuzz-XXXXXX").string();
    if (::mkdtemp(t.data())) dir = t;
  }
  ~Scratch() {
    std::error_code ec;
    if (!dir.empty()) std::filesystem::remove_all(dir, ec);
  }
  std::filesystem::path dir;
};

inline const std::filesystem::path& scratch() {
  static const Scratch s;
  return s.dir;
}

inline std::unique_ptr<App> makeapp() {
  Services s;
  s.clock = std::make_unique<platform::FakeClock>();
  auto app = std::make_unique<App>(std::move(s));
  app->files.setworkdir(scratch());
  // A few grid squares so that positions in Great Britain get grid references.
  const struct {
    const char* code;
    float x, y;
  } sq[] = {{"SJ", 300, 300}, {"TQ", 500, 100}, {"NJ", 300, 800}, {"SU", 400, 100}};
  for (const auto& q : sq) {
    auto& g = app->geo;
    ++g.ccccount;
    g.ccccode[g.ccccount] = q.code;
    g.cccx[g.ccccount] = q.x;
    g.cccy[g.ccccount] = q.y;
  }
  return app;
}

}  // namespace zarn::fuzz
