// The PulseAudio WAV player: quiet refusal without a sound server, and real playing through a
// private PulseAudio daemon with a null sink when the daemon is installed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/audio/pulsewav.h"
#include "wav_testfiles.h"

namespace zarn::platform {
namespace {

TEST(WavNoServer, EveryPlayReturnsZeroQuietly) {
  zarn::testing::TempDir dir;
  ASSERT_TRUE(zarn::testing::espeakwav(dir / "prompt.wav", "Two hundred yards"));
  ::setenv("PULSE_SERVER", "unix:/nonexistent/zarn-no-sound-server", 1);
  ::testing::internal::CaptureStderr();
  {
    PulseWavPlayer player;
    EXPECT_EQ(player.play(dir / "missing.wav", true), 0);
    EXPECT_EQ(player.play(dir.put("junk.wav", "not a sound"), false), 0);
    WavSound bad;
    bad.rate = 22050;
    bad.channels = 3;
    EXPECT_EQ(player.playsound(bad, true), 0);
    bad.channels = 1;
    bad.rate = 0;
    EXPECT_EQ(player.playsound(bad, false), 0);
    EXPECT_EQ(player.connectattempts(), 0) << "a sound that cannot play never reaches the server";

    EXPECT_EQ(player.play(dir / "prompt.wav", true), 0);
    EXPECT_EQ(player.play(dir / "prompt.wav", false), 0);
    EXPECT_EQ(player.playsound(*readwav(dir / "prompt.wav"), true), 0);
    player.beep();
    EXPECT_EQ(player.connectattempts(), 1) << "a missing server is not asked again at once";
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  ::unsetenv("PULSE_SERVER");
}

// A PulseAudio daemon of our own: no configuration, a null sink, anonymous access on a socket
// in a temporary folder. Stopped by its process id.
class Daemon {
 public:
  explicit Daemon(const std::filesystem::path& dir) : socket_(dir / "native") {
    std::vector<std::string> args{"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                  "--disable-shm=yes", "--log-target=stderr", "-L", "module-null-sink", "-L",
                                  "module-native-protocol-unix auth-anonymous=1 socket=" + socket_.string()};
    std::vector<std::string> env{"HOME=" + dir.string(), "XDG_RUNTIME_DIR=" + dir.string(),
                                 "XDG_CONFIG_HOME=" + dir.string(), "PATH=/usr/bin:/bin"};
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    for (auto& e : env) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid_, "pulseaudio", &fa, nullptr, argv.data(), envp.data()) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&fa);
    // Bounded wait for the socket to appear.
    for (int i = 0; i < 1000 && pid_ && !std::filesystem::exists(socket_); ++i) ::usleep(10000);
  }
  ~Daemon() {
    if (!pid_) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  bool running() const { return pid_ && std::filesystem::exists(socket_); }
  std::string server() const { return "unix:" + socket_.string(); }

 private:
  std::filesystem::path socket_;
  pid_t pid_ = 0;
};

struct WavWithServer : ::testing::Test {
  void SetUp() override {
    if (!zarn::testing::havetool("pulseaudio")) GTEST_SKIP() << "pulseaudio is not installed";
    daemon = std::make_unique<Daemon>(dir.path());
    ASSERT_TRUE(daemon->running()) << "pulseaudio did not start";
    ::setenv("PULSE_SERVER", daemon->server().c_str(), 1);
    ASSERT_TRUE(zarn::testing::espeakwav(first, "Left"));
    ASSERT_TRUE(zarn::testing::espeakwav(second, "Right"));
    // The same words at another rate and in stereo: the player must change its stream format.
    ASSERT_TRUE(zarn::testing::soxconvert(second, {"-b", "8", "-c", "2", "-r", "11025"}, other));
  }
  void TearDown() override {
    ::unsetenv("PULSE_SERVER");
    daemon.reset();
  }
  static double seconds(const std::filesystem::path& f) { return readwav(f)->seconds(); }

  zarn::testing::TempDir dir;
  std::unique_ptr<Daemon> daemon;
  std::filesystem::path first = dir / "first.wav", second = dir / "second.wav", other = dir / "other.wav";
};

TEST_F(WavWithServer, SoundStartedWithoutWaitingIsNotCutOff) {
  PulseWavPlayer player;
  using clock = std::chrono::steady_clock;
  const auto start = clock::now();
  EXPECT_EQ(player.play(first, false), 1);
  EXPECT_EQ(player.play(other, false), 1);
  EXPECT_EQ(player.play(second, true), 1);
  const double took = std::chrono::duration<double>(clock::now() - start).count();
  // The waiting play ends only after all three were heard: nothing can play faster than its length.
  EXPECT_GE(took, 0.95 * (seconds(first) + seconds(other) + seconds(second)));
  EXPECT_EQ(player.play(dir / "missing.wav", true), 0);
  EXPECT_EQ(player.connectattempts(), 3) << "one stream for each change of format";
}

TEST_F(WavWithServer, PlayerClosesWhilePlayingAndTheServerGoingAwayIsQuiet) {
  {
    PulseWavPlayer player;
    EXPECT_EQ(player.play(first, false), 1);
    player.beep();
    EXPECT_EQ(player.play(second, false), 1);
  }  // must stop and join without waiting for a sound to end or hanging
  PulseWavPlayer player;
  EXPECT_EQ(player.play(first, true), 1);
  daemon.reset();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(player.play(second, true), 0);
  EXPECT_EQ(player.play(second, false), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace zarn::platform
