// UTM and MGRS against GeographicLib's GeoConvert, and the UTM texts read back.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "geodesy/geostate.h"
#include "geodesy/geotest.h"
#include "geodesy/utm.h"
#include "support/runtool.h"

namespace zarn {
namespace {

using test::groundmetres;

struct Pt { float lat, lon; };

// A world mesh inside the band range the writer serves; no point sits on a zone edge.
std::vector<Pt> worldmesh() {
  std::vector<Pt> pts;
  for (int i = 0; i < 38; ++i)
    for (int j = 0; j < 97; ++j)
      pts.push_back({-79.7f + 4.19f * static_cast<float>(i), -179.3f + 3.71f * static_cast<float>(j)});
  return pts;
}

std::string lines(const std::vector<Pt>& pts) {
  std::string in;
  for (const auto& p : pts) {
    char line[64];
    std::snprintf(line, sizeof line, "%.17g %.17g\n", static_cast<double>(p.lat), static_cast<double>(p.lon));
    in += line;
  }
  return in;
}

std::string utm(const GeoState& geo, int mode, float lat, float lon) {
  std::string t = "unchanged";
  utmtext(geo, mode, lat, lon, t);
  return t;
}

TEST(Utm, TextsOfEachMode) {
  GeoState geo;
  const struct { const char* guards; int mode; float lat, lon; const char* text; } cases[] = {
      {"UTM digits cut", 1, 51.5f, -0.1f, "30U 701277 5709417"},
      {"MGRS digits rounded", 2, 51.5f, -0.1f, "30U YC 01278 09417"},
      {"zone with a leading zero", 1, 51.5f, -177.0f, "01U 499999 5705429"},
      {"no false northing on the equator", 1, 0.0f, 3.0f, "31N 500000 0000000"},
      {"no system: the text is left alone", 0, 51.5f, -0.1f, "unchanged"},
  };
  for (const auto& c : cases) EXPECT_EQ(utm(geo, c.mode, c.lat, c.lon), c.text) << c.guards;
}

TEST(Utm, ZoneAndBandLimits) {
  GeoState geo;
  int zone = 0;
  double n = 0, e = 0;
  lltoutm(geo, wgs84a, wgs84f, 0.5, 180 * utmdegrad, zone, n, e);
  EXPECT_EQ(zone, 60) << "180 E is the last zone";
  lltoutm(geo, wgs84a, wgs84f, 0.5, -180 * utmdegrad, zone, n, e);
  EXPECT_EQ(zone, 1) << "180 W is the first";
  const struct { const char* guards; float lat; char band; } cases[] = {
      {"equator is the first band north", 0.0f, 'N'},
      {"just south of the equator", -0.001f, 'M'},
      {"-8 is the first band south", -8.0f, 'M'},
      {"-16", -16.0f, 'L'},
      {"-80 is band C", -80.0f, 'C'},
      {"8 north", 8.0f, 'P'},
      {"79.99", 79.99f, 'X'},
      {"80 and above are beyond the bands", 80.0f, ' '},
  };
  for (const auto& c : cases) EXPECT_EQ(utm(geo, 1, c.lat, 3.0f)[2], c.band) << c.guards;
}

TEST(Utm, MgrsSquareComesFromTheRoundedMetres) {
  // An easting 0.4 m short of the 400 km line rounds onto it: the text must name the square
  // east of the line together with the digits 00000.
  GeoState geo;
  const float lat = 52.0f;
  int zone = 0;
  double n = 0, e = 0, lo = 1.0, hi = 2.0;  // zone 31 (centre 3 E): E = 400 km lies between
  for (int i = 0; i < 60; ++i) {
    const double mid = (lo + hi) / 2;
    lltoutm(geo, wgs84a, wgs84f, lat * utmdegrad, static_cast<float>(mid) * utmdegrad, zone, n, e);
    (e < 399999.6 ? lo : hi) = mid;
  }
  const float lon = static_cast<float>(lo);
  lltoutm(geo, wgs84a, wgs84f, lat * utmdegrad, lon * utmdegrad, zone, n, e);
  ASSERT_NEAR(e, 399999.6, 0.1);
  const std::string t = utm(geo, 2, lat, lon);
  // Zone 31 uses A to H; the 400-500 km column is D, the 300-400 km column C.
  EXPECT_EQ(t.substr(4, 1), "D") << t;
  EXPECT_EQ(t.substr(7, 5), "00000") << t;
}

TEST(Utm, MatchesGeoConvert) {
  if (!testing::havetool("GeoConvert")) GTEST_SKIP() << "GeoConvert (geographiclib-tools) is not installed";
  GeoState geo;
  // UTM: one run per zone, the zone forced so that Norway's and Svalbard's wider zones do not
  // interfere.
  std::map<int, std::vector<Pt>> byzone;
  std::map<int, std::vector<std::pair<double, double>>> ours;
  for (const auto& p : worldmesh()) {
    int zone = 0;
    double n = 0, e = 0;
    lltoutm(geo, wgs84a, wgs84f, p.lat * utmdegrad, p.lon * utmdegrad, zone, n, e);
    byzone[zone].push_back(p);
    ours[zone].emplace_back(e, n);
  }
  for (const auto& [zone, pts] : byzone) {
    const auto out = testing::runtool({"GeoConvert", "-u", "-p", "4", "-z", std::to_string(zone)}, lines(pts));
    ASSERT_TRUE(out);
    const auto rows = testing::numberlines(*out);  // zone (the hemisphere letter ends the number), E, N
    ASSERT_EQ(rows.size(), pts.size());
    for (std::size_t i = 0; i < pts.size(); ++i) {
      ASSERT_EQ(rows[i].size(), 3u);
      const auto [e, n] = ours[zone][i];
      EXPECT_LT(std::hypot(e - rows[i][1], n - rows[i][2]), 0.001) << pts[i].lat << " " << pts[i].lon;
    }
  }

  // MGRS, leaving out Norway and Svalbard, which have zones of their own there.
  std::vector<Pt> pts;
  for (const auto& p : worldmesh())
    if (!(p.lat >= 56 && p.lat < 64 && p.lon >= 3 && p.lon < 12) && !(p.lat >= 72 && p.lon >= 0 && p.lon < 42))
      pts.push_back(p);
  const auto out = testing::runtool({"GeoConvert", "-m", "-p", "0"}, lines(pts));
  ASSERT_TRUE(out);
  std::stringstream ss(*out);
  std::size_t i = 0;
  int compared = 0;
  for (std::string ref; std::getline(ss, ref) && i < pts.size(); ++i) {  // "30UYC0127709417"
    ASSERT_EQ(ref.size(), 15u) << ref;
    const std::string t = utm(geo, 2, pts[i].lat, pts[i].lon);  // "30U YC 01278 09417"
    // GeoConvert cuts the digits; within a metre of a 100 km line the rounded text may
    // rightly name the next square.
    const int edig = std::stoi(ref.substr(5, 5)), ndig = std::stoi(ref.substr(10, 5));
    if (edig >= 99999 || ndig >= 99999) continue;
    EXPECT_EQ(t.substr(0, 3) + t.substr(4, 2), ref.substr(0, 5)) << pts[i].lat << " " << pts[i].lon;
    EXPECT_LE(std::abs(std::stoi(t.substr(7, 5)) - edig), 1) << t << " " << ref;
    EXPECT_LE(std::abs(std::stoi(t.substr(13, 5)) - ndig), 1) << t << " " << ref;
    ++compared;
  }
  EXPECT_EQ(i, pts.size());
  EXPECT_GT(compared, 3000);
}

TEST(Utm, TextsReadBack) {
  const struct { const char* guards; const char* text; float lat, lon; } cases[] = {
      {"short form in 100 m", "30U701257094", 51.4998739f, -0.1011272f},
      {"southern hemisphere", "56H 334369 6250948", -33.8688f, 151.2093f},
      {"Svalbard start exception", "33X 500000 8870424", 79.9f, 15.0f},
  };
  for (const auto& c : cases) {
    GeoState geo;
    float lat = 0, lon = 0;
    utmtoll(geo, c.text, lat, lon);
    EXPECT_LT(groundmetres(c.lat, c.lon, lat, lon), 5) << c.guards << ": " << lat << " " << lon;
  }
  GeoState geo;
  for (const char* t : {"", "ZZ", "99Z 999999 9999999", "xxxxxxxxxxxxxxxxxx", "30U -1 -1"}) {
    float lat = 0, lon = 0;
    utmtoll(geo, t, lat, lon);  // nonsense ends without a crash
  }
}

TEST(Utm, RoundTripWithUserOffsets) {
  GeoState geo;
  geo.utmeoff = 1234.5;
  geo.utmnoff = -876.25;
  for (const auto& p : worldmesh()) {
    if (p.lat > 79 || p.lat < -79) continue;
    const std::string t = utm(geo, 1, p.lat, p.lon);
    float lat = 0, lon = 0;
    utmtoll(geo, t, lat, lon);
    // Texts near a zone edge used to be read into a neighbouring zone, thousands of km away.
    EXPECT_LT(groundmetres(p.lat, p.lon, lat, lon), 5.0) << t;
  }
}

}  // namespace
}  // namespace zarn
