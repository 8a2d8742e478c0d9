#include "platform/programs.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/textrules.h"

extern char** environ;

namespace zarn::platform {

namespace fs = std::filesystem;

namespace {

// RAII for the spawn attribute objects.
struct Actions {
  posix_spawn_file_actions_t fa;
  Actions() { posix_spawn_file_actions_init(&fa); }
  ~Actions() { posix_spawn_file_actions_destroy(&fa); }
  Actions(const Actions&) = delete;
  Actions& operator=(const Actions&) = delete;
};
struct Attr {
  posix_spawnattr_t at;
  Attr() { posix_spawnattr_init(&at); }
  ~Attr() { posix_spawnattr_destroy(&at); }
  Attr(const Attr&) = delete;
  Attr& operator=(const Attr&) = delete;
};

int redirect(Actions& a, int target, int fd, int devnull_flags) {
  if (fd == -2) return 0;
  if (fd == -1) return posix_spawn_file_actions_addopen(&a.fa, target, "/dev/null", devnull_flags, 0);
  return posix_spawn_file_actions_adddup2(&a.fa, fd, target);
}

bool runnable(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

bool isscript(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec) && text::ucase(p.extension().string()) == ".SH";
}

}  // namespace

pid_t spawnprogram(const std::string& file, const std::vector<std::string>& argv, const SpawnOptions& opt) {
  Actions a;
  Attr at;
  int rc = redirect(a, STDIN_FILENO, opt.stdin_fd, O_RDONLY);
  if (!rc) rc = redirect(a, STDOUT_FILENO, opt.stdout_fd, O_WRONLY);
  if (!rc) rc = redirect(a, STDERR_FILENO, opt.stderr_fd, O_WRONLY);
  if (!rc && !opt.dir.empty()) rc = posix_spawn_file_actions_addchdir_np(&a.fa, opt.dir.c_str());
  // Nothing of ours beyond the three standard streams reaches the child: a serial port or log
  // it held open would outlive us.
  if (!rc) rc = posix_spawn_file_actions_addclosefrom_np(&a.fa, 3);
  // The child starts with default signal handling and nothing blocked, whatever the GUI
  // library did to ours.
  sigset_t none, deflt;
  sigemptyset(&none);
  sigemptyset(&deflt);
  for (int s : {SIGPIPE, SIGCHLD, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGALRM, SIGUSR1, SIGUSR2})
    sigaddset(&deflt, s);
  if (!rc) rc = posix_spawnattr_setsigmask(&at.at, &none);
  if (!rc) rc = posix_spawnattr_setsigdefault(&at.at, &deflt);
  if (!rc && opt.newgroup) rc = posix_spawnattr_setpgroup(&at.at, 0);
  const short group = opt.newgroup ? POSIX_SPAWN_SETPGROUP : 0;
  if (!rc) rc = posix_spawnattr_setflags(&at.at, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | group);
  if (rc) return -rc;

  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const auto& s : argv) args.push_back(const_cast<char*>(s.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  rc = opt.searchpath ? posix_spawnp(&pid, file.c_str(), &a.fa, &at.at, args.data(), environ)
                      : posix_spawn(&pid, file.c_str(), &a.fa, &at.at, args.data(), environ);
  return rc ? -rc : pid;
}

int waitprogram(pid_t pid) {
  int st = 0;
  for (;;) {
    const pid_t r = ::waitpid(pid, &st, 0);
    if (r == pid) break;
    if (r < 0 && errno != EINTR) return -1;
  }
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

PosixPrograms::~PosixPrograms() { reap(); }

void PosixPrograms::reap() {
  std::erase_if(running_, [](pid_t pid) {
    int st = 0;
    const pid_t r = ::waitpid(pid, &st, WNOHANG);
    return r == pid || (r < 0 && errno != EINTR);  // ended, or no longer ours to wait for
  });
}

std::optional<fs::path> PosixPrograms::find(const fs::path& program) const {
  std::string name = program.string();
  std::replace(name.begin(), name.end(), '\\', '/');
  if (name.empty()) return std::nullopt;
  const std::size_t slash = name.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
  const std::string last = name.substr(dir.size());
  const std::size_t dot = last.rfind('.');
  const std::string ext = dot == std::string::npos ? std::string() : text::ucase(last.substr(dot));

  if (ext == ".BAT" || ext == ".EXE" || ext == ".COM") {
    // The DOS program's Linux stand-in sits beside where it would have been.
    const std::string base = dir + last.substr(0, dot);
    for (const std::string& cand : {name, base, base + ".sh"}) {
      const fs::path p = files_.resolve(cand);
      if (runnable(p) || isscript(p)) return p;
    }
    return std::nullopt;
  }
  const fs::path p = files_.resolve(name);
  if (runnable(p) || isscript(p)) return p;
  if (!dir.empty()) return std::nullopt;
  // A bare name: our directory first (above), then PATH, as the old shell did.
  const char* path = std::getenv("PATH");
  std::string_view rest = path ? path : "/usr/bin:/bin";
  while (true) {
    const std::size_t colon = rest.find(':');
    const std::string_view d = rest.substr(0, colon);
    const fs::path c = fs::path(d.empty() ? "." : std::string(d)) / name;
    if (runnable(c)) return c;
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return std::nullopt;
}

bool PosixPrograms::start(const fs::path& program, const std::vector<std::string>& args, bool wait,
                          std::string* error) {
  reap();
  const auto exe = find(program);
  if (!exe) {
    if (error) *error = "program not found: " + program.string();
    return false;
  }
  std::vector<std::string> argv{exe->string()};
  argv.insert(argv.end(), args.begin(), args.end());
  // A stand-in runs only when its owner marked it executable: a script merely lying in the
  // folder (unpacked, copied from elsewhere) is not handed to the shell.
  if (!runnable(*exe)) {
    if (error) *error = exe->string() + " is not executable";
    return false;
  }
  SpawnOptions opt;
  opt.dir = files_.workdir();
  pid_t pid = spawnprogram(exe->string(), argv, opt);
  if (pid == -ENOEXEC) {
    // An executable script without a "#!" line: the POSIX shell reads it as a file, the
    // arguments still passed one by one.
    argv.insert(argv.begin(), "/bin/sh");
    pid = spawnprogram("/bin/sh", argv, opt);
  }
  if (pid < 0) {
    if (error) *error = "cannot start " + exe->string() + ": " + std::strerror(-pid);
    return false;
  }
  if (wait) {
    lastexit_ = waitprogram(pid);
  } else {
    running_.push_back(pid);
  }
  return true;
}

}  // namespace zarn::platform
