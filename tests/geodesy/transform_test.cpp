// Frame positions to picture pixels and back: grid maps (turned, stretched to the screen) and
// latitude/longitude maps.
#include "geodesy/geotest.h"
#include "geodesy/transform.h"
#include "geodesy/ukgrid.h"

namespace zarn {

static MapFrame gridmap(float x0, float x1, float y0, float y1, float deg = 0, int zoom = 0) {
  const auto r = static_cast<float>(degtorad(deg));
  return {.mapxmin = x0, .mapxmax = x1, .mapymin = y0, .mapymax = y1, .rotangle = deg, .rotcos = std::cos(r),
          .rotsin = std::sin(r), .rotcosneg = std::cos(r), .rotsinneg = -std::sin(r), .mapzoom = zoom,
          .scrwidth = 1024, .scrheight = 768};
}

TEST(Transform, PixelsAndBackOnGridAndLatitudeLongitudeMaps) {
  GeoState geo;
  MapFrame map = gridmap(0, 640, 0, 480);
  float px = 0, py = 0, x = 0, y = 0;
  ASSERT_TRUE(worldtopix(geo, map, 320, 480, px, py));
  EXPECT_EQ(std::pair(px, py), std::pair(319.5f, 0.0f)) << "w is picwidth - 1, row 0 is the north edge";
  EXPECT_EQ(kmtopix(map, 10), 10);
  worldtopix(geo, map, 1e6f, -1e6f, px, py);
  EXPECT_EQ(std::pair(px, py), std::pair(9999.0f, 9999.0f)) << "far off the picture: held at 9999";
  worldtopix(geo, map, -1e6f, 1e6f, px, py);
  EXPECT_EQ(std::pair(px, py), std::pair(-9999.0f, -9999.0f));

  // Turned and stretched to the screen: undone in the right order on the way back.
  for (float deg : {0.0f, 90.0f, 33.0f, 271.5f})
    for (int zoom : {0, 1}) {
      map = gridmap(500, 540, 170, 200, deg, zoom);
      for (auto [wx, wy] : {std::pair{520.0f, 185.0f}, {501.5f, 199.0f}, {539.0f, 171.25f}}) {
        ASSERT_TRUE(worldtopix(geo, map, wx, wy, px, py));
        ASSERT_TRUE(pixtoll(geo, map, px, py, x, y));
        EXPECT_LT(std::hypot(x - wx, y - wy), 1e-3) << deg << " " << zoom;
      }
    }
  map = gridmap(500, 540, 170, 200, 90);
  worldtopix(geo, map, 500, 200, px, py);  // the top left corner turned by -90 about (320, 240)
  EXPECT_LT(std::hypot(px - 80, py - 560), 1e-3);
  map.norotmap = 1;  // a missing rotated picture means points are not turned
  worldtopix(geo, map, 500, 200, px, py);
  EXPECT_EQ(std::pair(px, py), std::pair(0.0f, 0.0f));

  MapFrame m{.curlatlon = 1, .maplonmin = -180, .maplonmax = 180, .maplatmin = -90, .maplatmax = 90};
  const float w = m.picwidth - 1;
  float bx = 0, by = 0, lat = 0, lon = 0;
  lltoosgb(geo, 0, 180, x, y);
  worldtopix(geo, m, x, y, px, py);
  EXPECT_FLOAT_EQ(px, w) << "longitude 180 is the right edge of a world map";

  m = {.curlatlon = 1, .maplonmin = 150, .maplonmax = -150, .maplatmin = -30, .maplatmax = 30};  // across 180
  lltoosgb(geo, 10, -170, x, y);
  worldtopix(geo, m, x, y, px, py);
  EXPECT_FLOAT_EQ(px, (-170.0f + 360 - 150) * w / 60);
  ASSERT_TRUE(pixtoll(geo, m, px, py, bx, by));
  osgbtoll(geo, bx, by, lat, lon);
  EXPECT_LT(test::groundmetres(lat, lon, 10, -170), 100);
}

TEST(Transform, LengthsAreInPixelsAsTheMapIsShown) {
  // A circle's radius, a sector's reach or a zone's edge drawn from a point lands where that
  // point moved by the length is placed, on a picture as it is and stretched to the screen.
  GeoState geo;
  for (int zoom : {0, 1})
    for (auto [sw, sh] : {std::pair{1024.0f, 768.0f}, {1920, 1080}, {640, 480}}) {
      MapFrame map = gridmap(370, 382.78f, 378.55f, 388.13f, 0, zoom);
      std::tie(map.scrwidth, map.scrheight) = std::pair(sw, sh);
      float x0 = 0, y0 = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0;
      ASSERT_TRUE(worldtopix(geo, map, 375, 383, x0, y0) && worldtopix(geo, map, 375.637f, 383, x1, y1) &&
                  worldtopix(geo, map, 375, 382.363f, x2, y2));
      EXPECT_NEAR(kmtopix(map, 0.637f), x1 - x0, 0.005 * (x1 - x0)) << zoom << " " << sw;
      EXPECT_NEAR(kmtopixdown(map, 0.637f), y2 - y0, 0.005 * (y2 - y0)) << zoom << " " << sw << " down";
    }
}

TEST(Transform, ZeroExtentLeavesOutputsAndGivesNoResult) {
  GeoState geo;
  MapFrame map;  // no map loaded: every edge 0
  float px = 7, py = 8, x = 9, y = 10;
  EXPECT_FALSE(worldtopix(geo, map, 530, 180, px, py));
  EXPECT_FALSE(pixtoll(geo, map, 100, 100, x, y));
  EXPECT_EQ((std::vector{px, py, x, y}), (std::vector<float>{7, 8, 9, 10})) << "outputs left alone";
  EXPECT_EQ(std::pair(kmtopix(map, 5), kmtopixdown(map, 5)), std::pair(0.0f, 0.0f));
  map = gridmap(0, 640, 0, 480);
  map.picwidth = 1;  // a picture one pixel wide has nothing to divide by
  EXPECT_FALSE(pixtoll(geo, map, 0, 0, x, y));
  map = gridmap(0, 640, 0, 480, 0, 1);
  map.scrwidth = 1;
  EXPECT_FALSE(pixtoll(geo, map, 0, 0, x, y));
  EXPECT_TRUE(worldtopix(geo, map, 1, 1, px, py));
  map.curlatlon = 1;  // latitude/longitude edges all 0
  EXPECT_FALSE(worldtopix(geo, map, 530, 180, px, py));
}

}  // namespace zarn
