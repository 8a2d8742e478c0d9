// A pseudo-terminal pair: the test writes at the master end what a receiver or modem sends, the
// program opens the slave end by its path as its serial port.
#pragma once

#include <pty.h>
#include <unistd.h>

#include <string>

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
  int master = -1, slave = -1;
  std::string path;  // empty: none could be opened
};

}  // namespace zarn::testing
