#include "gpstest.h"

#include <cstdio>

namespace zarn::test {

std::string nmea(const std::string& body) {
  unsigned x = 0;
  for (std::size_t i = 1; i < body.size(); ++i) x ^= static_cast<unsigned char>(body[i]);
  char hex[4];
  std::snprintf(hex, sizeof hex, "%02X", x);
  return body + "*" + hex + "\r\n";
}

}  // namespace zarn::test
