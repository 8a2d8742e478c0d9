// The demo map set (data/demo) holds together: every map listed, loaded with its notice and its
// reference points on their pixels, pictures and icons as expected, the place file.
// Drawn offscreen, the car of a recorded fix sits on the road the maps show, in every mode.
#include <QDir>
#include <QImage>

#include <algorithm>

#include "geodesy/postext.h"
#include "map_support.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/mapload.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/pictures.h"
#include "platform/files.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "platform/textrules.h"

namespace zarn {
namespace {

using maptest::Items;
using namespace test;

// The road of the drive as the demo maps draw it: a yellow fill in a brown casing.
const QColor roadfill(255, 205, 70), roadcasing(110, 70, 30);

bool near(const QColor& a, const QColor& b, int tol = 40) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) <= tol;
}

// Road pixels on a ring of radius r0..r1 about (px, py), and in how many quarters they lie.
std::pair<int, int> road(const QImage& img, float px, float py, int r0, int r1) {
  int count = 0;
  bool quarter[4] = {};
  for (int deg = 0; deg < 360; deg += 2)
    for (int r = r0; r <= r1; ++r) {
      const int x = ui::pixel(px + r * std::sin(deg * shortpi / 180));
      const int y = ui::pixel(py - r * std::cos(deg * shortpi / 180));
      if (img.rect().contains(x, y) && near(img.pixelColor(x, y), roadfill)) quarter[deg / 90] = ++count;
    }
  return {count, quarter[0] + quarter[1] + quarter[2] + quarter[3]};
}

class Demo : public maptest::MapTest {
 protected:
  void SetUp() override {
    make(nullptr, std::make_unique<qt::QtImageStore>());
    demo();
  }
  // Qt reads the picture at the given size (8 bits a pixel for the maps: the set stays small).
  void loads(const std::string& name, int w, int h, bool indexed = false) const {
    const QImage img(QString::fromStdString(app->files.resolve(name).string()));
    EXPECT_TRUE(img.size() == QSize(w, h) && (!indexed || img.format() == QImage::Format_Indexed8)) << name;
  }
  // The n-th fix of the drive drawn: road close to the car, and beyond its pointer in two directions.
  void shot(const std::string& name, std::size_t n) {
    z().car.setpicture(loadpicture(app->files, *app->sys.images, "CARICON0.ICO"));
    z().show();
    const auto f = maptest::drivefixes().at(n);
    ownfix(*app, f.lat, f.lon, 0, f.course);
    choosemap(*app, app->gps.ownx, app->gps.owny);
    updatecar(*app);
    const auto [px, py] = pix(app->gps.ownx, app->gps.owny);
    qt::QtUi ui([this] { return app->win.all(); });
    ui.refresh();
    const QImage img = ui.view(z())->snapshot();
    const QString png = QDir::tempPath() + "/zarn-map-" + QString::fromStdString(name) + ".png";
    img.save(png);  // kept for a look by eye
    RecordProperty("screenshot_" + name, png.toStdString());
    EXPECT_EQ(img.size(), QSize(640, 480));
    EXPECT_TRUE(px > 40 && px < 600 && py > 40 && py < 440) << px << ", " << py;
    EXPECT_GE(road(img, px, py, 18, 26).first, 8) << "road around the car at " << px << ", " << py;
    EXPECT_GE(road(img, px, py, 32, 40).second, 2) << "the road enters and leaves";
    int icon = 0;  // pixels of the car icon, which the plain map does not hold
    for (int y = -6; y <= 6; ++y)
      for (int x = -6; x <= 6; ++x) {
        const QColor c = img.pixelColor(static_cast<int>(px) + x, static_cast<int>(py) + y);
        icon += !near(c, roadfill) && !near(c, roadcasing) && c.lightness() < 200;
      }
    EXPECT_GT(icon, 10) << "the car icon is drawn over the map";
  }
};

