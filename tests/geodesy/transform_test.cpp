#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geodesy/geotest.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "geodesy/ukgrid.h"

namespace zarn {
namespace {

void gridmap(MapFrame& m, float x0, float x1, float y0, float y1) {
  m.curlatlon = 0;
  m.mapxmin = x0;
  m.mapxmax = x1;
  m.mapymin = y0;
  m.mapymax = y1;
}

void rotate(MapFrame& m, float deg) {
  const float r = deg * 3.14159265f / 180;
  m.rotangle = deg;
  m.rotcos = m.rotcosneg = std::cos(r);
  m.rotsin = std::sin(r);
  m.rotsinneg = std::sin(-r);
}

TEST(Transform, GridMapPixelsAndBack) {
  GeoState geo;
  MapFrame map;
  gridmap(map, 0, 640, 0, 480);
  float px = 0, py = 0, x = 0, y = 0;
  ASSERT_TRUE(worldtopix(geo, map, 320, 240, px, py));
  EXPECT_FLOAT_EQ(px, 319.5f) << "w is picwidth - 1";
  EXPECT_FLOAT_EQ(py, 239.5f);
  ASSERT_TRUE(pixtoll(geo, map, 319.5f, 239.5f, x, y));
  EXPECT_FLOAT_EQ(x, 320);
  EXPECT_FLOAT_EQ(y, 240);
  worldtopix(geo, map, 0, 480, px, py);
  EXPECT_FLOAT_EQ(py, 0) << "row 0 is the north edge";
  EXPECT_FLOAT_EQ(kmtopix(map, 10), 10);
  // Far off the picture the pixels are held at +-9999.
  worldtopix(geo, map, 1e6f, -1e6f, px, py);
  EXPECT_EQ(px, 9999);
  EXPECT_EQ(py, 9999);
  worldtopix(geo, map, -1e6f, 1e6f, px, py);
  EXPECT_EQ(px, -9999);
  EXPECT_EQ(py, -9999);
}

TEST(Transform, RotationAndStretchUndoneInTheRightOrder) {
  GeoState geo;
  MapFrame map;
  gridmap(map, 500, 540, 170, 200);
  map.mapzoom = 1;
  map.scrwidth = 1024;
  map.scrheight = 768;
  for (float deg : {90.0f, 33.0f, 271.5f}) {
    rotate(map, deg);
    for (auto [wx, wy] : {std::pair{520.0f, 185.0f}, {501.5f, 199.0f}, {539.0f, 171.25f}}) {
      float px = 0, py = 0, x = 0, y = 0;
      ASSERT_TRUE(worldtopix(geo, map, wx, wy, px, py));
      ASSERT_TRUE(pixtoll(geo, map, px, py, x, y));
      EXPECT_NEAR(x, wx, 1e-3) << deg;
      EXPECT_NEAR(y, wy, 1e-3) << deg;
    }
  }
  rotate(map, 90);
  map.mapzoom = 0;
  float px = 0, py = 0;
  worldtopix(geo, map, 500, 200, px, py);  // the top left corner turned by -90 about (320, 240)
  EXPECT_NEAR(px, 80, 1e-3);
  EXPECT_NEAR(py, 560, 1e-3);
  map.norotmap = 1;  // a missing rotated picture means points are not turned
  worldtopix(geo, map, 500, 200, px, py);
  EXPECT_FLOAT_EQ(px, 0);
  EXPECT_FLOAT_EQ(py, 0);
}

TEST(Transform, LatitudeLongitudeMaps) {
  GeoState geo;
  MapFrame m;
  m.curlatlon = 1;
  const float w = m.picwidth - 1;
  auto area = [&](float latmin, float latmax, float lonmin, float lonmax) {
    m.maplatmin = latmin;
    m.maplatmax = latmax;
    m.maplonmin = lonmin;
    m.maplonmax = lonmax;
  };
  float x = 0, y = 0, px = 0, py = 0, bx = 0, by = 0, lat = 0, lon = 0;
  area(-90, 90, -180, 180);
  lltoosgb(geo, 0, 180, x, y);
  worldtopix(geo, m, x, y, px, py);
  EXPECT_FLOAT_EQ(px, w) << "longitude 180 is the right edge of a world map";

  area(-30, 30, 150, -150);  // a Pacific map across the meridian
  lltoosgb(geo, 10, -170, x, y);
  worldtopix(geo, m, x, y, px, py);
  EXPECT_FLOAT_EQ(px, (-170.0f + 360 - 150) * w / 60);
  ASSERT_TRUE(pixtoll(geo, m, px, py, bx, by));
  osgbtoll(geo, bx, by, lat, lon);
  EXPECT_NEAR(lat, 10, 1e-3);
  EXPECT_NEAR(lon, -170, 1e-3);

  area(51, 56, -11, -5);  // an Irish position comes back shifted into the frame
  lltoosgb(geo, 53.35f, -6.26f, x, y);
  worldtopix(geo, m, x, y, px, py);
  ASSERT_TRUE(pixtoll(geo, m, px, py, bx, by));
  EXPECT_NEAR(bx, x, 0.01);
  EXPECT_NEAR(by, y, 0.01);
}

TEST(Transform, ZeroExtentLeavesOutputsAndGivesNoResult) {
  GeoState geo;
  MapFrame map;  // no map loaded: every edge 0
  float px = 7, py = 8, x = 9, y = 10;
  EXPECT_FALSE(worldtopix(geo, map, 530, 180, px, py));
  EXPECT_FALSE(pixtoll(geo, map, 100, 100, x, y));
  EXPECT_EQ((std::vector{px, py, x, y}), (std::vector<float>{7, 8, 9, 10})) << "outputs left alone";
  EXPECT_EQ(kmtopix(map, 5), 0);

  gridmap(map, 0, 640, 0, 480);
  map.picwidth = 1;  // a picture one pixel wide has nothing to divide by
  EXPECT_FALSE(pixtoll(geo, map, 0, 0, x, y));
  map.picwidth = 640;
  map.mapzoom = 1;
  map.scrwidth = 1;
  EXPECT_FALSE(pixtoll(geo, map, 0, 0, x, y));
  EXPECT_TRUE(worldtopix(geo, map, 1, 1, px, py));
  map.curlatlon = 1;  // latitude/longitude edges all 0
  EXPECT_FALSE(worldtopix(geo, map, 530, 180, px, py));
}

}  // namespace
}  // namespace zarn
