// Starting outside programs: arguments arrive untouched (no shell), DOS batch and program
// names find their Linux stand-ins, and nothing is left behind as a zombie.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/files.h"
#include "platform/files_tempdir.h"
#include "platform/programs.h"

using zarn::platform::Files;
using zarn::platform::PosixPrograms;

namespace {

// Each argument on a line of its own in argv.txt of the directory the program runs in.
constexpr const char* capture = "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > argv.txt\n";

class ProgramsTest : public ::testing::Test {
 protected:
  zarn_test::TempDir dir;
  Files files{dir.path()};
  PosixPrograms programs{files};
};

// Children of this process that have ended but not been collected.
int zombies() {
  int n = 0;
  const std::string me = std::to_string(::getpid());
  DIR* d = ::opendir("/proc");
  if (!d) return 0;
  while (const dirent* e = ::readdir(d)) {
    std::ifstream in(std::string("/proc/") + e->d_name + "/stat");
    std::string stat;
    if (!std::getline(in, stat)) continue;
    const auto close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(stat.substr(close + 2));
    std::string state, ppid;
    rest >> state >> ppid;
    if (state == "Z" && ppid == me) ++n;
  }
  ::closedir(d);
  return n;
}

TEST_F(ProgramsTest, AwkwardArgumentsArriveAsOneArgumentEach) {
  dir.put("capture.sh", capture, true);
  const std::vector<std::string> args{"a b;rm -rf x", "$(touch pwned)", "*", "", "'q' \"r\"", "`id`|cat"};
  std::string error;
  ASSERT_TRUE(programs.start("capture.sh", args, true, &error)) << error;
  std::string want;
  for (const auto& a : args) want += a + "\n";
  EXPECT_EQ(dir.get("argv.txt"), want) << "ran in the working directory with every argument intact";
  EXPECT_FALSE(dir.has("pwned"));
  EXPECT_EQ(programs.lastexit(), 0);
}

TEST_F(ProgramsTest, ShellAsTheProgramStillGetsOneArgument) {
  std::string error;
  ASSERT_TRUE(programs.start("/bin/sh", {"-c", "printf '%s|' \"$@\" > out.txt", "sh", "a b;rm -rf x", "*"}, true,
                             &error))
      << error;
  EXPECT_EQ(dir.get("out.txt"), "a b;rm -rf x|*|");
}

TEST_F(ProgramsTest, BatchAndProgramNamesFindTheirStandIns) {
  dir.put("zarninit", "#!/bin/sh\necho init > init.txt\n", true);
  dir.put("PicViewr.sh", "echo \"$1\" > viewed.txt\n");  // no #! line, not executable
  dir.put("Tools/Run", "#!/bin/sh\necho run > ran.txt\n", true);
  std::string error;
  EXPECT_TRUE(programs.start("ZARNINIT.BAT", {}, true, &error)) << error;
  EXPECT_EQ(dir.get("init.txt"), "init\n");
  EXPECT_TRUE(programs.start("PICVIEWR.EXE", {"MAP 1.BMP"}, true, &error)) << error;
  EXPECT_EQ(dir.get("viewed.txt"), "MAP 1.BMP\n");
  EXPECT_TRUE(programs.start("TOOLS\\RUN.EXE", {}, true, &error)) << error;
  EXPECT_TRUE(dir.has("ran.txt")) << "runs in the working directory, not the program's";
  EXPECT_EQ(programs.find("zarninit.bat"), dir.path() / "zarninit");
}

TEST_F(ProgramsTest, DosFilesThemselvesAreNotRun) {
  dir.put("ZARNEXIT.BAT", "@echo off\r\ndel *.*\r\n");
  std::string error;
  EXPECT_FALSE(programs.start("ZARNEXIT.BAT", {}, true, &error));
  EXPECT_NE(error.find("ZARNEXIT.BAT"), std::string::npos) << error;
  EXPECT_TRUE(dir.has("ZARNEXIT.BAT"));
}

TEST_F(ProgramsTest, MissingProgramIsReportedNotFatal) {
  std::string error;
  EXPECT_FALSE(programs.start("ZARNEXIT.BAT", {}, false, &error));
  EXPECT_EQ(error, "program not found: ZARNEXIT.BAT");
  EXPECT_FALSE(programs.start("no-such-program-zarn", {}, true, nullptr));
  EXPECT_FALSE(programs.start("", {}, false, &error));
  dir.put("plain.txt", "not a program");
  EXPECT_FALSE(programs.start("plain.txt", {}, true, &error));
  EXPECT_EQ(programs.running(), 0u);
}

TEST_F(ProgramsTest, ExitStatusOfWaitedProgram) {
  dir.put("fail.sh", "#!/bin/sh\nexit 3\n", true);
  EXPECT_TRUE(programs.start("fail.sh", {}, true, nullptr)) << "it started, whatever it then did";
  EXPECT_EQ(programs.lastexit(), 3);
  EXPECT_TRUE(programs.start("sh", {"-c", "kill -9 $$"}, true, nullptr)) << "found through PATH";
  EXPECT_EQ(programs.lastexit(), -1);
}

TEST_F(ProgramsTest, ProgramsNotWaitedForLeaveNoZombies) {
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
}

TEST_F(ProgramsTest, NoDescriptorsLeakIntoPrograms) {
  auto log = zarn::platform::OutputFile::open(files, "TRIP.NME", zarn::platform::OutputFile::Mode::Output);
  ASSERT_TRUE(log);
  const int extra = ::dup(STDERR_FILENO);  // without close-on-exec
  ASSERT_TRUE(programs.start("/bin/sh", {"-c", "ls /proc/self/fd > fds.txt"}, true, nullptr));
  ::close(extra);
  // ls itself opens one descriptor for the listing.
  const auto lines = files.readlines("fds.txt").value();
  EXPECT_LE(lines.size(), 4u) << dir.get("fds.txt");
}

}  // namespace
