#include "platform/printer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
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
  if (burst_) failed(*burst_);
  burst_.reset();
  first_ = last_ = -1;
  return false;
}

bool Printer::failed(const PrintJob& job) {
  error_ = job.why();
  return false;
}

bool Printer::settle(double now) {
  bool ok = true;
  if (burst_) {
    // Seconds since a time of day, across midnight.
    const auto since = [now](double t) { return now >= t ? now - t : now + 86400 - t; };
    if (fresh_) {
      fresh_ = false;
      last_ = now;
      if (first_ < 0) first_ = now;
    }
    if (burst_->outcome() == false) {  // its client ended early
      ok = failed(*burst_);
      burst_.reset();
      first_ = last_ = -1;
    } else if (since(last_) >= pause || since(first_) >= longest) {
      ok = flush();
    }
  }
  return collect() && ok;
}

bool Printer::flush() {
  first_ = last_ = -1;
  fresh_ = false;
  if (!burst_) return true;
  auto job = std::exchange(burst_, nullptr);
  if (!job->end()) return failed(*job);
  handed_.push_back(std::move(job));
  return true;
}

bool Printer::collect() {
  carryon();
  bool ok = true;
  std::erase_if(handed_, [&](const std::unique_ptr<PrintJob>& job) {
    const std::optional<bool> taken = job->outcome();
    if (taken == false) ok = failed(*job);
    return taken.has_value();
  });
  return ok;
}

// One job's spooler client: the text it has still to take, what it says, its end.
struct Spool {
  using steady = std::chrono::steady_clock;
  std::string command;  // as the messages name it
  pid_t pid = 0;        // it leads a process group of its own; 0 before the first line, -1 once collected
  Fd in, err;
  std::string pending;  // text the client has not taken yet
  std::string said;     // its error output, the first 4 kB
  bool ended = false, killed = false;
  steady::time_point endedat;
  std::optional<bool> result;
  std::string why;

  void fail(const std::string& reason) {
    if (result) return;
    result = false;
    why = reason;
  }
  void finish() {
    if (!ended) endedat = steady::now();
    ended = true;
  }
  // Hands over what the client takes, reads what it says, collects its end, and ends it once it
  // is past the limit: all without waiting.
  void pump(double limit) {
    if (pid <= 0) return;
    while (in.fd >= 0 && !pending.empty()) {
      const ssize_t n = ::send(in.fd, pending.data(), pending.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n > 0) {
        pending.erase(0, static_cast<std::size_t>(n));
      } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        break;  // it takes the rest later
      } else if (n == 0 || errno != EINTR) {
        in.reset();  // it closed its input or ended: what is left cannot reach it
        // One that refuses the job says why before it goes, so its message is there by now.
        hear();
        fail(said.empty() ? command + " did not take the text" : told(said));
      }
    }
    if (ended && pending.empty()) in.reset();  // the end of the text: the client prints the job
    hear();
    int st = 0;
    pid_t r;
    while ((r = ::waitpid(pid, &st, WNOHANG)) < 0 && errno == EINTR) {
    }
    const int waiterror = errno;
    if (r != 0) {
      pid = -1;
      // What it said before it ended; whatever it started and still holds its error output is
      // not waited for.
      hear();
      err.reset();
      in.reset();
      std::string how;
      if (r < 0) how = std::string(": ") + std::strerror(waiterror);
      else if (WIFSIGNALED(st))
        how = " was ended by signal " + std::to_string(WTERMSIG(st)) + " (" + ::strsignal(WTERMSIG(st)) + ")";
      else if (WEXITSTATUS(st) != 0) how = " failed (exit status " + std::to_string(WEXITSTATUS(st)) + ")";
      if (!how.empty()) fail(said.empty() ? command + how : told(said));
      else if (!ended || !pending.empty()) fail(command + " ended before it took the whole job");
      else result = result.value_or(true);
      return;
    }
    if (ended && !killed && steady::now() - endedat >= std::chrono::duration<double>(limit)) {
      // The client and what it started in its group, which may hold its output open or ignore
      // a gentler signal; collected at a later pass.
      ::kill(-pid, SIGKILL);
      killed = true;
      fail(command + " did not finish the job within" + text::strd(limit) + " s and was ended");
    }
  }
  // Reads what the client has written to its error output so far.
  void hear() {
    char buf[512];
    while (err.fd >= 0) {
      const ssize_t n = ::read(err.fd, buf, sizeof buf);
      if (n > 0) {
        if (said.size() < 4096) said.append(buf, static_cast<std::size_t>(n));
      } else if (n == 0) {
        err.reset();
      } else if (errno != EINTR) {
        break;  // nothing more for now
      }
    }
  }
  // The client's message as one line of the program's text.
  static std::string told(const std::string& said) {
    std::string s;
    if (!text::utf8tolatin1(said, s)) s = said;
    for (char& c : s)
      if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    return text::trim(s);
  }
};

