// A route of waypoints drawn by Qt on the demo map: its lines between the waypoints in their
// colour, the icons on the waypoints, the next one marked.
#include <QImage>

#include "mapdisplay/mapchoice.h"
#include "mapdisplay/overlays.h"
#include "mapdisplay/owncar.h"
#include "navigation/routefiles.h"
#include "navigation/waypoints.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtconvert.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

using RoutesQt = AppTest;
constexpr ui::Colour magenta = 0xFF00FF;

TEST_F(RoutesQt, ARouteOnTheDemoMapShowsItsLinesAndIcons) {
  make(nullptr, std::make_unique<qt::QtImageStore>());
  demomaps(*app);
  makewpicons(*app);
  auto& z = app->win.zarn;
  z.show();
  // Three points of the demo drive's road, south-west of Ashley.
  put("ZARN.ROO", " 3 \r\nSJ 73379 84221\r\nSJ 73137 83243 *R200\r\nSJ 72899 82259\r\n");
  ownfixat(*app, "SJ 73137 83243");
  choosemap(*app, app->gps.ownx, app->gps.owny);
  ASSERT_TRUE(readroute(*app, "ZARN.ROO"));
  for (int i = 1; i <= 2; ++i) z.leg[i].bordercolor = magenta;  // as the map drawing file colours them
  app->nav.routeshown = 0;
  drawwproute(*app);
  qt::QtUi ui([this] { return app->win.all(); });
  ui.refresh();
  const QImage plain = ui.view(z)->snapshot();
  app->nav.routeshown = 1;
  app->nav.wpfollowon = 1;
  ASSERT_TRUE(routeon(*app));
  drawwproute(*app);
  ui.refresh();
  const QImage shot = ui.view(z)->snapshot();
  const auto png = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "route.png";
  EXPECT_TRUE(shot.save(QString::fromStdString(png.string())));  // kept for a look by eye
  RecordProperty("screenshot_route", png.string());

  // The lines: in their colour along their length, clear of the icons at their ends.
  for (int i = 1; i <= 2; ++i) {
    const ui::Line& l = z.leg[i];
    ASSERT_TRUE(l.visible);
    EXPECT_GT(std::hypot(l.x2 - l.x1, l.y2 - l.y1), 60) << "a line of some length on this map";
    for (double t : {0.3, 0.5, 0.7}) {
      const QPoint p(ui::pixel(l.x1 + t * (l.x2 - l.x1)), ui::pixel(l.y1 + t * (l.y2 - l.y1)));
      int drawn = 0;  // a one-pixel line: on the point or beside it
      for (int dx = -1; dx <= 1; ++dx) {
        drawn += shot.pixelColor(p + QPoint(dx, 0)) == qt::qcolour(magenta);
        EXPECT_NE(plain.pixelColor(p + QPoint(dx, 0)), qt::qcolour(magenta)) << "not the map's own";
      }
      EXPECT_GE(drawn, 1) << "line " << i << " at " << t;
    }
  }
  // The icons: each opaque pixel of its picture where the waypoint is, 16 pixels up and left
  // (where no line crosses it).
  for (const auto& [k, file] : {std::pair{1, "WPNEXT.ICO"}, {2, "WP.ICO"}, {3, "WP.ICO"}}) {
    const ui::Image& w = z.wp[k];
    ASSERT_TRUE(w.visible && w.picture);
    EXPECT_EQ(std::filesystem::path(w.picture->path).filename(), file);
    const QImage icon = QImage(QString::fromStdString(w.picture->path)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(icon.isNull()) << file;
    int opaque = 0, same = 0, changed = 0;
    for (int y = 0; y < icon.height(); ++y)
      for (int x = 0; x < icon.width(); ++x) {
        // The lines lie over the icons, as they were brought to the front after them.
        if (qAlpha(icon.pixel(x, y)) != 255 || shot.pixelColor(w.left + x, w.top + y) == qt::qcolour(magenta)) continue;
        ++opaque;
        same += shot.pixel(w.left + x, w.top + y) == (icon.pixel(x, y) | 0xFF000000u);
        changed += shot.pixel(w.left + x, w.top + y) != plain.pixel(w.left + x, w.top + y);
      }
    EXPECT_GT(opaque, 40) << file;
    EXPECT_EQ(same, opaque) << "waypoint " << k;
    EXPECT_GT(changed, opaque / 2) << "waypoint " << k << " is drawn over the map";
  }
  float px = 0, py = 0;
  worldtopix(app->geo, app->map, app->nav.wpx[2], app->nav.wpy[2], px, py);
  EXPECT_EQ(std::pair(z.wp[2].left + 16, z.wp[2].top + 16), std::pair(ui::pixel(px), ui::pixel(py)));
}

}  // namespace
}  // namespace zarn::test
