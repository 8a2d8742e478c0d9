// The main window drawn by the Qt views offscreen: the car of a recorded fix sits on the road
// the demo maps show for that drive, north up, heading up and on the tiles.
#include <QDir>
#include <QImage>

#include "geodesy/transform.h"
#include "map_support.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/pictures.h"
#include "mapdisplay/tiles.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"

namespace zarn {
namespace {

// The road of the drive as the demo maps draw it: a yellow fill in a brown casing.
const QColor roadfill(255, 205, 70), roadcasing(110, 70, 30);

bool near(const QColor& a, const QColor& b, int tol = 40) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) <= tol;
}

// Road pixels on a ring of radius r0..r1 about (px, py), and in how many quarters of the
// compass they lie.
int roadaround(const QImage& img, float px, float py, int r0, int r1, int& sides) {
  int count = 0;
  bool quarter[4] = {};
  for (int deg = 0; deg < 360; deg += 2)
    for (int r = r0; r <= r1; ++r) {
      const int x = static_cast<int>(std::lround(px + r * std::sin(deg * 3.14159 / 180)));
      const int y = static_cast<int>(std::lround(py - r * std::cos(deg * 3.14159 / 180)));
      if (img.rect().contains(x, y) && near(img.pixelColor(x, y), roadfill)) {
        ++count;
        quarter[deg / 90] = true;
      }
    }
  sides = quarter[0] + quarter[1] + quarter[2] + quarter[3];
  return count;
}

class Screen : public maptest::MapTest {
 protected:
  void SetUp() override {
    make(nullptr, std::make_unique<qt::QtImageStore>());
    if (!maptest::demopresent()) GTEST_SKIP() << "demo map set not generated yet";
    copydemo();
    ASSERT_TRUE(readmaplist(*app));
    tileinit(*app);
    z().car.setpicture(loadpicture(*app, "CARICON0.ICO"));
    z().show();
  }
  // Shows the n-th fix of the drive, draws the main window and checks that the car sits on the
  // road: road close to the icon, and beyond the 30-pixel pointer in two directions at least.
  QImage shot(const std::string& name, std::size_t n) {
    const auto f = maptest::drivefixes().at(n);
    lltoosgb(app->geo, f.lat, f.lon, app->gps.ownx, app->gps.owny);
    app->gps.ownhdg = f.course;
    choosemap(*app, app->gps.ownx, app->gps.owny);
    updatecar(*app);
    float px = 0, py = 0;
    EXPECT_TRUE(worldtopix(app->geo, app->map, app->gps.ownx, app->gps.owny, px, py));
    qt::QtUi ui([this] { return app->win.all(); });
    ui.refresh();
    QImage img = ui.view(z())->snapshot();
    const QString png = QDir::tempPath() + "/zarn-map-" + QString::fromStdString(name) + ".png";
    img.save(png);  // kept for a look by eye
    RecordProperty("screenshot_" + name, png.toStdString());
    EXPECT_EQ(img.size(), QSize(640, 480));
    EXPECT_TRUE(px > 40 && px < 600 && py > 40 && py < 440) << px << ", " << py;
    int sides = 0;
    EXPECT_GE(roadaround(img, px, py, 18, 26, sides), 8) << "road around the car at " << px << ", " << py;
    roadaround(img, px, py, 32, 40, sides);
    EXPECT_GE(sides, 2) << "the road enters and leaves";
    // Pixels of the car icon, which the plain map does not hold.
    int icon = 0;
    for (int y = -6; y <= 6; ++y)
      for (int x = -6; x <= 6; ++x) {
        const QColor c = img.pixelColor(static_cast<int>(px) + x, static_cast<int>(py) + y);
        icon += !near(c, roadfill) && !near(c, roadcasing) && c.lightness() < 200;
      }
    EXPECT_GT(icon, 10) << "the car icon is drawn over the map";
    return img;
  }
};

TEST_F(Screen, CarSitsOnTheRoadOfTheLocalMap) {
  app->map.minscale = 7;  // the local picture rather than the tiles
  shot("local", 900);
  EXPECT_EQ(app->map.mapbmp, "0LOCAL.BMP");
  // Moving the car changes the icon's place, not the map picture.
  const ui::PictureRef picture = z().map.picture;
  shot("local-moved", 905);
  EXPECT_EQ(z().map.picture, picture);
}

TEST_F(Screen, CarSitsOnTheRoadOfTheTurnedPicture) {
  app->map.minscale = 7;
  app->map.headingup = 1;
  shot("headingup", 1500);
  EXPECT_EQ(app->map.mapbmp[0], static_cast<char>('0' + app->map.rotsector));
  EXPECT_GT(app->map.rotangle, 0) << "a fix whose heading turns the map";
}

TEST_F(Screen, CarSitsOnTheRoadOfTheTiles) {
  shot("tiles", 1200);
  EXPECT_EQ(app->map.mapname[static_cast<std::size_t>(app->map.curmap)], "DRIVE");
  EXPECT_TRUE(z().tilenw.picture) << app->map.tilecache[0];
}

}  // namespace
}  // namespace zarn
