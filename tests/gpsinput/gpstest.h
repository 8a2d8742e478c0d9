// A fresh application in a scratch working directory for the GPS input tests: a settable clock,
// recording sound and speech, a serial line the test scripts, and the grid squares the test
// positions lie in.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/fakes.h"

namespace zarn::test {

// A serial line whose input the test queues and whose output it reads.
class ScriptedSerial final : public platform::SerialLine {
 public:
  bool open(const std::string&, const std::string&) override { return true; }
  bool setsettings(const std::string&) override { return true; }
  bool isopen() const override { return true; }
  void close() override {}
  int inbuffercount() override { return chunks.empty() ? 0 : static_cast<int>(chunks.front().size()); }
  std::string input() override {
    if (chunks.empty()) return {};
    std::string s = std::move(chunks.front());
    chunks.pop_front();
    return s;
  }
  bool output(std::string_view bytes) override {
    sent.append(bytes);
    return true;
  }
  void setdtr(bool on) override { dtr = on; }
  std::deque<std::string> chunks;  // each poll takes one
  std::string sent;
  bool dtr = true;
};

class GpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() /
          ("zarn-gps-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    Services s;
    auto c = std::make_unique<platform::FakeClock>();
    auto w = std::make_unique<platform::RecordingWavPlayer>();
    auto t = std::make_unique<platform::RecordingSpeaker>();
    auto e = std::make_unique<platform::NoEvents>();
    auto p = std::make_unique<platform::RecordingPrinter>();
    clock = c.get();
    wav = w.get();
    tts = t.get();
    events = e.get();
    printer = p.get();
    s.clock = std::move(c);
    s.wav = std::move(w);
    s.tts = std::move(t);
    s.events = std::move(e);
    s.printer = std::move(p);
    if (scripted) {
      auto sl = std::make_unique<ScriptedSerial>();
      serial = sl.get();
      s.serial = std::move(sl);
    }
    app = std::make_unique<App>(std::move(s));
    app->files.setworkdir(dir);
    squares(app->geo);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // The 100 km squares of the test positions: Cheshire (SJ), London (TQ), Aberdeen (NJ).
  static void squares(GeoState& geo) {
    const struct {
      const char* code;
      float x, y;
    } sq[] = {{"SJ", 300, 300}, {"TQ", 500, 100}, {"NJ", 300, 800}, {"SU", 400, 100}};
    geo.ccccount = 0;
    for (const auto& q : sq) {
      ++geo.ccccount;
      geo.ccccode[geo.ccccount] = q.code;
      geo.cccx[geo.ccccount] = q.x;
      geo.cccy[geo.ccccount] = q.y;
    }
  }

  void textfile(const std::string& name, const std::string& contents) const {
    std::ofstream(dir / name, std::ios::binary) << contents;
  }
  std::string readfile(const std::string& name) const {
    std::ifstream in(dir / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(dir / name); }
  std::vector<std::string> said() const { return tts->said; }
  std::vector<std::string> played() const {
    std::vector<std::string> v;
    for (const auto& p : wav->played) v.push_back(p.file);
    return v;
  }

  bool scripted = true;
  std::filesystem::path dir;
  platform::FakeClock* clock = nullptr;
  platform::RecordingWavPlayer* wav = nullptr;
  platform::RecordingSpeaker* tts = nullptr;
  platform::NoEvents* events = nullptr;
  platform::RecordingPrinter* printer = nullptr;
  ScriptedSerial* serial = nullptr;
  std::unique_ptr<App> app;
};

// A sentence with its checksum (two upper-case digits) and CR LF.
std::string nmea(const std::string& body);

}  // namespace zarn::test
