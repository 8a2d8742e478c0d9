// The map catalogue: MAPS.DIR kept up to date from the descriptions on disk, the catalogue
// built from the descriptions or from the FASTMAPS.DAT cache, and the containment test.
#include <cstring>

#include "mainwindow/cform.h"
#include "mainwindow/startwin.h"
#include "map_support.h"
#include "mapdisplay/catalogue.h"

namespace zarn {
namespace {

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
  for (std::size_t k = 1; k <= static_cast<std::size_t>(m.mapcount); ++k)
    v.push_back({m.mapname[k], m.maplatlon[k], m.mapkind[k], m.mapew[k], m.mapswx[k], m.mapswy[k], m.mapnex[k],
                 m.mapney[k], m.mapx640[k]});
  return v;
}

class Catalogue : public maptest::MapTest {
 protected:
  std::string status() { return app->win.get<StartForm>().trace.caption; }
  std::vector<std::string> titles() { return app->win.get<CForm>().map.items; }
  const MapView& m() { return app->map; }
};

TEST_F(Catalogue, DemoSetReadsTheSameFromDescriptionsAndFromTheCache) {
  if (!maptest::demopresent()) GTEST_SKIP() << "demo map set not generated yet";
  copydemo();
  scanmaps(*app);
  EXPECT_EQ(wav->beeps, 0) << "every description of the demo set is listed already";
  ASSERT_TRUE(readmaplist(*app));
  const auto slow = catalogue(m());
  ASSERT_EQ(slow.size(), 6u);
  EXPECT_EQ(slow[0].latlon, 1);
  EXPECT_EQ(slow[5].kind, 2) << "TILE2: tile naming scheme 2";
  EXPECT_FLOAT_EQ(slow[5].ew, 6.4f) << "view width at 640 pixels";
  EXPECT_EQ(m().maxrotsect, 8) << "0LOCAL has its seven turned copies";
  EXPECT_EQ(titles().front(), "Great Britain and Ireland");

  ASSERT_TRUE(savefastmaps(*app));
  EXPECT_EQ(get("FASTMAPS.DAT").size(), 2 + 44 * slow.size());
  App fresh;
  fresh.files.setworkdir(dir);
  ASSERT_EQ(loadccc(fresh.geo, fresh.files), std::nullopt);
  ASSERT_TRUE(readmaplist(fresh));
  EXPECT_EQ(catalogue(fresh.map), slow);
  EXPECT_EQ(fresh.win.get<CForm>().map.items, titles());
  EXPECT_EQ(fresh.win.get<StartForm>().trace.caption, "Reading Map list from FASTMAPS.DAT ...");
  EXPECT_EQ(fresh.map.maxrotsect, 0) << "the cache does not count turned pictures";
}

TEST_F(Catalogue, DescriptionsOnDiskAreAddedToMapsDirOnce) {
  gridmap("AREA", "SJ 70000 78000", "SJ 70000 86000", "SJ 80000 78000");
  scanmaps(*app);
  EXPECT_EQ(get("MAPS.DIR"), "THEWORLD\r\nAREA\r\n") << "created when missing";
  EXPECT_EQ(status(), "Adding AREA to MAPS.DIR");
  EXPECT_EQ(wav->beeps, 1);
  scanmaps(*app);
  EXPECT_EQ(get("MAPS.DIR"), "THEWORLD\r\nAREA\r\n") << "listed now: not added again";

  put("MAPS.DIR", "AREA");  // a last line without its line end is not run together with the name added
  put("extra/FAR.DES", "Far away\r\n");
  app->map.extramaps = "extra/";
  for (int i = 0; i < 3; ++i) scanmaps(*app);
  EXPECT_EQ(get("MAPS.DIR"), "AREA\r\nextra/FAR\r\n") << "an extra directory's map: not appended on every start";
  EXPECT_EQ(wav->beeps, 2);
}

TEST_F(Catalogue, ListEndsAtAnEmptyLineAndTurnedPicturesAreCounted) {
  for (const char* n : {"0ONE", "TWO", "THREE"}) {
    gridmap(n, "SJ 70000 78000", "SJ 70000 86000", "SJ 80000 78000");
    bmp(std::string(n) + ".BMP");
  }
  bmp("2ONE.BMP");
  bmp("4ONE.BMP");
  put("MAPS.DIR", "0ONE\r\nTWO\r\n\r\nTHREE\r\n");
  ASSERT_TRUE(readmaplist(*app));
  EXPECT_EQ(titles(), (std::vector<std::string>{"0ONE", "TWO"}));
  EXPECT_EQ(status(), "TWO") << "each map's title shows while it is read";
  EXPECT_EQ(m().maxrotsect, 3);
  EXPECT_EQ(m().rotsectors, 3);
}

TEST_F(Catalogue, CacheHoldsNamesRightAlignedAndRefusesNamesItCannotHold) {
  MapView& mv = app->map;
  mv.mapcount = 1;
  mv.mapname[1] = "CHESH";
  mv.mapswx[1] = 327;
  mv.mapnex[1] = 407;
  ASSERT_TRUE(savefastmaps(*app));
  std::string bytes = get("FASTMAPS.DAT");
  ASSERT_EQ(bytes.size(), 46u);
  EXPECT_EQ(bytes.substr(0, 18), std::string("\x01\x00", 2) + std::string(11, ' ') + "CHESH");
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
  mv.mapcount = 2;
  mv.mapname[2] = "MAPS/SOMEWHERE/FAR";
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

TEST_F(Catalogue, TiledLatitudeLongitudeAndWholeWorldMaps) {
  put("TILED.DES", "Tiles\r\nTILED\r\nTILE2TILES\\, 6.4, 0\r\nSJ 71800 81000, 0, 0\r\nSJ 80100 86000, 0, 0\r\n");
  // 10 W to 20 E over the whole 640-pixel picture, 50 N to 60 N; then longitudes 360 apart.
  put("EUROPE.DES", "Europe\r\nEUROPE\r\nLL, 640, 480\r\n500000N0100000W, 0, 479\r\n600000N0200000E, 639, 0\r\n");
  put("WORLD.DES", "World\r\nWORLD\r\nLL, 640, 480\r\n500000N1800000W, 0, 479\r\n600000N1800000E, 639, 0\r\n");
  bmp("EUROPE.BMP");
  bmp("WORLD.BMP");
  put("MAPS.DIR", "EUROPE\r\nWORLD\r\nTILED\r\n");
  app->map.scrwidth = 800;
  ASSERT_TRUE(readmaplist(*app));
  ASSERT_EQ(m().mapcount, 3);
  EXPECT_EQ(m().mapkind[3], 2);
  EXPECT_FLOAT_EQ(m().mapew[3], 6.4f * 800 / 640) << "a view width for the map area";
  EXPECT_NEAR(m().mapswx[3], 371.8f, 1e-3);
  EXPECT_NEAR(m().mapney[3], 386.0f, 1e-3);
  EXPECT_EQ(status(), "World") << "a tiled map shows no title while read";
  const struct {
    int map;
    float lat0, lon0, lat1, lon1;
  } corners[] = {{1, 50, -10, 60, 20}, {2, -90, -180, 90, 180}};
  for (const auto& c : corners) {
    float x = 0, y = 0;
    lltoosgb(app->geo, c.lat0, c.lon0, x, y);
    EXPECT_NEAR(m().mapswx[c.map], x, 0.01) << c.map;
    EXPECT_NEAR(m().mapswy[c.map], y, 0.01) << c.map;
    lltoosgb(app->geo, c.lat1, c.lon1, x, y);
    EXPECT_NEAR(m().mapnex[c.map], x, 0.01) << c.map;
    EXPECT_NEAR(m().mapney[c.map], y, 0.01) << c.map;
    EXPECT_EQ(m().maplatlon[c.map], 1);
  }
}

TEST_F(Catalogue, DescriptionWhoseReferencePointsShareAColumnIsLeftOut) {
  put("FLAT.DES", "Flat\r\nFLAT\r\nSJ 70000 78000, 100, 479\r\nSJ 70000 86000, 100, 0\r\nSJ 80000 78000, 100, 479\r\n");
  bmp("FLAT.BMP");
  gridmap("GOOD", "SJ 70000 78000", "SJ 70000 86000", "SJ 80000 78000");
  bmp("GOOD.BMP");
  put("MAPS.DIR", "FLAT\r\nGOOD\r\n");
  ASSERT_TRUE(readmaplist(*app));
  ASSERT_EQ(m().mapcount, 1);
  EXPECT_EQ(m().mapname[1], "GOOD");
}

TEST_F(Catalogue, MissingPictureOrDescriptionShowsItsBoxes) {
  using Boxes = std::vector<std::pair<std::string, std::string>>;  // title, prompt
  const auto boxes = [&] {
    Boxes v;
    for (const auto& s : dialogs->shown) v.emplace_back(s.title, s.prompt);
    dialogs->shown.clear();
    return v;
  };
  gridmap("GONE", "SJ 70000 78000", "SJ 70000 86000", "SJ 80000 78000");
  put("MAPS.DIR", "GONE\r\n");
  app->map.extramaps = "D:\\MAPS\\";
  EXPECT_FALSE(readmaplist(*app)) << "the program ends";
  EXPECT_TRUE(app->main.quit);
  EXPECT_EQ(wav->beeps, 1);
  EXPECT_EQ(boxes(), (Boxes{{"ZARN Map Missing",
                             "The map image GONE.BMP is missing from both my local directory and D:\\MAPS\\.Find it or "
                             "remove GONE.DES  If you can't find GONE.DES it is possible that GONE appears within "
                             "another .DES file."}}));
  put("MAPS.DIR", "nowhere\r\n");  // without its description either
  EXPECT_FALSE(readmaplist(*app));
  EXPECT_EQ(boxes(), (Boxes{{"Image File Missing",
                             "MAPS.DIR contains an entry called NOWHERE but the image file NOWHERE.BMP is missing."}}));

  // A picture without its description: the user is told to calibrate it, and its size.
  app->main.quit = false;
  put("MAPS.DIR", "NEWMAP\r\n");
  bmp("NEWMAP.BMP", 800, 600);
  EXPECT_TRUE(readmaplist(*app));
  EXPECT_EQ(m().mapcount, 0) << "nothing to catalogue until it is described";
  const std::pair<std::string, std::string> des = {
      "Description File Missing",
      "The description file NEWMAP.DES for this map image is missing. You will be asked to define two reference "
      "positions so that NEWMAP.DES can be created. You will then have to start ZARN again."};
  EXPECT_EQ(boxes(), (Boxes{des, {"NEWMAP.BMP is 800x600 pixels.", "Warning. Only 640x480 or 800x600 BMP supported."}}));
  bmp("NEWMAP.BMP", 640, 480);
  readmaplist(*app);
  EXPECT_EQ(boxes(),
            (Boxes{des, {"NEWMAP.BMP is 640x480 pixels.", "This Image is standard 640x480. If it looks OK it is OK."}}));
}

TEST_F(Catalogue, MoreThanElevenHundredDescriptionsKeepTheFirst) {
  for (int i = 0; i < MapView::mapmax + 2; ++i) put("M" + std::to_string(i) + ".DES", "x\r\n");
  put("MAPS.DIR", "");
  scanmaps(*app);
  EXPECT_EQ(wav->beeps, 2 + MapView::mapmax) << "one beep for each of the two dropped, one for each added";
  EXPECT_EQ(app->files.readlines("MAPS.DIR")->size(), static_cast<std::size_t>(MapView::mapmax));
}

TEST(MapCovers, InsetIsStrictAndFourTimesWiderInTheSouth) {
  MapView m;
  m.mapnex[1] = 64;
  m.mapney[1] = 48;
  m.mapew[1] = 64;  // inset 1 km, 4 km in the south
  // Across 180 degrees the east edge lies west of the west edge.
  m.mapswx[2] = 100;
  m.mapnex[2] = -100;
  m.mapney[2] = 48;
  m.mapew[2] = 64;
  const struct {
    const char* guards;
    float x, y;
    int map;
    bool in;
  } cases[] = {
      {"the middle", 32, 24, 1, true},       {"on the west inset", 1, 24, 1, false},
      {"just inside it", 1.01f, 24, 1, true}, {"on the east inset", 63, 24, 1, false},
      {"on the north inset", 32, 47, 1, false}, {"on the south inset", 32, 4, 1, false},
      {"just inside it", 32, 4.01f, 1, true}, {"east of 180", 150, 24, 2, true},
      {"west of 180", -150, 24, 2, true},    {"not across 180", 0, 24, 2, false},
      {"no such map", 0, 24, MapView::mapmax + 1, false},
  };
  for (const auto& c : cases) EXPECT_EQ(mapcovers(m, c.x, c.y, c.map), c.in) << c.guards;
}

}  // namespace
}  // namespace zarn
