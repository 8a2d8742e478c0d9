// Shared by the geodesy tests: a scratch folder, the coordinate state with a MAPS.CCC holding
// every 100-km square of the national grid, lettered by the grid's own rule, and ground
// distances between nearby points.
#pragma once

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "geodesy/geostate.h"
#include "geodesy/helpers.h"
#include "platform/files.h"
#include "support/tempdir.h"

namespace zarn::test {

// The letters of the square at east and north index (100 km units, false origin SV): 500-km
// squares from the 25-letter block (no I) starting 1000 km west and 500 km south of SV, then
// 100-km squares within each.
inline std::string ukletters(int e, int n) {
  const int l1 = (19 - n) - (19 - n) % 5 + (e + 10) / 5, l2 = (19 - n) * 5 % 25 + e % 5;
  return {static_cast<char>('A' + l1 + (l1 > 7)), static_cast<char>('A' + l2 + (l2 > 7))};
}

class GeoTest : public ::testing::Test {
 protected:
  void put(const std::string& name, const std::string& contents) const { tmp.put(name, contents); }
  zarn::testing::TempDir tmp;
  platform::Files files{tmp.path()};
  GeoState geo;
};

// Squares 0..700 km east and 0..1300 km north, loaded.
class GridTest : public GeoTest {
 protected:
  void SetUp() override {
    std::string s = "91\r\n";
    for (int n = 0; n < 13; ++n)
      for (int e = 0; e < 7; ++e)
        s += "\"" + ukletters(e, n) + "\"," + std::to_string(e) + "," + std::to_string(n) + "\r\n";
    put("MAPS.CCC", s);
    ASSERT_EQ(loadccc(geo, files), std::nullopt);
  }
};

inline double groundmetres(double lat1, double lon1, double lat2, double lon2) {
  const double k = 111195.0;
  return std::hypot((lat2 - lat1) * k, (lon2 - lon1) * k * std::cos(lat1 * M_PI / 180));
}

}  // namespace zarn::test
