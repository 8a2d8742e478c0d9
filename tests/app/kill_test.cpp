// The program itself, logging a drive received on a pseudo-terminal, stopped by a signal: the
// trip log holds what was received, a line at a time, however the program ends.
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <future>
#include <iostream>
#include <random>
#include <thread>
#include <vector>

#include "platform/programs.h"
#include "support/pty.h"
#include "support/tempdir.h"

namespace zarn {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Starts the program logging, feeds it the recorded drive at about a kilobyte a second, signals
// it at a random moment and compares the log with what was fed up to `lost` before the signal.
void logandsignal(int sig, Clock::duration lost, bool ordered, unsigned seed) {
  testing::TempDir dir;
  std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo", dir.path(),
                        std::filesystem::copy_options::recursive);
  dir.put("STARTLOG.CFG", "");
  const testing::Pty pty;
  platform::SpawnOptions o;
  std::tie(o.stderr_fd, o.dir, o.searchpath) = std::tuple(-1, dir.path(), true);
  const pid_t pid = platform::spawnprogram(
      "env", {"env", "ZARN_COM1=" + pty.path, "QT_QPA_PLATFORM=offscreen", ZARN_PROGRAM}, o);
  ASSERT_TRUE(pid > 0 && !pty.path.empty());
  // What arrives while the program starts is dropped: the drive's first sentence is sent until
  // the program logs it, which it does only once it has started.
  const std::string drive = dir.get(std::string(ZARN_TEST_DATA) + "/nmea/drive/cheshire-2020-10-26.nmea");
  const std::string first = drive.substr(0, drive.find('\n') + 1);
  const auto logged = [&] { return dir.has("NEWTRIP.NME") && !dir.get("NEWTRIP.NME").empty(); };
  for (int i = 0; i < 600 && !logged(); ++i) {
    (void)!::write(pty.master, first.data(), first.size());
    std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(logged()) << sig << ": nothing logged after a minute";
  std::this_thread::sleep_for(200ms);  // the last of those read too
  std::vector<std::pair<Clock::time_point, std::size_t>> fed;  // when, and how much of the drive by then
  const auto until = Clock::now() + 2s + std::mt19937(seed)() % 1000 * 1ms;
  for (std::size_t at = 0, end; Clock::now() < until; at = end, std::this_thread::sleep_for(60ms)) {
    end = drive.find('\n', at) + 1;
    (void)!::write(pty.master, drive.data() + at, end - at);
    fed.emplace_back(Clock::now(), end);
  }
  for (int i = 0, waiting = 1; ordered && i < 100 && (::ioctl(pty.slave, FIONREAD, &waiting), waiting > 0); ++i)
    std::this_thread::sleep_for(20ms);  // all of it read
  std::this_thread::sleep_for(100ms);
  const auto signalled = Clock::now();
  ::kill(pid, sig);
  int status = 0;
  for (int i = 0; i < 100 && ::waitpid(pid, &status, WNOHANG) == 0; ++i) std::this_thread::sleep_for(100ms);
  if (::kill(pid, SIGKILL) == 0) ::waitpid(pid, &status, 0);  // it did not end

  std::size_t due = 0;
  for (const auto& [when, end] : fed) due = when <= signalled - lost ? end : due;
  std::string log = dir.get("NEWTRIP.NME");
  while (log.starts_with(first)) log.erase(0, first.size());
  log.insert(0, first);
  // The log holds every one of the drive's lines due, in order and each whole (the drive's lines
  // end in CR LF).
  const auto lines = [](const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
      end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      out.push_back(text.substr(at, end - at));
    }
    return out;
  };
  const auto want = lines(drive.substr(0, due)), got = lines(log);
  std::size_t g = 0, missed = 0;
  for (const std::string& w : want) (g < got.size() && got[g] == w) ? ++g : ++missed;
  EXPECT_TRUE(due > 1000 && missed == 0 && log.starts_with(first))
      << sig << " (run seed " << seed << "): " << due << " bytes due, " << missed << " lines missed, logged:\n"
      << log;
  EXPECT_TRUE(!ordered || (WIFEXITED(status) && WEXITSTATUS(status) == 0))
      << sig << " (run seed " << seed << "): status " << status;
}

// The seed of the signal moments: ZARN_KILL_SEED when set, so that a run can be repeated, else a
// fresh one.
unsigned killseed() {
  const char* s = std::getenv("ZARN_KILL_SEED");
  if (!s || !*s) return std::random_device{}();
  unsigned v = 0;
  const auto [end, error] = std::from_chars(s, s + std::strlen(s), v);
  if (error != std::errc() || *end != '\0') ADD_FAILURE() << "ZARN_KILL_SEED is not a whole number: " << s;
  return v;
}

TEST(Ending, TheTripLogKeepsWhatWasReceivedWhenTheProgramIsKilledOrTold) {
  const unsigned seed = killseed();
  std::cout << "signal moments from seed " << seed << " (ZARN_KILL_SEED=" << seed << " repeats them)" << std::endl;
  RecordProperty("seed", std::to_string(seed));
  std::mt19937 runseed(seed);
  std::vector<std::future<void>> runs;  // side by side: most of each run is the program's start-up
  for (const auto& [sig, lost, ordered] : {std::tuple{SIGKILL, 1s, false}, {SIGTERM, 0s, true}, {SIGINT, 0s, true}})
    runs.push_back(std::async(std::launch::async, logandsignal, sig, lost, ordered, runseed()));
}

}  // namespace
}  // namespace zarn
