// UTM and MGRS texts, written and read, against GeographicLib's GeoConvert.
#include <iomanip>
#include <random>
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
      {"MGRS digits cut, as is the square: E 399999.6", 2, 52.0f, 1.54330361f, "31U CT 99999 62040"},
      {"no false northing on the equator", 1, 0.0f, 3.0f, "31N 500000 0000000"},
      {"6 W begins zone 30", 1, 0.0f, -6.0f, "30N 166021 0000000"},
      {"180 E is zone 1, as 180 W", 2, 0.0f, 180.0f, "01N AA 66021 00000"},
      {"-80 is band C", 1, -80.0f, 3.0f, "31C 500000 1118414"},
      {"band X runs to 84 N", 1, 83.99f, 3.0f, "31X 500000 9326977"},
      {"no system: the text is left alone", 0, 51.5f, -0.1f, "unchanged"},
  };
  for (const auto& c : cases) EXPECT_EQ(utm(c.mode, c.lat, c.lon), c.text) << c.guards;
  // Every multiple of 6 degrees begins the zone east of it (180 that of 180 W), in degrees and
  // in the projection's radians; two metres west of it lies the zone before.
  for (int k = -30; k <= 30; ++k)
    for (float lon : {6.0f * k, 6.0f * k - 2e-5f}) {
      int zone = 0, want = (k + 90 - (lon < 6.0f * k)) % 60 + 1;
      double n = 0, e = 0;
      lltoutm(GeoState{}, wgs84a, wgs84f, 0, degtorad(lon), zone, n, e);
      EXPECT_TRUE(utmzone(lon) == want && zone == want) << lon;
    }
}

// A text is read at the metre its digits name, the short form's digits in hundreds of metres,
// so that it is written again as it was: every form of one position reads to the same place.
TEST(Utm, TextsReadAtTheirDigitsAndWriteBackTheSame) {
  const auto readback = [](const std::string& t) {
    float lat = 0, lon = 0;
    return utmtoll(GeoState{}, t, lat, lon) ? utm(1, lat, lon) : "unread " + t;
  };
  for (const char* t : {"30U699357091", "30U6993005709100", "30U 699300 5709100", "30U XC 99300 09100"})
    EXPECT_EQ(readback(t), "30U 699300 5709100") << t;
  EXPECT_EQ(readback("56H334562515"), "56H 334500 6251500") << "south of the equator";
  // Over Europe, where single-precision degrees hold a metre, any short text: the metres written
  // of a point with their last two digits dropped read back to those hundreds.
  std::mt19937 rng(12);
  std::uniform_real_distribution<float> rlat(36, 63), rlon(-30, 30);
  for (int i = 0; i < 2000; ++i) {
    const std::string t = utm(1, rlat(rng), rlon(rng));  // "30U 701277 5709417"
    const std::string e = t.substr(4, 4), n = t.substr(11, 5);
    ASSERT_EQ(readback(t.substr(0, 3) + e + n), t.substr(0, 4) + e + "00 " + n + "00") << t;
  }
}

// Zones, bands, square letters and cut digits as GeoConvert writes them (UTM's digits are
// MGRS's, a property of the round trip test), and MGRS read back as
// GeoConvert reads it (the middle of the metre), on every multiple of 6 degrees of every band
// edge and just west of it, and at random points; Norway and Svalbard are left out, where the
// standard widens zones the program keeps to 6 degrees.
TEST(Utm, WriterAndReaderMatchGeoConvert) {
  if (!testing::havetool("GeoConvert")) GTEST_SKIP() << "GeoConvert (geographiclib-tools) is not installed";
  std::vector<std::pair<float, float>> pts;
  for (float lat = -80; lat < 84; lat += 4)
    for (float lon = -180; lon <= 180; lon += 6)
      for (float dl : {0.0f, 2e-5f}) pts.emplace_back(lat + dl, lon - dl);
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> rlat(-80, 84), rlon(-180, 180);
  while (pts.size() < 3000) pts.emplace_back(rlat(rng), rlon(rng));
  std::erase_if(pts, [](auto p) {
    return (p.first >= 56 && p.first < 64 && p.second >= 3 && p.second < 12) || (p.first >= 72 && p.second >= 0 && p.second < 42);
  });
  std::ostringstream in, mgrsin;
  in << std::fixed << std::setprecision(12);  // no exponent: GeoConvert reads "e" as east
  for (auto [la, lo] : pts) {
    const std::string mg = utm(2, la, lo);  // "30U YC 01277 09417"
    in << la << ' ' << lo << '\n';
    mgrsin << mg.substr(0, 3) << mg.substr(4, 2) << mg.substr(7, 5) << mg.substr(13) << '\n';
  }
  const auto gm = testing::runtool({"GeoConvert", "-m", "-p", "4"}, in.str());  // "30UYC012776651094171248"
  const auto gll = testing::numberlines(*testing::runtool({"GeoConvert", "-p", "9"}, mgrsin.str()));
  ASSERT_TRUE(gm && gll.size() == pts.size());
  std::stringstream ss(*gm);
  std::size_t i = 0;
  for (std::string g; std::getline(ss, g); ++i) {
    ASSERT_EQ(g.size(), 23u);
    const auto [la, lo] = pts[i];
    // Within a millimetre of a whole metre the series and GeoConvert may cut either way.
    const auto online = [&](int at) { return g.compare(at, 4, "0000") == 0 || g.compare(at, 4, "9999") == 0; };
    if (!online(10) && !online(19)) {
      EXPECT_EQ(utm(2, la, lo), g.substr(0, 3) + " " + g.substr(3, 2) + " " + g.substr(5, 5) + " " + g.substr(14, 5));
    }
    // The same single-precision degrees, give or take the last bit at a rounding boundary.
    float lat = 0, lon = 0;
    ASSERT_TRUE(utmtoll(GeoState{}, utm(2, la, lo), lat, lon)) << utm(2, la, lo);
    const auto near = [](float a, double b) {
      const float f = static_cast<float>(b);
      return std::fabs(a - f) <= std::max(std::nextafter(std::fabs(f), 999.0f) - std::fabs(f), 1e-8f);
    };
    EXPECT_TRUE(near(lat, gll[i][0]) && near(lon, std::remainder(gll[i][1] - lon, 360) + lon)) << utm(2, la, lo);
  }
  EXPECT_EQ(i, pts.size());
}

}  // namespace zarn
