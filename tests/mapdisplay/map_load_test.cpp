// Loading a map: every demo map lands on the pixels its description gives, place-file
// thresholds, turned and stretched pictures, the rights notice, refused descriptions and the
// landmark file names.
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "map_support.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/geofile.h"
#include "mapdisplay/mapload.h"
#include "mapdisplay/tiles.h"

namespace zarn {
namespace {

class Load : public maptest::MapTest {
 protected:
  // A one-map catalogue of a grid map 10 km x 7.5 km in SJ, its picture of the given size.
  void onemap(const std::string& name = "AREA", int w = 640, int h = 480, const std::string& places = "") {
    put(name + ".DES", "Area\r\n" + name + "\r\nSJ 70000 78000, 0, " + std::to_string(h - 1) +
                           "\r\nSJ 70000 85500, 0, 0\r\nSJ 80000 78000, " + std::to_string(w - 1) + ", " +
                           std::to_string(h - 1) + "\r\n" + places);
    bmp(name + ".BMP", w, h);
    put("MAPS.DIR", name + "\r\n");
    ASSERT_TRUE(readmaplist(*app));
  }
  MapView& m() { return app->map; }
};

TEST_F(Load, EveryDemoMapPutsItsReferencePointsOnTheirPixels) {
  if (!maptest::demopresent()) GTEST_SKIP() << "demo map set not generated yet";
  copydemo();
  ASSERT_TRUE(readmaplist(*app));
  tileinit(*app);
  ASSERT_GE(m().mapcount, 6);
  for (int i = 1; i <= m().mapcount; ++i) {
    const auto k = static_cast<std::size_t>(i);
    SCOPED_TRACE(m().mapname[k]);
    const auto d = readdes(app->files, m().mapname[k] + ".DES");
    ASSERT_TRUE(d);
    // The own car in the middle of the map, where a tiled map centres its view.
    app->gps.ownx = (m().mapswx[k] + m().mapnex[k]) / 2;
    app->gps.owny = (m().mapswy[k] + m().mapney[k]) / 2;
    loadmap(*app, i);
    ASSERT_EQ(m().curmap, i);
    EXPECT_EQ(m().maptitle, d->title);
    EXPECT_TRUE(z().mapcopy.visible) << "rights notice shown";
    EXPECT_EQ(z().cpytext.caption, "c   GeoNames CC BY 4.0, GSHHG LGPL");
    EXPECT_NE(z().map.visible, z().tilenw.visible);
    if (m().mapkind[k] >= 1) {
      EXPECT_NEAR(m().mapxmax - m().mapxmin, 6.4, 1e-4);
      EXPECT_NEAR(m().mapymax - m().mapymin, 4.8, 1e-4);
      EXPECT_NEAR((m().mapxmin + m().mapxmax) / 2, app->gps.ownx, 1e-3);
      EXPECT_NEAR((m().mapymin + m().mapymax) / 2, app->gps.owny, 1e-3);
      continue;
    }
    EXPECT_TRUE(z().map.visible);
    EXPECT_NEAR(m().placemin, 3, 1e-6) << "BIGPLACE of ZARN.WAW";
    // The bounds put each reference position on the pixel the description gives it.
    for (std::size_t r = 0; r < 3; ++r) {
      if (r == 0 && d->r[0] == "LL") continue;
      float x = 0, y = 0, px = 0, py = 0;
      parsepos(app->geo, d->r[r], x, y);
      ASSERT_TRUE(worldtopix(app->geo, app->map, x, y, px, py));
      EXPECT_NEAR(px, d->a[r], 0.05) << d->r[r];
      EXPECT_NEAR(py, d->b[r], 0.05) << d->r[r];
    }
  }
}

TEST_F(Load, PlaceFileThreshold) {
  const struct {
    const char *guards, *file;
    float placemin;
  } cases[] = {
      {"largest importance below the default", "SJ 1,Ashley,a.wav, 2\r\nSJ 2,Hale,h.wav, 4\r\n", 4},
      {"BIGPLACE sets it", "SJ 1,Big,b.wav, 9\r\nBIGPLACE,NULL,NULL, 7\r\n", 7},
      {"places above the default keep it", "SJ 1,City,c.wav, 9\r\nSJ 2,Town,t.wav, 5\r\n", 6},
      {"an empty name ends the list", "SJ 1,Town,t.wav, 2\r\n,,, 0\r\nSJ 9,Late,l.wav, 3\r\n", 2},
  };
  for (const auto& c : cases) {
    put("PLACES.WAW", c.file);
    EXPECT_FLOAT_EQ(placethreshold(*app, "PLACES.WAW"), c.placemin) << c.guards;
  }
  EXPECT_FLOAT_EQ(placethreshold(*app, "NONE.WAW"), 6) << "missing place file";
  onemap("AREA", 640, 480, "PLACES.WAW\r\n");  // a description's sixth line names the map's own
  loadmap(*app, 1);
  EXPECT_EQ(m().placesfile, "PLACES.WAW");
  EXPECT_FLOAT_EQ(m().placemin, 2);
}

TEST_F(Load, TurnedPictureOfTheSectorOrNorthUpWhenItIsMissing) {
  onemap("0TOWN");
  bmp("2TOWN.BMP");
  turn(90);
  m().rotsector = 2;
  loadmap(*app, 1);
  EXPECT_EQ(m().mapbmp, "2TOWN.BMP");
  EXPECT_EQ(m().norotmap, 0);
  EXPECT_EQ(m().rotangle, 90);
  ASSERT_TRUE(z().map.picture);
  EXPECT_EQ(std::filesystem::path(z().map.picture->path).filename(), "2TOWN.BMP");

  std::filesystem::remove(dir / "2TOWN.BMP");
  loadmap(*app, 1);
  EXPECT_EQ(m().mapbmp, "0TOWN.BMP");
  EXPECT_EQ(m().norotmap, 1);
  EXPECT_EQ(m().rotsector, 0);
  EXPECT_EQ(std::tuple(m().rotangle, m().rotsin, m().rotcos, m().rotsinneg, m().rotcosneg),
            std::tuple(0.0f, 0.0f, 1.0f, 0.0f, 1.0f));
}

TEST_F(Load, LargerPictureIsStretchedToTheMapAreaAndCalibratedAtItsOwnSize) {
  onemap("BIG", 800, 600);
  m().mapzoom = 1;
  loadmap(*app, 1);
  EXPECT_EQ(m().picwidth, 800);
  EXPECT_FLOAT_EQ(m().mapx640[1], 1.25f);
  EXPECT_TRUE(z().map.stretch);
  EXPECT_EQ(z().map.width, 640) << "the map area, not the physical screen";
  EXPECT_EQ(z().map.height, 480);
  EXPECT_NEAR(m().mapxmin, 370, 1e-3) << "bounds from columns 0..799";
  EXPECT_NEAR(m().mapxmax, 380, 1e-3);
  EXPECT_NEAR(m().mapymin, 378, 1e-3);
  EXPECT_NEAR(m().mapymax, 385.5, 1e-3);
  m().mapzoom = 0;  // without stretching the picture keeps its size
  loadmap(*app, 1);
  EXPECT_FALSE(z().map.stretch);
  EXPECT_EQ(z().map.width, 800);
}

// References anywhere on the picture, the second not above the first: the loaded bounds are the
// catalogue's, the west edge taken from the first point's column.
TEST_F(Load, BoundsFromReferencePointsOffTheCorners) {
  put("AREA.DES", "Area\r\nAREA\r\nSJ 71000 79000, 64, 431\r\nSJ 72000 84000, 128, 31\r\n"
                  "SJ 79000 79500, 576, 391\r\n");
  bmp("AREA.BMP");
  put("MAPS.DIR", "AREA\r\n");
  ASSERT_TRUE(readmaplist(*app));
  const float swx = m().mapswx[1], nex = m().mapnex[1];
  EXPECT_NEAR(swx, 371 - 64 * (8.0f / 512), 1e-3);  // SJ is 300 km east
  loadmap(*app, 1);
  EXPECT_FLOAT_EQ(m().mapxmin, swx);
  EXPECT_FLOAT_EQ(m().mapxmax, nex);
}

TEST_F(Load, WorldMapTakesTheWholeGlobe) {
  put("WORLD.DES", "World\r\nWORLD\r\nLL, 640, 480\r\n500000N1800000W, 0, 479\r\n600000N1800000E, 639, 0\r\n");
  bmp("WORLD.BMP");
  put("MAPS.DIR", "WORLD\r\n");
  ASSERT_TRUE(readmaplist(*app));
  loadmap(*app, 1);
  EXPECT_EQ(m().curlatlon, 1);
  EXPECT_EQ(std::tuple(m().maplonmin, m().maplonmax, m().maplatmin, m().maplatmax), std::tuple(-180, 180, -90, 90));
}

TEST_F(Load, RightsNotice) {
  onemap();
  put("AREA.cpr", "Made by us   \r\nfrom data\r\n");
  clock->settimer(100);
  loadmap(*app, 1);
  EXPECT_TRUE(z().mapcopy.visible);
  EXPECT_EQ(z().mapcopy.caption, "Made by us\r\nfrom data\r\n");
  EXPECT_EQ(z().mapcopy.forecolor, ui::white);
  EXPECT_FALSE(z().cpytext.visible) << "no rights mark line";
  EXPECT_FALSE(z().cpyring.visible);
  EXPECT_FLOAT_EQ(app->map.cprtime, 100);

  put("AREA.cpr", "!Dark notice\r\nc   Someone\r\n");
  loadmap(*app, 1);
  EXPECT_EQ(z().mapcopy.caption, "Dark notice\r\n");
  EXPECT_EQ(z().mapcopy.forecolor, ui::black);
  EXPECT_EQ(z().cpyring.bordercolor, ui::black);
  EXPECT_TRUE(z().cpyring.visible);
  EXPECT_EQ(z().cpytext.caption, "c   Someone");
  EXPECT_EQ(z().cpytext.left, 320 - 38) << "half the map area less 3.5 pixels a character";

  std::filesystem::remove(dir / "AREA.cpr");
  loadmap(*app, 1);
  EXPECT_FALSE(z().mapcopy.visible);
}

TEST_F(Load, DescriptionSpoiledAfterTheCatalogueWasBuiltIsRefused) {
  onemap();
  gridmap("OTHER", "SJ 60000 78000", "SJ 60000 85500", "SJ 70000 78000");
  bmp("OTHER.BMP");
  put("MAPS.DIR", "AREA\r\nOTHER\r\n");
  ASSERT_TRUE(readmaplist(*app));
  loadmap(*app, 2);
  ASSERT_EQ(m().curmap, 2);
  const float xmin = m().mapxmin;
  // The reference points now share a column: dividing by their distance would give nonsense.
  put("AREA.DES", "Area\r\nAREA\r\nSJ 70000 78000, 5, 479\r\nSJ 70000 85500, 5, 0\r\nSJ 80000 78000, 5, 479\r\n");
  loadmap(*app, 1);
  EXPECT_EQ(m().curmap, 2) << "the current map stays";
  EXPECT_EQ(m().mapxmin, xmin);
  EXPECT_NE(app->speech.msgtext.find("AREA.DES"), std::string::npos) << app->speech.msgtext;
  EXPECT_FALSE(mapcovers(m(), 375, 382, 1)) << "no longer chosen";
  loadmap(*app, 0);
  loadmap(*app, 3);
  EXPECT_EQ(m().curmap, 2) << "no such map: nothing happens";
}

TEST_F(Load, MissingPictureLeavesTheMapBlankAndSaysSo) {
  onemap();
  loadmap(*app, 1);
  ASSERT_TRUE(z().map.picture);
  std::filesystem::remove(dir / "AREA.BMP");
  loadmap(*app, 1);
  EXPECT_FALSE(z().map.picture) << "not the previous map's picture under new bounds";
  EXPECT_EQ(app->speech.msgtext, "Map picture AREA.BMP is missing");
}

TEST(GeoFileName, NamesTheCellOfEachPositionForm) {
  const std::pair<const char*, const char*> cases[] = {
      {"SU 12345 67890", "SU1267.GEO"},
      {"O 15855 34718", "O1534.GEO"},
      {"533145N0024500W", "53N002WF.GEM"},  // 31 minutes of latitude: band F (15); 45 of longitude: M (22)
      // Any other form names no cell: a name left from the position before would be wrong.
      {"", ""}, {"SU1267", ""}, {"51.5 -0.1", ""}, {"30U 123456 1234567", ""}};
  for (const auto& [text, expected] : cases) {
    std::string file = "SU1267.GEO";
    geofilename(text, file);
    EXPECT_EQ(file, expected) << text;
  }
}

}  // namespace
}  // namespace zarn
