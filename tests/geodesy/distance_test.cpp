// Distance and bearing in the frame and on latitude/longitude (against GeodSolve), compass
// words and segment crossings.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "geodesy/distance.h"
#include "geodesy/geostate.h"
#include "support/runtool.h"

namespace zarn {
namespace {

TEST(Distance, PlanarDistanceAndBearing) {
  struct Case { const char* guards; float x2, y2; float dist; int brg; };
  const Case cases[] = {
      {"3-4-5 with the half-degree bias", 3, 4, 5, 37},
      {"due north", 0, 5, 5, 0},
      {"due south", 0, -5, 5, 180},
      {"due west", -5, 0, 5, 270},
      {"due east", 5, 0, 5, 90},
      {"north-west quadrant", -3, 4, 5, 324},
      {"south-west quadrant", -3, -4, 5, 217},
  };
  for (const auto& c : cases) {
    GeoState geo;
    float d = 0;
    int b = -1;
    distbearing(geo, 100, 100, 100 + c.x2, 100 + c.y2, d, b);
    EXPECT_FLOAT_EQ(d, c.dist) << c.guards;
    EXPECT_EQ(b, c.brg) << c.guards;
  }
}

TEST(Distance, BearingRoundingAndZeroVector) {
  const double r = M_PI / 180;
  int b = 0;
  bearingdeg(static_cast<float>(std::sin(10.2 * r)), static_cast<float>(std::cos(10.2 * r)), b);
  EXPECT_EQ(b, 11);
  bearingdeg(static_cast<float>(std::sin(11.6 * r)), static_cast<float>(std::cos(11.6 * r)), b);
  EXPECT_EQ(b, 12);
  b = 123;
  bearingdeg(0, 0, b);
  EXPECT_EQ(b, 123);  // no direction: the bearing is left alone
  b = 45;
  bearingdeg(0, 0.0005f, b);
  EXPECT_EQ(b, 45);  // below the tie threshold and no east part
}

TEST(Distance, PlanarBoxEdgesAreInclusive) {
  GeoState geo;
  float d = 0;
  int b = 0;
  distbearing(geo, 690, 1300, 700, 1300, d, b);
  EXPECT_FLOAT_EQ(d, 10);
  EXPECT_EQ(b, 90);
  // Just outside the box the pair goes through latitude/longitude: no longer 10 km flat.
  distbearing(geo, 690.01f, 1290, 700.01f, 1290, d, b);
  EXPECT_GT(std::fabs(d - 10), 0.01);
}

TEST(Distance, FlatEarthAcrossTheAntimeridian) {
  float d = 0, b = 0;
  distbrg(40, 179, 40, -179, d, b);
  EXPECT_NEAR(d, 2 * 111 * std::cos(40 * M_PI / 180), 1e-3);
  EXPECT_EQ(b, 90);  // the short way is east
  distbrg(40, -179, 40, 179, d, b);
  EXPECT_EQ(b, 270);
  distbrg(40, 179, 40.5f, -179, d, b);
  EXPECT_GT(b, 0);
  EXPECT_LT(b, 90);
  distbrg(40, 10, 40, 11, d, b);
  EXPECT_EQ(b, 90);
  distbrg(40, 11, 40, 10, d, b);
  EXPECT_EQ(b, 270);
}

TEST(Distance, FlatEarthAgainstGeodesicsForShortLegs) {
  if (!testing::havetool("GeodSolve")) GTEST_SKIP() << "GeodSolve (geographiclib-tools) is not installed";
  struct Leg { float lat1, lon1, lat2, lon2; };
  std::vector<Leg> legs;
  for (int i = 0; i < 25; ++i)
    for (int j = 0; j < 16; ++j) {
      const float lat = -58.0f + 4.8f * static_cast<float>(i);
      const float lon = -170.0f + 22.7f * static_cast<float>(j);
      const double az = (37.0 * (i * 16 + j)) * M_PI / 180;  // all directions
      const double km = 2 + ((i * 16 + j) % 48);             // 2 to 49 km
      legs.push_back({lat, lon, lat + static_cast<float>(km * std::cos(az) / 111.2),
                      lon + static_cast<float>(km * std::sin(az) / 111.2 /
                                               std::cos(lat * M_PI / 180))});
    }
  std::string in;
  for (const auto& l : legs) {
    char line[128];
    std::snprintf(line, sizeof line, "%.17g %.17g %.17g %.17g\n", double(l.lat1), double(l.lon1),
                  double(l.lat2), double(l.lon2));
    in += line;
  }
  const auto out = testing::runtool({"GeodSolve", "-i"}, in);
  ASSERT_TRUE(out);
  const auto rows = testing::numberlines(*out);
  ASSERT_EQ(rows.size(), legs.size());
  double worstd = 0, worstb = 0;
  for (std::size_t i = 0; i < legs.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 3u);  // azi1 azi2 s12
    float d = 0, b = 0;
    distbrg(legs[i].lat1, legs[i].lon1, legs[i].lat2, legs[i].lon2, d, b);
    const double s = rows[i][2] / 1000;
    double db = std::fabs(b - rows[i][0]);
    db = std::min(db, 360 - db);
    const double rel = std::fabs(d - s) / s;
    EXPECT_LT(rel, 0.01) << i;
    // Whole degrees with the half-degree bias add up to one degree to the flat-earth error.
    EXPECT_LT(db, 1.5) << i;
    worstd = std::max(worstd, rel);
    worstb = std::max(worstb, db);
  }
  RecordProperty("max_rel_distance", std::to_string(worstd));
  RecordProperty("max_bearing_deg", std::to_string(worstb));
}

TEST(Distance, CompassWords) {
  struct Case { int brg; const char* text; };
  const Case cases[] = {{0, " north"},        {22, " north"},      {23, " north east"},
                        {67, " north east"},  {68, " east"},       {112, " east"},
                        {113, " south east"}, {180, " south"},     {203, " south west"},
                        {270, " west"},       {337, " north west"}, {338, " north"},
                        {360, " north"}};
  for (const auto& c : cases) {
    std::string t;
    compasstext(c.brg, t);
    EXPECT_EQ(t, c.text) << c.brg;
  }
  std::string t;
  bearingtext(-1, -1, t);
  EXPECT_EQ(t, " south west");
}

TEST(Distance, SegmentCrossings) {
  struct Case {
    const char* guards;
    float s[8];
    int found;
    float x, y;
  };
  const Case cases[] = {
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

}  // namespace
}  // namespace zarn
