#include "platform/printer.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/programs.h"
#include "platform/textrules.h"

namespace zarn::platform {

namespace {

struct Fd {
  int fd = -1;
  Fd() = default;
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { reset(); }
  void reset() {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
};

// A line as it is printed: without the line ends a received line brings along (the CR that ended
// it, the LF after the one before), which the printer's own line end replaces.
std::string_view oneline(std::string_view line) {
  const auto first = line.find_first_not_of("\r\n");
  if (first == std::string_view::npos) return {};
  return line.substr(first, line.find_last_not_of("\r\n") - first + 1);
}

}  // namespace

bool LpPrinter::printline(const std::string& line) {
  error_.clear();
  // A socket rather than a pipe for the text: MSG_NOSIGNAL lets a client that died early give
  // an error here instead of a SIGPIPE that would end this program.
  Fd in[2], err[2];
  int sv[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
    error_ = std::string("cannot print: ") + std::strerror(errno);
    return false;
  }
  in[0].fd = sv[0];
  in[1].fd = sv[1];
  int pf[2];
  if (::pipe2(pf, O_CLOEXEC) != 0) {
    error_ = std::string("cannot print: ") + std::strerror(errno);
    return false;
  }
  err[0].fd = pf[0];
  err[1].fd = pf[1];

  std::vector<std::string> argv{command_};
  argv.insert(argv.end(), options_.begin(), options_.end());
  SpawnOptions opt;
  opt.stdin_fd = in[1].fd;
  opt.stdout_fd = -1;  // the spooler's "request id is ..." is of no use here
  opt.stderr_fd = err[1].fd;
  opt.searchpath = true;
  const pid_t pid = spawnprogram(command_, argv, opt);
  in[1].reset();
  err[1].reset();
  if (pid < 0) {
    error_ = "cannot start " + command_ + ": " + std::strerror(-pid);
    return false;
  }

  // The spooler expects UTF-8 text.
  const std::string data = text::latin1toutf8(oneline(line)) + "\n";
  std::size_t done = 0;
  bool sent = true;
  while (done < data.size()) {
    const ssize_t n = ::send(in[0].fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      sent = false;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  in[0].reset();

  std::string msg;
  char buf[512];
  for (;;) {
    const ssize_t n = ::read(err[0].fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (msg.size() < 4096) msg.append(buf, static_cast<std::size_t>(n));
  }
  const int status = waitprogram(pid);
  if (status == 0 && sent) return true;
  while (!msg.empty() && (msg.back() == '\n' || msg.back() == '\r')) msg.pop_back();
  error_ = !msg.empty() ? msg
           : status != 0 ? command_ + " failed (exit status " + std::to_string(status) + ")"
                         : command_ + " did not take the text";
  return false;
}

bool LpPrinter::open() {
  error_.clear();
  auto runnable = [](const std::string& p) { return ::access(p.c_str(), X_OK) == 0; };
  if (command_.find('/') != std::string::npos) {
    if (runnable(command_)) return true;
  } else if (const char* path = std::getenv("PATH")) {
    const std::string dirs = path;
    for (std::size_t a = 0; a <= dirs.size();) {
      std::size_t b = dirs.find(':', a);
      if (b == std::string::npos) b = dirs.size();
      const std::string dir = b > a ? dirs.substr(a, b - a) : ".";
      if (runnable(dir + "/" + command_)) return true;
      a = b + 1;
    }
  }
  error_ = "cannot find " + command_;
  return false;
}

bool FilePrinter::open() { return OutputFile::open(files_, name_, OutputFile::Mode::Append) != nullptr; }

bool FilePrinter::printline(const std::string& line) {
  // The reason is asked for, so that the file layer does not tell it as well: a printer that
  // fails is reported by its caller.
  std::string why;
  auto f = OutputFile::open(files_, name_, OutputFile::Mode::Append, &why);
  return f && f->print(oneline(line)) && f->close(&why);
}

}  // namespace zarn::platform
