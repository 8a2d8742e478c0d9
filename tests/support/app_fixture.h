// A fresh application in a scratch working directory: a settable clock that waits move on,
// recording sound, speech, programs, printer and message boxes, and a serial line the test
// scripts (or a real one for the pseudo-terminal tests).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/app.h"
#include "platform/fakes.h"

namespace zarn::test {

using Items = std::vector<std::string>;

// A serial line whose input the test queues and whose output it reads. open() fails for the
// port named in `missing`.
class ScriptedSerial final : public platform::SerialLine {
 public:
  bool open(const std::string& port, const std::string& s) override {
    opened.push_back(port);
    settings = s;
    return isopen_ = port != missing;
  }
  bool setsettings(const std::string& s) override {
    settings = s;
    return s.empty() || s.find(',') != std::string::npos;
  }
  bool isopen() const override { return isopen_; }
  void close() override { isopen_ = false; }
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
  void setdtr(bool) override {}
  std::deque<std::string> chunks;  // each poll takes one
  std::string sent, settings, missing = "none";
  Items opened;

 private:
  bool isopen_ = false;
};

// A BMP header of the given size: the headless image store reads no further.
inline std::string bmpbytes(int w, int h) {
  std::string s(54, '\0');
  auto le = [&](std::size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  s[0] = 'B';
  s[1] = 'M';
  le(2, 54, 4);
  le(10, 54, 4);
  le(14, 40, 4);
  le(18, static_cast<std::uint32_t>(w), 4);
  le(22, static_cast<std::uint32_t>(h), 4);
  le(26, 1, 2);
  le(28, 24, 2);
  return s;
}

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override { make(); }
  void TearDown() override {
    app.reset();
    std::filesystem::remove_all(dir);
  }

  // A new application in the same directory; line: the serial line (a scripted one when null);
  // images: the picture store (pictures read from their headers only when null).
  void make(std::unique_ptr<platform::SerialLine> line = nullptr,
            std::unique_ptr<platform::ImageStore> images = nullptr) {
    app.reset();
    if (dir.empty()) {
      const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
      dir = std::filesystem::temp_directory_path() /
            ("zarn-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
      std::filesystem::remove_all(dir);
    }
    std::filesystem::create_directories(dir);
    serial = nullptr;
    if (!line) {
      auto sl = std::make_unique<ScriptedSerial>();
      serial = sl.get();
      line = std::move(sl);
    }
    Services s;
    s.clock = std::make_unique<platform::FakeClock>();  // noon
    s.serial = std::move(line);
    s.images = std::move(images);
    app = std::make_unique<App>(std::move(s));  // the other services: the headless fakes
    app->files.setworkdir(dir);
    clock = as<platform::FakeClock>(app->sys.clock);
    wav = as<platform::RecordingWavPlayer>(app->sys.wav);
    tts = as<platform::RecordingSpeaker>(app->sys.tts);
    programs = as<platform::RecordingPrograms>(app->sys.programs);
    events = as<platform::NoEvents>(app->sys.events);
    dialogs = as<platform::ScriptedDialogs>(app->sys.dialogs);
    printer = as<platform::RecordingPrinter>(app->sys.printer);
    // Waits move the clock on, so that they end.
    events->hook = [this] {
      if (waitstep > 0) clock->advance(waitstep);
    };
    ready();
  }
  // What a fixture sets up on each new application.
  virtual void ready() {}
  template <class T, class P> static T* as(const std::unique_ptr<P>& p) { return &dynamic_cast<T&>(*p); }

  // The 100 km squares the test positions lie in: code, frame km of the south-west corner.
  void squares(const std::vector<std::tuple<const char*, float, float>>& sq) const {
    GeoState& g = app->geo;
    g.ccccount = 0;
    for (const auto& [code, x, y] : sq) {
      const auto k = static_cast<std::size_t>(++g.ccccount);
      g.ccccode[k] = code;
      g.cccx[k] = x;
      g.cccy[k] = y;
    }
  }

  void put(const std::string& name, const std::string& contents) const {
    std::filesystem::create_directories((dir / name).parent_path());
    std::ofstream(dir / name, std::ios::binary) << contents;
  }
  // A playable (header-only) WAV file.
  void wavfile(const std::string& name) const { put(name, std::string("RIFF\0\0\0\0WAVE", 12)); }
  std::string get(const std::string& name) const {
    std::ifstream in(dir / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool has(const std::string& name) const { return std::filesystem::exists(dir / name); }
  // A copy of the demo data set, which the tests must never write into.
  void copydemo() const {
    std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo", dir,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  }
  // The WAV names played so far, in order.
  Items played() const {
    Items v;
    for (const auto& p : wav->played) v.push_back(p.file);
    return v;
  }

  std::filesystem::path dir;
  std::unique_ptr<App> app;
  platform::FakeClock* clock = nullptr;
  platform::RecordingWavPlayer* wav = nullptr;
  platform::RecordingSpeaker* tts = nullptr;
  platform::RecordingPrograms* programs = nullptr;
  platform::NoEvents* events = nullptr;
  platform::ScriptedDialogs* dialogs = nullptr;
  platform::RecordingPrinter* printer = nullptr;
  ScriptedSerial* serial = nullptr;
  double waitstep = 0.05;  // seconds each pass of a wait moves the clock on
};

}  // namespace zarn::test
