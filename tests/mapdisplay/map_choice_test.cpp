// Map choice along a real drive, heading-up sectors, zoom, re-centring of tiled maps and the
// automatic map maker's distance.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>

#include "geodesy/transform.h"
#include "geodesy/ukgrid.h"
#include "map_support.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/tiles.h"
#include "platform/textrules.h"

namespace zarn {
namespace {

using maptest::MapTest;

struct Fix {
  float lat, lon;
  int course;  // whole degrees; -1 when the sentence gives none
};

// The valid RMC fixes of the recorded drive.
std::vector<Fix> drive() {
  std::ifstream in(std::string(ZARN_SHARED_DATA) + "/nmea/drive/cheshire-2020-10-26.nmea");
  std::vector<Fix> fixes;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("$GPRMC,", 0) != 0 && line.rfind("$GNRMC,", 0) != 0) continue;
    std::vector<std::string> f;
    std::size_t a = 0;
    for (std::size_t b; (b = line.find_first_of(",*", a)) != std::string::npos; a = b + 1) f.push_back(line.substr(a, b - a));
    if (f.size() < 9 || f[2] != "A" || f[3].size() < 4 || f[5].size() < 5) continue;
    float lat = static_cast<float>(std::stod(f[3].substr(0, 2)) + std::stod(f[3].substr(2)) / 60);
    float lon = static_cast<float>(std::stod(f[5].substr(0, 3)) + std::stod(f[5].substr(3)) / 60);
    if (f[4] == "S") lat = -lat;
    if (f[6] == "W") lon = -lon;
    fixes.push_back({lat, lon, f[8].empty() ? -1 : static_cast<int>(std::floor(std::stod(f[8])))});
  }
  return fixes;
}

class Choice : public MapTest {
 protected:
  std::string current() { return app->map.mapname[static_cast<std::size_t>(app->map.curmap)]; }
  void at(const Fix& f) {
    lltoosgb(app->geo, f.lat, f.lon, app->gps.ownx, app->gps.owny);
    app->gps.ownhdg = f.course;
  }
  // True when the map picture (single maps) or the tiles (tiled maps) were loaded since the
  // last call.
  bool loaded() {
    ZarnForm& z = app->win.zarn;
    const bool single = z.map.picture != nullptr;
    const bool tiled = z.showcmd.caption == ".";
    z.map.picture = nullptr;
    z.showcmd.caption.clear();
    return single || tiled;
  }
  void synthetic() {
    // Nested grid maps around (375, 382): 40, 20 and 10 km wide, plus a second 20 km map.
    gridmap("WIDE", "SJ 55000 67000", "SJ 55000 97000", "SJ 95000 67000");
    gridmap("MID", "SJ 65000 74500", "SJ 65000 89500", "SJ 85000 74500");
    gridmap("MID2", "SJ 65000 74500", "SJ 65000 89500", "SJ 85000 74500");
    gridmap("SMALL", "SJ 70000 78250", "SJ 70000 85750", "SJ 80000 78250");
    for (const char* p : {"WIDE.BMP", "MID.BMP", "MID2.BMP", "SMALL.BMP"}) bmp(p);
    put("MAPS.DIR", "WIDE\r\nMID\r\nMID2\r\nSMALL\r\n");
    ASSERT_TRUE(readmaplist(*app));
  }
};

