// A fresh application in a scratch working directory for the map display tests: a settable
// clock, recording sound and message boxes, picture headers written on the spot, and a copy of
// the demo map set when a test needs real maps.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "platform/fakes.h"

namespace zarn::maptest {

inline const std::filesystem::path demodir = std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo";
inline bool demopresent() {
  return std::filesystem::exists(demodir / "MAPS.DIR") && std::filesystem::exists(demodir / "MAPS.CCC");
}

// A BMP header of the given size: the headless image store reads no further.
inline std::string bmpbytes(int w, int h) {
  std::string s(54, '\0');
  auto put = [&](std::size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  s[0] = 'B';
  s[1] = 'M';
  put(2, 54, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<std::uint32_t>(w), 4);
  put(22, static_cast<std::uint32_t>(h), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  return s;
}

// An icon header: one 32 x 32 image.
inline std::string icobytes() {
  std::string s(40, '\0');
  s[2] = 1;
  s[4] = 1;
  s[6] = 32;
  s[7] = 32;
  return s;
}

class MapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() /
          ("zarn-map-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    app = std::make_unique<App>(services());
    app->files.setworkdir(dir);
    squares();
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // The services of the application: a test may replace some before SetUp runs them.
  virtual Services services() {
    Services s;
    auto c = std::make_unique<platform::FakeClock>();
    auto w = std::make_unique<platform::RecordingWavPlayer>();
    auto d = std::make_unique<platform::ScriptedDialogs>();
    clock = c.get();
    wav = w.get();
    dialogs = d.get();
    s.clock = std::move(c);
    s.wav = std::move(w);
    s.tts = std::make_unique<platform::RecordingSpeaker>();
    s.dialogs = std::move(d);
    s.events = std::make_unique<platform::NoEvents>();
    return s;
  }

  // The 100 km squares of the test maps (frame km of their south-west corners).
  void squares() {
    const struct {
      const char* code;
      float x, y;
    } sq[] = {{"SJ", 300, 300}, {"SK", 400, 300}, {"SD", 300, 400}, {"SU", 400, 100},
              {"TQ", 500, 100}, {"NZ", 400, 500}, {"SH", 200, 300}, {"TF", 500, 300}};
    GeoState& g = app->geo;
    g.ccccount = 0;
    for (const auto& q : sq) {
      ++g.ccccount;
      g.ccccode[static_cast<std::size_t>(g.ccccount)] = q.code;
      g.cccx[static_cast<std::size_t>(g.ccccount)] = q.x;
      g.cccy[static_cast<std::size_t>(g.ccccount)] = q.y;
    }
  }

  // Copies the demo map set into the working directory and reads its grid squares.
  void copydemo() {
    std::filesystem::copy(demodir, dir,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(loadccc(*app));
  }

  void put(const std::string& name, const std::string& contents) const {
    const auto p = dir / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << contents;
  }
  void bmp(const std::string& name, int w = 640, int h = 480) const { put(name, bmpbytes(w, h)); }
  void ico(const std::string& name) const { put(name, icobytes()); }
  std::string get(const std::string& name) const {
    std::ifstream in(dir / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool has(const std::string& name) const { return std::filesystem::exists(dir / name); }

  // A grid map description with its reference points on the corner pixels of a 640 x 480
  // picture: south-west (x0, y0) km, east-west span w km and north-south span h km.
  void gridmap(const std::string& name, const std::string& sw, const std::string& nw, const std::string& se,
               const std::string& title = "") const {
    put(name + ".DES", (title.empty() ? name : title) + "\r\n" + name + "\r\n" + sw + ", 0, 479\r\n" + nw +
                           ", 0, 0\r\n" + se + ", 639, 479\r\n");
  }

  std::filesystem::path dir;
  std::unique_ptr<App> app;
  platform::FakeClock* clock = nullptr;
  platform::RecordingWavPlayer* wav = nullptr;
  platform::ScriptedDialogs* dialogs = nullptr;
};

}  // namespace zarn::maptest
