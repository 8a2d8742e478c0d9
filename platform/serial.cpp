#include "platform/serial.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <utility>

#include "platform/textrules.h"

namespace zarn::platform {

namespace {

struct Speed {
  int baud;
  speed_t code;
};
constexpr Speed speeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

std::optional<speed_t> speedcode(int baud) {
  for (const auto& s : speeds)
    if (s.baud == baud) return s.code;
  return std::nullopt;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

// A whole non-negative decimal number, or nullopt.
std::optional<long> wholenumber(std::string_view s) {
  if (s.empty() || s.size() > 9) return std::nullopt;
  long v = 0;
  for (char c : s) {
    if (!text::isdigit(c)) return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

// "ttyUSB12" with prefix "ttyUSB" gives 12.
std::optional<long> devicenumber(const std::string& name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
  return wholenumber(std::string_view(name).substr(prefix.size()));
}

// The kernel lists ttyS0..ttyS31 whether or not a UART is fitted; "type" 0 means none.
bool uartfitted(const std::filesystem::path& sysdir, const std::string& name) {
  std::ifstream in(sysdir / name / "type");
  if (!in) return true;  // no sysfs to ask: let open() decide
  int type = 0;
  return (in >> type) && type != 0;
}

}  // namespace

std::optional<SerialSettings> parsesettings(std::string_view text, std::string* error) {
  auto bad = [&](const std::string& why) -> std::optional<SerialSettings> {
    if (error) *error = "serial settings \"" + std::string(text) + "\": " + why;
    return std::nullopt;
  };
  std::vector<std::string_view> f;
  std::string_view rest = text;
  for (;;) {
    const auto comma = rest.find(',');
    f.push_back(trimmed(rest.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  if (f.size() != 4) return bad("expected speed,parity,data bits,stop bits");
  SerialSettings s;
  const auto baud = wholenumber(f[0]);
  if (!baud) return bad("speed is not a number");
  if (!speedcode(static_cast<int>(*baud))) return bad("speed " + std::string(f[0]) + " is not supported");
  s.baud = static_cast<int>(*baud);
  if (f[1].size() != 1) return bad("parity must be N, E, O, M or S");
  s.parity = static_cast<char>(std::toupper(static_cast<unsigned char>(f[1][0])));
  if (std::string_view("NEOMS").find(s.parity) == std::string_view::npos)
    return bad("parity must be N, E, O, M or S");
  const auto data = wholenumber(f[2]);
  if (!data || *data < 5 || *data > 8) return bad("data bits must be 5 to 8");
  s.databits = static_cast<int>(*data);
  const auto stop = wholenumber(f[3]);
  if (!stop || (*stop != 1 && *stop != 2)) return bad("stop bits must be 1 or 2");
  s.stopbits = static_cast<int>(*stop);
  return s;
}

std::vector<std::filesystem::path> serialdevices(const std::filesystem::path& devdir,
                                                 const std::filesystem::path& sysdir) {
  constexpr std::string_view groups[] = {"ttyS", "ttyUSB", "ttyACM"};
  std::vector<std::pair<long, std::string>> found[std::size(groups)];
  std::error_code ec;
  for (std::filesystem::directory_iterator it(devdir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    for (std::size_t g = 0; g < std::size(groups); ++g) {
      const auto n = devicenumber(name, groups[g]);
      if (!n) continue;
      if (g == 0 && !uartfitted(sysdir, name)) continue;
      found[g].emplace_back(*n, name);
    }
  }
  std::vector<std::filesystem::path> out;
  for (auto& group : found) {
    std::sort(group.begin(), group.end());
    for (const auto& [n, name] : group) out.push_back(devdir / name);
  }
  return out;
}

std::optional<std::filesystem::path> serialdevice(const std::string& port, std::string* error,
                                                  const std::filesystem::path& devdir,
                                                  const std::filesystem::path& sysdir) {
  const std::string_view p = trimmed(port);
  if (!p.empty() && p.front() == '/') return std::filesystem::path(std::string(p));
  std::optional<long> n;
  if (p.size() > 3 && (p[0] == 'C' || p[0] == 'c') && (p[1] == 'O' || p[1] == 'o') &&
      (p[2] == 'M' || p[2] == 'm'))
    n = wholenumber(p.substr(3));
  if (!n || *n < 1) {
    if (error) *error = "\"" + port + "\" is neither COMn nor a device path";
    return std::nullopt;
  }
  const std::string var = "ZARN_COM" + std::to_string(*n);
  if (const char* v = std::getenv(var.c_str()); v && *v) return std::filesystem::path(v);
  const auto devs = serialdevices(devdir, sysdir);
  if (static_cast<std::size_t>(*n) <= devs.size()) return devs[static_cast<std::size_t>(*n - 1)];
  if (error) {
    *error = "COM" + std::to_string(*n) + ": only " + std::to_string(devs.size()) + " serial device" +
             (devs.size() == 1 ? "" : "s") + " present";
    for (std::size_t i = 0; i < devs.size(); ++i) *error += (i ? ", " : " (") + devs[i].string();
    *error += devs.empty() ? "; set " + var + " to a device path" : ")";
  }
  return std::nullopt;
}

TermiosSerial::~TermiosSerial() { close(); }

bool TermiosSerial::fail(const char* what) {
  const int e = errno;  // before anything else can change it
  error_ = std::string(what) + " " + device_.string() + ": " + std::strerror(e);
  return false;
}

bool TermiosSerial::open(const std::string& port, const std::string& settings) {
  close();
  SerialSettings s = settings_;
  if (!trimmed(settings).empty()) {
    auto parsed = parsesettings(settings, &error_);
    if (!parsed) return false;
    s = *parsed;
  }
  port_ = port;
  return connect(s);
}

bool TermiosSerial::connect(const SerialSettings& s) {
  auto dev = serialdevice(port_, &error_);
  if (!dev) return false;
  device_ = *dev;
  const int fd = ::open(dev->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail("cannot open");
  if (!::isatty(fd)) {
    ::close(fd);
    error_ = dev->string() + " is not a serial device";
    return false;
  }
  // Two programs reading one port would each see half the sentences; as on Windows, one owner.
  ::ioctl(fd, TIOCEXCL);
  fd_ = fd;
  if (!apply(s)) {
    const std::string why = error_;
    drop();
    error_ = why;
    return false;
  }
  settings_ = s;
  ::tcflush(fd_, TCIFLUSH);  // what arrived before we opened is stale
  error_.clear();
  return true;
}

bool TermiosSerial::setsettings(const std::string& settings) {
  auto s = parsesettings(settings, &error_);
  if (!s) return false;
  if (isopen() && !apply(*s)) return false;
  settings_ = *s;
  return true;
}

void rawsettings(termios& t, const SerialSettings& s) {
  ::cfmakeraw(&t);
  t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | ISTRIP | PARMRK | IGNPAR);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= CLOCAL | CREAD;
  switch (s.databits) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    default: t.c_cflag |= CS8; break;
  }
  switch (s.parity) {
    case 'E': t.c_cflag |= PARENB; break;
    case 'O': t.c_cflag |= PARENB | PARODD; break;
    case 'M': t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 'S': t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
  }
  if (s.stopbits == 2) t.c_cflag |= CSTOPB;
  // Polled: a read returns at once with what is there.
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  const speed_t code = speedcode(s.baud).value_or(B9600);
  ::cfsetispeed(&t, code);
  ::cfsetospeed(&t, code);
}

bool TermiosSerial::apply(const SerialSettings& s) {
  termios t{};
  if (::tcgetattr(fd_, &t) != 0) return fail("cannot read the settings of");
  rawsettings(t, s);
  if (::tcsetattr(fd_, TCSANOW, &t) != 0) return fail("cannot apply the settings to");
  return true;
}

void TermiosSerial::close() {
  lost_ = false;
  drop();
}

void TermiosSerial::drop() {
  if (fd_ < 0) return;
  ::ioctl(fd_, TIOCNXCL);  // the exclusive claim outlives us while another holds the device open
  ::close(fd_);
  fd_ = -1;
}

// Long enough not to busy a device that is still coming up, short enough that a receiver
// plugged in again is read before its first fixes are missed.
constexpr auto retryevery = std::chrono::seconds(2);

void TermiosSerial::lose() {
  drop();
  lost_ = true;
  retry_ = std::chrono::steady_clock::now() + retryevery;
  error_ += "; opening it again every 2 s";
}

bool TermiosSerial::ready() {
  if (fd_ < 0 && lost_ && std::chrono::steady_clock::now() >= retry_) {
    retry_ = std::chrono::steady_clock::now() + retryevery;
    if (connect(settings_)) lost_ = false;
  }
  return fd_ >= 0;
}

int TermiosSerial::inbuffercount() {
  if (!ready()) return 0;
  int n = 0;
  if (::ioctl(fd_, FIONREAD, &n) != 0) {  // EIO once the device has hung up or been unplugged
    fail("cannot count the input on");
    lose();
    return 0;
  }
  // Some drivers go on counting nothing after a hang-up: ask the device itself.
  pollfd p{fd_, POLLIN, 0};
  if (n == 0 && ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
    error_ = device_.string() + " hung up";
    lose();
  }
  return n;
}

std::string TermiosSerial::input() {
  std::string got;
  if (!ready()) return got;
  // A bound, so that a line faster than we can read cannot hold the caller here.
  constexpr std::size_t most = 1 << 20;
  char buf[4096];
  while (got.size() < most) {
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n > 0) {
      got.append(buf, static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      fail("cannot read");
      lose();
    }
    break;
  }
  return got;
}

bool TermiosSerial::output(std::string_view bytes) {
  if (!ready()) {
    if (!lost_) error_ = "serial port not open";
    return false;
  }
  // The kernel's buffer normally takes everything at once; when it is full, wait for the line
  // to drain, but not much longer than sending the text takes at the set speed.
  using clock = std::chrono::steady_clock;
  const auto baud = static_cast<std::size_t>(std::max(settings_.baud, 1));
  const auto sendtime = std::chrono::milliseconds(1000 + bytes.size() * 10 * 1000 / baud);
  const auto deadline = clock::now() + sendtime;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      fail("cannot write to");
      lose();
      return false;
    }
    if (clock::now() >= deadline) {
      error_ = "output to " + device_.string() + " timed out after " + std::to_string(done) + " of " +
               std::to_string(bytes.size()) + " bytes";
      return false;
    }
    pollfd p{fd_, POLLOUT, 0};
    ::poll(&p, 1, 100);
  }
  return true;
}

void TermiosSerial::setdtr(bool on) {
  if (!ready()) {
    if (!lost_) error_ = "serial port not open";
    return;
  }
  int bits = TIOCM_DTR;
  if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) != 0)
    fail(on ? "cannot raise DTR on" : "cannot drop DTR on");
}

DtrNotifyingSerial::DtrNotifyingSerial(std::unique_ptr<SerialLine> inner, std::filesystem::path channel)
    : inner_(std::move(inner)), channel_(std::move(channel)) {
  if (!channel_.empty()) socket_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

DtrNotifyingSerial::~DtrNotifyingSerial() {
  if (socket_ >= 0) ::close(socket_);
}

void DtrNotifyingSerial::setdtr(bool on) {
  inner_->setdtr(on);
  bool told = false;
  sockaddr_un to{};
  to.sun_family = AF_UNIX;
  const std::string path = channel_.string();
  if (socket_ >= 0 && path.size() < sizeof to.sun_path) {
    std::copy(path.begin(), path.end(), to.sun_path);
    const std::string_view msg = on ? "DTR 1" : "DTR 0";
    told = ::sendto(socket_, msg.data(), msg.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to),
                    sizeof to) == static_cast<ssize_t>(msg.size());
  }
  if (changes_.size() >= kept) changes_.pop_front();
  changes_.push_back({on, std::chrono::steady_clock::now(), told});
}

std::unique_ptr<SerialLine> withdtrchannel(std::unique_ptr<SerialLine> line) {
  const char* channel = std::getenv("ZARN_DTR_CHANNEL");
  if (!channel || !*channel) return line;
  return std::make_unique<DtrNotifyingSerial>(std::move(line), channel);
}

}  // namespace zarn::platform
