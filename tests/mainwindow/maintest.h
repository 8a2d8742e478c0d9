// A fresh application in a scratch working directory for the main window's tests: a settable
// clock that waits move on, recording sound, speech, programs, printer and message boxes, and
// a serial line the test scripts (or a real one for the pseudo-terminal tests).
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

// A serial line whose input the test queues and whose output it reads. open() fails for the
// ports in `missing`.
class ScriptedSerial final : public platform::SerialLine {
 public:
  bool open(const std::string& port, const std::string& s) override {
    opened.push_back(port);
    settings = s;
    isopen_ = port != missing;
    return isopen_;
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
  std::deque<std::string> chunks;
  std::string sent, settings, missing = "none";
  std::vector<std::string> opened;

 private:
  bool isopen_ = false;
};

class MainTest : public ::testing::Test {
 protected:
  void SetUp() override { make(); }
  void TearDown() override {
    app.reset();
    std::filesystem::remove_all(dir);
  }

  // A new application; line: the serial line to use (a scripted one when null); images: the
  // picture store (pictures read from their headers only when null).
  void make(std::unique_ptr<platform::SerialLine> line = nullptr,
            std::unique_ptr<platform::ImageStore> images = nullptr) {
    app.reset();
    if (dir.empty()) {
      const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
      dir = std::filesystem::temp_directory_path() /
            ("zarn-main-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
      std::filesystem::remove_all(dir);
      std::filesystem::create_directories(dir);
    }
    Services s;
    auto c = std::make_unique<platform::FakeClock>();
    auto w = std::make_unique<platform::RecordingWavPlayer>();
    auto t = std::make_unique<platform::RecordingSpeaker>();
    auto p = std::make_unique<platform::RecordingPrograms>();
    auto e = std::make_unique<platform::NoEvents>();
    auto d = std::make_unique<platform::ScriptedDialogs>();
    auto pr = std::make_unique<platform::RecordingPrinter>();
    clock = c.get();
    wav = w.get();
    tts = t.get();
    programs = p.get();
    events = e.get();
    dialogs = d.get();
    printer = pr.get();
    serial = nullptr;
    if (!line) {
      auto sl = std::make_unique<ScriptedSerial>();
      serial = sl.get();
      line = std::move(sl);
    }
    s.clock = std::move(c);
    s.wav = std::move(w);
    s.tts = std::move(t);
    s.programs = std::move(p);
    s.events = std::move(e);
    s.dialogs = std::move(d);
    s.printer = std::move(pr);
    s.serial = std::move(line);
    s.images = std::move(images);
    app = std::make_unique<App>(std::move(s));
    app->files.setworkdir(dir);
    clock->settimer(12 * 3600);
    // Waits move the clock on, so that they end.
    events->hook = [this] {
      if (waitstep > 0) clock->advance(waitstep);
    };
  }

  void put(const std::string& name, const std::string& contents) const {
    std::filesystem::create_directories((dir / name).parent_path());
    std::ofstream(dir / name, std::ios::binary) << contents;
  }
  std::string get(const std::string& name) const {
    std::ifstream in(dir / name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  bool has(const std::string& name) const { return std::filesystem::exists(dir / name); }
  // A copy of the demo data set, which the tests must never write into.
  void copydemo() const {
    std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo", dir,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  }
  // The WAV names played so far, in order.
  std::vector<std::string> played() const {
    std::vector<std::string> v;
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
