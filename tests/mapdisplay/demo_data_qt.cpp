// The committed demo map set (data/demo) holds together: MAPS.DIR lists every description,
// pictures, turned copies, tiles and icons load at the size the program expects, the place file
// reads, and the nested maps all cover the recorded drive (rights notices: map_load_test).
#include <QImage>

#include <algorithm>
#include <set>

#include "geodesy/postext.h"
#include "map_support.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/mapload.h"
#include "mapdisplay/tiles.h"
#include "platform/files.h"
#include "platform/textrules.h"

namespace zarn {
namespace {

class DemoData : public maptest::MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    if (!maptest::demopresent()) GTEST_SKIP() << "demo map set not generated yet";
    copydemo();
    ASSERT_TRUE(readmaplist(*app));
    tileinit(*app);
  }
  // Qt reads the picture at the given size (8 bits a pixel for the map pictures).
  void loads(const std::string& name, int w, int h, int bits = 0) const {
    QImage img(QString::fromStdString(app->files.resolve(name).string()));
    EXPECT_EQ(img.size(), QSize(w, h)) << name;
    if (bits) {
      EXPECT_EQ(img.format(), QImage::Format_Indexed8) << name << ": 8-bit pictures keep the set small";
    }
  }
};

TEST_F(DemoData, MapsDirListsEveryDescriptionAndEachMapHasItsPicturesAndNotice) {
  std::vector<std::string> listed;
  const auto dirlines = app->files.readlines("MAPS.DIR");
  ASSERT_TRUE(dirlines);
  for (const auto& l : *dirlines) {
    if (text::trim(l).empty()) break;
    listed.push_back(text::ucase(text::trim(l)));
    // FASTMAPS.DAT keeps 16 characters of a name; DOS-style names stay far inside that.
    EXPECT_LE(listed.back().size(), 8u) << l;
  }
  for (const auto& f : app->files.list("*.DES"))
    EXPECT_EQ(std::count(listed.begin(), listed.end(), text::ucase(f.substr(0, f.size() - 4))), 1) << f;
  ASSERT_EQ(app->map.mapcount, static_cast<int>(listed.size()));
  for (int i = 1; i <= app->map.mapcount; ++i) {
    const auto d = readdes(app->files, app->map.mapname[static_cast<std::size_t>(i)] + ".DES");
    ASSERT_TRUE(d);
    SCOPED_TRACE(d->title);
    EXPECT_TRUE(app->files.exists(d->places)) << "place file";
    if (app->map.mapkind[static_cast<std::size_t>(i)] != 0) continue;  // tiles: below
    loads(d->picture + ".BMP", 640, 480, 8);
    if (d->picture[0] == '0')
      for (char k = '1'; k <= '7'; ++k) loads(k + d->picture.substr(1) + ".BMP", 640, 480, 8);
  }
  std::vector<std::string> icons = {"CARICON0.ICO", "NULLICON.ICO", "DESTI.ICO", "HOME.ICO", "$FS.ICO",
                                    "$E.ICO",       "$S.ICO",       "$L.ICO",    "WP.ICO",   "WPNEXT.ICO"};
  for (int k = 0; k < 16; ++k) icons.push_back("VECTR" + std::to_string(k) + ".ICO");
  for (const auto& ico : icons) loads(ico, 32, 32);

  // Place file: position, name, spoken text, radius; the BIGPLACE record sets the threshold.
  const auto places = app->files.readlines("ZARN.WAW");
  ASSERT_TRUE(places && places->size() > 4000);
  int bad = 0;
  for (const auto& rec : *places) {
    platform::InputFile in(rec);
    const std::string pos = in.field(), name = in.field(), wav = in.field(), radius = in.field();
    float x = 0, y = 0;
    parsepos(app->geo, pos, x, y);
    bad += pos != "BIGPLACE" && ((x == parsefailx && y == parsefaily) || name.empty() || !(text::val(radius) > 0));
  }
  EXPECT_EQ(bad, 0);
}

TEST_F(DemoData, NestedMapsAllCoverTheRecordedDriveAndItsTilesAreThere) {
  const auto fixes = maptest::drivefixes();
  ASSERT_GT(fixes.size(), 1000u);
  MapView& m = app->map;
  int tiled = 0;
  for (int i = 1; i <= m.mapcount; ++i)
    if (m.mapkind[static_cast<std::size_t>(i)]) tiled = i;
  ASSERT_GT(tiled, 0);
  std::set<std::string> tiles;
  for (const auto& f : fixes) {
    float x = 0, y = 0;
    lltoosgb(app->geo, f.lat, f.lon, x, y);
    for (int i = 1; i <= m.mapcount; ++i) {
      if (m.mapname[static_cast<std::size_t>(i)] == "IRELAND") continue;
      ASSERT_TRUE(mapcovers(m, x, y, i)) << m.mapname[static_cast<std::size_t>(i)] << " at " << x << ", " << y;
    }
    m.curmap = tiled;
    for (const auto& t : tilenames4(*app, x, y)) tiles.insert(t);
  }
  loadmap(*app, tiled);
  for (const auto& t : tiles) loads(m.tiledir + t, 1000, 1000);
}

}  // namespace
}  // namespace zarn
