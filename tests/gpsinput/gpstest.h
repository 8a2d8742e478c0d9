// The GPS input tests' application: the 100 km squares the test positions lie in (Cheshire SJ,
// London TQ, Aberdeen NJ, SU) and waits that leave the clock alone; and sentences to give it.
#pragma once

#include <cstdio>
#include <string>

#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {

class GpsTest : public AppTest {
 protected:
  void ready() override {
    waitstep = 0;
    squares({{"SJ", 300, 300}, {"TQ", 500, 100}, {"NJ", 300, 800}, {"SU", 400, 100}});
  }
  // A new application in an emptied directory, for the next case of a table.
  void fresh() {
    app.reset();
    std::filesystem::remove_all(dir);
    make();
  }
};

// A sentence with its checksum (two upper-case digits); nmea() adds CR LF, line() the CR that
// the serial poll leaves on a sentence it hands to the parser.
inline std::string summed(const std::string& body) {
  unsigned x = 0;
  for (std::size_t i = 1; i < body.size(); ++i) x ^= static_cast<unsigned char>(body[i]);
  char hex[4];
  std::snprintf(hex, sizeof hex, "%02X", x);
  return body + "*" + hex;
}
inline std::string nmea(const std::string& body) { return summed(body) + "\r\n"; }
inline std::string line(const std::string& body) { return summed(body) + "\r"; }

// A fix at 53 21.443 N 2 18.822 W, 10 knots at 84.5 degrees; the RMC's checksum (04) is below 0x10.
inline const std::string rmcbody = "$GPRMC,120000.00,A,5321.44300,N,00218.82200,W,10.0,84.5,261020,,,";
inline const std::string ggabody = "$GPGGA,120001.00,5321.44300,N,00218.82200,W,1,08,1.0,50.7,M,48.0,M,,";

}  // namespace zarn::test
