// Map choice along a real drive, heading-up sectors, zoom, re-centring of tiled maps and the
// automatic map maker's distance.
#include <algorithm>
#include <set>

#include "geodesy/transform.h"
#include "map_support.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/tiles.h"

namespace zarn {
namespace {

using maptest::Fix;

class Choice : public maptest::MapTest {
 protected:
  std::string current() { return app->map.mapname[static_cast<std::size_t>(app->map.curmap)]; }
  // Moves the car to the fix and lets the map follow it.
  void at(const Fix& f) {
    lltoosgb(app->geo, f.lat, f.lon, app->gps.ownx, app->gps.owny);
    app->gps.ownhdg = f.course;
    choosemap(*app, app->gps.ownx, app->gps.owny);
  }
  // True when the map picture (single maps) or the tiles (tiled maps) were loaded since the
  // last call.
  bool loaded() {
    const bool single = z().map.picture != nullptr, tiled = z().showcmd.caption == ".";
    z().map.picture = nullptr;
    z().showcmd.caption.clear();
    return single || tiled;
  }
  void demo() {
    if (!maptest::demopresent()) GTEST_SKIP() << "demo map set not generated yet";
    copydemo();
    ASSERT_TRUE(readmaplist(*app));
    tileinit(*app);
  }
};

TEST_F(Choice, RecordedDriveGoesFromTheNationalMapToTheLocalOnes) {
  demo();
  const auto fixes = maptest::drivefixes();
  // Before the first fix no map holds the position: the first, national map is shown.
  choosemap(*app, app->gps.ownx, app->gps.owny);
  EXPECT_EQ(current(), "GBIRL");

  // Along the drive the tiled map of the drive is the most detailed one; its view keeps the car
  // near the centre, re-centred when it drifts 40 pixels on either axis.
  int recentred = 0;
  for (const Fix& f : fixes) {
    loaded();
    at(f);
    ASSERT_EQ(current(), "DRIVE");
    recentred += loaded();
    float px = 0, py = 0;
    ASSERT_TRUE(worldtopix(app->geo, app->map, app->gps.ownx, app->gps.owny, px, py));
    ASSERT_LT(std::fabs(px - 320), 40) << "car kept near the centre";
    ASSERT_LT(std::fabs(py - 240), 40);
  }
  EXPECT_GT(recentred, 20) << "20 km of driving moves a 6.4 km view many times";
  EXPECT_LT(recentred, 400) << "but not on every fix";

  // Zooming out from the point walks up through every map holding it, then back to the most
  // detailed.
  std::vector<std::string> walk;
  app->map.minscale = 0.0001f;
  for (int i = 0; i < 5; ++i) {
    zoomnextmap(*app);
    walk.push_back(current());
  }
  EXPECT_EQ(walk, (std::vector<std::string>{"0LOCAL", "CHESH", "NWENG", "GBIRL", "DRIVE"}));
  EXPECT_FLOAT_EQ(app->map.minscale, 0.0001f) << "past the widest map";
  app->map.minscale = 0;  // "X": minscale 0 stays 0
  zoomnextmap(*app);
  EXPECT_EQ(app->map.minscale, 0);

  // With the tiled map out of the choice the local map serves the whole drive: loaded once.
  app->map.minscale = 7;
  int loads = 0;
  for (const Fix& f : fixes) {
    at(f);
    ASSERT_EQ(current(), "0LOCAL");
    loads += loaded();
  }
  EXPECT_EQ(loads, 1);
}

TEST_F(Choice, HeadingUpLoadsTheTurnedPictureOfEachSector) {
  demo();
  MapView& m = app->map;
  ASSERT_EQ(m.rotsectors, 8);
  m.headingup = 1;
  m.minscale = 7;  // the local single-picture map, not the tiles
  const int upper[] = {22, 67, 112, 157, 202, 247, 292, 337};  // of each of the 8 sectors
  int changes = 0, loads = 0, last = -1;
  for (const Fix& f : maptest::drivefixes()) {
    loaded();
    at(f);
    loads += loaded();
    const int s = f.course < 0 ? 0 : static_cast<int>(std::lower_bound(upper, upper + 8, f.course) - upper) % 8;
    changes += s != last;
    last = s;
    ASSERT_EQ(m.rotsector, s) << "heading " << f.course;
    ASSERT_EQ(m.mapbmp, std::to_string(s) + "LOCAL.BMP") << "heading " << f.course;
  }
  EXPECT_GT(changes, 10);
  EXPECT_EQ(loads, changes) << "one load per sector change, none in between";
}

// Eight sectors along the recorded drive above; four and two here.
TEST(SetRotation, SectorsByHeading) {
  App app;
  MapView& m = app.map;
  const struct {
    int headingup, sectors, heading;
    float angle;
  } cases[] = {{1, 8, -1, 0},   {1, 8, 338, 0},   {1, 4, 44, 0},   {1, 4, 45, 90},  {1, 4, 314, 270},
               {1, 4, 315, 0},  {1, 2, 89, 0},    {1, 2, 90, 180}, {1, 2, 269, 180}, {1, 2, 270, 0},
               {0, 8, 90, 0},   {1, 0, 90, 0}};  // north up; heading-up without turned pictures
  for (const auto& c : cases) {
    m.headingup = c.headingup;
    m.rotsectors = c.sectors;
    app.gps.ownhdg = c.heading;
    setrotation(app);
    EXPECT_EQ(m.rotangle, c.angle) << c.sectors << " sectors, heading " << c.heading;
    EXPECT_NEAR(m.rotsin, std::sin(c.angle * 3.14159 / 180), 1e-5);
    EXPECT_NEAR(m.rotsinneg, -m.rotsin, 1e-6);
    EXPECT_NEAR(m.rotcosneg, m.rotcos, 1e-6);
  }
}

TEST_F(Choice, ChoosesTheNarrowestAllowedMap) {
  // Nested grid maps around (375, 382): 40, 20 and 10 km wide, plus a second 20 km map.
  gridmap("WIDE", "SJ 55000 67000", "SJ 55000 97000", "SJ 95000 67000");
  gridmap("MID", "SJ 65000 74500", "SJ 65000 89500", "SJ 85000 74500");
  gridmap("MID2", "SJ 65000 74500", "SJ 65000 89500", "SJ 85000 74500");
  gridmap("SMALL", "SJ 70000 78250", "SJ 70000 85750", "SJ 80000 78250");
  for (const char* p : {"WIDE.BMP", "MID.BMP", "MID2.BMP", "SMALL.BMP"}) bmp(p);
  put("MAPS.DIR", "WIDE\r\nMID\r\nMID2\r\nSMALL\r\n");
  ASSERT_TRUE(readmaplist(*app));
  MapView& m = app->map;
  choosemap(*app, 375, 382);
  EXPECT_EQ(current(), "SMALL");
  EXPECT_TRUE(loaded());
  choosemap(*app, 375.5f, 382);
  EXPECT_FALSE(loaded()) << "same map, same angle: not loaded again";
  choosemap(*app, 367, 382);
  EXPECT_EQ(current(), "MID2") << "of two maps of equal width the later";
  choosemap(*app, 900, 900);
  EXPECT_EQ(current(), "WIDE") << "no map holds it: map 1";
  m.minscale = 15;
  choosemap(*app, 375, 382);
  EXPECT_EQ(current(), "MID2") << "narrower than minscale is never chosen";
  m.minscale = 50;
  choosemap(*app, 375, 382);
  EXPECT_EQ(current(), "WIDE") << "every holder too narrow: map 1";
  m.minscale = 0;
  m.automaps = 0;
  loaded();
  choosemap(*app, 375, 382);
  EXPECT_EQ(current(), "WIDE");
  EXPECT_FALSE(loaded()) << "automatic choice off";

  put("MAPS.DIR", "");
  ASSERT_TRUE(readmaplist(*app));
  m.curmap = 0;
  m.automaps = 1;
  choosemap(*app, 375, 382);
  EXPECT_EQ(m.curmap, 0);
  EXPECT_FALSE(loaded()) << "an empty catalogue loads nothing";
}

class Tiled : public Choice {
 protected:
  void SetUp() override {
    Choice::SetUp();
    put("TILED.DES", "Tiles\r\nTILED\r\nTILE3T\\, 6.4, 0\r\nSJ 60000 70000, 0, 0\r\nSJ 99000 99000, 0, 0\r\n");
    put("MAPS.DIR", "TILED\r\n");
    ASSERT_TRUE(readmaplist(*app));
    tileinit(*app);
    app->gps.ownx = 375;
    app->gps.owny = 382;
    choosemap(*app, 375, 382);
    ASSERT_EQ(app->map.curmap, 1);
    ASSERT_TRUE(loaded());
  }
  // Moves the car to dx, dy pixels from the window centre (320, 240) of the view shown.
  void move(float dx, float dy) {
    const MapView& m = app->map;
    app->gps.ownx = m.mapxmin + (320 + dx) * (m.mapxmax - m.mapxmin) / 639;
    app->gps.owny = m.mapymax - (240 + dy) * (m.mapymax - m.mapymin) / 479;
    choosemap(*app, app->gps.ownx, app->gps.owny);
  }
};

TEST_F(Tiled, RecentredWhenThePositionDriftsFortyPixels) {
  move(39, 39);
  EXPECT_FALSE(loaded()) << "39 pixels on both axes";
  move(0, -40.01f);
  EXPECT_TRUE(loaded()) << "40 pixels on one axis";
  EXPECT_NEAR((app->map.mapxmin + app->map.mapxmax) / 2, app->gps.ownx, 1e-3) << "centred on the position";
}

TEST_F(Tiled, HeadingUpRecentringTestsThePointWhereTheWindowShowsIt) {
  // Turned by 90 degrees, the view centre stays at the window centre; the catalogue centre of
  // the map lies kilometres away and must play no part.
  MapView& m = app->map;
  m.headingup = 1;
  m.rotsectors = 8;
  app->gps.ownhdg = 90;
  move(10, 0);
  ASSERT_EQ(m.rotangle, 90);
  EXPECT_FALSE(loaded());
}

TEST_F(Choice, MapMakerAsksOnlyBeyondItsDistance) {
  MapView& m = app->map;
  m.automapon = 1;
  m.automapdist = 5;
  m.automapx = 370;
  m.automapy = 382;
  app->gps.ownx = 375;
  app->gps.owny = 382;
  automapmove(*app);
  EXPECT_EQ(m.automapx, 370) << "exactly the distance: no new map";
  app->gps.ownx = 375.01f;
  automapmove(*app);
  EXPECT_EQ(m.automapx, 375.01f);
  m.automapon = 0;
  app->gps.ownx = 400;
  automapmove(*app);
  EXPECT_EQ(m.automapx, 375.01f) << "switched off";
}

}  // namespace
}  // namespace zarn
