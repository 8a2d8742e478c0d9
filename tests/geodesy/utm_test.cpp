// UTM and MGRS texts, and the projection and MGRS squares against GeographicLib's GeoConvert.
#include <sstream>

#include "geodesy/geotest.h"
#include "geodesy/utm.h"

namespace zarn {

static std::string utm(int mode, float lat, float lon) {
  std::string t = "unchanged";
  utmtext(GeoState{}, mode, lat, lon, t);
  return t;
}

TEST(Utm, TextsOfEachMode) {
  const struct { const char* guards; int mode; float lat, lon; const char* text; } cases[] = {
      {"UTM digits cut", 1, 51.5f, -0.1f, "30U 701277 5709417"},
      {"MGRS square from the rounded metres: E 399999.6 east of the line", 2, 52.0f, 1.54330361f, "31U DT 00000 62040"},
      {"no false northing on the equator", 1, 0.0f, 3.0f, "31N 500000 0000000"},
      {"180 E is the last zone", 1, 0.0f, 180.0f, "60N 833978 0000000"},
      {"180 W is the first", 1, 0.0f, -180.0f, "01N 166021 0000000"},
      {"-80 is band C", 1, -80.0f, 3.0f, "31C 500000 1118414"},
      {"79.99 is band X", 1, 79.99f, 3.0f, "31X 500000 8880469"},
      {"80 and above are beyond the bands", 1, 80.0f, 3.0f, "31  500000 8881585"},
      {"no system: the text is left alone", 0, 51.5f, -0.1f, "unchanged"},
  };
  for (const auto& c : cases) EXPECT_EQ(utm(c.mode, c.lat, c.lon), c.text) << c.guards;
  float lat = 0, lon = 0;  // nonsense ends without a crash
  for (const char* t : {"", "ZZ", "99Z 999999 9999999", "30U -1 -1"}) utmtoll(GeoState{}, t, lat, lon);
}

// MGRS to a tenth of a millimetre: zone, band, square letters and the metres within the square,
// over the world; Norway and Svalbard are left out, where the zones differ.
TEST(Utm, MatchesGeoConvert) {
  if (!testing::havetool("GeoConvert")) GTEST_SKIP() << "GeoConvert (geographiclib-tools) is not installed";
  std::vector<std::vector<double>> pts;
  std::ostringstream in;
  in.precision(17);
  for (const auto& p : test::worldmesh())
    if (!(p[0] >= 56 && p[0] < 64 && p[1] >= 3 && p[1] < 12) && !(p[0] >= 72 && p[1] >= 0 && p[1] < 42)) {
      pts.push_back(p);
      in << p[0] << ' ' << p[1] << '\n';
    }
  const auto out = testing::runtool({"GeoConvert", "-m", "-p", "4"}, in.str());
  ASSERT_TRUE(out);
  std::stringstream ss(*out);
  std::size_t i = 0;
  for (std::string ref; std::getline(ss, ref) && i < pts.size(); ++i) {  // "30UYC012776651094171248"
    ASSERT_EQ(ref.size(), 23u) << ref;
    const float lat = static_cast<float>(pts[i][0]), lon = static_cast<float>(pts[i][1]);
    int zone = 0;
    double n = 0, e = 0;
    lltoutm(GeoState{}, wgs84a, wgs84f, lat * utmdegrad, lon * utmdegrad, zone, n, e);
    const double de = std::remainder(e - std::stod(ref.substr(5, 9)) / 1e4, 1e5);
    const double dn = std::remainder(n - std::stod(ref.substr(14, 9)) / 1e4, 1e5);
    EXPECT_LT(std::hypot(de, dn), 0.001) << ref;
    // The text rounds to whole metres, GeoConvert cuts: within a metre of a 100 km line the
    // text may rightly name the next square.
    const std::string t = utm(2, lat, lon);  // "30U YC 01278 09417"
    const int edig = std::stoi(ref.substr(5, 5)), ndig = std::stoi(ref.substr(14, 5));
    if (edig >= 99999 || ndig >= 99999) continue;
    EXPECT_EQ(t.substr(0, 3) + t.substr(4, 2), ref.substr(0, 5)) << ref;
    EXPECT_LE(std::abs(std::stoi(t.substr(7, 5)) - edig), 1) << t << " " << ref;
    EXPECT_LE(std::abs(std::stoi(t.substr(13, 5)) - ndig), 1) << t << " " << ref;
  }
  EXPECT_EQ(i, pts.size());
}

}  // namespace zarn
