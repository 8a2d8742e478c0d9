// Tiled maps: the three naming schemes, the placement of the 2 x 2 block and reading only the
// tiles whose names changed.
#include <gtest/gtest.h>

#include "map_support.h"
#include "mapdisplay/tiles.h"

namespace zarn {
namespace {

using maptest::MapTest;

// An image store that counts what it reads.
struct Counting final : platform::ImageStore {
  platform::HeaderImageStore inner;
  std::vector<std::string> reads;
  ui::PictureRef load(const std::filesystem::path& f) override {
    reads.push_back(f.filename().string());
    return inner.load(f);
  }
};

class Tiles : public MapTest {
 protected:
  Services services() override {
    Services s = MapTest::services();
    auto c = std::make_unique<Counting>();
    store = c.get();
    s.images = std::move(c);
    return s;
  }
  void scheme(int kind, float viewwidth = 6.4f) {
    MapView& m = app->map;
    m.mapcount = 1;
    m.curmap = 1;
    m.mapkind[1] = kind;
    m.mapew[1] = viewwidth;
    m.tiledir = "T/";
    tileinit(*app);
  }
  ZarnForm& z() { return app->win.zarn; }
  Counting* store = nullptr;
};

TEST_F(Tiles, NamesOfTheThreeSchemes) {
  const struct {
    int kind;
    float x, y;
    const char* name;
  } cases[] = {
      {3, 512.3f, 230, "51002300.BMP"},
      {3, 20, 7, "02000050.BMP"},
      {1, 512, 230, "52_022NW.BMP"},
      {1, 537.6f, 276, "52_027NE.BMP"},
      {1, 12, 3, "02_002SW.BMP"},
      {2, 412.345f, 167.89f, "SU05NE.BMP"},  // SU 12345 67890
      {2, 470.5f, 101.5f, "SU69NE.BMP"},     // SU 70500 01500
      {2, 900, 900, "missing.bmp"},          // no grid square there
      {0, 512, 230, "missing.bmp"},
      {5, 512, 230, "missing.bmp"},
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
      {4.0f, 9.5f, 0, 0},            // exactly 0: not shifted
      {3.99f, 9.52f, -999, -999},    // just above 0: a whole tile back
      {15.0f, 15.0f, -880, -560},
  };
  for (const auto& c : cases) {
    placetiles(*app, c.x, c.y);
    EXPECT_EQ(z().tilenw.left, c.left) << c.x;
    EXPECT_EQ(z().tilenw.top, c.top) << c.y;
    EXPECT_EQ(z().tilene.left, c.left + 1000);
    EXPECT_EQ(z().tilene.top, c.top);
    EXPECT_EQ(z().tilesw.left, c.left);
    EXPECT_EQ(z().tilesw.top, c.top + 1000);
    EXPECT_EQ(z().tilese.left, c.left + 1000);
    EXPECT_EQ(z().tilese.top, c.top + 1000);
  }
}

TEST_F(Tiles, OnlyTilesWhoseNamesChangeAreRead) {
  scheme(3, 1.6f);  // 2.5 km tiles for a 1.6 km view
  for (const char* t : {"00000000", "00250000", "00000025", "00250025"})
    put(std::string("T/") + t + ".BMP", maptest::bmpbytes(1000, 1000));
  drawtiles(*app, 2.0f, 2.0f);  // view 1.2..2.8 km east, 1.4..2.6 km north
  EXPECT_EQ(store->reads, (std::vector<std::string>{"00000025.BMP", "00250025.BMP", "00000000.BMP", "00250000.BMP"}));
  EXPECT_TRUE(z().tilenw.visible);
  EXPECT_EQ(z().showcmd.caption, ".");
  EXPECT_EQ(z().showcmd.backcolor, ui::lightgrey);
  EXPECT_GT(z().car.z, z().tilenw.z) << "the markers lie over the tiles";

  store->reads.clear();
  drawtiles(*app, 2.1f, 2.0f);
  EXPECT_TRUE(store->reads.empty()) << "the same four tiles: nothing read";

  drawtiles(*app, 3.5f, 2.0f);  // the west edge crosses 2.5 km: the western column changes
  EXPECT_EQ(store->reads, (std::vector<std::string>{"00250025.BMP", "00250000.BMP"}));

  hidetiles(*app);
  EXPECT_FALSE(z().tilese.visible);
  store->reads.clear();
  drawtiles(*app, 3.5f, 2.0f);
  EXPECT_TRUE(store->reads.empty()) << "hiding keeps the names";
}

TEST_F(Tiles, TileThatFailedToLoadIsTriedAgain) {
  scheme(3, 1.6f);
  for (const char* t : {"00000000", "00250000", "00000025"}) put(std::string("T/") + t + ".BMP", maptest::bmpbytes(1000, 1000));
  drawtiles(*app, 2.0f, 2.0f);
  EXPECT_FALSE(z().tilene.picture) << "00250025.BMP is missing: blank";
  EXPECT_TRUE(z().tilenw.picture);
  put("T/00250025.BMP", maptest::bmpbytes(1000, 1000));
  store->reads.clear();
  drawtiles(*app, 2.0f, 2.0f);
  EXPECT_EQ(store->reads, std::vector<std::string>{"00250025.BMP"});
  EXPECT_TRUE(z().tilene.picture);
}

}  // namespace
}  // namespace zarn
