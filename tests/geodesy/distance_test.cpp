// Distance and bearing in the frame and on latitude/longitude (against GeodSolve), compass
// words, segment crossings and the distance read-outs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "geodesy/distance.h"
#include "geodesy/distwords.h"
#include "geodesy/geostate.h"
#include "support/runtool.h"

namespace zarn {
namespace {

TEST(Distance, PlanarDistanceAndBearing) {
  struct Case { const char* guards; float x1, y1, x2, y2; float dist; int brg; };
  const Case cases[] = {
      {"3-4-5 with the half-degree bias", 100, 100, 103, 104, 5, 37},
      {"due north", 100, 100, 100, 105, 5, 0},
      {"due south", 100, 100, 100, 95, 5, 180},
      {"due west", 100, 100, 95, 100, 5, 270},
      {"north-west quadrant", 100, 100, 97, 104, 5, 324},
      {"south-west quadrant", 100, 100, 97, 96, 5, 217},
      {"the box's north-east corner is still planar", 690, 1300, 700, 1300, 10, 90},
  };
  for (const auto& c : cases) {
    GeoState geo;
    float d = 0;
    int b = -1;
    distbearing(geo, c.x1, c.y1, c.x2, c.y2, d, b);
    EXPECT_FLOAT_EQ(d, c.dist) << c.guards;
    EXPECT_EQ(b, c.brg) << c.guards;
  }
  // Just outside the box the pair goes through latitude/longitude: no longer 10 km flat.
  GeoState geo;
  float d = 0;
  int b = 0;
  distbearing(geo, 690.01f, 1290, 700.01f, 1290, d, b);
  EXPECT_GT(std::fabs(d - 10), 0.01);

  const double r = M_PI / 180;
  bearingdeg(static_cast<float>(std::sin(10.2 * r)), static_cast<float>(std::cos(10.2 * r)), b);
  EXPECT_EQ(b, 11);
  b = 123;
  bearingdeg(0, 0, b);
  EXPECT_EQ(b, 123) << "no direction: the bearing is left alone";
  b = 45;
  bearingdeg(0, 0.0005f, b);
  EXPECT_EQ(b, 45) << "below the tie threshold and no east part";
}

TEST(Distance, FlatEarthTakesTheShortWayAcrossTheAntimeridian) {
  const struct { float lat1, lon1, lat2, lon2, brg, deg; } cases[] = {{40, 179, 40, -179, 90, 2},
                                                                      {40, -179, 40, 179, 270, 2}};
  for (const auto& c : cases) {
    float d = 0, b = 0;
    distbrg(c.lat1, c.lon1, c.lat2, c.lon2, d, b);
    EXPECT_EQ(b, c.brg) << c.lon1 << " to " << c.lon2;
    EXPECT_NEAR(d, c.deg * 111 * std::cos(40 * M_PI / 180), 1e-3) << c.lon1 << " to " << c.lon2;
  }
}

TEST(Distance, FlatEarthAgainstGeodesicsForShortLegs) {
  if (!testing::havetool("GeodSolve")) GTEST_SKIP() << "GeodSolve (geographiclib-tools) is not installed";
  std::vector<std::vector<double>> legs;  // lat1 lon1 lat2 lon2, each a float
  for (int k = 0; k < 400; ++k) {
    const float lat = -58.0f + 4.8f * static_cast<float>(k / 16);
    const float lon = -170.0f + 22.7f * static_cast<float>(k % 16);
    const double az = 37.0 * k * M_PI / 180, km = 2 + k % 48;  // all directions, 2 to 49 km
    legs.push_back({lat, lon, lat + static_cast<float>(km * std::cos(az) / 111.2),
                    lon + static_cast<float>(km * std::sin(az) / 111.2 / std::cos(lat * M_PI / 180))});
  }
  const auto rows = testing::toolrows({"GeodSolve", "-i"}, legs);  // azi1 azi2 s12
  ASSERT_EQ(rows.size(), legs.size());
  for (std::size_t i = 0; i < legs.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 3u);
    const auto& l = legs[i];
    float d = 0, b = 0;
    distbrg(float(l[0]), float(l[1]), float(l[2]), float(l[3]), d, b);
    const double s = rows[i][2] / 1000, db = std::fabs(b - rows[i][0]);
    EXPECT_LT(std::fabs(d - s) / s, 0.01) << i;
    // Whole degrees with the half-degree bias add up to one degree to the flat-earth error.
    EXPECT_LT(std::min(db, 360 - db), 1.5) << i;
  }
}

TEST(Distance, CompassWords) {
  const std::pair<int, const char*> cases[] = {
      {0, " north"},        {22, " north"},      {23, " north east"}, {68, " east"},   {113, " south east"},
      {180, " south"},      {203, " south west"}, {270, " west"},     {337, " north west"}, {338, " north"},
      {360, " north"}};
  for (const auto& [brg, text] : cases) {
    std::string t;
    compasstext(brg, t);
    EXPECT_EQ(t, text) << brg;
  }
  std::string t;
  bearingtext(-1, -1, t);
  EXPECT_EQ(t, " south west");
}

TEST(Distance, SegmentCrossings) {
  const struct { const char* guards; float s[8]; int found; float x, y; } cases[] = {
      {"diagonals cross in the middle", {0, 0, 2, 2, 0, 2, 2, 0}, 1, 1, 1},
      {"crossing on an end point is not found", {0, 0, 2, 2, 2, 2, 4, 0}, 0, 2, 2},
      {"parallel segments", {0, 0, 2, 2, 1, 0, 3, 2}, 0, 0, 0},
      {"lines cross beyond the segments", {0, 0, 1, 1, 3, 0, 4, -1}, 0, 1.5f, 1.5f},
      {"level segment crossed", {0, 1, 4, 1, 1, 0, 3, 2}, 1, 2, 1},
      {"vertical segment crossed", {1, 0, 1, 2, 0, 1, 2, 1}, 1, 1, 1},
      {"vertical segment drawn downwards", {1, 2, 1, 0, 0, 0, 2, 2}, 1, 1, 1},
      {"vertical segment as the second", {0, 0, 4, 2, 3, 0, 3, 5}, 1, 3, 1.5f},
      {"vertical segment missed", {1, 0, 1, 2, 2, 1, 4, 1}, 0, 1, 1},
      {"nearly vertical segment crossed", {1, 0, 1.00002f, 2, 0, 1, 2, 1}, 1, 1, 1},
      {"vertical segment far east in the frame", {5000, 0, 5000, 2, 4999, 0, 5001, 2}, 1, 5000, 1},
      {"level and vertical at grid scale", {400, 300, 400, 310, 395, 305, 405, 305}, 1, 400, 305},
  };
  for (const auto& c : cases) {
    float x = -9, y = -9;
    int found = -1;
    lineline(c.s[0], c.s[1], c.s[2], c.s[3], c.s[4], c.s[5], c.s[6], c.s[7], x, y, found);
    EXPECT_EQ(found, c.found) << c.guards;
    EXPECT_NEAR(x, c.x, 2e-4) << c.guards;
    EXPECT_NEAR(y, c.y, 2e-4) << c.guards;
  }
}

TEST(Distwords, DistextBandsInEachUnitSystem) {
  const struct { int metric, nautical; float km; const char* text, *label, *guards; } cases[] = {
      {1, 0, 5.0f, " 5 km", " 5k", "5 km exactly is in the tenths band"},
      {1, 0, 5.5f, " 6 km", " 6k", "whole band rounds half up"},
      {1, 0, 1.0f, " 1 km", " 1k", "1 km is in the tenths band"},
      {1, 0, 2.79f, " 2.7 km", " 2.7k", "tenths are cut"},
      {1, 0, 0.999f, " 990 metres", " 990m", "tens of metres cut"},
      {1, 0, 0.004f, " 0 metres", " 0m", "nothing left"},
      {0, 0, 1.0f, " .6 miles", " .6m", "0.621 miles, no leading zero"},
      {0, 0, 0.5f, " 540 yards", " 540y", "0.31 miles is below 0.6: tens of yards"},
      {0, 0, 100.0f, " 62 miles", " 62m", "whole miles"},
      {0, 1, 5.0f, " 2.7 nm", " 2.7m", "5 km is 2.7005 nautical miles"},
      {0, 1, 20.0f, " 11 nm", " 11m", "10.8 nautical miles rounds to 11"},
      {0, 1, 1.0f, " 950 yards", " 950y", "yards of nautical miles"},
  };
  for (const auto& c : cases) {
    std::string t, l;
    distext(c.metric, c.nautical, c.km, t, l);
    EXPECT_EQ(t, c.text) << c.guards;
    EXPECT_EQ(l, c.label) << c.guards;
  }
}

}  // namespace
}  // namespace zarn
