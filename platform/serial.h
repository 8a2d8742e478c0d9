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
#include <filesystem>
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

}  // namespace zarn::platform
