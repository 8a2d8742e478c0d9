// The Irish grid against the transverse Mercator of its constants (cs2cs), its inverse and its
// grid-reference texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "geodesy/irishgrid.h"
#include "support/runtool.h"

namespace zarn {
namespace {

TEST(IrishGrid, TrueOriginIsFalseOrigin) {
  float e = 0, n = 0;
  lltoirish(53.5, -8.0, e, n);
  EXPECT_FLOAT_EQ(e, 200.0f);
  EXPECT_FLOAT_EQ(n, 250.0f);
}

TEST(IrishGrid, DublinForwardTextAndBack) {
  float e = 0, n = 0;
  lltoirish(53.35f, -6.26f, e, n);
  EXPECT_NEAR(e, 315.8555, 0.0005);
  EXPECT_NEAR(n, 234.7189, 0.0005);
  std::string t;
  irishtext(e, n, t);
  EXPECT_EQ(t, "O 15855 34718");
  float lat = 0, lon = 0;
  EXPECT_TRUE(irishtoll(e, n, lat, lon));
  EXPECT_NEAR(lat, 53.35, 1e-5);
  EXPECT_NEAR(lon, -6.26, 2e-5);
}

TEST(IrishGrid, TextDigitsAreCutNotRounded) {
  struct Case { const char* guards; double e, n; const char* text; };
  const Case cases[] = {
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
}

TEST(IrishGrid, TextOutsideTheGridHasNoSquareLetter) {
  std::string t;
  irishtext(-5.0, 600.0, t);
  EXPECT_EQ(t.size(), 13u);
  EXPECT_EQ(t[0], ' ');
  float e = 7, n = 7;
  parseirish(t, e, n);  // reads back as an unknown square, not a wrong place
  EXPECT_EQ(e, -1);
  EXPECT_EQ(n, -1);
}

TEST(IrishGrid, ParseReferences) {
  struct Case { const char* guards; const char* text; float e, n; };
  const Case cases[] = {
      {"lower-case letter accepted", "g 23456 45678", 123.456f, 345.678f},
      {"separators not examined", "G_23456/45678", 123.456f, 345.678f},
      {"short form origin", "V000000", 0.0f, 0.0f},
      {"short form in 100 m", "V123456", 12.3f, 45.6f},
      {"letter I is not a square", "I 12345 12345", -1.0f, -1.0f},
      {"digit as letter", "1123456", -1.0f, -1.0f},
      {"non-numeric digits count 0", "O ABCDE 34718", 300.0f, 234.718f},
  };
  for (const auto& c : cases) {
    float e = 99, n = 99;
    parseirish(c.text, e, n);
    EXPECT_NEAR(e, c.e, 1e-4) << c.guards;
    EXPECT_NEAR(n, c.n, 1e-4) << c.guards;
  }
  for (const char* other : {"", "O", "O 1585 3471", "O 158555 347189"}) {
    float e = 99, n = 98;
    parseirish(other, e, n);
    EXPECT_EQ(e, 99) << "length " << std::string(other).size() << " leaves outputs alone";
    EXPECT_EQ(n, 98);
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
  std::string in;
  for (const auto& p : pts) {
    char line[64];
    std::snprintf(line, sizeof line, "%.10f %.10f\n", p.lon, p.lat);
    in += line;
  }
  const auto out = testing::runtool(
      {"cs2cs", "-f", "%.4f", "+proj=latlong", "+a=6377563.396", "+b=6356256.91", "+to",
       "+proj=tmerc", "+lat_0=53.5", "+lon_0=-8", "+k=1", "+x_0=200000", "+y_0=250000",
       "+a=6377563.396", "+b=6356256.91"},
      in);
  ASSERT_TRUE(out);
  const auto rows = testing::numberlines(*out);
  ASSERT_EQ(rows.size(), pts.size());
  double worst = 0;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    float e = 0, n = 0;
    lltoirish(pts[i].lat, pts[i].lon, e, n);
    // The caller gets single-precision km, which hold about 3 cm at 500 km: allow 1 cm
    // beyond that rounding.
    const double ue = (std::nextafter(e, 1e9f) - e) * 1000 / 2;
    const double un = (std::nextafter(n, 1e9f) - n) * 1000 / 2;
    const double de = std::fabs(e * 1000.0 - rows[i][0]), dn = std::fabs(n * 1000.0 - rows[i][1]);
    EXPECT_LE(de, 0.01 + ue) << pts[i].lat << " " << pts[i].lon;
    EXPECT_LE(dn, 0.01 + un) << pts[i].lat << " " << pts[i].lon;
    worst = std::max({worst, de - ue, dn - un});
  }
  RecordProperty("max_m_beyond_rounding", std::to_string(worst));
}

TEST(IrishGrid, InverseWithinTwoMetres) {
  double worst = 0;
  for (const auto& p : irelandmesh()) {
    float e = 0, n = 0;
    lltoirish(p.lat, p.lon, e, n);
    float lat = 0, lon = 0;
    EXPECT_TRUE(irishtoll(e, n, lat, lon));
    worst = std::max(worst, std::hypot((lat - p.lat) * 111195.0,
                                       (lon - p.lon) * 111195.0 * std::cos(p.lat * M_PI / 180)));
  }
  RecordProperty("max_m", std::to_string(worst));
  EXPECT_LT(worst, 2.0);
}

}  // namespace
}  // namespace zarn