TEST_F(Choice, RecordedDriveGoesFromTheNationalMapToTheLocalOnes) {
  if (!maptest::demopresent()) GTEST_SKIP() << "demo map set not generated yet";
  const auto fixes = drive();
  ASSERT_GT(fixes.size(), 1000u);
  copydemo();
  ASSERT_TRUE(readmaplist(*app));
  tileinit(*app);

  // Before the first fix no map holds the position: the first, national map is shown.
  choosemap(*app, app->gps.ownx, app->gps.owny);
  EXPECT_EQ(current(), "GBIRL");

  // Along the drive the tiled map of the drive is the most detailed one; its view keeps the car
  // near the centre, re-centred when it drifts 40 pixels on either axis.
  int recentred = 0;
  std::set<std::string> shown;
  for (const Fix& f : fixes) {
    at(f);
    loaded();
    choosemap(*app, app->gps.ownx, app->gps.owny);
    shown.insert(current());
    if (loaded()) ++recentred;
    float px = 0, py = 0;
    ASSERT_TRUE(worldtopix(*app, app->gps.ownx, app->gps.owny, px, py));
    ASSERT_LT(std::fabs(px - 320), 40) << "car kept near the centre";
    ASSERT_LT(std::fabs(py - 240), 40);
  }
  EXPECT_EQ(shown, std::set<std::string>{"DRIVE"});
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

  // With the tiled map out of the choice the local map serves the whole drive: loaded once.
  app->map.minscale = 7;
  int loads = 0;
  for (const Fix& f : fixes) {
    at(f);
    choosemap(*app, app->gps.ownx, app->gps.owny);
    ASSERT_EQ(current(), "0LOCAL");
    loads += loaded();
  }
  EXPECT_EQ(loads, 1);
}

TEST_F(Choice, HeadingUpLoadsTheTurnedPictureOfEachSector) {
  if (!maptest::demopresent()) GTEST_SKIP() << "demo map set not generated yet";
  copydemo();
  ASSERT_TRUE(readmaplist(*app));
  MapView& m = app->map;
  ASSERT_EQ(m.rotsectors, 8);
  m.headingup = 1;
  m.minscale = 7;  // the local single-picture map, not the tiles
  // The sector of a heading, 8 sectors, as the heading-up table gives it.
  auto sector = [](int h) {
    if (h < 0) return 0;
    const int upper[] = {22, 67, 112, 157, 202, 247, 292, 337};
    for (int s = 0; s < 8; ++s)
      if (h <= upper[s]) return s;
    return 0;
  };
  int changes = 0, loads = 0, last = -1;
  for (const Fix& f : drive()) {
    at(f);
    loaded();
    choosemap(*app, app->gps.ownx, app->gps.owny);
    loads += loaded();
    ASSERT_EQ(current(), "0LOCAL");
    const int s = sector(f.course);
    if (s != last) ++changes;
    last = s;
    ASSERT_EQ(m.rotsector, s) << "heading " << f.course;
    ASSERT_EQ(m.mapbmp, std::to_string(s) + "LOCAL.BMP") << "heading " << f.course;
    ASSERT_EQ(m.norotmap, 0);
  }
  EXPECT_GT(changes, 10);
  EXPECT_EQ(loads, changes) << "one load per sector change, none in between";
}

TEST(SetRotation, SectorsByHeading) {
  App app;
  MapView& m = app.map;
  m.headingup = 1;
  const struct {
    int sectors, heading;
    float angle;
  } cases[] = {{8, -1, 0},    {8, 22, 0},     {8, 23, 45},    {8, 337, 315}, {8, 338, 0},
               {8, 359, 0},   {8, 158, 180},  {4, -1, 0},     {4, 44, 0},    {4, 45, 90},
               {4, 314, 270}, {4, 315, 0},    {2, -1, 0},     {2, 89, 0},    {2, 90, 180},
               {2, 269, 180}, {2, 270, 0}};
  for (const auto& c : cases) {
    m.rotsectors = c.sectors;
    app.gps.ownhdg = c.heading;
    setrotation(app);
    EXPECT_EQ(m.rotangle, c.angle) << c.sectors << " sectors, heading " << c.heading;
    EXPECT_NEAR(m.rotsin, std::sin(c.angle * 3.14159 / 180), 1e-5);
    EXPECT_NEAR(m.rotsinneg, -m.rotsin, 1e-6);
    EXPECT_NEAR(m.rotcosneg, m.rotcos, 1e-6);
  }
  m.headingup = 0;
  app.gps.ownhdg = 90;
  setrotation(app);
  EXPECT_EQ(m.rotangle, 0);
  EXPECT_EQ(m.rotcos, 1);
  m.headingup = 1;
  m.rotsectors = 0;  // heading-up asked for without turned pictures
  setrotation(app);
  EXPECT_EQ(m.rotangle, 0);
}

