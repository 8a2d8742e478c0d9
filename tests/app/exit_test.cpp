// The exit with the program's real end, in a child process: reached from an event inside a
// wait, it ends the process there and then. Nothing after it runs, what was written is on disk,
// and the exit batch runs on without being waited for.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/app.h"
#include "gpsinput/logs.h"
#include "mainwindow/exitseq.h"
#include "platform/ender.h"
#include "platform/fakes.h"
#include "platform/programs.h"
#include "support/builders.h"
#include "support/tempdir.h"

namespace zarn {
namespace {

using namespace std::chrono_literals;

// The program's side: logging a live fix, it waits; the first event of the wait runs the exit,
// answered Yes. Returns only if the exit did not end the process.
void runandexit(const std::filesystem::path& dir) {
  Services s;
  s.ender = std::make_unique<platform::ProcessEnder>();
  App app(std::move(s));
  app.files.setworkdir(dir);
  app.sys.programs = std::make_unique<platform::PosixPrograms>(app.files);
  newtrip(app);
  app.win.zarn.modebox.set("GPS");
  test::ownfix(app, 53.25f, -2.5f);
  writetriplog(app.gps, "$GPRMC,1");
  dynamic_cast<platform::NoEvents&>(*app.sys.events).hook = [&app, once = true]() mutable {
    if (!std::exchange(once, false)) return;
    std::printf("in the wait\n");  // held in the stream's buffer until the end writes it out
    writetriplog(app.gps, "$GPRMC,2");
    exitprog(app);
  };
  app.wait(1);
  std::printf("after the wait\n");
  writetriplog(app.gps, "$GPRMC,after");
}

TEST(Ending, TheExitEndsTheProcessInsideAWaitWithNothingRunAfterItAndTheBatchNotWaitedFor) {
  testing::TempDir dir;
  dir.put("ZARNEXIT.BAT", "");
  // The batch's stand-in goes on until the test lets it finish, after the program has ended.
  dir.put("zarnexit.sh", "#!/bin/sh\nwhile [ ! -e go ]; do sleep 0.01; done\necho done > done.txt\n", true);
  const int out = ::open((dir / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(out, 0);
  std::fflush(nullptr);  // nothing of ours buffered twice
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::dup2(out, STDOUT_FILENO);
    try {
      runandexit(dir.path());
    } catch (...) {
    }
    std::fflush(nullptr);
    std::_Exit(3);
  }
  ::close(out);
  int status = -1;
  bool ended = false;
  for (int i = 0; i < 1000 && !(ended = ::waitpid(pid, &status, WNOHANG) == pid); ++i) std::this_thread::sleep_for(10ms);
  dir.put("go", "");
  if (!ended) ::kill(pid, SIGKILL), ::waitpid(pid, &status, 0);
  EXPECT_TRUE(ended) << "the exit waited for its batch";
  for (int i = 0; i < 500 && !dir.has("done.txt"); ++i) std::this_thread::sleep_for(10ms);

  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_EQ(dir.get("out.txt"), "in the wait\n") << "nothing printed after the exit, and what was is out";
  EXPECT_EQ(dir.get("NEWTRIP.NME"), "$GPRMC,1\r\n$GPRMC,2\r\n");
  EXPECT_EQ(dir.get("ZARNLAST.DAT"), "531500N0023000W\r\n");
  EXPECT_TRUE(dir.has("done.txt")) << "the batch was started";
}

}  // namespace
}  // namespace zarn
