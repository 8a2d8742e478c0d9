// The map catalogue (MAPS.DIR, FASTMAPS.DAT, containment), loading a map, the map choice along a
// real drive, zoom, and tiled maps: re-centring, names and reading only the tiles that change.
#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "geodesy/geofile.h"
#include "map_support.h"
#include "mapdisplay/calibration.h"
#include "mapdisplay/cform.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/mapload.h"
#include "mapdisplay/startform.h"

namespace zarn {
namespace {

using maptest::Items;
using namespace test;

class Catalogue : public maptest::MapTest {
 protected:
  std::string status() { return app->win.get<StartForm>().trace.caption; }
  Items titles() { return app->win.get<CForm>().map.items; }
  // A grid map of 10 km x 7.5 km in SJ with its picture of the given size, and a catalogue of it.
  void onemap(const std::string& name = "AREA", int w = 640, int h = 480, const std::string& places = "") {
    area(name, w, h, places);
    catalogue(name + "\r\n");
  }
  void area(const std::string& name = "AREA", int w = 640, int h = 480, const std::string& places = "") {
    const std::string bottom = std::to_string(h - 1);
    put(name + ".DES", "Area\r\n" + name + "\r\nSJ 70000 78000, 0, " + bottom + "\r\nSJ 70000 85500, 0, 0\r\n" +
                           "SJ 80000 78000, " + std::to_string(w - 1) + ", " + bottom + "\r\n" + places);
    bmp(name + ".BMP", w, h);
  }
  // Moves the car to the fix and lets the map follow it.
  void at(const maptest::Fix& f) {
    ownfix(*app, f.lat, f.lon, 0, f.course);
    choosemap(*app, app->gps.ownx, app->gps.owny);
  }
  // True when the map picture or the tiles were loaded since the last call.
  bool loaded() {
    const bool single = z().map.picture != nullptr, tiled = z().showcmd.caption == ".";
    z().map.picture = nullptr;
    z().showcmd.caption.clear();
    return single || tiled;
  }
  // Moves the car to dx, dy pixels from the window centre (320, 240) of the view shown.
  void move(float dx, float dy) {
    ownmoved(*app, m().mapxmin + (320 + dx) * (m().mapxmax - m().mapxmin) / 639,
             m().mapymax - (240 + dy) * (m().mapymax - m().mapymin) / 479);
    choosemap(*app, app->gps.ownx, app->gps.owny);
  }
  // A one-map catalogue of the naming scheme, tiles in T/.
  void scheme(int kind, float viewwidth = 6.4f) {
    std::tie(m().mapcount, m().curmap, m().mapkind[1], m().mapew[1], m().tiledir) =
        std::tuple(1, 1, kind, viewwidth, "T/");
    tileinit(app->win.zarn);
  }
};
using Load = Catalogue;
using Choice = Catalogue;
using Tiles = Catalogue;

TEST_F(Catalogue, DescriptionsOnDiskAreAddedToMapsDirOnce) {
  gridmap("AREA", "SJ 70000 78000", "SJ 70000 86000", "SJ 80000 78000");
  for (int i = 0; i < 2; ++i) scanmaps(app->map, app->voice, app->win.get<StartForm>());
  EXPECT_EQ(get("MAPS.DIR"), "THEWORLD\r\nAREA\r\n") << "created when missing, then not added again";
  EXPECT_EQ(std::tuple(status(), wav->beeps), std::tuple("Adding AREA to MAPS.DIR", 1));
  put("MAPS.DIR", "AREA");  // a last line without its line end is not run together with the name added
  put("extra/FAR.DES", "Far away\r\n");
  app->map.extramaps = "extra/";
  for (int i = 0; i < 3; ++i) scanmaps(app->map, app->voice, app->win.get<StartForm>());
  EXPECT_EQ(get("MAPS.DIR"), "AREA\r\nextra/FAR\r\n") << "an extra directory's map: not appended on every start";
  EXPECT_EQ(wav->beeps, 2);
  for (int i = 0; i < MapView::mapmax + 2; ++i) put("M" + std::to_string(i) + ".DES", "x\r\n");
  put("MAPS.DIR", "");
  scanmaps(app->map, app->voice, app->win.get<StartForm>());
  EXPECT_EQ(app->files.readlines("MAPS.DIR")->size(), static_cast<std::size_t>(MapView::mapmax)) << "the first kept";
}

TEST_F(Catalogue, ListEndsAtAnEmptyLineTurnedPicturesCountAndUnusableDescriptionsAreLeftOut) {
  for (const char* n : {"0ONE", "TWO", "THREE"}) {
    gridmap(n, "SJ 70000 78000", "SJ 70000 86000", "SJ 80000 78000");
  }
  bmp("2ONE.BMP");
  bmp("4ONE.BMP");
  // Reference points sharing a column would divide by nothing.
  put("FLAT.DES", "Flat\r\nFLAT\r\nSJ 70000 78000, 100, 479\r\nSJ 70000 86000, 100, 0\r\nSJ 80000 78000, 100, 479\r\n");
  bmp("FLAT.BMP");
  catalogue("0ONE\r\nFLAT\r\nTWO\r\n\r\nTHREE\r\n");
  EXPECT_EQ(titles(), (Items{"0ONE", "TWO"}));
  EXPECT_EQ(std::tuple(status(), m().maxrotsect, m().rotsectors), std::tuple("TWO", 3, 3))
      << "each map's title shows while it is read";
}

TEST_F(Catalogue, CacheHoldsNamesRightAlignedAndRefusesNamesItCannotHold) {
  std::tie(m().mapcount, m().mapname[1], m().maplatlon[1], m().mapkind[1], m().mapew[1]) =
      std::tuple(1, "CHESH", 1, 2, 6.4f);
  std::tie(m().mapswx[1], m().mapswy[1], m().mapnex[1], m().mapney[1]) = std::tuple(327.0f, 301.0f, 407.0f, 361.0f);
  ASSERT_TRUE(savefastmaps(app->map, app->voice));
  std::string bytes = get("FASTMAPS.DAT");
  ASSERT_EQ(bytes.size(), 46u);
  EXPECT_EQ(bytes.substr(0, 18), std::string("\x01\x00", 2) + std::string(11, ' ') + "CHESH");
  float east[2] = {};
  std::memcpy(east, bytes.data() + 2 + 24, 8);
  EXPECT_EQ(std::tuple(east[0], east[1]), std::tuple(327.0f, 407.0f)) << "east values before north values";
  put("FASTMAPS.DAT", std::string(500, 'x'));  // nothing of a longer old cache is left behind
  ASSERT_TRUE(savefastmaps(app->map, app->voice));
  EXPECT_EQ(get("FASTMAPS.DAT"), bytes);
  // A name longer than the record's 16 characters would be misread: nothing is written.
  std::tie(m().mapcount, m().mapname[2]) = std::tuple(2, "MAPS/SOMEWHERE/FAR");
  EXPECT_FALSE(savefastmaps(app->map, app->voice));
  EXPECT_EQ(get("FASTMAPS.DAT"), bytes);
}

// A cache that does not hold what it counts, or holds a record that is no map, is named once;
// the catalogue is then built from the descriptions, as without a cache, and written again.
TEST_F(Catalogue, DamagedCacheIsNamedOnceAndTheMapsComeFromTheDescriptions) {
  demo();
  const auto values = [](const MapView& v) {
    return std::tuple(v.mapcount, v.mapname, v.mapkind, v.maplatlon, v.mapew, v.mapswx, v.mapswy, v.mapnex, v.mapney);
  };
  const Items fresh = titles();
  const auto built = values(m());
  ASSERT_TRUE(savefastmaps(app->map, app->voice));
  const std::string good = get("FASTMAPS.DAT");  // every value of the fresh catalogue
  const auto with = [&](std::size_t at, std::string_view b) { return std::string(good).replace(at, b.size(), b); };
  for (const auto& [bytes, why] :
       {std::pair{std::string(), "FASTMAPS.DAT is empty"},
        {good.substr(0, 1), "FASTMAPS.DAT is cut short: it ends inside its count"},
        {good.substr(0, 2 + 44 * 2 + 7), "FASTMAPS.DAT is cut short: it counts 6 maps, holds 2"},
        {with(0, "\x07"), "FASTMAPS.DAT is cut short: it counts 7 maps, holds 6"},
        {with(0, std::string(1, '\0')), "FASTMAPS.DAT is damaged: it counts 0 maps"},
        {with(0, "\xFF\xFF"), "FASTMAPS.DAT is damaged: it counts -1 maps"},
        {with(2 + 18, "\x09"), "FASTMAPS.DAT is damaged at map 1: unknown kind 9"}}) {
    put("FASTMAPS.DAT", bytes);
    std::string said;
    ASSERT_TRUE(readmaplist(*app, &said));
    EXPECT_EQ(std::tuple(said, titles(), m().maxrotsect, get("FASTMAPS.DAT")), std::tuple(why, fresh, 8, good))
        << "built as without the cache, and written again";
  }
  App back;  // the cache written again is read without a word, every value as written, names trimmed
  back.files.setworkdir(dir);
  std::string said = "?";
  ASSERT_TRUE(readmaplist(back, &said));
  auto& w = back.win;
  EXPECT_EQ(std::tuple(said, values(back.map), w.get<CForm>().map.items, w.get<StartForm>().trace.caption),
            std::tuple("", built, fresh, "Reading Map list from FASTMAPS.DAT ..."));
}

// A map whose description is gone is left out and named; the rest of the cache stands, as the
// user saved it. A cache of nothing but such maps is made again from the descriptions.
TEST_F(Catalogue, ACachedMapWithoutItsDescriptionIsLeftOutAndTheCacheKept) {
  demo();
  Items fresh = titles();
  ASSERT_TRUE(savefastmaps(app->map, app->voice));
  const std::string good = get("FASTMAPS.DAT");
  const std::string nowhere = std::string(good).replace(2 + 44, 16, "         NOWHERE");
  put("FASTMAPS.DAT", nowhere);
  std::string said;
  ASSERT_TRUE(readmaplist(*app, &said));
  fresh.erase(fresh.begin() + 1);
  EXPECT_EQ(std::tuple(said, titles(), m().mapcount, get("FASTMAPS.DAT")),
            std::tuple("FASTMAPS.DAT names NOWHERE.DES, which is missing: that map is left out", fresh, 5, nowhere));
  EXPECT_NE(m().mapname[2], "NOWHERE");
  std::string none = good;
  for (std::size_t i = 0; i < 6; ++i) none.replace(2 + 44 * i, 16, "         NOWHERE");
  put("FASTMAPS.DAT", none);
  ASSERT_TRUE(readmaplist(*app, &said));
  EXPECT_EQ(std::tuple(said, m().mapcount, get("FASTMAPS.DAT")),
            std::tuple("FASTMAPS.DAT names NOWHERE.DES and 5 more descriptions that are missing: those maps are left "
                       "out", 6, good));
}

// A listed map without its picture ends the program; a picture without a description is sized,
// the size told over the picture in the calibration window; a damaged description is named and
// its map left out.
TEST_F(Catalogue, MissingPictureOrDescriptionShowsItsBoxes) {
  gridmap("GONE", "SJ 70000 78000", "SJ 70000 86000", "SJ 80000 78000");
  std::filesystem::remove(dir / "GONE.BMP");
  put("BAD.DES", "Bad\r\nBAD\r\nSJ 70000 78000, 0, 479\r\nSJ 70000 86000, left, 0\r\nSJ 80000 78000, 639, 479\r\n");
  bmp("NEWMAP.BMP", 800, 600);
  events->hook = [this] {  // the calibration window is closed as soon as it shows
    clock->advance(waitstep);
    if (ui::Form* f = app->win.find("makdes")) f->hide();
  };
  std::vector<bool> overpicture;  // each box, whether it shows over the picture to calibrate
  dialogs->onshow = [&] {
    const ui::Form* f = app->win.find("makdes");
    overpicture.push_back(f && f->visible && app->win.get<MakdesForm>().map.visible);
  };
  for (const auto& [list, ok, boxes] :
       {std::tuple{"GONE", false, Items{"ZARN Map Missing"}}, {"nowhere", false, Items{"Image File Missing"}},
        {"NEWMAP", true, Items{"Description File Missing", "NEWMAP.BMP is 800x600 pixels."}}}) {
    dialogs->shown.clear();
    app->main.quit = false;
    put("MAPS.DIR", std::string(list) + "\r\n");
    EXPECT_EQ(std::tuple(readmaplist(*app), app->main.quit, m().mapcount), std::tuple(ok, !ok, 0)) << list;
    Items shown;
    for (const auto& d : dialogs->shown) shown.push_back(d.title);
    EXPECT_EQ(shown, boxes);
  }
  EXPECT_EQ(std::tuple(dialogs->shown[1].prompt, wav->beeps, overpicture.back()),
            std::tuple("Warning. Only 640x480 or 800x600 BMP supported.", 1, true));
  EXPECT_FALSE(overpicture.end()[-2]) << "the description's box comes before the window";
  put("MAPS.DIR", "BAD\r\n");
  ASSERT_TRUE(readmaplist(*app));  // not the missing picture's box, nor the end
  EXPECT_EQ(std::tuple(app->main.quit, dialogs->shown.size(), status()),
            std::tuple(false, 2u, "BAD.DES is damaged at line 4: \"left\" is not a number: map left out"));
}

TEST(MapCovers, InsetIsStrictAndFourTimesWiderInTheSouth) {
  MapView m;
  m.mapnex[1] = m.mapew[1] = m.mapew[2] = 64;  // inset 1 km, 4 km in the south
  m.mapney[1] = m.mapney[2] = 48;
  m.mapswx[2] = 100;  // across 180 degrees the east edge lies west of the west edge
  m.mapnex[2] = -100;
  for (const auto& [guards, x, y, map, in] :
       {std::tuple{"the middle", 32.0f, 24.0f, 1, true}, {"on the west inset", 1.0f, 24.0f, 1, false},
        {"just inside it", 1.01f, 24.0f, 1, true}, {"on the east inset", 63.0f, 24.0f, 1, false},
        {"on the north inset", 32.0f, 47.0f, 1, false}, {"on the south inset", 32.0f, 4.0f, 1, false},
        {"just inside it", 32.0f, 4.01f, 1, true}, {"east of 180", 150.0f, 24.0f, 2, true},
        {"west of 180", -150.0f, 24.0f, 2, true}, {"not across 180", 0.0f, 24.0f, 2, false},
        {"no such map", 0.0f, 24.0f, MapView::mapmax + 1, false}})
    EXPECT_EQ(mapcovers(m, x, y, map), in) << guards;
}

TEST_F(Load, PlaceFileThreshold) {
  for (const auto& [guards, file, placemin] :
       {std::tuple{"largest importance below the default", "SJ 1,Ashley,a.wav, 2\r\nSJ 2,Hale,h.wav, 4\r\n", 4.0f},
        {"BIGPLACE sets it", "SJ 1,Big,b.wav, 9\r\nBIGPLACE,NULL,NULL, 7\r\n", 7.0f},
        {"places above the default keep it", "SJ 1,City,c.wav, 9\r\nSJ 2,Town,t.wav, 5\r\n", 6.0f},
        {"an empty name ends the list", "SJ 1,Town,t.wav, 2\r\n,,, 0\r\nSJ 9,Late,l.wav, 3\r\n", 2.0f}}) {
    put("PLACES.WAW", file);
    EXPECT_FLOAT_EQ(placethreshold(app->files, "PLACES.WAW"), placemin) << guards;
  }
  EXPECT_FLOAT_EQ(placethreshold(app->files, "NONE.WAW"), 6) << "missing place file";
  onemap("AREA", 640, 480, "PLACES.WAW\r\n");  // a description's sixth line names the map's own
  loadmap(*app, 1);
  EXPECT_EQ(std::tuple(m().placesfile, m().placemin), std::tuple("PLACES.WAW", 2.0f));
}

TEST_F(Load, TurnedPictureOfTheSectorNorthUpWhenItIsMissingBlankWithoutAny) {
  onemap("0TOWN");
  bmp("2TOWN.BMP");
  turn(90);
  m().rotsector = 2;
  loadmap(*app, 1);
  EXPECT_EQ(std::tuple(m().mapbmp, m().norotmap, m().rotangle, shown(z().map)),
            std::tuple("2TOWN.BMP", 0, 90.0f, "2TOWN.BMP"));
  std::filesystem::remove(dir / "2TOWN.BMP");
  loadmap(*app, 1);
  EXPECT_EQ(std::tuple(m().mapbmp, m().norotmap, m().rotsector, m().rotangle, m().rotsin, m().rotcos, m().rotsinneg),
            std::tuple("0TOWN.BMP", 1, 0, 0.0f, 0.0f, 1.0f, 0.0f));
  std::filesystem::remove(dir / "0TOWN.BMP");
  loadmap(*app, 1);
  EXPECT_EQ(std::tuple(shown(z().map), app->speech.msgtext),
            std::tuple("0TOWN.BMP", "Map picture 0TOWN.BMP is missing"))
      << "the picture shown stays with its bounds";
}

// References anywhere on the picture, the second not above the first: the loaded bounds are the
// catalogue's, the west edge taken from the first point's column. Longitudes 360 apart make a
// whole-world map. A larger picture is calibrated at its own size and stretched to the map area.
TEST_F(Load, BoundsFromTheReferencePoints) {
  put("AREA.DES", "Area\r\nAREA\r\nSJ 71000 79000, 64, 431\r\nSJ 72000 84000, 128, 31\r\nSJ 79000 79500, 576, 391\r\n");
  put("WORLD.DES", "World\r\nWORLD\r\nLL, 640, 480\r\n500000N1800000W, 0, 479\r\n600000N1800000E, 639, 0\r\n");
  bmp("AREA.BMP");
  bmp("WORLD.BMP");
  catalogue("AREA\r\nWORLD\r\n");
  const float swx = m().mapswx[1], nex = m().mapnex[1];
  EXPECT_NEAR(swx, 371 - 64 * (8.0f / 512), 1e-3);  // SJ is 300 km east
  loadmap(*app, 1);
  EXPECT_EQ(std::tuple(m().mapxmin, m().mapxmax), std::tuple(swx, nex));
  loadmap(*app, 2);
  EXPECT_EQ(std::tuple(m().curlatlon, m().maplonmin, m().maplonmax, m().maplatmin, m().maplatmax),
            std::tuple(1, -180, 180, -90, 90));

  onemap("BIG", 800, 600);
  m().mapzoom = 1;
  loadmap(*app, 1);
  EXPECT_EQ(std::tuple(m().picwidth, m().mapx640[1], z().map.stretch, z().map.width, z().map.height),
            std::tuple(800, 1.25f, true, 640, 480))
      << "stretched to the map area, not the physical screen";
  EXPECT_NEAR(m().mapxmax, 380, 1e-3) << "bounds from columns 0..799";
  EXPECT_NEAR(m().mapymin, 378, 1e-3);
  m().mapzoom = 0;  // without stretching the picture keeps its size
  loadmap(*app, 1);
  EXPECT_EQ(std::tuple(z().map.stretch, z().map.width), std::tuple(false, 800));
}

TEST_F(Load, RightsNotice) {
  onemap();
  put("AREA.cpr", "Made by us   \r\nfrom data\r\n");
  clock->settimer(100);
  loadmap(*app, 1);
  EXPECT_EQ(std::tuple(z().mapcopy.visible, z().mapcopy.caption, z().mapcopy.forecolor, app->map.cprtime),
            std::tuple(true, "Made by us\r\nfrom data\r\n", ui::white, 100.0f));
  EXPECT_FALSE(z().cpytext.visible || z().cpyring.visible) << "no rights mark line";
  put("AREA.cpr", "!Dark notice\r\nc   Someone\r\n");
  loadmap(*app, 1);
  EXPECT_EQ(std::tuple(z().mapcopy.caption, z().mapcopy.forecolor, z().cpyring.visible, z().cpytext.caption),
            std::tuple("Dark notice\r\n", ui::black, true, "c   Someone"));
  std::filesystem::remove(dir / "AREA.cpr");
  loadmap(*app, 1);
  EXPECT_FALSE(z().mapcopy.visible);
}

// A map that cannot be loaded leaves the current one in place and is named once, with the file and
// its fault: it is not tried again on every tick until the catalogue is built again.
TEST_F(Load, MapThatFailsIsNamedOnceAndNotTriedAgainUntilTheCatalogueIsBuiltAgain) {
  area();
  gridmap("OTHER", "SJ 60000 78000", "SJ 60000 85500", "SJ 70000 78000");
  catalogue("AREA\r\nOTHER\r\n");
  for (const auto& [file, spoilt, said] :
       {std::tuple{"AREA.DES", "-", "Map description AREA.DES is missing"},
        {"AREA.DES", "Area\r\nAREA\r\nSJ 70000 78000, 0, 479\r\n",
         "Map description AREA.DES is damaged at line 4: the line is missing"},
        {"AREA.DES", "Area\r\nAREA\r\nSJ 70000 78000, 5, 479\r\nSJ 70000 85500, 5, 0\r\nSJ 80000 78000, 5, 479\r\n",
         "Map AREA.DES is unusable: its reference points share a row or column"},
        {"AREA.BMP", "/", "Map picture AREA.BMP cannot be read"},
        {"AREA.BMP", "", "Map picture AREA.BMP is empty"},
        {"AREA.BMP", "GIF89a", "Map picture AREA.BMP is damaged: not a picture that can be shown"}}) {
    choosemap(*app, 365, 382);
    ASSERT_EQ(current(), "OTHER");
    const float xmin = m().mapxmin;
    std::filesystem::remove(dir / file);
    if (*spoilt == '/') std::filesystem::create_directory(dir / file);
    if (*spoilt != '/' && *spoilt != '-') put(file, spoilt);
    // On the spoilt map, then where no map is (map 1 stands in), for ten seconds of ticks.
    Items shown;
    for (int tick = 0; tick < 50; ++tick) {
      app->speech.msgtext.clear();
      choosemap(*app, tick % 2 ? 900.0f : 375.0f, 382);
      if (!app->speech.msgtext.empty()) shown.push_back(app->speech.msgtext);
    }
    EXPECT_EQ(std::tuple(shown, current(), m().mapxmin), std::tuple(Items{said}, "OTHER", xmin)) << said;
    std::filesystem::remove(dir / file);
    area();  // mended, but not tried again before the catalogue is built again
    choosemap(*app, 375, 382);
    EXPECT_EQ(current(), "OTHER") << said;
    catalogue();
    choosemap(*app, 375, 382);
    EXPECT_EQ(current(), "AREA") << said;
  }
}

TEST(GeoFileName, NamesTheCellOfEachPositionForm) {
  // Any form but the three names no cell and leaves the name it is given as it was.
  for (const auto& [text, expected] :
       {std::pair{"SU 12345 67890", "SU1267.GEO"}, {"O 15855 34718", "O1534.GEO"},
        {"533145N0024500W", "53N002WF.GEM"},  // 31 minutes of latitude: band F (15); 45 of longitude: M (22)
        {"", "NJ9900.GEO"}, {"SU1267", "NJ9900.GEO"}, {"51.5 -0.1", "NJ9900.GEO"},
        {"30U 123456 1234567", "NJ9900.GEO"}}) {
    std::string file = "NJ9900.GEO";
    geofilename(text, file);
    EXPECT_EQ(file, expected) << text;
  }
}

TEST_F(Choice, RecordedDriveGoesFromTheNationalMapToTheLocalOnesNorthUpAndHeadingUp) {
  demo();
  const auto fixes = maptest::drivefixes();
  choosemap(*app, app->gps.ownx, app->gps.owny);
  EXPECT_EQ(current(), "GBIRL") << "before the first fix no map holds the position: the first, national one";
  // Along the drive its tiled map is the most detailed; the view is re-centred when the car drifts
  // 40 pixels. All the other maps but the one of Ireland hold the drive, and its tiles are there.
  int recentred = 0;
  std::set<std::string> tiles;
  for (const maptest::Fix& f : fixes) {
    loaded();
    at(f);
    ASSERT_EQ(current(), "DRIVE");
    recentred += loaded();
    const auto [px, py] = pix(app->gps.ownx, app->gps.owny);
    ASSERT_TRUE(std::fabs(px - 320) < 40 && std::fabs(py - 240) < 40) << "car kept near the centre";
    for (int i = 1; i <= m().mapcount; ++i)
      ASSERT_TRUE(mapcovers(m(), app->gps.ownx, app->gps.owny, i) ||
                  m().mapname[static_cast<std::size_t>(i)] == "IRELAND");
    for (const auto& t : tilenames4(app->geo, app->map, app->gps.ownx, app->gps.owny)) tiles.insert(t);
  }
  EXPECT_TRUE(recentred > 20 && recentred < 400) << "20 km moves a 6.4 km view many times, not on every fix";
  for (const auto& t : tiles) {
    const auto p = app->sys.images->load(app->files.resolve(m().tiledir + t), platform::PictureUse::map);
    EXPECT_TRUE(p && p->width == 1000 && p->height == 1000) << t;
  }

  // Zooming out walks up through every map holding the point, then back to the most detailed.
  Items walk;
  app->map.minscale = 0.0001f;
  for (int i = 0; i < 5; ++i) {
    zoomnextmap(*app);
    walk.push_back(current());
  }
  EXPECT_EQ(walk, (Items{"0LOCAL", "CHESH", "NWENG", "GBIRL", "DRIVE"}));
  EXPECT_FLOAT_EQ(app->map.minscale, 0.0001f) << "past the widest map";
  app->map.minscale = 0;  // "X": minscale 0 stays 0
  zoomnextmap(*app);
  EXPECT_EQ(app->map.minscale, 0);
  EXPECT_EQ(current(), "DRIVE") << "X: the most detailed again";
  // The demo's help says so: Z's words first, then X's.
  const auto help = app->files.readlines("zarn.hlp");
  ASSERT_TRUE(help);
  const auto zx = std::find_if(help->begin(), help->end(), [](const std::string& l) { return l.starts_with("  Z and X"); });
  ASSERT_NE(zx, help->end());
  const std::size_t comma = zx->find(',');
  ASSERT_NE(comma, std::string::npos) << *zx;
  const std::string z = zx->substr(0, comma), x = zx->substr(comma, zx->find('!') - comma);
  EXPECT_TRUE(z.find("wider") != std::string::npos && x.find("most detailed") != std::string::npos) << *zx;

  // Without the tiles the local map serves the whole drive: once north up; heading up, each sector's.
  app->map.minscale = 7;
  ASSERT_EQ(app->map.rotsectors, 8);
  const int upper[] = {22, 67, 112, 157, 202, 247, 292, 337};  // of each of the 8 sectors
  for (int headingup : {0, 1}) {
    std::tie(app->map.headingup, app->map.curmap) = std::pair(headingup, 0);  // loaded afresh
    int loads = 0, changes = 0, last = -1;
    for (const maptest::Fix& f : fixes) {
      loaded();
      at(f);
      loads += loaded();
      const auto sector = std::lower_bound(upper, upper + 8, f.course) - upper;
      const int s = headingup && f.course >= 0 ? static_cast<int>(sector) % 8 : 0;
      changes += s != last;
      last = s;
      ASSERT_EQ(std::tuple(current(), app->map.rotsector, app->map.mapbmp),
                std::tuple("0LOCAL", s, std::to_string(s) + "LOCAL.BMP"))
          << "heading " << f.course;
    }
    EXPECT_GT(changes, headingup ? 10 : 0);
    EXPECT_EQ(loads, changes) << "one load per sector change, none in between";
  }
}

// Four and two sectors (eight along the drive above), north up, heading up without turned maps.
TEST(SetRotation, SectorsByHeading) {
  App app;
  for (const auto& [headingup, sectors, heading, angle] :
       {std::tuple{1, 4, 44, 0.0f}, {1, 4, 45, 90.0f}, {1, 4, 314, 270.0f}, {1, 4, 315, 0.0f}, {1, 2, 89, 0.0f},
        {1, 2, 90, 180.0f}, {1, 2, 270, 0.0f}, {0, 8, 90, 0.0f}, {1, 0, 90, 0.0f}}) {
    std::tie(app.map.headingup, app.map.rotsectors) = std::pair(headingup, sectors);
    ownheading(app, heading);
    setrotation(app.map, app.gps.ownhdg);
    EXPECT_EQ(app.map.rotangle, angle) << sectors << " sectors, heading " << heading;
  }
}

TEST_F(Choice, MapMakerAsksOnlyBeyondItsDistance) {
  std::tie(m().automapdist, m().automapx, m().automapy) = std::tuple(5.0f, 370.0f, 382.0f);
  for (const auto& [on, x, made] : {std::tuple{1, 375.0f, 370.0f}, {1, 375.01f, 375.01f}, {0, 400.0f, 375.01f}}) {
    m().automapon = on;
    ownmoved(*app, x, 382);
    automapmove(*app);
    EXPECT_EQ(m().automapx, made) << "exactly the distance: no new map; switched off: none";
  }
}

TEST_F(Choice, ChoosesTheNarrowestAllowedMap) {
  // Nested grid maps around (375, 382): 40, 20 and 10 km wide, plus a second 20 km map.
  gridmap("WIDE", "SJ 55000 67000", "SJ 55000 97000", "SJ 95000 67000");
  gridmap("MID", "SJ 65000 74500", "SJ 65000 89500", "SJ 85000 74500");
  gridmap("MID2", "SJ 65000 74500", "SJ 65000 89500", "SJ 85000 74500");
  gridmap("SMALL", "SJ 70000 78250", "SJ 70000 85750", "SJ 80000 78250");
  catalogue("WIDE\r\nMID\r\nMID2\r\nSMALL\r\n");
  for (const auto& [guards, minscale, x, y, map] :
       {std::tuple{"the narrowest holder", 0.0f, 375.0f, 382.0f, "SMALL"},
        {"of two maps of equal width the later", 0.0f, 367.0f, 382.0f, "MID2"},
        {"no map holds it: map 1", 0.0f, 900.0f, 900.0f, "WIDE"},
        {"narrower than minscale is never chosen", 15.0f, 375.0f, 382.0f, "MID2"},
        {"a map as wide as minscale is", 20.0f, 375.0f, 382.0f, "MID2"},
        {"every holder too narrow: map 1", 50.0f, 375.0f, 382.0f, "WIDE"}}) {
    m().minscale = minscale;
    choosemap(*app, x, y);
    EXPECT_EQ(current(), map) << guards;
  }
  catalogue("");
  m().curmap = 0;
  loaded();
  choosemap(*app, 375, 382);
  EXPECT_EQ(std::tuple(m().curmap, loaded()), std::tuple(0, false)) << "an empty catalogue loads nothing";
}

TEST_F(Choice, TiledMapIsRecentredWhenThePositionDriftsFortyPixels) {
  put("TILED.DES", "Tiles\r\nTILED\r\nTILE3T\\, 6.4, 0\r\nSJ 60000 70000, 0, 0\r\nSJ 99000 99000, 0, 0\r\n");
  catalogue("TILED\r\n");
  ownfixat(*app, 375, 382);
  choosemap(*app, 375, 382);
  ASSERT_EQ(std::tuple(m().curmap, loaded()), std::tuple(1, true));
  move(39, 39);
  EXPECT_FALSE(loaded()) << "39 pixels on both axes";
  move(0, -40.01f);
  EXPECT_TRUE(loaded()) << "40 pixels on one axis";
  EXPECT_NEAR((app->map.mapxmin + app->map.mapxmax) / 2, app->gps.ownx, 1e-3) << "centred on the position";
  // Turned by 90 degrees the view centre stays at the window's; the map's own centre plays no part.
  std::tie(app->map.headingup, app->map.rotsectors) = std::pair(1, 8);
  ownheading(*app, 90);
  move(10, 0);
  ASSERT_EQ(app->map.rotangle, 90);
  EXPECT_FALSE(loaded());
}

TEST_F(Tiles, NamesOfTheThreeSchemes) {
  for (const auto& [kind, x, y, name] :
       {std::tuple{3, 512.3f, 230.0f, "51002300.BMP"}, {3, 20.0f, 7.0f, "02000050.BMP"},
        {1, 512.0f, 230.0f, "52_022NW.BMP"}, {1, 537.6f, 276.0f, "52_027NE.BMP"}, {1, 12.0f, 3.0f, "02_002SW.BMP"},
        {2, 412.345f, 167.89f, "SU05NE.BMP"},  // SU 12345 67890
        {2, 470.5f, 101.5f, "SU69NE.BMP"},     // SU 70500 01500
        {2, 900.0f, 900.0f, "missing.bmp"},    // no grid square there
        {0, 512.0f, 230.0f, "missing.bmp"}, {5, 512.0f, 230.0f, "missing.bmp"}}) {
    scheme(kind);
    EXPECT_EQ(tilename(app->geo, app->map, x, y), name) << "scheme " << kind << " at " << x << ", " << y;
  }
}

TEST_F(Tiles, OnlyTilesWhoseNamesChangeAreRead) {
  Items& reads = counting();
  scheme(3, 1.6f);  // 2.5 km tiles for a 1.6 km view
  for (const char* t : {"00000000", "00250000", "00000025"}) bmp(std::string("T/") + t + ".BMP", 1000, 1000);
  drawtiles(*app, 2.0f, 2.0f);  // view 1.2..2.8 km east, 1.4..2.6 km north
  EXPECT_EQ(reads, (Items{"00000025.BMP", "00250025.BMP", "00000000.BMP", "00250000.BMP"}));
  EXPECT_FALSE(z().tilene.picture) << "00250025.BMP is missing: blank";
  EXPECT_TRUE(z().tilenw.visible);
  EXPECT_EQ(z().showcmd.caption, ".");
  EXPECT_GT(z().car.z, z().tilenw.z) << "the markers lie over the tiles";

  bmp("T/00250025.BMP", 1000, 1000);
  reads.clear();
  drawtiles(*app, 2.1f, 2.0f);
  EXPECT_EQ(reads, Items{"00250025.BMP"}) << "the same names: only the tile that failed is read again";
  EXPECT_TRUE(z().tilene.picture);
  reads.clear();
  drawtiles(*app, 3.5f, 2.0f);  // the west edge crosses 2.5 km: the western column changes
  EXPECT_EQ(reads, (Items{"00250025.BMP", "00250000.BMP"}));
  hidetiles(app->win.zarn);
  reads.clear();
  drawtiles(*app, 3.5f, 2.0f);
  EXPECT_TRUE(reads.empty()) << "hiding keeps the names";
}

// The demo's tiled map (10 km tiles, 100 pixels a km) for car positions all over its area, in
// the 640 x 480 window and stretched to screens wider and taller than a tile: the tile images
// cover the whole map area, every one shows the ground it lies over, the car lies on its own grid
// reference, and the overlays keep the tiles' scale. A screen 1280 wide once showed the tile east
// of the right one beside the car, and then a blank strip on the right when the view spanned
// three tile columns; a screen over 2000 wide, when it spanned four.
TEST_F(Tiles, EachImageShowsTheGroundItLiesOverWhereverTheCarIsOnAnyScreen) {
  demo();
  const auto& names = m().mapname;
  const int drive = static_cast<int>(std::find(names.begin(), names.end(), "DRIVE") - names.begin());
  ASSERT_LE(drive, m().mapcount);
  std::vector<ui::Image*> images;
  for (const auto& [w, h] : {std::pair{640.0f, 480.0f}, {1024.0f, 768.0f}, {1280.0f, 1024.0f}, {1920.0f, 1080.0f},
                             {2560.0f, 1440.0f}, {3840.0f, 2160.0f}}) {
    std::tie(m().scrwidth, m().scrheight, m().mapzoom) = std::tuple(w, h, w == 640 ? 0 : 1);
    for (float x = 372.0f; x < 380.0f; x += 0.35f)
      for (float y = 382.0f; y < 386.0f; y += 0.45f) {
        ownfixat(*app, x, y);
        loadmap(*app, drive);
        images.clear();
        for (ui::Control* c : z().controls())
          if (auto* i = dynamic_cast<ui::Image*>(c); i && c->name.starts_with("tile")) images.push_back(i);
        std::string at;
        gridreftext(app->geo, x, y, at);
        at += " on " + std::to_string(static_cast<int>(w)) + " x " + std::to_string(static_cast<int>(h));
        // Every pixel of the area lies on a tile image shown (sampled finer than any strip left).
        const auto covered = [&](float px, float py) {
          return std::any_of(images.begin(), images.end(), [&](const ui::Image* i) {
            return i->visible && i->left <= px && px < i->left + 1000 && i->top <= py && py < i->top + 1000;
          });
        };
        for (float py = 0; py < h; py += std::min(25.0f, std::max(1.0f, h - 1 - py)))
          for (float px = 0; px < w; px += std::min(25.0f, std::max(1.0f, w - 1 - px)))
            ASSERT_TRUE(covered(px, py)) << at << ": pixel " << px << ", " << py << " blank";
        for (const ui::Image* i : images) {
          // An image hidden or off the area may hold what it likes.
          if (!i->visible || i->left >= w || i->top >= h) continue;
          float gx = 0, gy = 0;
          ASSERT_TRUE(pixtoll(app->geo, app->map, i->left + 500.0f, i->top + 500.0f, gx, gy));
          const std::string tile = tilename(app->geo, app->map, gx, gy);
          EXPECT_TRUE(shown(*i) == tile || (shown(*i).empty() && !app->files.exists("TILES/" + tile)))
              << at << ": " << shown(*i) << " lies over " << tile;
        }
        const auto [cx, cy] = pix(x, y);
        const auto under = std::find_if(images.begin(), images.end(), [&](const ui::Image* i) {
          return i->visible && i->left <= cx && cx < i->left + 1000 && i->top <= cy && cy < i->top + 1000;
        });
        ASSERT_NE(under, images.end()) << at;
        EXPECT_EQ(shown(**under), tilename(app->geo, app->map, x, y)) << at;
        EXPECT_NEAR(cx - (*under)->left, (x - std::floor(x / 10) * 10) * 100, 1.5) << at;
        EXPECT_NEAR((*under)->top + 1000 - cy, (y - std::floor(y / 10) * 10) * 100, 1.5) << at;
        EXPECT_NEAR(cy - pix(x, y + 4).second, 400, 1.5) << at << ": 4 km north";
      }
  }
}

}  // namespace
}  // namespace zarn
