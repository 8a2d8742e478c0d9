// A fresh application in a scratch working directory: a settable clock that waits move on, recording
// sound, speech, programs, printer and message boxes, a serial line the test scripts (or a real one).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

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

// A serial line whose input the test queues and whose output it reads; `missing` will not open.
class ScriptedSerial final : public platform::SerialLine {
 public:
  bool open(const std::string& port, const std::string& s) override {
    opened.push_back(port);
    settings = s;
    return isopen_ = port != missing;
  }
  bool setsettings(const std::string& s) override { return settings = s, s.empty() || s.find(',') != s.npos; }
  bool isopen() const override { return isopen_; }
  void close() override { isopen_ = false; }
  int inbuffercount() override { return chunks.empty() ? 0 : static_cast<int>(chunks.front().size()); }
  std::string input() override {
    std::string s = chunks.empty() ? "" : std::move(chunks.front());
    if (!chunks.empty()) chunks.pop_front();
    return s;
  }
  bool output(std::string_view bytes) override { return sent.append(bytes), true; }
  void setdtr(bool on) override { dtr.push_back(on); }
  std::deque<std::string> chunks;  // each poll takes one
  std::vector<bool> dtr;           // every DTR change asked, in order
  std::string sent, settings, missing = "none";
  Items opened;

 private:
  bool isopen_ = false;
};

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override { make(); }
  void TearDown() override {
    app.reset();
    std::filesystem::remove_all(dir);
  }

  // A new application in the same directory; null: a scripted serial line, pictures read from their headers.
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
    if (!line) serial = static_cast<ScriptedSerial*>((line = std::make_unique<ScriptedSerial>()).get());
    Services s;
    s.clock = std::make_unique<platform::FakeClock>();  // noon
    s.serial = std::move(line);
    s.images = std::move(images);
    app = std::make_unique<App>(std::move(s));  // the other services: the headless fakes
    app->files.setworkdir(dir);
    clock = &dynamic_cast<platform::FakeClock&>(*app->sys.clock);
    wav = &dynamic_cast<platform::RecordingWavPlayer&>(*app->sys.wav);
    tts = &dynamic_cast<platform::RecordingSpeaker&>(*app->sys.tts);
    programs = &dynamic_cast<platform::RecordingPrograms&>(*app->sys.programs);
    events = &dynamic_cast<platform::NoEvents&>(*app->sys.events);
    dialogs = &dynamic_cast<platform::ScriptedDialogs&>(*app->sys.dialogs);
    printer = &dynamic_cast<platform::RecordingPrinter&>(*app->sys.printer);
    events->hook = [this] {  // waits move the clock on, so that they end
      if (waitstep > 0) clock->advance(waitstep);
    };
    ready();
  }
  // What a fixture sets up on each new application.
  virtual void ready() {}

  // The 100 km squares the test positions lie in: code, frame km of the south-west corner.
  void squares(const std::vector<std::tuple<const char*, float, float>>& sq) const {
    GeoState& g = app->geo;
    g.ccccount = static_cast<int>(sq.size());
    for (std::size_t k = 1; k <= sq.size(); ++k) std::tie(g.ccccode[k], g.cccx[k], g.cccy[k]) = sq[k - 1];
  }

  void put(const std::string& name, const std::string& contents) const {
    std::filesystem::create_directories((dir / name).parent_path());
    std::ofstream(dir / name, std::ios::binary) << contents;
  }
  // A playable (header-only) WAV file.
  void wavfile(const std::string& name) const { put(name, std::string("RIFF\0\0\0\0WAVE", 12)); }
  std::string get(const std::string& name) const {
    std::ifstream in(dir / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
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
