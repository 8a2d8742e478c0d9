// Starting outside programs: arguments arrive untouched (no shell), DOS batch and program
// names find their Linux stand-ins, nothing is left behind as a zombie; and printing, to a
// file or through the spooler client.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/files.h"
#include "platform/printer.h"
#include "platform/programs.h"
#include "support/tempdir.h"

namespace {

using namespace zarn::platform;

// The printer's verdict on the jobs it holds, asked for until it has one for each: the spooler
// clients are real processes, each ended by the printer past its time limit.
bool verdict(Printer& p) {
  bool ok = p.collect();
  for (int i = 0; p.busy() && i < 30000; ++i) {
    ::usleep(10000);
    ok = p.collect() && ok;
  }
  return ok && !p.busy();
}
// The same for one job once ended: nullopt when it has none.
std::optional<bool> verdict(PrintJob& job) {
  std::optional<bool> o = job.outcome();
  for (int i = 0; !o && i < 30000; ++i) ::usleep(10000), o = job.outcome();
  return o;
}

struct ProgramsTest : ::testing::Test {
  void TearDown() override { ::setenv("PATH", oldpath.c_str(), 1); }
  std::string oldpath = std::getenv("PATH") ? std::getenv("PATH") : "";
  zarn::testing::TempDir dir;
  Files files{dir.path()};
  PosixPrograms programs{files};
  std::string error;
};

TEST_F(ProgramsTest, ArgumentsArriveUntouchedAndDosNamesFindTheirStandIns) {
  dir.put("capture.sh", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > argv.txt\n", true);
  const std::vector<std::string> args{"a b;rm -rf x", "$(touch pwned)", "*", "", "'q' \"r\"", "`id`|cat"};
  ASSERT_TRUE(programs.start("capture.sh", args, true, &error)) << error;
  EXPECT_EQ(files.readlines("argv.txt").value(), args) << "ran in the working directory with every argument intact";
  EXPECT_FALSE(dir.has("pwned"));

  dir.put("zarninit", "echo init > init.txt\nexit 3\n", true);  // no #! line
  dir.put("PicViewr.sh", "#!/bin/sh\necho \"$1\" > viewed.txt\n");  // not executable
  dir.put("Tools/Run", "#!/bin/sh\necho run > ran.txt\n", true);
  EXPECT_EQ((std::tuple{programs.start("ZARNINIT.BAT", {}, true, &error), dir.has("init.txt"), programs.lastexit()}),
            (std::tuple{true, true, 3})) << "it started, whatever it then did: " << error;
  EXPECT_TRUE(!programs.start("PICVIEWR.EXE", {"MAP 1.BMP"}, true, &error) && !dir.has("viewed.txt") &&
              error == (dir / "PicViewr.sh").string() + " is not executable") << error;
  EXPECT_TRUE(programs.start("TOOLS\\RUN.EXE", {}, true, &error) && dir.has("ran.txt")) << "in the working dir";
  EXPECT_EQ((std::pair{programs.start("sh", {"-c", "kill -9 $$"}, true, nullptr), programs.lastexit()}),
            (std::pair{true, -1})) << "found through PATH, and killed";

  dir.put("ZARNEXIT.BAT", "@echo off\r\ndel *.*\r\n");
  for (std::string name : {"ZARNEXIT.BAT", "argv.txt", "", "no-such-program-zarn"})
    EXPECT_TRUE(!programs.start(name, {}, true, &error) && error == "program not found: " + name) << error;
  EXPECT_TRUE(dir.has("ZARNEXIT.BAT") && dir.has("argv.txt") && programs.running() == 0) << "DOS files never run";
}

TEST_F(ProgramsTest, ProgramsNotWaitedForLeaveNoZombiesAndGetNoDescriptors) {
  dir.put("quick.sh", "#!/bin/sh\ntouch \"done$1\"\n", true);
  for (const char* n : {"1", "2", "3"}) ASSERT_TRUE(programs.start("quick.sh", {n}, false, nullptr));
  // The programs run on their own; poll (bounded) until they have ended and been collected.
  for (int i = 0; i < 1000 && programs.running() > 0; ++i, programs.reap()) ::usleep(10000);
  EXPECT_TRUE(programs.running() == 0 && dir.has("done1") && dir.has("done2") && dir.has("done3"));
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child left over, not even as a zombie";
  auto log = OutputFile::open(files, "TRIP.NME", OutputFile::Mode::Log);
  const int extra = ::dup(STDERR_FILENO);  // without close-on-exec
  ASSERT_TRUE(log && programs.start("/bin/sh", {"-c", "ls /proc/self/fd > fds.txt"}, true, nullptr));
  ::close(extra);
  // The three standard ones and the one ls opens for the listing.
  EXPECT_LE(files.readlines("fds.txt").value().size(), 4u) << dir.get("fds.txt");
}

TEST_F(ProgramsTest, PrintersTakeLatin1LinesAndReportFailures) {
  dir.put("PRINTER.TXT", "earlier\r\n");
  FilePrinter file(files, "printer.txt");
  EXPECT_TRUE(file.printline("13:02 Unit 4 \xA3" "5") && file.printline(""));
  EXPECT_EQ(dir.get("PRINTER.TXT"), "earlier\r\n13:02 Unit 4 \xA3" "5\r\n\r\n") << "Latin-1 kept, nothing lost";
  EXPECT_FALSE(FilePrinter(files, "nodir\\printer.txt").printline("x"));

  // A stand-in spooler client first in PATH.
  const auto lp = [&](const std::string& body) { dir.put("bin/lp", "#!/bin/sh\n" + body, true); };
  ::setenv("PATH", ((dir / "bin").string() + ":/usr/bin:/bin").c_str(), 1);
  const std::string args = (dir / "args.txt").string(), printed = (dir / "printed.txt").string();
  lp("echo \"$@\" >> '" + args + "'\ncat >> '" + printed + "'\necho request id is lp-1\n");
  LpPrinter printer("lp", {"-d", "line printer"});
  EXPECT_TRUE(printer.printline("Caf\xE9 12") && printer.printline("second") && printer.flush() && verdict(printer))
      << printer.lasterror();
  EXPECT_EQ(dir.get("printed.txt"), "Caf\xC3\xA9 12\nsecond\n") << "one job for the burst, in UTF-8";
  EXPECT_EQ(dir.get("args.txt"), "-d line printer\n");
  // Received lines come with the CR that ended them and the LF after the one before.
  std::filesystem::remove(printed);
  EXPECT_TRUE(printer.printline("") && printer.printline("\n$V1RMC,1\r") && printer.printline("LOG: 12:00\r\n"));
  EXPECT_TRUE(printer.flush() && verdict(printer));
  EXPECT_EQ(dir.get("printed.txt"), "\n$V1RMC,1\nLOG: 12:00\n") << "one line ending each";
  lp("cat > /dev/null\necho 'lp: The printer or class does not exist.' >&2\nexit 1\n");
  EXPECT_TRUE(printer.printline("x")) << "the text is taken; the job is refused as it is handed over";
  EXPECT_EQ((std::pair{printer.flush() && verdict(printer), printer.lasterror()}),
            (std::pair{false, std::string("lp: The printer or class does not exist.")}));
  lp("cat > /dev/null\nkill -KILL $$\n");
  EXPECT_TRUE(printer.printline("x") && printer.flush());
  EXPECT_EQ((std::pair{verdict(printer), printer.lasterror()}),
            (std::pair{false, std::string("lp was ended by signal 9 (Killed)")}));
  lp("exit 0\n");  // ends without reading: writing to it must give an error, not SIGPIPE
  EXPECT_FALSE(printer.printline(std::string(600 << 10, 'x')) && printer.flush() && verdict(printer));
  EXPECT_EQ(printer.lasterror().rfind("lp ", 0), 0u) << printer.lasterror();
  // Refused before it reads: its message, not the text it left, says why.
  lp("echo 'lp: The printer or class does not exist.' >&2\nexit 1\n");
  EXPECT_FALSE(printer.printline(std::string(600 << 10, 'x')) && printer.flush() && verdict(printer));
  EXPECT_EQ(printer.lasterror(), "lp: The printer or class does not exist.");
  ::setenv("PATH", (dir / "empty").c_str(), 1);
  LpPrinter missing;
  EXPECT_TRUE(!missing.printline("x") && missing.lasterror().find("lp") != std::string::npos) << "no lp at all";
}

// Nothing waits for the spooler client: one that never ends, never reads, ignores SIGTERM or
// leaves a child behind is handed the job and ended past the time limit with its process group,
// the reason said; one that exits leaving a child on its error output is done.
TEST_F(ProgramsTest, AClientThatHangsIsEndedWithWhatItStartedAndHoldsNobody) {
  ::setenv("PATH", ((dir / "bin").string() + ":/usr/bin:/bin").c_str(), 1);
  const std::string child = (dir / "child.pid").string(), out = (dir / "out.txt").string();
  // The child the client started, if it got as far: ended, and collected by whoever took it on
  // (a zombie has ended).
  const auto childgone = [&] {
    const std::string pid = dir.get("child.pid");
    if (pid.find('\n') == std::string::npos) return true;
    const std::string stat = "/proc/" + pid.substr(0, pid.find('\n')) + "/stat";
    for (int i = 0; i < 3000; ++i, ::usleep(10000)) {
      std::ifstream in(stat);
      const std::string s{std::istreambuf_iterator<char>(in), {}};
      if (!in.is_open() || s.find(") Z ") != std::string::npos) return true;
    }
    return false;
  };
  for (const std::string& body : {std::string("cat > /dev/null\nexec sleep 3600\n"), std::string("exec sleep 3600\n"),
                                  "trap '' TERM\nsleep 3600 & echo $! > '" + child + "'\ncat > /dev/null\nwait\n"}) {
    dir.put("bin/lp", "#!/bin/sh\n" + body, true);
    std::filesystem::remove(child);
    LpPrinter printer("lp", {}, 1);
    ASSERT_TRUE(printer.printline("a line") && printer.flush()) << body;
    EXPECT_TRUE(printer.busy()) << "handed over while the client still runs: " << body;
    EXPECT_EQ((std::pair{verdict(printer), printer.lasterror()}),
              (std::pair{false, std::string("lp did not finish the job within 1 s and was ended")})) << body;
    EXPECT_TRUE(childgone()) << "the client's child is ended with it";
  }
  dir.put("bin/lp", "#!/bin/sh\ncat > '" + out + "'\nsleep 3600 & echo $! > '" + child + "'\n", true);
  LpPrinter printer("lp", {}, 60);
  EXPECT_TRUE(printer.printline("one") && printer.flush() && verdict(printer)) << printer.lasterror();
  EXPECT_EQ(dir.get("out.txt"), "one\n");
  ::kill(std::stoi(dir.get("child.pid")), SIGKILL);  // left to run by its client, which took the job
}

// A client that is slow to read gets every line in order, held meanwhile; past the bound a line
// fails and is named, and those held before it still go.
TEST_F(ProgramsTest, LinesWaitForASlowClientUpToABound) {
  ::setenv("PATH", ((dir / "bin").string() + ":/usr/bin:/bin").c_str(), 1);
  dir.put("bin/lp", "#!/bin/sh\nwhile [ ! -e '" + (dir / "go").string() + "' ]; do sleep 0.02; done\ncat > '" +
                        (dir / "out.txt").string() + "'\n", true);
  LpPrinter printer;
  std::string want;
  for (int i = 0; i < 8000; ++i) {
    const std::string line = "10:00:00 VAN" + std::to_string(i) + " 53.3456N 002.3456W 12 km/h";
    ASSERT_TRUE(printer.printline(line)) << "line " << i << " while the client does not read: " << printer.lasterror();
    want += line + "\n";
  }
  dir.put("go", "");
  EXPECT_TRUE(printer.flush() && verdict(printer)) << printer.lasterror();
  EXPECT_EQ(dir.get("out.txt"), want) << "every line, in order";

  std::filesystem::remove(dir / "go");
  want.clear();
  int taken = 0;
  for (; taken < 100000; ++taken) {
    const std::string line = std::to_string(taken) + std::string(90, '.');
    if (!printer.printline(line)) break;
    want += line + "\n";
  }
  EXPECT_GT(want.size(), LpPrinter::held) << "the bound, and what the client's input holds";
  EXPECT_NE(printer.lasterror().find("this line and those after it are not printed"), std::string::npos)
      << printer.lasterror();
  dir.put("go", "");
  EXPECT_TRUE(verdict(printer)) << "the failed job still goes";
  EXPECT_EQ(dir.get("out.txt"), want) << "the lines before the one that failed";
}

// A page printer gets the lines that belong together as one job: a job's own, or a burst of
// log lines ended by a pause of 5 s or a minute of steady lines, across midnight too. A line
// stays one line, and no NUL reaches the printer.
TEST_F(ProgramsTest, PrintJobsGatherTheLinesThatBelongTogether) {
  const std::string jobs = (dir / "jobs").string();
  std::filesystem::create_directories(jobs);
  LpPrinter printer(ZARN_SOURCE_DIR "/tools/lp_standin.py", {"--out", (dir / "lp.out").string(), "--jobs", jobs});
  const auto job = [&](int n) { return dir.get("jobs/job-" + std::to_string(n) + ".txt"); };
  const auto count = [&] { return std::distance(std::filesystem::directory_iterator(jobs), {}); };
  double t = 86390;  // ten seconds before midnight
  const auto line = [&](const std::string& l) {
    EXPECT_TRUE(printer.printline(l) && printer.settle(t)) << printer.lasterror();
  };
  line("10:59:58 VAN1");
  t = 86394;
  line("10:59:59 VAN2 CR\rLF\nNUL" + std::string(1, '\0') + "end\r\n");
  for (t = 86395; t < 86399; t += 1) EXPECT_TRUE(printer.settle(t));
  EXPECT_EQ(count(), 0) << "still within 5 s of the last line";
  EXPECT_TRUE(printer.settle(0) && verdict(printer)) << "six seconds after it, past midnight";
  EXPECT_EQ(job(1), "10:59:58 VAN1\n10:59:59 VAN2 CR LF NULend\n");
  for (t = 10; t < 80; t += 1) line("steady " + std::to_string(static_cast<int>(t)));
  EXPECT_TRUE(verdict(printer));
  EXPECT_EQ(count(), 2) << "a minute of steady lines is a job";
  EXPECT_TRUE(printer.settle(86000) && verdict(printer)) << "the next day's time: long past";  // what is left goes
  EXPECT_EQ(count(), 3);
  // A run's lines, however slowly they come, are one job of their own.
  auto run = printer.job();
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(run->printline("record " + std::to_string(i)));
  EXPECT_TRUE(run->end() && verdict(*run) == true);
  EXPECT_EQ(job(4), "record 0\nrecord 1\nrecord 2\n");
  EXPECT_TRUE(printer.job()->end()) << "an empty job prints nothing";
  EXPECT_EQ(count(), 4);
  // The file printer keeps the line whole too.
  FilePrinter file(files, "printer.txt");
  EXPECT_TRUE(file.printline("a\rb\nc" + std::string(1, '\0') + "d\r\n"));
  EXPECT_EQ(dir.get("printer.txt"), "a b cd\r\n");
}

}  // namespace
