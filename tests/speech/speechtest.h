// A fresh application in a scratch working directory, with a settable clock and recording
// sound, speech, program and event sinks.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/fakes.h"

namespace zarn::test {

class SpeechTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() /
          ("zarn-speech-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    Services s;
    auto c = std::make_unique<platform::FakeClock>();
    auto w = std::make_unique<platform::RecordingWavPlayer>();
    auto t = std::make_unique<platform::RecordingSpeaker>();
    auto p = std::make_unique<platform::RecordingPrograms>();
    auto e = std::make_unique<platform::NoEvents>();
    clock = c.get();
    wav = w.get();
    tts = t.get();
    programs = p.get();
    events = e.get();
    s.clock = std::move(c);
    s.wav = std::move(w);
    s.tts = std::move(t);
    s.programs = std::move(p);
    s.events = std::move(e);
    app = std::make_unique<App>(std::move(s));
    app->files.setworkdir(dir);
    // One 100 km square, so that grid references read and write.
    app->geo.ccccount = 1;
    app->geo.ccccode[1] = "SU";
    app->geo.cccx[1] = 400;
    app->geo.cccy[1] = 100;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // A playable (header-only) WAV file in the working directory.
  void wavfile(const std::string& name) const {
    std::filesystem::create_directories((dir / name).parent_path());
    std::ofstream(dir / name, std::ios::binary) << std::string("RIFF\0\0\0\0WAVE", 12);
  }
  void textfile(const std::string& name, const std::string& contents) const {
    std::ofstream(dir / name, std::ios::binary) << contents;
  }
  std::string readfile(const std::string& name) const {
    std::ifstream in(dir / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(dir / name); }

  // The items waiting in the queue.
  std::vector<std::string> queued() const {
    const auto& s = app->speech;
    return {s.wavqueue.begin() + 1, s.wavqueue.begin() + 1 + s.wavcount};
  }
  // The last sentence spoken (or closed).
  const std::vector<std::string>& said() const { return app->speech.lastsentence; }
  // The files the sound service played, in order.
  std::vector<std::string> played() const {
    std::vector<std::string> v;
    for (const auto& p : wav->played) v.push_back(p.file);
    return v;
  }
  const std::string& msg() const { return app->speech.msgtext; }

  std::filesystem::path dir;
  platform::FakeClock* clock = nullptr;
  platform::RecordingWavPlayer* wav = nullptr;
  platform::RecordingSpeaker* tts = nullptr;
  platform::RecordingPrograms* programs = nullptr;
  platform::NoEvents* events = nullptr;
  std::unique_ptr<App> app;
};

using Items = std::vector<std::string>;

}  // namespace zarn::test
