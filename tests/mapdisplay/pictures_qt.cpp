// Pictures through Qt's readers: each file decoded once and shared while unchanged, and one whose
// header claims more pixels than its use can show refused before it is decoded.
#include <chrono>

#include "map_support.h"
#include "mapdisplay/overlays.h"
#include "mapdisplay/pictures.h"
#include "platform/qt/qtservices.h"

namespace zarn::maptest {
namespace {

using PicturesQt = MapTest;

// A BMP of 126 bytes whose header claims w x h pixels (1 bit a pixel unless told).
std::string claiming(unsigned w, unsigned h, unsigned bits = 1) {
  std::string s(126, '\0');
  s[0] = 'B', s[1] = 'M';
  for (const auto& [at, v] : {std::pair{2u, 126u}, {10u, 62u}, {14u, 40u}, {18u, w}, {22u, h}, {26u, 1u | bits << 16}})
    for (unsigned i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  for (std::size_t i = 58; i < 62; ++i) s[i] = '\xFF';  // the palette's second colour: white
  return s;
}

TEST_F(PicturesQt, EachFileIsDecodedOnceAndAnOversizeOneNever) {
  make(nullptr, std::make_unique<qt::QtImageStore>());
  copydemo();
  put("BIG.BMP", claiming(5500, 5500));
  put("HUGE.BMP", claiming(16000, 16000));
  std::string pic;
  for (int i = 0; i < 100; ++i) pic += "I,BIG.BMP\r\nP,SJ 75000 80000\r\n";
  for (int i = 0; i < 100; ++i) pic += "I,WP.ICO\r\nP,SJ 75000 80000\r\n";
  put("ZARN.PIC", pic + "END\r\n");
  // Files last changed a while ago: what was read of them still holds.
  for (const char* f : {"BIG.BMP", "HUGE.BMP", "WP.ICO", "CHESH.BMP"})
    std::filesystem::last_write_time(dir / f, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  platform::ImageStore& store = *app->sys.images;

  readpicfile(*app);
  const NavState& n = app->nav;
  ASSERT_EQ(n.wpcount, 100) << "the waypoints naming the oversize picture are left out";
  EXPECT_EQ(store.decodes(), 1u) << "WP.ICO once; BIG.BMP never";
  EXPECT_EQ(app->win.zarn.wp[1].picture, app->win.zarn.wp[100].picture) << "one icon shared";
  EXPECT_EQ(app->speech.msgtext.find("BIG.BMP is too large to show: 5500 x 5500 pixels"), 0u) << app->speech.msgtext;

  // A map picture chosen again is not read again, even after no window holds it.
  std::string why;
  const void* first = loadpicture(app->files, store, "CHESH.BMP", &why, platform::PictureUse::map).get();
  const auto again = loadpicture(app->files, store, "CHESH.BMP", &why, platform::PictureUse::map);
  EXPECT_EQ(std::tuple(again.get(), store.decodes()), std::tuple(first, 2u));
  // A map may be larger than the screen, but not beyond what can be drawn; the reason names it.
  EXPECT_TRUE(loadpicture(app->files, store, "TILES/SJ67NE.BMP", &why, platform::PictureUse::map));
  EXPECT_FALSE(loadpicture(app->files, store, "HUGE.BMP", &why, platform::PictureUse::map));
  EXPECT_EQ(why, "HUGE.BMP is too large to draw: 16000 x 16000 pixels");
  EXPECT_EQ(store.decodes(), 3u);

  // A changed file is read afresh.
  std::filesystem::copy_file(dir / "CARICON0.ICO", dir / "WP.ICO", std::filesystem::copy_options::overwrite_existing);
  const auto changed = loadpicture(app->files, store, "WP.ICO");
  EXPECT_NE(changed, app->win.zarn.wp[1].picture);
  EXPECT_EQ(store.decodes(), 4u);
}

// Too large for the reader to tell the size from the header, and too large to decode: refused
// at the first redraw, named on the message line, and not tried again while unchanged.
TEST_F(PicturesQt, APictureWhoseHeaderTellsNoSizeIsRefusedOnceAndNamed) {
  make(nullptr, std::make_unique<qt::QtImageStore>());
  put("WIDE.BMP", claiming(30000, 30000));
  put("DEEP.BMP", claiming(20000, 20000, 32));
  platform::ImageStore& store = *app->sys.images;
  for (const std::string f : {"WIDE.BMP", "DEEP.BMP"}) {
    app->speech.msgtext.clear();
    EXPECT_FALSE(loadpicture(app->files, store, f, nullptr, platform::PictureUse::map));
    EXPECT_EQ(app->speech.msgtext, f + " is too large or damaged: no picture could be read from it");
  }
  app->speech.msgtext.clear();
  for (int redraw = 0; redraw < 120; ++redraw)
    for (const char* f : {"WIDE.BMP", "DEEP.BMP"})
      for (const auto use : {platform::PictureUse::map, platform::PictureUse::shown})
        EXPECT_FALSE(loadpicture(app->files, store, f, nullptr, use));
  EXPECT_EQ(std::tuple(store.decodes(), app->speech.msgtext), std::tuple(2u, ""));
}

}  // namespace
}  // namespace zarn::maptest