// A job's handle: its client is carried on by the printer once the handle is dropped.
class LpJob final : public PrintJob {
 public:
  explicit LpJob(LpPrinter& printer) : printer_(printer), spool_(std::make_unique<Spool>()) {
    spool_->command = printer.command_;
  }
  ~LpJob() override {
    spool_->finish();
    spool_->pump(printer_.limit_);
    if (spool_->pid > 0) printer_.left_.push_back(std::move(spool_));
  }
  bool printline(const std::string& line) override {
    Spool& s = *spool_;
    if (s.result == false || (s.pid == 0 && !startclient())) return false;
    // The spooler expects UTF-8 text.
    const std::string data = text::latin1toutf8(printable(line)) + "\n";
    if (s.pending.size() + data.size() > LpPrinter::held) {
      s.fail(s.command + " is not taking the text: " + std::to_string(s.pending.size() / 1024) +
             " kB wait for it, and this line and those after it are not printed");
      return false;
    }
    s.pending += data;
    s.pump(printer_.limit_);
    return s.result != false;
  }
  bool end() override {
    if (spool_->pid == 0 && !spool_->result) spool_->result = true;  // no line: nothing to print
    spool_->finish();
    spool_->pump(printer_.limit_);
    return spool_->result != false;
  }
  std::optional<bool> outcome() override {
    spool_->pump(printer_.limit_);
    if (!spool_->ended && spool_->result != false) return std::nullopt;
    return spool_->result;
  }
  std::string why() const override { return spool_->why; }

 private:
  bool startclient() {
    Spool& s = *spool_;
    // A socket rather than a pipe for the text: MSG_NOSIGNAL lets a client that died early give
    // an error here instead of a SIGPIPE that would end this program.
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
      s.fail(std::string("cannot print: ") + std::strerror(errno));
      return false;
    }
    s.in.fd = sv[0];
    Fd clientin;
    clientin.fd = sv[1];
    int pf[2];
    if (::pipe2(pf, O_CLOEXEC) != 0) {
      s.fail(std::string("cannot print: ") + std::strerror(errno));
      return false;
    }
    s.err.fd = pf[0];
    Fd clienterr;
    clienterr.fd = pf[1];
    ::fcntl(s.err.fd, F_SETFL, O_NONBLOCK);  // our end only: the client writes as it always does
    std::vector<std::string> argv{s.command};
    argv.insert(argv.end(), printer_.options_.begin(), printer_.options_.end());
    SpawnOptions opt;
    opt.stdin_fd = clientin.fd;
    opt.stdout_fd = -1;  // the spooler's "request id is ..." is of no use here
    opt.stderr_fd = clienterr.fd;
    opt.searchpath = true;
    opt.newgroup = true;
    const pid_t pid = spawnprogram(s.command, argv, opt);
    if (pid < 0) {
      s.fail("cannot start " + s.command + ": " + std::strerror(-pid));
      return false;
    }
    s.pid = pid;
    return true;
  }

  LpPrinter& printer_;
  std::unique_ptr<Spool> spool_;
};

LpPrinter::LpPrinter(std::string command, std::vector<std::string> options, double limit)
    : command_(std::move(command)), options_(std::move(options)), limit_(limit) {}

LpPrinter::~LpPrinter() {
  flush();
  drop();  // the jobs' clients come to left_
  for (auto& s : left_) s->in.reset();
}

void LpPrinter::carryon() {
  std::erase_if(left_, [this](const std::unique_ptr<Spool>& s) {
    s->pump(limit_);
    return s->pid <= 0;
  });
}

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