TEST_F(Choice, ChoosesTheNarrowestAllowedMap) {
  synthetic();
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
}

TEST_F(Choice, EmptyCatalogueLoadsNothing) {
  put("MAPS.DIR", "");
  ASSERT_TRUE(readmaplist(*app));
  choosemap(*app, 375, 382);
  EXPECT_EQ(app->map.curmap, 0);
  EXPECT_FALSE(loaded());
}

TEST_F(Choice, HeadingUpReloadsTheSameMapOncePerSectorChange) {
  gridmap("0TOWN", "SJ 70000 78250", "SJ 70000 85750", "SJ 80000 78250");
  for (char d = '0'; d <= '7'; ++d) bmp(std::string(1, d) + "TOWN.BMP");
  put("MAPS.DIR", "0TOWN\r\n");
  ASSERT_TRUE(readmaplist(*app));
  app->map.headingup = 1;
  app->gps.ownhdg = 10;
  choosemap(*app, 375, 382);
  EXPECT_TRUE(loaded());
  app->gps.ownhdg = 20;
  choosemap(*app, 375, 382);
  EXPECT_FALSE(loaded());
  app->gps.ownhdg = 30;
  choosemap(*app, 375, 382);
  EXPECT_TRUE(loaded());
  EXPECT_EQ(app->map.mapbmp, "1TOWN.BMP");
  choosemap(*app, 375, 382);
  EXPECT_FALSE(loaded());
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
  // The frame position at dx, dy pixels from the window centre (320, 240) on the view shown.
  void move(float dx, float dy) {
    const MapView& m = app->map;
    app->gps.ownx = m.mapxmin + (320 + dx) * (m.mapxmax - m.mapxmin) / 639;
    app->gps.owny = m.mapymax - (240 + dy) * (m.mapymax - m.mapymin) / 479;
  }
};

TEST_F(Tiled, RecentredWhenThePositionDriftsFortyPixels) {
  move(39, 39);
  choosemap(*app, app->gps.ownx, app->gps.owny);
  EXPECT_FALSE(loaded()) << "39 pixels on both axes";
  move(0, -40.01f);
  choosemap(*app, app->gps.ownx, app->gps.owny);
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
  choosemap(*app, app->gps.ownx, app->gps.owny);
  ASSERT_EQ(m.rotangle, 90);
  EXPECT_FALSE(loaded());
}

TEST_F(Choice, ZoomWalksOutwardAndBack) {
  synthetic();
  MapView& m = app->map;
  app->gps.ownx = 375;
  app->gps.owny = 382;
  choosemap(*app, 375, 382);
  ASSERT_EQ(current(), "SMALL");
  m.minscale = 0.0001f;
  zoomnextmap(*app);
  EXPECT_EQ(current(), "MID2");
  EXPECT_FLOAT_EQ(m.minscale, 20);
  zoomnextmap(*app);
  EXPECT_EQ(current(), "WIDE");
  zoomnextmap(*app);
  EXPECT_FLOAT_EQ(m.minscale, 0.0001f) << "past the widest map";
  EXPECT_EQ(current(), "SMALL");

  // "X": minscale 0 stays 0.
  m.minscale = 0;
  zoomnextmap(*app);
  EXPECT_EQ(m.minscale, 0);
  EXPECT_EQ(current(), "SMALL");
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
  EXPECT_EQ(m.automapy, 382);
  m.automapon = 0;
  app->gps.ownx = 400;
  automapmove(*app);
  EXPECT_EQ(m.automapx, 375.01f) << "switched off";
}

}  // namespace
}  // namespace zarn
