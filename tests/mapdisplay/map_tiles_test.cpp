// Tiled maps: the three naming schemes, the placement of the 2 x 2 block and reading only the
// tiles whose names changed.
#include "map_support.h"
#include "mapdisplay/tiles.h"

namespace zarn {
namespace {

using maptest::Items;

class Tiles : public maptest::MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    auto c = std::make_unique<maptest::Counting>();
    store = c.get();
    app->sys.images = std::move(c);
  }
  void scheme(int kind, float viewwidth = 6.4f) {
    MapView& m = app->map;
    m.mapcount = m.curmap = 1;
    m.mapkind[1] = kind;
    m.mapew[1] = viewwidth;
    m.tiledir = "T/";
    tileinit(*app);
  }
  void tiles(std::initializer_list<const char*> names) const {
    for (const char* t : names) put(std::string("T/") + t + ".BMP", maptest::bmpbytes(1000, 1000));
  }
  maptest::Counting* store = nullptr;
};

TEST_F(Tiles, NamesOfTheThreeSchemes) {
  const struct {
    int kind;
    float x, y;
    const char* name;
  } cases[] = {
      {3, 512.3f, 230, "51002300.BMP"},   {3, 20, 7, "02000050.BMP"},       {1, 512, 230, "52_022NW.BMP"},
      {1, 537.6f, 276, "52_027NE.BMP"},   {1, 12, 3, "02_002SW.BMP"},
      {2, 412.345f, 167.89f, "SU05NE.BMP"},  // SU 12345 67890
      {2, 470.5f, 101.5f, "SU69NE.BMP"},     // SU 70500 01500
      {2, 900, 900, "missing.bmp"},          // no grid square there
      {0, 512, 230, "missing.bmp"},       {5, 512, 230, "missing.bmp"},
  };
  for (const auto& c : cases) {
    scheme(c.kind);
    EXPECT_EQ(tilename(*app, c.x, c.y), c.name) << "scheme " << c.kind << " at " << c.x << ", " << c.y;
  }
}

TEST_F(Tiles, BlockIsPlacedSoThePositionLiesAtTheCentre) {
  scheme(3, 8);  // 8 km across 640 pixels: tiles of 12.5 km, 80 pixels a km
  const struct {
    float x, y;
    int left, top;
  } cases[] = {
      {4.0f, 9.5f, 0, 0},          // exactly 0: not shifted
      {3.99f, 9.52f, -999, -999},  // just above 0: a whole tile back
      {15.0f, 15.0f, -880, -560},
  };
  for (const auto& c : cases) {
    placetiles(*app, c.x, c.y);
    const ui::Image* t[] = {&z().tilenw, &z().tilene, &z().tilesw, &z().tilese};
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(t[i]->left, c.left + 1000 * (i % 2)) << c.x << " tile " << i;
      EXPECT_EQ(t[i]->top, c.top + 1000 * (i / 2)) << c.y << " tile " << i;
    }
  }
}

TEST_F(Tiles, OnlyTilesWhoseNamesChangeAreRead) {
  scheme(3, 1.6f);  // 2.5 km tiles for a 1.6 km view
  tiles({"00000000", "00250000", "00000025"});
  drawtiles(*app, 2.0f, 2.0f);  // view 1.2..2.8 km east, 1.4..2.6 km north
  EXPECT_EQ(store->reads, (Items{"00000025.BMP", "00250025.BMP", "00000000.BMP", "00250000.BMP"}));
  EXPECT_FALSE(z().tilene.picture) << "00250025.BMP is missing: blank";
  EXPECT_TRUE(z().tilenw.visible);
  EXPECT_EQ(z().showcmd.caption, ".");
  EXPECT_GT(z().car.z, z().tilenw.z) << "the markers lie over the tiles";

  tiles({"00250025"});
  store->reads.clear();
  drawtiles(*app, 2.1f, 2.0f);
  EXPECT_EQ(store->reads, Items{"00250025.BMP"}) << "the same names: only the tile that failed is read again";
  EXPECT_TRUE(z().tilene.picture);

  store->reads.clear();
  drawtiles(*app, 3.5f, 2.0f);  // the west edge crosses 2.5 km: the western column changes
  EXPECT_EQ(store->reads, (Items{"00250025.BMP", "00250000.BMP"}));
  hidetiles(*app);
  EXPECT_FALSE(z().tilese.visible);
  store->reads.clear();
  drawtiles(*app, 3.5f, 2.0f);
  EXPECT_TRUE(store->reads.empty()) << "hiding keeps the names";
}

}  // namespace
}  // namespace zarn
