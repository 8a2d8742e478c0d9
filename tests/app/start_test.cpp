// The program started where it cannot run: a display that does not exist, a folder with no maps.
// Each ends at once with status 1 and a message that says why, and writes nothing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "platform/programs.h"
#include "support/tempdir.h"

namespace zarn {
namespace {

struct Outcome {
  int status = -1;
  std::string err;
};

// The program in dir with the environment changes given to env(1); its status and stderr.
Outcome start(const testing::TempDir& dir, std::vector<std::string> env) {
  const int err = ::open((dir / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  platform::SpawnOptions o;
  std::tie(o.stdout_fd, o.stderr_fd, o.dir, o.searchpath) = std::tuple(-1, err, dir.path(), true);
  env.insert(env.begin(), {"env", "-u", "WAYLAND_DISPLAY"});
  env.push_back(ZARN_PROGRAM);
  const pid_t pid = platform::spawnprogram("env", env, o);
  ::close(err);
  Outcome r;
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) r.status = WEXITSTATUS(status);
  r.err = dir.get("stderr.txt");
  std::filesystem::remove(dir / "stderr.txt");
  return r;
}

std::vector<std::string> files(const testing::TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Start, ADisplayThatDoesNotExistIsNamedAndTheProgramEndsWithStatusOne) {
  testing::TempDir dir;
  std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo" / "MAPS.CCC", dir.path());
  dir.put("MAPS.DIR", "CHESH\r\n");
  const Outcome r = start(dir, {"-u", "QT_QPA_PLATFORM", "DISPLAY=:9371"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("zarn: the display \":9371\" cannot be opened"), std::string::npos) << r.err;
  EXPECT_EQ(files(dir), (std::vector<std::string>{"MAPS.CCC", "MAPS.DIR"}));
}

TEST(Start, AFolderWithNoMapsIsNamedAndLeftAsItWas) {
  testing::TempDir dir;
  dir.put("NOTES.TXT", "not a map\r\n");
  const Outcome r = start(dir, {"QT_QPA_PLATFORM=offscreen"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("The folder " + dir.path().string() + " holds no maps"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("scripts/start.sh"), std::string::npos) << r.err;
  EXPECT_EQ(files(dir), std::vector<std::string>{"NOTES.TXT"});
}

}  // namespace
}  // namespace zarn
