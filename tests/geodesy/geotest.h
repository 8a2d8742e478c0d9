// Shared by the geodesy tests, with their common includes: a scratch folder, the coordinate state
// with every 100-km square of the national grid loaded, a world mesh and ground distances.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "geodesy/geostate.h"
#include "geodesy/helpers.h"
#include "platform/files.h"
#include "support/runtool.h"
#include "support/tempdir.h"

namespace zarn::test {

// The letters of the square at east and north index (100 km, false origin SV) by the grid's rule:
// 500-km squares of the 25 letters (no I) from 1000 km west, 500 km south of SV, then 100-km ones.
inline std::string ukletters(int e, int n) {
  const int l1 = (19 - n) - (19 - n) % 5 + (e + 10) / 5, l2 = (19 - n) * 5 % 25 + e % 5;
  return {static_cast<char>('A' + l1 + (l1 > 7)), static_cast<char>('A' + l2 + (l2 > 7))};
}

class GeoTest : public ::testing::Test {
 protected:
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
    tmp.put("MAPS.CCC", s);
    ASSERT_EQ(loadccc(geo, files), std::nullopt);
  }
};

// {latitude, longitude}, each a float, over the world within UTM's bands; none on a zone edge.
inline std::vector<std::vector<double>> worldmesh() {
  std::vector<std::vector<double>> pts;
  for (int i = 0; i < 38; ++i)
    for (int j = 0; j < 97; ++j)
      pts.push_back({-79.7f + 4.19f * static_cast<float>(i), -179.3f + 3.71f * static_cast<float>(j)});
  return pts;
}

inline double groundmetres(double lat1, double lon1, double lat2, double lon2) {
  return 111195.0 * std::hypot(lat2 - lat1, (lon2 - lon1) * std::cos(degtorad(lat1)));
}

}  // namespace zarn::test
