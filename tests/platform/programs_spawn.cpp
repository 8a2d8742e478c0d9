// Starting outside programs: arguments arrive untouched (no shell), DOS batch and program
// names find their Linux stand-ins, and nothing is left behind as a zombie.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/files.h"
#include "platform/programs.h"
#include "support/tempdir.h"

namespace {

struct ProgramsTest : ::testing::Test {
  zarn::testing::TempDir dir;
  zarn::platform::Files files{dir.path()};
  zarn::platform::PosixPrograms programs{files};
  std::string error;
};

// Children of this process that have ended but not been collected.
int zombies() {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator("/proc")) {
    std::ifstream in(e.path() / "stat");
    std::string stat, state, ppid;
    if (!std::getline(in, stat) || stat.rfind(')') == std::string::npos) continue;
    std::istringstream(stat.substr(stat.rfind(')') + 2)) >> state >> ppid;
    n += state == "Z" && ppid == std::to_string(::getpid());
  }
  return n;
}

TEST_F(ProgramsTest, AwkwardArgumentsArriveAsOneArgumentEach) {
  dir.put("capture.sh", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > argv.txt\n", true);
  const std::vector<std::string> args{"a b;rm -rf x", "$(touch pwned)", "*", "", "'q' \"r\"", "`id`|cat"};
  ASSERT_TRUE(programs.start("capture.sh", args, true, &error)) << error;
  std::string want;
  for (const auto& a : args) want += a + "\n";
  EXPECT_EQ(dir.get("argv.txt"), want) << "ran in the working directory with every argument intact";
  EXPECT_FALSE(dir.has("pwned"));
  EXPECT_EQ(programs.lastexit(), 0);
}

TEST_F(ProgramsTest, BatchAndProgramNamesFindTheirStandIns) {
  dir.put("zarninit", "#!/bin/sh\necho init > init.txt\n", true);
  dir.put("PicViewr.sh", "echo \"$1\" > viewed.txt\n");  // no #! line, not executable
  dir.put("Tools/Run", "#!/bin/sh\necho run > ran.txt\n", true);
  EXPECT_TRUE(programs.start("ZARNINIT.BAT", {}, true, &error)) << error;
  EXPECT_EQ(dir.get("init.txt"), "init\n");
  EXPECT_TRUE(programs.start("PICVIEWR.EXE", {"MAP 1.BMP"}, true, &error)) << error;
  EXPECT_EQ(dir.get("viewed.txt"), "MAP 1.BMP\n");
  EXPECT_TRUE(programs.start("TOOLS\\RUN.EXE", {}, true, &error)) << error;
  EXPECT_TRUE(dir.has("ran.txt")) << "runs in the working directory, not the program's";

  dir.put("fail.sh", "#!/bin/sh\nexit 3\n", true);
  EXPECT_TRUE(programs.start("fail.sh", {}, true, nullptr)) << "it started, whatever it then did";
  EXPECT_EQ(programs.lastexit(), 3);
  EXPECT_TRUE(programs.start("sh", {"-c", "kill -9 $$"}, true, nullptr)) << "found through PATH";
  EXPECT_EQ(programs.lastexit(), -1);
}

TEST_F(ProgramsTest, DosFilesAndMissingProgramsAreRefusedNotRun) {
  EXPECT_FALSE(programs.start("ZARNEXIT.BAT", {}, false, &error));
  EXPECT_EQ(error, "program not found: ZARNEXIT.BAT");
  dir.put("ZARNEXIT.BAT", "@echo off\r\ndel *.*\r\n");
  dir.put("plain.txt", "not a program");
  for (const char* name : {"ZARNEXIT.BAT", "plain.txt", "", "no-such-program-zarn"}) {
    error.clear();
    EXPECT_FALSE(programs.start(name, {}, true, &error)) << name;
    EXPECT_NE(error.find(name), std::string::npos) << error;
  }
  EXPECT_TRUE(dir.has("ZARNEXIT.BAT"));
  EXPECT_EQ(programs.running(), 0u);
}

TEST_F(ProgramsTest, ProgramsNotWaitedForLeaveNoZombiesAndGetNoDescriptors) {
  dir.put("quick.sh", "#!/bin/sh\ntouch \"done$1\"\n", true);
  for (const char* n : {"1", "2", "3"}) ASSERT_TRUE(programs.start("quick.sh", {n}, false, nullptr));
  // The programs run on their own; poll (bounded) until they have ended and been collected.
  for (int i = 0; i < 1000 && programs.running() > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    programs.reap();
  }
  EXPECT_EQ(programs.running(), 0u);
  EXPECT_TRUE(dir.has("done1") && dir.has("done2") && dir.has("done3"));
  EXPECT_EQ(zombies(), 0);

  auto log = zarn::platform::OutputFile::open(files, "TRIP.NME", zarn::platform::OutputFile::Mode::Output);
  ASSERT_TRUE(log);
  const int extra = ::dup(STDERR_FILENO);  // without close-on-exec
  ASSERT_TRUE(programs.start("/bin/sh", {"-c", "ls /proc/self/fd > fds.txt"}, true, nullptr));
  ::close(extra);
  // The three standard ones and the one ls opens for the listing.
  EXPECT_LE(files.readlines("fds.txt").value().size(), 4u) << dir.get("fds.txt");
}

}  // namespace
