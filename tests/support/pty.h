// A pseudo-terminal pair: the test writes at the master end what a receiver or modem sends, the
// program opens the slave end by its path as its serial port.
#pragma once

#include <pty.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace zarn::testing {

struct Pty {
  Pty() {
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) == 0) path = name;
  }
  ~Pty() {
    if (master >= 0) ::close(master);
    if (slave >= 0) ::close(slave);
  }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;
  // Writes the bytes at the master end and waits (at most 10 s: a pty hands data on
  // asynchronously) until `line` holds them all; what it holds, -1 when the write fell short.
  template <class Line>
  int feed(std::string_view bytes, Line& line) {
    if (::write(master, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return -1;
    int have = 0;
    for (int i = 0; i < 200000 && (have = line.inbuffercount()) < static_cast<int>(bytes.size()); ++i) ::usleep(50);
    return have;
  }
  int master = -1, slave = -1;
  std::string path;  // empty: none could be opened
};

}  // namespace zarn::testing
