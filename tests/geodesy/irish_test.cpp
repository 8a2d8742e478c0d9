// The Irish grid against the transverse Mercator of its constants (cs2cs), its inverse and its
// grid-reference texts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "geodesy/geotest.h"
#include "geodesy/irishgrid.h"
#include "support/runtool.h"

namespace zarn {
namespace {

TEST(IrishGrid, TextDigitsAreCutNotRounded) {
  const struct { const char* guards; double e, n; const char* text; } cases[] = {
      {"digits cut to whole metres", 123.4567, 345.6789, "G 23456 45678"},
      {"square boundary starts the next column", 100.0, 250.0, "M 00000 50000"},
      {"south-west square", 0.5, 0.25, "V 00500 00250"},
      {"north-east square", 499.9999, 499.9999, "E 99999 99999"},
  };
  for (const auto& c : cases) {
    std::string t;
    irishtext(c.e, c.n, t);
    EXPECT_EQ(t, c.text) << c.guards;
  }
  std::string t;
  irishtext(-5.0, 600.0, t);
  EXPECT_EQ(t.size(), 13u) << "outside the grid: no square letter, never a sixth digit or a sign";
  EXPECT_EQ(t[0], ' ');
  float e = 7, n = 7;
  parseirish(t, e, n);  // reads back as an unknown square, not a wrong place
  EXPECT_EQ(e, -1);
  EXPECT_EQ(n, -1);
}

TEST(IrishGrid, ParseReferences) {
  const struct { const char* guards; const char* text; float e, n; } cases[] = {
      {"lower-case letter accepted", "g 23456 45678", 123.456f, 345.678f},
      {"separators not examined", "G_23456/45678", 123.456f, 345.678f},
      {"short form in 100 m", "V123456", 12.3f, 45.6f},
      {"letter I is not a square", "I 12345 12345", -1.0f, -1.0f},
      {"digit as letter", "1123456", -1.0f, -1.0f},
      {"non-numeric digits count 0", "O ABCDE 34718", 300.0f, 234.718f},
      {"other lengths leave the outputs alone", "O 1585 3471", 99, 99},
      {"empty text leaves the outputs alone", "", 99, 99},
  };
  for (const auto& c : cases) {
    float e = 99, n = 99;
    parseirish(c.text, e, n);
    EXPECT_NEAR(e, c.e, 1e-4) << c.guards;
    EXPECT_NEAR(n, c.n, 1e-4) << c.guards;
  }
}

struct LatLon { double lat, lon; };

std::vector<LatLon> irelandmesh() {
  std::vector<LatLon> pts;
  for (int i = 0; i <= 20; ++i)
    for (int j = 0; j <= 20; ++j) pts.push_back({51.4 + 0.2 * i, -10.5 + 0.25 * j});
  return pts;
}

TEST(IrishGrid, MatchesTransverseMercatorOfItsConstants) {
  if (!testing::havetool("cs2cs")) GTEST_SKIP() << "cs2cs (proj-bin) is not installed";
  const auto pts = irelandmesh();
  std::vector<std::vector<double>> lonlat;
  for (const auto& p : pts) lonlat.push_back({p.lon, p.lat});
  const auto rows = testing::toolrows(
      {"cs2cs", "-f", "%.4f", "+proj=latlong", "+a=6377563.396", "+b=6356256.91", "+to", "+proj=tmerc",
       "+lat_0=53.5", "+lon_0=-8", "+k=1", "+x_0=200000", "+y_0=250000", "+a=6377563.396", "+b=6356256.91"},
      lonlat);
  ASSERT_EQ(rows.size(), pts.size());
  for (std::size_t i = 0; i < pts.size(); ++i) {
    float e = 0, n = 0;
    lltoirish(pts[i].lat, pts[i].lon, e, n);
    // The caller gets single-precision km, which hold about 3 cm at 500 km: allow 1 cm
    // beyond that rounding.
    const double ue = (std::nextafter(e, 1e9f) - e) * 1000 / 2, un = (std::nextafter(n, 1e9f) - n) * 1000 / 2;
    EXPECT_LE(std::fabs(e * 1000.0 - rows[i][0]), 0.01 + ue) << pts[i].lat << " " << pts[i].lon;
    EXPECT_LE(std::fabs(n * 1000.0 - rows[i][1]), 0.01 + un) << pts[i].lat << " " << pts[i].lon;
  }
}

TEST(IrishGrid, InverseWithinTwoMetres) {
  for (const auto& p : irelandmesh()) {
    float e = 0, n = 0, lat = 0, lon = 0;
    lltoirish(p.lat, p.lon, e, n);
    EXPECT_TRUE(irishtoll(e, n, lat, lon));
    EXPECT_LT(test::groundmetres(p.lat, p.lon, lat, lon), 2.0) << p.lat << " " << p.lon;
  }
}

}  // namespace
}  // namespace zarn
