// The GPS input tests' application: the 100 km squares the test positions lie in (Cheshire SJ,
// London TQ, Aberdeen NJ, SU) and waits that leave the clock alone.
#pragma once

#include <cstdio>
#include <string>

#include "support/app_fixture.h"

namespace zarn::test {

class GpsTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    setup();
  }
  void setup() {
    waitstep = 0;
    squares({{"SJ", 300, 300}, {"TQ", 500, 100}, {"NJ", 300, 800}, {"SU", 400, 100}});
  }
  // A new application in an emptied directory, for the next case of a table.
  void fresh() {
    app.reset();
    std::filesystem::remove_all(dir);
    make();
    setup();
  }
};

// A sentence with its checksum (two upper-case digits) and CR LF.
inline std::string nmea(const std::string& body) {
  unsigned x = 0;
  for (std::size_t i = 1; i < body.size(); ++i) x ^= static_cast<unsigned char>(body[i]);
  char hex[4];
  std::snprintf(hex, sizeof hex, "%02X", x);
  return body + "*" + hex + "\r\n";
}

}  // namespace zarn::test
