// Distance and bearing (on latitude/longitude against GeodSolve), compass words, crossings, read-outs.
#include <random>

#include "geodesy/distance.h"
#include "geodesy/distwords.h"
#include "geodesy/geotest.h"
#include "geodesy/ukgrid.h"

namespace zarn {

TEST(Distance, PlanarBearingsAndCompassWordsInEveryDirection) {
  GeoState geo;
  float d = 0;
  int b = -1;
  for (int k = 0; k < 360; ++k) {  // a true bearing of k + 0.3 degrees is written k + 1
    const double r = degtorad(k + 0.3);
    distbearing(geo, 300, 500, 300 + float(5 * std::sin(r)), 500 + float(5 * std::cos(r)), d, b);
    EXPECT_NEAR(d, 5, 1e-4) << k;
    EXPECT_EQ(b, (k + 1) % 360) << k;
  }
  distbearing(geo, 690, 1300, 700, 1300, d, b);
  EXPECT_EQ(d, 10) << "the box's north-east corner is still planar";
  distbearing(geo, 690.01f, 1290, 700.01f, 1290, d, b);
  EXPECT_GT(std::fabs(d - 10), 0.01) << "just outside the box the pair goes through latitude/longitude";
  for (float dy : {0.0f, 0.0005f}) {
    b = 45;
    bearingdeg(0, dy, b);
    EXPECT_EQ(b, 45) << "no east part, north part below the tie threshold: the bearing is left alone";
  }
  for (float lon1 : {179.0f, -179.0f}) {  // flat earth takes the short way across the antimeridian
    float fd = 0, fb = 0;
    distbrg(40, lon1, 40, -lon1, fd, fb);
    EXPECT_EQ(fb, lon1 > 0 ? 90 : 270) << lon1;
    EXPECT_NEAR(fd, 2 * 111 * std::cos(degtorad(40)), 1e-3) << lon1;
  }
  // Compass words: eight 45-degree sectors centred on the points of the compass, 22 still north.
  const char* words[] = {"north", "north east", "east", "south east", "south", "south west", "west", "north west"};
  std::string t;
  for (int brg = 0; brg <= 360; ++brg) {
    compasstext(brg, t);
    EXPECT_EQ(t, std::string(" ") + words[(brg + 22) / 45 % 8]) << brg;
  }
}

TEST(Distance, FlatEarthAgainstGeodesicsForShortLegs) {
  if (!testing::havetool("GeodSolve")) GTEST_SKIP() << "GeodSolve (geographiclib-tools) is not installed";
  std::vector<std::vector<double>> legs;  // lat1 lon1 lat2 lon2, each a float
  for (int k = 0; k < 400; ++k) {
    const float lat = -58.0f + 4.8f * static_cast<float>(k / 16), lon = -170.0f + 22.7f * static_cast<float>(k % 16);
    const double az = degtorad(37.0 * k), km = 2 + k % 48;  // all directions, 2 to 49 km
    legs.push_back({lat, lon, lat + float(km * std::cos(az) / 111.2),
                    lon + float(km * std::sin(az) / 111.2 / std::cos(degtorad(lat)))});
  }
  const auto rows = testing::toolrows({"GeodSolve", "-i"}, legs);  // azi1 azi2 s12
  ASSERT_EQ(rows.size(), legs.size());
  for (std::size_t i = 0; i < legs.size(); ++i) {
    float d = 0, b = 0;
    distbrg(float(legs[i][0]), float(legs[i][1]), float(legs[i][2]), float(legs[i][3]), d, b);
    const double s = rows[i].at(2) / 1000, db = std::fabs(b - rows[i].at(0));
    EXPECT_LT(std::fabs(d - s) / s, 0.01) << i;
    // Whole degrees with the half-degree bias add up to one degree to the flat-earth error.
    EXPECT_LT(std::min(db, 360 - db), 1.5) << i;
  }
}

// Across the seam between the charts the frame jumps, so a pair there is measured from its
// latitude/longitude: the named crossings and random pairs over the seas between the islands.
TEST(Distance, AcrossTheSeamAgainstGeodesics) {
  if (!testing::havetool("GeodSolve")) GTEST_SKIP() << "GeodSolve (geographiclib-tools) is not installed";
  std::vector<std::vector<double>> legs = {{54.597, -5.930, 54.903, -5.024},   // Belfast, Stranraer
                                           {53.350, -6.260, 53.309, -4.633}};  // Dublin, Holyhead
  std::mt19937 rnd(7);
  std::uniform_real_distribution<float> u(0, 1);
  while (legs.size() < 10000) {
    const float lat1 = 50.6f + 5.8f * u(rnd), lat2 = lat1 + 1.6f * u(rnd) - 0.8f;
    const float lon1 = -6.8f + 2.5f * u(rnd), lon2 = lon1 + 3.0f * u(rnd) - 1.5f;
    if (irishside(lat1, lon1) && !irishside(lat2, lon2)) legs.push_back({lat1, lon1, lat2, lon2});
  }
  const auto rows = testing::toolrows({"GeodSolve", "-i"}, legs);
  ASSERT_EQ(rows.size(), legs.size());
  double worst = 0;
  int differ = 0;  // measured from points worked out once: the same answers, across and beside the seam
  for (std::size_t i = 0; i < legs.size(); ++i) {
    GeoState geo;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0, d = 0, d2 = 0;
    int b = 0, b2 = 0;
    lltoosgb(geo, float(legs[i][0]), float(legs[i][1]), x1, y1);
    lltoosgb(geo, float(legs[i][2]), float(legs[i][3]), x2, y2);
    for (const float near : {1.0f, 0.0f}) {  // the leg itself last: d and b are then its own
      const float x3 = near ? x1 + 0.3f : x2, y3 = near ? y1 - 0.2f : y2;
      distbearing(geo, x1, y1, x3, y3, d, b);
      distbearing(framepoint(geo, x1, y1), framepoint(geo, x3, y3), d2, b2);
      differ += d != d2 || b != b2;
    }
    worst = std::max(worst, std::fabs(d - rows[i].at(2) / 1000) / (rows[i].at(2) / 1000));
    if (i < 2) {
      EXPECT_NEAR(d, rows[i].at(2) / 1000, rows[i].at(2) / 1e5) << "named crossing " << i;
    }
  }
  EXPECT_LT(worst, 0.01);  // measured 0.95 %
  EXPECT_EQ(differ, 0);
}

TEST(Distance, SegmentCrossings) {
  const struct { const char* guards; float s[8]; int found; float x, y; } cases[] = {
      {"crossing on an end point is not found", {0, 0, 2, 2, 2, 2, 4, 0}, 0, 2, 2},
      {"parallel segments", {0, 0, 2, 2, 1, 0, 3, 2}, 0, 0, 0},
      {"lines cross beyond the segments", {0, 0, 1, 1, 3, 0, 4, -1}, 0, 1.5f, 1.5f},
      {"level segment crossed", {0, 1, 4, 1, 1, 0, 3, 2}, 1, 2, 1},
      {"vertical segment drawn downwards", {1, 2, 1, 0, 0, 0, 2, 2}, 1, 1, 1},
      {"vertical segment as the second", {0, 0, 4, 2, 3, 0, 3, 5}, 1, 3, 1.5f},
      {"vertical segment missed to the side", {1, 0, 1, 2, 2, 1, 4, 1}, 0, 1, 1},
      {"nearly vertical segment crossed", {1, 0, 1.00002f, 2, 0, 1, 2, 1}, 1, 1, 1},
      {"vertical segment far east in the frame", {5000, 0, 5000, 2, 4999, 0, 5001, 2}, 1, 5000, 1},
      {"level and vertical at grid scale", {400, 300, 400, 310, 395, 305, 405, 305}, 1, 400, 305},
  };
  for (const auto& c : cases) {
    float x = -9, y = -9;
    int found = -1;
    lineline(c.s[0], c.s[1], c.s[2], c.s[3], c.s[4], c.s[5], c.s[6], c.s[7], x, y, found);
    EXPECT_EQ(found, c.found) << c.guards;
    EXPECT_LT(std::hypot(x - c.x, y - c.y), 2e-4) << c.guards;
  }
}

TEST(Distwords, DistextBandsInEachUnitSystem) {
  const struct { int metric, nautical; float km; const char* text, *label, *guards; } cases[] = {
      {1, 0, 5.5f, " 6 km", " 6k", "whole band rounds half up"},
      {1, 0, 1.0f, " 1 km", " 1k", "1 km is in the tenths band"},
      {1, 0, 2.79f, " 2.7 km", " 2.7k", "tenths are cut"},
      {1, 0, 0.999f, " 990 metres", " 990m", "tens of metres cut"},
      {0, 0, 1.0f, " .6 miles", " .6m", "0.621 miles, no leading zero"},
      {0, 0, 0.5f, " 540 yards", " 540y", "0.31 miles is below 0.6: tens of yards"},
      {0, 1, 5.0f, " 2.7 nm", " 2.7m", "5 km is 2.7005 nautical miles"},
      {0, 1, 20.0f, " 11 nm", " 11m", "10.8 nautical miles rounds to 11"},
      {0, 1, 1.0f, " 950 yards", " 950y", "yards of nautical miles"},
  };
  for (const auto& c : cases) {
    std::string t, l;
    distext(c.metric, c.nautical, c.km, t, l);
    EXPECT_EQ(t + l, std::string(c.text) + c.label) << c.guards;
  }
}

}  // namespace zarn
