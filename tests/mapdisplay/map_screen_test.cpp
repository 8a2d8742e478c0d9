// The main window drawn by the Qt views offscreen: the car of a recorded fix sits on the road
// the demo maps show for that drive, north up, heading up and on the tiles.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include <cmath>
#include <fstream>

#include "geodesy/transform.h"
#include "geodesy/ukgrid.h"
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

using maptest::MapTest;

// The road of the drive as the demo maps draw it: a yellow fill in a brown casing.
const QColor roadfill(255, 205, 70), roadcasing(110, 70, 30);

bool near(const QColor& a, const QColor& b, int tol = 40) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) <= tol;
}

class Screen : public MapTest {
 protected:
  Services services() override {
    Services s = MapTest::services();
    s.images = std::make_unique<qt::QtImageStore>();
    return s;
  }
  void SetUp() override {
    MapTest::SetUp();
    if (!maptest::demopresent()) GTEST_SKIP() << "demo map set not generated yet";
    copydemo();
    ASSERT_TRUE(readmaplist(*app));
    tileinit(*app);
    app->win.zarn.car.setpicture(loadpicture(*app, "CARICON0.ICO"));
    app->win.zarn.show();
  }

  // A fix well into the drive, travelling: latitude, longitude and course of the n-th RMC.
  void fix(int n) {
    std::ifstream in(std::string(ZARN_SHARED_DATA) + "/nmea/drive/cheshire-2020-10-26.nmea");
    std::string line;
    int k = 0;
    while (std::getline(in, line)) {
      if (line.rfind("$GPRMC,", 0) != 0 || line.find(",A,") == std::string::npos) continue;
      if (k++ < n) continue;
      std::vector<std::string> f;
      std::size_t a = 0;
      for (std::size_t b; (b = line.find_first_of(",*", a)) != std::string::npos; a = b + 1) f.push_back(line.substr(a, b - a));
      const float lat = static_cast<float>(std::stod(f[3].substr(0, 2)) + std::stod(f[3].substr(2)) / 60);
      const float lon = -static_cast<float>(std::stod(f[5].substr(0, 3)) + std::stod(f[5].substr(3)) / 60);
      lltoosgb(app->geo, lat, lon, app->gps.ownx, app->gps.owny);
      app->gps.ownhdg = static_cast<int>(std::floor(std::stod(f[8])));
      return;
    }
    FAIL() << "the drive has fewer fixes";
  }

  // Shows the position and draws the main window; returns the car's pixel.
  QImage shot(const std::string& name, float& px, float& py) {
    choosemap(*app, app->gps.ownx, app->gps.owny);
    updatecar(*app);
    EXPECT_TRUE(worldtopix(*app, app->gps.ownx, app->gps.owny, px, py));
    qt::QtUi ui([this] { return app->win.all(); });
    ui.refresh();
    QImage img = ui.view(app->win.zarn)->snapshot();
    const QString png = QDir::tempPath() + "/zarn-map-" + QString::fromStdString(name) + ".png";
    img.save(png);  // kept for a look by eye
    RecordProperty("screenshot_" + name, png.toStdString());
    return img;
  }

  // Road pixels on a ring of radius r0..r1 about the car, and in how many quarters of the
  // compass they lie.
  static int roadaround(const QImage& img, float px, float py, int r0, int r1, int& sides) {
    int count = 0;
    bool quarter[4] = {};
    for (int deg = 0; deg < 360; deg += 2) {
      for (int r = r0; r <= r1; ++r) {
        const int x = static_cast<int>(std::lround(px + r * std::sin(deg * 3.14159 / 180)));
        const int y = static_cast<int>(std::lround(py - r * std::cos(deg * 3.14159 / 180)));
        if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) continue;
        if (near(img.pixelColor(x, y), roadfill)) {
          ++count;
          quarter[deg / 90] = true;
        }
      }
    }
    sides = quarter[0] + quarter[1] + quarter[2] + quarter[3];
    return count;
  }
  // The road runs in and out from under the car: road close to the icon, and beyond the
  // 30-pixel pointer in two directions at least.
  static void onroad(const QImage& img, float px, float py) {
    int sides = 0;
    EXPECT_GE(roadaround(img, px, py, 18, 26, sides), 8) << "road around the car at " << px << ", " << py;
    roadaround(img, px, py, 32, 40, sides);
    EXPECT_GE(sides, 2) << "the road enters and leaves";
  }
  // Pixels of the car icon, which the plain map does not hold.
  static int iconpixels(const QImage& img, float px, float py) {
    int n = 0;
    for (int y = -6; y <= 6; ++y)
      for (int x = -6; x <= 6; ++x) {
        const QColor c = img.pixelColor(static_cast<int>(px) + x, static_cast<int>(py) + y);
        n += !near(c, roadfill) && !near(c, roadcasing) && c.lightness() < 200;
      }
    return n;
  }
};

TEST_F(Screen, CarSitsOnTheRoadOfTheLocalMap) {
  app->map.minscale = 7;  // the local picture rather than the tiles
  fix(900);
  float px = 0, py = 0;
  const QImage img = shot("local", px, py);
  ASSERT_EQ(img.size(), QSize(640, 480));
  EXPECT_EQ(app->map.mapbmp, "0LOCAL.BMP");
  ASSERT_GT(px, 40);
  ASSERT_LT(px, 600);
  ASSERT_GT(py, 40);
  ASSERT_LT(py, 440);
  onroad(img, px, py);
  EXPECT_GT(iconpixels(img, px, py), 10) << "the car icon is drawn over the map";

  // Moving the car changes the icon's place, not the map picture.
  const ui::PictureRef picture = app->win.zarn.map.picture;
  fix(905);
  shot("local-moved", px, py);
  EXPECT_EQ(app->win.zarn.map.picture, picture);
}

TEST_F(Screen, CarSitsOnTheRoadOfTheTurnedPicture) {
  app->map.minscale = 7;
  app->map.headingup = 1;
  fix(1500);
  float px = 0, py = 0;
  const QImage img = shot("headingup", px, py);
  ASSERT_EQ(app->map.mapbmp[0], static_cast<char>('0' + app->map.rotsector));
  ASSERT_GT(app->map.rotangle, 0) << "a fix whose heading turns the map";
  onroad(img, px, py);
}

TEST_F(Screen, CarSitsOnTheRoadOfTheTiles) {
  fix(1200);
  float px = 0, py = 0;
  const QImage img = shot("tiles", px, py);
  ASSERT_EQ(app->map.mapname[static_cast<std::size_t>(app->map.curmap)], "DRIVE");
  EXPECT_TRUE(app->win.zarn.tilenw.picture) << app->map.tilecache[0];
  onroad(img, px, py);
}

}  // namespace
}  // namespace zarn