TEST_F(Demo, EveryListedMapLoadsWithItsPicturesNoticeAndReferencePointsOnTheirPixels) {
  // MAPS.DIR lists every description, by a name FASTMAPS.DAT can hold (16 characters).
  const Items names(m().mapname.begin() + 1, m().mapname.begin() + 1 + m().mapcount);
  const auto des = app->files.list("*.DES");
  ASSERT_TRUE(des.size() == names.size() && names.size() >= 6) << des.size() << " descriptions";
  for (const auto& f : des)
    EXPECT_EQ(std::count(names.begin(), names.end(), text::ucase(f.substr(0, f.size() - 4))), 1) << f;
  for (int i = 1; i <= m().mapcount; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const auto d = readdes(app->files, m().mapname[k] + ".DES");
    ASSERT_TRUE(d);
    SCOPED_TRACE(d->title);
    EXPECT_TRUE(m().mapname[k].size() <= 8 && app->files.exists(d->places)) << "a short name, a place file";
    // The own car in the middle of the map, where a tiled map centres its view.
    ownmoved(*app, (m().mapswx[k] + m().mapnex[k]) / 2, (m().mapswy[k] + m().mapney[k]) / 2);
    loadmap(*app, i);
    ASSERT_EQ(m().curmap, i);
    EXPECT_EQ(m().maptitle, d->title);
    EXPECT_EQ(std::tuple(z().mapcopy.visible, z().cpytext.caption, z().map.visible, z().tilenw.visible),
              std::tuple(true, "c   GeoNames CC BY 4.0, GSHHG LGPL", m().mapkind[k] == 0, m().mapkind[k] != 0));
    if (m().mapkind[k] >= 1) {
      EXPECT_NEAR(m().mapxmax - m().mapxmin, 6.4, 1e-4);
      EXPECT_NEAR((m().mapxmin + m().mapxmax) / 2, app->gps.ownx, 1e-3);
      EXPECT_NEAR((m().mapymin + m().mapymax) / 2, app->gps.owny, 1e-3);
      continue;  // tiles: below
    }
    EXPECT_NEAR(m().placemin, 3, 1e-6) << "BIGPLACE of ZARN.WAW";
    // The bounds put each reference position on the pixel the description gives it.
    for (std::size_t r = d->r[0] == "LL" ? 1 : 0; r < 3; ++r) {
      float x = 0, y = 0;
      parsepos(app->geo, d->r[r], x, y);
      const auto [px, py] = pix(x, y);
      EXPECT_NEAR(px, d->a[r], 0.05) << d->r[r];
      EXPECT_NEAR(py, d->b[r], 0.05) << d->r[r];
    }
    loads(d->picture + ".BMP", 640, 480, true);
    if (d->picture[0] == '0')
      for (char c = '1'; c <= '7'; ++c) loads(c + d->picture.substr(1) + ".BMP", 640, 480, true);
  }
  Items icons = {"CARICON0.ICO", "NULLICON.ICO", "DESTI.ICO", "HOME.ICO", "$FS.ICO",
                 "$E.ICO",       "$S.ICO",       "$L.ICO",    "WP.ICO",   "WPNEXT.ICO"};
  for (int c = 0; c < 16; ++c) icons.push_back("VECTR" + std::to_string(c) + ".ICO");
  for (const auto& ico : icons) loads(ico, 32, 32);
  const auto places = app->files.readlines("ZARN.WAW");  // position, name, spoken text, radius
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

TEST_F(Demo, CarSitsOnTheRoadOfTheLocalMapAndOfItsTurnedPicture) {
  app->map.minscale = 7;  // the local picture rather than the tiles
  shot("local", 900);
  EXPECT_EQ(app->map.mapbmp, "0LOCAL.BMP");
  const ui::PictureRef picture = z().map.picture;
  shot("local-moved", 905);
  EXPECT_EQ(z().map.picture, picture) << "moving the car changes the icon's place, not the map picture";
  app->map.headingup = 1;
  shot("headingup", 1500);
  EXPECT_EQ(app->map.mapbmp[0], static_cast<char>('0' + app->map.rotsector));
  EXPECT_GT(app->map.rotangle, 0) << "a fix whose heading turns the map";
}

TEST_F(Demo, CarSitsOnTheRoadOfTheTiles) {
  shot("tiles", 1200);
  EXPECT_EQ(app->map.mapname[static_cast<std::size_t>(app->map.curmap)], "DRIVE");
  EXPECT_TRUE(z().tilenw.picture) << app->map.tilecache[0];
}

}  // namespace
}  // namespace zarn
