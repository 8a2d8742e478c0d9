#include "platform/printer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <sys/time.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

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

}  // namespace

std::string printable(std::string_view line) {
  const auto first = line.find_first_not_of("\r\n");
  if (first == std::string_view::npos) return {};
  line = line.substr(first, line.find_last_not_of("\r\n") - first + 1);
  std::string out;
  out.reserve(line.size());
  for (char c : line)
    if (c == '\r' || c == '\n') out += ' ';
    else if (c != '\0') out += c;
  return out;
}

bool Printer::printline(const std::string& line) {
  if (!burst_) burst_ = job();
  fresh_ = true;
  if (burst_ && burst_->printline(line)) return true;
  // A job that failed takes no more lines: the next line, once printing is on again, starts
  // another.
  burst_.reset();
  first_ = last_ = -1;
  return false;
}

bool Printer::settle(double now) {
  if (!burst_) return true;
  // Seconds since a time of day, across midnight.
  const auto since = [now](double t) { return now >= t ? now - t : now + 86400 - t; };
  if (fresh_) {
    fresh_ = false;
    last_ = now;
    if (first_ < 0) first_ = now;
  }
  if (since(last_) < pause && since(first_) < longest) return true;
  return flush();
}

bool Printer::flush() {
  first_ = last_ = -1;
  fresh_ = false;
  return !burst_ || std::exchange(burst_, nullptr)->end();
}

// The spooler client of one job, started at its first line and reading the text as it comes.
class LpJob final : public PrintJob {
 public:
  explicit LpJob(LpPrinter& printer) : printer_(printer) {}
  ~LpJob() override { finish(); }
  bool printline(const std::string& line) override {
    if (failed_ || (pid_ == 0 && !startclient())) return false;
    // The spooler expects UTF-8 text.
    const std::string data = text::latin1toutf8(printable(line)) + "\n";
    for (std::size_t done = 0; done < data.size();) {
      const ssize_t n = ::send(in_.fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        failed_ = true;
        const bool stuck = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        if (stuck) ::kill(pid_, SIGTERM);  // a client that stopped reading would never end
        printer_.error_ = finish();
        if (printer_.error_.empty()) printer_.error_ = printer_.command_ + " did not take the text";
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    return true;
  }
  bool end() override {
    if (failed_) return false;
    if (pid_ == 0) return true;  // no line: nothing to print
    printer_.error_ = finish();
    return printer_.error_.empty();
  }

 private:
  bool startclient() {
    std::string& error = printer_.error_;
    error.clear();
    // A socket rather than a pipe for the text: MSG_NOSIGNAL lets a client that died early give
    // an error here instead of a SIGPIPE that would end this program.
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
      error = std::string("cannot print: ") + std::strerror(errno);
      return !(failed_ = true);
    }
    in_.fd = sv[0];
    Fd clientin;
    clientin.fd = sv[1];
    // A client that stops reading fails the line instead of holding the program.
    const timeval wait{10, 0};
    ::setsockopt(in_.fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    int pf[2];
    if (::pipe2(pf, O_CLOEXEC) != 0) {
      error = std::string("cannot print: ") + std::strerror(errno);
      return !(failed_ = true);
    }
    err_.fd = pf[0];
    Fd clienterr;
    clienterr.fd = pf[1];
    std::vector<std::string> argv{printer_.command_};
    argv.insert(argv.end(), printer_.options_.begin(), printer_.options_.end());
    SpawnOptions opt;
    opt.stdin_fd = clientin.fd;
    opt.stdout_fd = -1;  // the spooler's "request id is ..." is of no use here
    opt.stderr_fd = clienterr.fd;
    opt.searchpath = true;
    const pid_t pid = spawnprogram(printer_.command_, argv, opt);
    if (pid < 0) {
      error = "cannot start " + printer_.command_ + ": " + std::strerror(-pid);
      return !(failed_ = true);
    }
    pid_ = pid;
    return true;
  }
  // Ends the text, waits for the client: its complaint, empty when it took the job.
  std::string finish() {
    if (pid_ <= 0) return {};
    in_.reset();
    std::string msg;
    char buf[512];
    for (;;) {
      const ssize_t n = ::read(err_.fd, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      if (msg.size() < 4096) msg.append(buf, static_cast<std::size_t>(n));
    }
    err_.reset();
    const int status = waitprogram(std::exchange(pid_, -1));
    if (status == 0) return {};
    while (!msg.empty() && (msg.back() == '\n' || msg.back() == '\r')) msg.pop_back();
    return !msg.empty() ? msg : printer_.command_ + " failed (exit status " + std::to_string(status) + ")";
  }

  LpPrinter& printer_;
  Fd in_, err_;
  pid_t pid_ = 0;  // 0 before the first line, -1 once ended
  bool failed_ = false;
};

std::unique_ptr<PrintJob> LpPrinter::job() { return std::make_unique<LpJob>(*this); }

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

namespace {

// Each line appended as it comes: a file needs no jobs, and keeps what was printed before a
// failure.
class FileJob final : public PrintJob {
 public:
  FileJob(const Files& files, const std::string& name) : files_(files), name_(name) {}
  bool printline(const std::string& line) override {
    // The reason is asked for, so that the file layer does not tell it as well: a printer that
    // fails is reported by its caller.
    std::string why;
    auto f = OutputFile::open(files_, name_, OutputFile::Mode::Append, &why);
    ok_ = ok_ && f && f->print(printable(line)) && f->close(&why);
    return ok_;
  }
  bool end() override { return ok_; }

 private:
  const Files& files_;
  const std::string& name_;
  bool ok_ = true;
};

}  // namespace

std::unique_ptr<PrintJob> FilePrinter::job() { return std::make_unique<FileJob>(files_, name_); }

}  // namespace zarn::platform
