// The map catalogue: MAPS.DIR kept up to date from the descriptions on disk, the catalogue
// built from the descriptions or from the FASTMAPS.DAT cache, and the containment test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "mainwindow/cform.h"
#include "mainwindow/startwin.h"
#include "map_support.h"
#include "mapdisplay/catalogue.h"

namespace zarn {
namespace {

using maptest::MapTest;

struct Entry {
  std::string name;
  int latlon, kind;
  float ew, swx, swy, nex, ney, x640;
  bool operator==(const Entry&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Entry& e) {
  return os << e.name << " ll" << e.latlon << " k" << e.kind << " ew" << e.ew << " sw(" << e.swx << "," << e.swy
            << ") ne(" << e.nex << "," << e.ney << ") x640 " << e.x640;
}
std::vector<Entry> catalogue(const MapView& m) {
  std::vector<Entry> v;
  for (int i = 1; i <= m.mapcount; ++i) {
    const auto k = static_cast<std::size_t>(i);
    v.push_back({m.mapname[k], m.maplatlon[k], m.mapkind[k], m.mapew[k], m.mapswx[k], m.mapswy[k], m.mapnex[k],
                 m.mapney[k], m.mapx640[k]});
  }
  return v;
}

class Catalogue : public MapTest {
 protected:
  std::string status() { return app->win.get<StartForm>().trace.caption; }
  std::vector<std::string> titles() { return app->win.get<CForm>().map.items; }
};

TEST_F(Catalogue, DemoSetReadsTheSameFromDescriptionsAndFromTheCache) {
  if (!maptest::demopresent()) GTEST_SKIP() << "demo map set not generated yet";
  copydemo();
  scanmaps(*app);
  EXPECT_EQ(wav->beeps, 0) << "every description of the demo set is listed already";
  ASSERT_TRUE(readmaplist(*app));
  const auto slow = catalogue(app->map);
  ASSERT_EQ(slow.size(), 6u);
  EXPECT_EQ(slow[0].name, "GBIRL");
  EXPECT_EQ(slow[0].latlon, 1);
  EXPECT_EQ(slow[5].name, "DRIVE");
  EXPECT_EQ(slow[5].kind, 2) << "TILE2: tile naming scheme 2";
  EXPECT_FLOAT_EQ(slow[5].ew, 6.4f) << "view width at 640 pixels";
  EXPECT_EQ(app->map.maxrotsect, 8) << "0LOCAL has its seven turned copies";
  EXPECT_EQ(app->map.rotsectors, 8);
  const auto slowtitles = titles();
  EXPECT_EQ(slowtitles.front(), "Great Britain and Ireland");

  // Grid maps with their references on the corner pixels span exactly between them.
  for (const Entry& e : slow) {
    if (e.latlon || e.kind || e.name == "IRELAND") continue;
    const auto d = readdes(app->files, e.name + ".DES");
    ASSERT_TRUE(d);
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
    parsepos(app->geo, d->r[0], x1, y1);
    parsepos(app->geo, d->r[1], x2, y2);
    parsepos(app->geo, d->r[2], x3, y3);
    EXPECT_NEAR(e.swx, x1, 1e-3) << e.name;
    EXPECT_NEAR(e.swy, y1, 1e-3) << e.name;
    EXPECT_NEAR(e.nex, x3, 1e-3) << e.name;
    EXPECT_NEAR(e.ney, y2, 1e-3) << e.name;
    EXPECT_FLOAT_EQ(e.ew, e.nex - e.swx);
  }

  ASSERT_TRUE(savefastmaps(*app));
  EXPECT_EQ(get("FASTMAPS.DAT").size(), 2 + 44 * slow.size());
  App fresh;
  fresh.files.setworkdir(dir);
  ASSERT_TRUE(loadccc(fresh));
  ASSERT_TRUE(readmaplist(fresh));
  EXPECT_EQ(catalogue(fresh.map), slow);
  EXPECT_EQ(fresh.win.get<CForm>().map.items, slowtitles);
  EXPECT_EQ(fresh.win.get<StartForm>().trace.caption, "Reading Map list from FASTMAPS.DAT ...");
  EXPECT_EQ(fresh.map.maxrotsect, 0) << "the cache does not count turned pictures";
}

TEST_F(Catalogue, MapsDirIsCreatedAndDescriptionsOnDiskAreAddedOnce) {
  gridmap("AREA", "SJ 70000 78000", "SJ 70000 86000", "SJ 80000 78000");
  bmp("AREA.BMP");
  scanmaps(*app);
  EXPECT_EQ(get("MAPS.DIR"), "THEWORLD\r\nAREA\r\n");
  EXPECT_EQ(status(), "Adding AREA to MAPS.DIR");
  EXPECT_EQ(wav->beeps, 1);
  scanmaps(*app);
  EXPECT_EQ(get("MAPS.DIR"), "THEWORLD\r\nAREA\r\n") << "listed now: not added again";

  // A last line without its line end is not run together with the name added.
  put("MAPS.DIR", "AREA");
  gridmap("MORE", "SJ 70000 78000", "SJ 70000 86000", "SJ 80000 78000");
  scanmaps(*app);
  EXPECT_EQ(get("MAPS.DIR"), "AREA\r\nMORE\r\n");
}

TEST_F(Catalogue, ExtraDirectoryMapsAreListedOnceWhateverTheCaseOfItsPrefix) {
  std::filesystem::create_directories(dir / "extra");
  put("extra/FAR.DES", "Far away\r\nFAR\r\nSJ 70000 78000, 0, 479\r\nSJ 70000 86000, 0, 0\r\nSJ 80000 78000, 639, 479\r\n");
  bmp("extra/FAR.BMP");
  put("MAPS.DIR", "THEWORLD\r\n");
  app->map.extramaps = "extra/";
  scanmaps(*app);
  EXPECT_EQ(get("MAPS.DIR"), "THEWORLD\r\nextra/FAR\r\n");
  scanmaps(*app);
  scanmaps(*app);
  EXPECT_EQ(get("MAPS.DIR"), "THEWORLD\r\nextra/FAR\r\n") << "not appended again on every start";
  EXPECT_EQ(wav->beeps, 1);
}

TEST_F(Catalogue, ListEndsAtAnEmptyLine) {
  for (const char* n : {"ONE", "TWO", "THREE"}) {
    gridmap(n, "SJ 70000 78000", "SJ 70000 86000", "SJ 80000 78000");
    bmp(std::string(n) + ".BMP");
  }
  put("MAPS.DIR", "ONE\r\nTWO\r\n\r\nTHREE\r\n");
  ASSERT_TRUE(readmaplist(*app));
  ASSERT_EQ(app->map.mapcount, 2);
  EXPECT_EQ(app->map.mapname[2], "TWO");
  EXPECT_EQ(titles(), (std::vector<std::string>{"ONE", "TWO"}));
  EXPECT_EQ(status(), "TWO") << "each map's title shows while it is read";
}

TEST_F(Catalogue, CacheHoldsNamesRightAlignedAndRefusesNamesItCannotHold) {
  MapView& m = app->map;
  m.mapcount = 1;
  m.mapname[1] = "CHESH";
  m.mapkind[1] = 0;
  m.mapew[1] = 80;
  m.mapswx[1] = 327;
  m.mapnex[1] = 407;
  m.mapswy[1] = 338;
  m.mapney[1] = 398;
  ASSERT_TRUE(savefastmaps(*app));
  std::string bytes = get("FASTMAPS.DAT");
  ASSERT_EQ(bytes.size(), 46u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\x01\x00", 2));
  EXPECT_EQ(bytes.substr(2, 16), std::string(11, ' ') + "CHESH");
  float swx = 0, nex = 0;
  std::memcpy(&swx, bytes.data() + 2 + 24, 4);
  std::memcpy(&nex, bytes.data() + 2 + 28, 4);
  EXPECT_EQ(swx, 327.0f) << "east values before north values";
  EXPECT_EQ(nex, 407.0f);

  // A shorter catalogue written over a longer cache leaves nothing of it behind.
  put("FASTMAPS.DAT", std::string(500, 'x'));
  ASSERT_TRUE(savefastmaps(*app));
  EXPECT_EQ(get("FASTMAPS.DAT"), bytes);

  // A name longer than the record's 16 characters would be misread: nothing is written.
  m.mapcount = 2;
  m.mapname[2] = "MAPS/SOMEWHERE/FAR";
  app->speech.talkon = 1;
  EXPECT_FALSE(savefastmaps(*app));
  EXPECT_EQ(get("FASTMAPS.DAT"), bytes);
  EXPECT_NE(app->speech.msgtext.find("FASTMAPS.DAT not written"), std::string::npos) << app->speech.msgtext;

  // Read back trimmed; a count beyond the records present reads only the whole ones.
  bytes[0] = 9;
  put("FASTMAPS.DAT", bytes + "partial");
  put("CHESH.DES", "Cheshire\r\n");
  App fresh;
  fresh.files.setworkdir(dir);
  ASSERT_TRUE(readmaplist(fresh));
  ASSERT_EQ(fresh.map.mapcount, 1);
  EXPECT_EQ(fresh.map.mapname[1], "CHESH");
  EXPECT_EQ(fresh.win.get<CForm>().map.items, std::vector<std::string>{"Cheshire"});
}

TEST_F(Catalogue, CountsTurnedPicturesOfAHeadingUpMap) {
  gridmap("0TOWN", "SJ 70000 78000", "SJ 70000 86000", "SJ 80000 78000");
  for (const char* p : {"0TOWN.BMP", "2TOWN.BMP", "4TOWN.BMP"}) bmp(p);
  put("MAPS.DIR", "0TOWN\r\n");
  ASSERT_TRUE(readmaplist(*app));
  EXPECT_EQ(app->map.maxrotsect, 3);
  EXPECT_EQ(app->map.rotsectors, 3);
}

TEST_F(Catalogue, TiledMapTakesItsSchemeAndAViewWidthForTheMapArea) {
  put("TILED.DES",
      "Tiles\r\nTILED\r\nTILE2TILES\\, 6.4, 0\r\nSJ 71800 81000, 0, 0\r\nSJ 80100 86000, 0, 0\r\n");
  put("MAPS.DIR", "TILED\r\n");
  app->map.scrwidth = 800;
  ASSERT_TRUE(readmaplist(*app));
  ASSERT_EQ(app->map.mapcount, 1);
  EXPECT_EQ(app->map.mapkind[1], 2);
  EXPECT_FLOAT_EQ(app->map.mapew[1], 6.4f * 800 / 640);
  EXPECT_NEAR(app->map.mapswx[1], 371.8f, 1e-3);
  EXPECT_NEAR(app->map.mapney[1], 386.0f, 1e-3);
  EXPECT_NE(status(), "Tiles") << "a tiled map shows no title while read";
}

TEST_F(Catalogue, LatitudeLongitudeMapsAndTheWholeWorld) {
  // 10 W to 20 E over the whole 640-pixel picture, 50 N to 60 N.
  put("EUROPE.DES", "Europe\r\nEUROPE\r\nLL, 640, 480\r\n500000N0100000W, 0, 479\r\n600000N0200000E, 639, 0\r\n");
  bmp("EUROPE.BMP");
  put("WORLD.DES", "World\r\nWORLD\r\nLL, 640, 480\r\n500000N1800000W, 0, 479\r\n600000N1800000E, 639, 0\r\n");
  bmp("WORLD.BMP");
  put("MAPS.DIR", "EUROPE\r\nWORLD\r\n");
  ASSERT_TRUE(readmaplist(*app));
  ASSERT_EQ(app->map.mapcount, 2);
  float x = 0, y = 0;
  lltoosgb(app->geo, 50, -10, x, y);
  EXPECT_NEAR(app->map.mapswx[1], x, 0.01);
  EXPECT_NEAR(app->map.mapswy[1], y, 0.01);
  lltoosgb(app->geo, 60, 20, x, y);
  EXPECT_NEAR(app->map.mapnex[1], x, 0.01);
  EXPECT_NEAR(app->map.mapney[1], y, 0.01);
  EXPECT_EQ(app->map.maplatlon[1], 1);

  lltoosgb(app->geo, -90, -180, x, y);
  EXPECT_NEAR(app->map.mapswx[2], x, 0.01) << "longitudes 360 apart: the world";
  EXPECT_NEAR(app->map.mapswy[2], y, 0.01);
  lltoosgb(app->geo, 90, 180, x, y);
  EXPECT_NEAR(app->map.mapnex[2], x, 0.01);
  EXPECT_NEAR(app->map.mapney[2], y, 0.01);
}

TEST_F(Catalogue, DescriptionWhoseReferencePointsShareAColumnIsLeftOut) {
  put("FLAT.DES", "Flat\r\nFLAT\r\nSJ 70000 78000, 100, 479\r\nSJ 70000 86000, 100, 0\r\nSJ 80000 78000, 100, 479\r\n");
  bmp("FLAT.BMP");
  gridmap("GOOD", "SJ 70000 78000", "SJ 70000 86000", "SJ 80000 78000");
  bmp("GOOD.BMP");
  put("MAPS.DIR", "FLAT\r\nGOOD\r\n");
  ASSERT_TRUE(readmaplist(*app));
  ASSERT_EQ(app->map.mapcount, 1);
  EXPECT_EQ(app->map.mapname[1], "GOOD");
  for (int i = 1; i <= 1; ++i) {
    EXPECT_TRUE(std::isfinite(app->map.mapswx[1]) && std::isfinite(app->map.mapew[1]));
  }
}

TEST_F(Catalogue, MissingPictureEndsTheProgramWithTheMapMissingBox) {
  gridmap("GONE", "SJ 70000 78000", "SJ 70000 86000", "SJ 80000 78000");
  put("MAPS.DIR", "GONE\r\n");
  app->map.extramaps = "D:\\MAPS\\";
  EXPECT_FALSE(readmaplist(*app));
  EXPECT_TRUE(app->main.quit);
  EXPECT_EQ(wav->beeps, 1);
  ASSERT_EQ(dialogs->shown.size(), 1u);
  EXPECT_EQ(dialogs->shown[0].title, "ZARN Map Missing");
  EXPECT_EQ(dialogs->shown[0].prompt,
            "The map image GONE.BMP is missing from both my local directory and D:\\MAPS\\.Find it or remove "
            "GONE.DES  If you can't find GONE.DES it is possible that GONE appears within another .DES file.");
}

TEST_F(Catalogue, MissingDescriptionShowsItsBoxes) {
  // Without its picture either: the program ends.
  put("MAPS.DIR", "nowhere\r\n");
  EXPECT_FALSE(readmaplist(*app));
  EXPECT_TRUE(app->main.quit);
  ASSERT_EQ(dialogs->shown.size(), 1u);
  EXPECT_EQ(dialogs->shown[0].title, "Image File Missing");
  EXPECT_EQ(dialogs->shown[0].prompt, "MAPS.DIR contains an entry called NOWHERE but the image file NOWHERE.BMP is missing.");

  // With its picture: the user is told to calibrate it, and the size of the picture.
  app->main.quit = false;
  dialogs->shown.clear();
  put("MAPS.DIR", "NEWMAP\r\n");
  bmp("NEWMAP.BMP", 800, 600);
  EXPECT_TRUE(readmaplist(*app));
  EXPECT_EQ(app->map.mapcount, 0) << "nothing to catalogue until it is described";
  ASSERT_EQ(dialogs->shown.size(), 2u);
  EXPECT_EQ(dialogs->shown[0].title, "Description File Missing");
  EXPECT_EQ(dialogs->shown[0].prompt,
            "The description file NEWMAP.DES for this map image is missing. You will be asked to define two "
            "reference positions so that NEWMAP.DES can be created. You will then have to start ZARN again.");
  EXPECT_EQ(dialogs->shown[1].title, "NEWMAP.BMP is 800x600 pixels.");
  EXPECT_EQ(dialogs->shown[1].prompt, "Warning. Only 640x480 or 800x600 BMP supported.");
  bmp("NEWMAP.BMP", 640, 480);
  dialogs->shown.clear();
  readmaplist(*app);
  ASSERT_EQ(dialogs->shown.size(), 2u);
  EXPECT_EQ(dialogs->shown[1].prompt, "This Image is standard 640x480. If it looks OK it is OK.");
}

TEST_F(Catalogue, MoreThanElevenHundredDescriptionsKeepTheFirst) {
  std::string dirlist;
  for (int i = 0; i < MapView::mapmax + 2; ++i) put("M" + std::to_string(i) + ".DES", "x\r\n");
  put("MAPS.DIR", "");
  scanmaps(*app);
  EXPECT_EQ(wav->beeps, 2 + MapView::mapmax) << "one beep for each of the two dropped, one for each added";
  const auto lines = app->files.readlines("MAPS.DIR");
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines->size(), static_cast<std::size_t>(MapView::mapmax));
}

TEST(MapCovers, InsetIsStrictAndFourTimesWiderInTheSouth) {
  MapView m;
  m.mapswx[1] = 0;
  m.mapnex[1] = 64;
  m.mapswy[1] = 0;
  m.mapney[1] = 48;
  m.mapew[1] = 64;  // inset 1 km, 4 km in the south
  EXPECT_TRUE(mapcovers(m, 32, 24, 1));
  EXPECT_FALSE(mapcovers(m, 1, 24, 1)) << "on the west inset";
  EXPECT_TRUE(mapcovers(m, 1.01f, 24, 1));
  EXPECT_FALSE(mapcovers(m, 63, 24, 1)) << "on the east inset";
  EXPECT_FALSE(mapcovers(m, 32, 47, 1)) << "on the north inset";
  EXPECT_FALSE(mapcovers(m, 32, 4, 1)) << "on the south inset";
  EXPECT_FALSE(mapcovers(m, 32, 3.5f, 1)) << "inside the map but within a sixteenth of the south edge";
  EXPECT_TRUE(mapcovers(m, 32, 4.01f, 1));
  // Across 180 degrees the east edge lies west of the west edge.
  m.mapswx[2] = 100;
  m.mapnex[2] = -100;
  m.mapswy[2] = 0;
  m.mapney[2] = 48;
  m.mapew[2] = 64;
  EXPECT_TRUE(mapcovers(m, 150, 24, 2));
  EXPECT_TRUE(mapcovers(m, -150, 24, 2));
  EXPECT_FALSE(mapcovers(m, 0, 24, 2));
  EXPECT_FALSE(mapcovers(m, 0, 24, MapView::mapmax + 1)) << "no such map";
}

}  // namespace
}  // namespace zarn
