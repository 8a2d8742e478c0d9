// Outside programs started for real: an argument vector handed to posix_spawn, never a shell,
// so no argument is ever read as a command.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/services.h"

namespace zarn::platform {

class PosixPrograms final : public ProgramRunner {
 public:
  explicit PosixPrograms(const Files& files) : files_(files) {}
  ~PosixPrograms() override;
  PosixPrograms(const PosixPrograms&) = delete;
  PosixPrograms& operator=(const PosixPrograms&) = delete;

  // The program runs in the working directory with no standard input. A DOS name ending in
  // .BAT, .EXE or .COM stands for an executable of the same base name there ("ZARNINIT.BAT"
  // -> ./zarninit or ./zarninit.sh). Without wait, the call returns at once and the ended
  // program is collected by a later call (or reap()).
  bool start(const std::filesystem::path& program, const std::vector<std::string>& args, bool wait,
             std::string* error = nullptr) override;
  bool exists(const std::filesystem::path& program) const override { return find(program).has_value(); }
  // Collects programs started without waiting that have ended since.
  void reap();
  // The executable a program name stands for; nullopt when there is none.
  std::optional<std::filesystem::path> find(const std::filesystem::path& program) const;
  // Exit status of the last program waited for; -1 when a signal ended it.
  int lastexit() const { return lastexit_; }
  std::size_t running() const { return running_.size(); }

 private:
  const Files& files_;
  std::vector<pid_t> running_;
  int lastexit_ = 0;
};

// The one way this program starts another process.
struct SpawnOptions {
  int stdin_fd = -1;   // -1: /dev/null
  int stdout_fd = -2;  // -2: ours, -1: /dev/null
  int stderr_fd = -2;  // -2: ours, -1: /dev/null
  std::filesystem::path dir;  // empty: our own working directory
  bool searchpath = false;    // look a bare name up in PATH
  // The child leads a process group of its own (its id is the group's), so that it can be
  // ended together with whatever it started: kill(-pid, ...).
  bool newgroup = false;
};
// argv[0] is the program's name as it sees it. Returns the process id, or -errno when the
// program could not be started (missing, not executable, bad directory).
pid_t spawnprogram(const std::string& file, const std::vector<std::string>& argv, const SpawnOptions& opt);
// Waits for a started process: its exit status, -1 when a signal ended it.
int waitprogram(pid_t pid);

}  // namespace zarn::platform
