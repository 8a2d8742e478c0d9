// A PulseAudio daemon of our own for the sound tests: no configuration, a null sink, anonymous
// access on a socket in a temporary folder. Stopped by its process id.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include "platform/programs.h"

namespace zarn::testing {

struct Daemon {
  explicit Daemon(const std::filesystem::path& dir) : socket(dir / "native") {
    const std::string d = dir.string();
    pid = platform::spawnprogram(
        "env",
        {"env", "-i", "HOME=" + d, "XDG_RUNTIME_DIR=" + d, "XDG_CONFIG_HOME=" + d, "PATH=/usr/bin:/bin", "pulseaudio",
         "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm=yes",
         "--log-target=stderr", "-L", "module-null-sink", "-L",
         "module-native-protocol-unix auth-anonymous=1 socket=" + socket.string()},
        {.stdin_fd = -1, .stdout_fd = -1, .stderr_fd = -1, .dir = {}, .searchpath = true});  // quiet
    for (int i = 0; i < 1000 && pid > 0 && !running(); ++i) ::usleep(10000);  // bounded wait for the socket
  }
  ~Daemon() {
    if (pid > 0 && ::kill(pid, SIGTERM) == 0) platform::waitprogram(pid);
  }
  Daemon(const Daemon&) = delete;
  Daemon& operator=(const Daemon&) = delete;
  bool running() const { return pid > 0 && std::filesystem::exists(socket); }
  std::filesystem::path socket;
  pid_t pid = 0;
};

}  // namespace zarn::testing
