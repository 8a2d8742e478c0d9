// The serial line on a Linux tty: raw, 8-bit clean, polled and never blocking.
//
// Port names: a path beginning with "/" is used as it stands. "COMn" (any letter case) is
// found in this order:
//   1. the environment variable ZARN_COMn, when set and not empty (e.g. ZARN_COM1=/dev/ttyUSB0);
//   2. otherwise the n-th of the serial devices present, counted in the order
//      /dev/ttyS* (only those with a UART behind them), then /dev/ttyUSB*, then /dev/ttyACM*,
//      each group by its number. A PC with one built-in port and a USB receiver thus has
//      COM1 = /dev/ttyS0 and COM2 = /dev/ttyUSB0, as Windows would number them; a laptop
//      with only the USB receiver has it as COM1.
//
// A device that hangs up or fails (a USB receiver unplugged, the far end of a pseudo-terminal
// closed) is closed and the same port name opened again every two seconds until it works.
#pragma once

#include <chrono>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"

struct termios;

namespace zarn::platform {

// A settings text such as "4800,N,8,1": speed, parity (N, E, O, M, S), data bits 5 to 8,
// stop bits 1 or 2.
struct SerialSettings {
  int baud = 9600;
  char parity = 'N';
  int databits = 8;
  int stopbits = 1;
};
// nullopt with the reason in *error when the text is not a usable setting.
std::optional<SerialSettings> parsesettings(std::string_view text, std::string* error = nullptr);

// Makes a device's terminal settings raw and 8-bit clean (no line editing, echo, CR/LF
// translation, parity stripping or flow control), with these speed and framing settings.
void rawsettings(termios& t, const SerialSettings& s);

// The serial devices present, in COM order (see above). devdir and sysdir are /dev and
// /sys/class/tty except in tests.
std::vector<std::filesystem::path> serialdevices(const std::filesystem::path& devdir = "/dev",
                                                 const std::filesystem::path& sysdir = "/sys/class/tty");
// The device for a port name; nullopt (reason in *error) when there is none.
std::optional<std::filesystem::path> serialdevice(const std::string& port, std::string* error = nullptr,
                                                  const std::filesystem::path& devdir = "/dev",
                                                  const std::filesystem::path& sysdir = "/sys/class/tty");

class TermiosSerial final : public SerialLine {
 public:
  TermiosSerial() = default;
  ~TermiosSerial() override;
  TermiosSerial(const TermiosSerial&) = delete;
  TermiosSerial& operator=(const TermiosSerial&) = delete;

  // An empty settings text keeps the last settings given (9600,N,8,1 at first).
  bool open(const std::string& port, const std::string& settings) override;
  // While closed the settings are kept for the next open.
  bool setsettings(const std::string& settings) override;
  // False while a lost device waits to be opened again.
  bool isopen() const override { return fd_ >= 0; }
  // Closes the port for good: a lost device is no longer waited for.
  void close() override;
  int inbuffercount() override;
  std::string input() override;
  bool output(std::string_view bytes) override;
  void setdtr(bool on) override;
  std::string lasterror() const override { return error_; }

  const std::filesystem::path& device() const { return device_; }

 private:
  bool connect(const SerialSettings& s);  // opens port_
  bool apply(const SerialSettings& s);
  bool fail(const char* what);  // lasterror: what, the device and errno's text; returns false
  void drop();                  // closes the device
  void lose();                  // the device has gone: closed, and opened again when due
  bool ready();                 // open, after opening a lost device again when that is due

  int fd_ = -1;
  std::string port_;
  std::filesystem::path device_;
  SerialSettings settings_;
  std::string error_;
  bool lost_ = false;
  std::chrono::steady_clock::time_point retry_;
};

// A serial line that hands everything to the one inside it and keeps a record of each DTR
// change with its time. A pseudo-terminal standing in for a modem's port (tools/modem_peer.py)
// has no DTR line: with a channel named, each change is also told to the far end as one
// datagram, "DTR 0" or "DTR 1", sent to the UNIX socket at that path. Nobody listening there is
// no fault: the change is recorded as not told. The program wraps its port in one when the
// environment variable ZARN_DTR_CHANNEL names a channel (withdtrchannel).
class DtrNotifyingSerial final : public SerialLine {
 public:
  struct Change {
    bool on;
    std::chrono::steady_clock::time_point at;
    bool told;  // the channel took the message
  };
  static constexpr std::size_t kept = 64;  // the latest changes are kept, the older forgotten

  explicit DtrNotifyingSerial(std::unique_ptr<SerialLine> inner, std::filesystem::path channel = {});
  ~DtrNotifyingSerial() override;
  DtrNotifyingSerial(const DtrNotifyingSerial&) = delete;
  DtrNotifyingSerial& operator=(const DtrNotifyingSerial&) = delete;

  bool open(const std::string& port, const std::string& settings) override { return inner_->open(port, settings); }
  bool setsettings(const std::string& settings) override { return inner_->setsettings(settings); }
  bool isopen() const override { return inner_->isopen(); }
  void close() override { inner_->close(); }
  int inbuffercount() override { return inner_->inbuffercount(); }
  std::string input() override { return inner_->input(); }
  bool output(std::string_view bytes) override { return inner_->output(bytes); }
  // The line inside first, then the record and the channel.
  void setdtr(bool on) override;
  std::string lasterror() const override { return inner_->lasterror(); }

  const std::deque<Change>& changes() const { return changes_; }
  SerialLine& inner() { return *inner_; }

 private:
  std::unique_ptr<SerialLine> inner_;
  std::filesystem::path channel_;
  int socket_ = -1;
  std::deque<Change> changes_;
};

// The line wrapped in a DtrNotifyingSerial telling the channel that ZARN_DTR_CHANNEL names; the
// line itself when that variable is unset or empty.
std::unique_ptr<SerialLine> withdtrchannel(std::unique_ptr<SerialLine> line);

}  // namespace zarn::platform
