// Alarms heard through a private PulseAudio daemon while the port is polled: the prompts play to
// their end, one after another, and the serial poll runs all the while.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "app/app.h"
#include "gpsinput/serialpoll.h"
#include "platform/audio/pulsewav.h"
#include "platform/pulse_daemon.h"
#include "platform/wav.h"
#include "platform/wav_testfiles.h"
#include "speech/queue.h"

namespace zarn::test {
namespace {

using steady = std::chrono::steady_clock;

// A port with nothing waiting that notes the longest time between two polls.
struct PolledPort final : platform::SerialLine {
  bool open(const std::string&, const std::string&) override { return true; }
  bool setsettings(const std::string&) override { return true; }
  bool isopen() const override { return true; }
  void close() override {}
  int inbuffercount() override {
    const auto now = steady::now();
    if (polls++ > 0) longest = std::max(longest, std::chrono::duration<double>(now - last).count());
    last = now;
    return 0;
  }
  std::string input() override { return {}; }
  bool output(std::string_view) override { return true; }
  void setdtr(bool) override {}
  steady::time_point last;
  double longest = 0;
  long polls = 0;
};

// Events as the program's pump has them: nothing pending, and a short sleep when idle.
struct SleepingEvents final : platform::EventPump {
  void doevents() override {}
  void idle() override { ::usleep(2000); }
};

// The program's state on the real sound player, reading the working folder given, with the
// counting port and the sleeping events above.
std::unique_ptr<App> soundapp(const std::filesystem::path& dir) {
  Services s;
  std::tie(s.serial, s.wav, s.events) = std::tuple(
      std::make_unique<PolledPort>(), std::make_unique<platform::PulseWavPlayer>(), std::make_unique<SleepingEvents>());
  auto app = std::make_unique<App>(std::move(s));
  app->files.setworkdir(dir);
  app->gps.gpsoncom = 1;
  return app;
}

TEST(Alarms, ThePortIsPolledWhileTheAlarmsPlay) {
  if (!zarn::testing::havetool("pulseaudio")) GTEST_SKIP() << "pulseaudio is not installed";
  zarn::testing::TempDir dir;
  zarn::testing::Daemon daemon(dir.path());
  ASSERT_TRUE(daemon.running()) << "pulseaudio did not start";
  ::setenv("PULSE_SERVER", ("unix:" + daemon.socket.string()).c_str(), 1);
  ASSERT_TRUE(zarn::testing::espeakwav(dir / "$mv$ala1.wav", "Alarm") &&
              zarn::testing::espeakwav(dir / "$mv$alar.wav", "Vehicle alarm"));
  {
    const std::unique_ptr<App> made = soundapp(dir.path());
    App& app = *made;
    const PolledPort& polled = static_cast<const PolledPort&>(*app.sys.serial);
    // Two alarms at once, as the alarm window queues them.
    double length = 0;
    for (int k = 0; k < 2; ++k)
      for (const char* w : {"$mv$ala1.wav", "$mv$alar.wav"}) {
        queuewav(app.voice, w);
        length += platform::readwav(dir / w)->seconds();
      }
    const auto start = steady::now();
    readcomms(app);  // the tick's poll before it speaks, and after
    speakqueue(app.voice);
    readcomms(app);
    const double took = std::chrono::duration<double>(steady::now() - start).count();
    std::printf("%.2f s of prompts played in %.2f s; %ld polls, the longest gap %.3f s\n", length, took, polled.polls,
                polled.longest);
    EXPECT_GE(took, 0.95 * length) << "each prompt is heard to its end";
    EXPECT_LT(polled.longest, 0.5) << "the port is read while the prompts play; " << polled.polls << " polls in "
                                   << took << " s";
  }
  ::unsetenv("PULSE_SERVER");
}

// With no sound server to play them, the alarms take as long as if heard, so that their message
// can be read, and the port is read all the while.
TEST(Alarms, WithoutASoundServerEachAlarmStillTakesItsLength) {
  zarn::testing::TempDir dir;
  if (!zarn::testing::espeakwav(dir / "$mv$ala1.wav", "Alarm")) GTEST_SKIP() << "espeak-ng cannot make the prompt";
  ::setenv("PULSE_SERVER", ("unix:" + (dir / "no-server").string()).c_str(), 1);
  {
    const std::unique_ptr<App> made = soundapp(dir.path());
    App& app = *made;
    const PolledPort& polled = static_cast<const PolledPort&>(*app.sys.serial);
    for (int k = 0; k < 2; ++k) queuewav(app.voice, "$mv$ala1.wav");
    const double length = 2 * platform::readwav(dir / "$mv$ala1.wav")->seconds();
    const auto start = steady::now();
    speakqueue(app.voice);
    const double took = std::chrono::duration<double>(steady::now() - start).count();
    std::printf("%.2f s of prompts held %.2f s without a server; %ld polls\n", length, took, polled.polls);
    EXPECT_GE(took, 0.95 * length);
    EXPECT_LT(polled.longest, 0.5);
  }
  ::unsetenv("PULSE_SERVER");
}

}  // namespace
}  // namespace zarn::test
