// Direction finding and a warning zone drawn by Qt on the demo map: the zone's circle, three
// bearing lines from stations along the drive's road meeting at the transmitter, and a sector.
#include <QImage>

#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/overlays.h"
#include "mapdisplay/redraw.h"
#include "navigation/directionfinding.h"
#include "navigation/zmform.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtconvert.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

using DfQt = AppTest;
constexpr ui::Colour cyan = 0xFFFF00, orange = 0x0080FF;

TEST_F(DfQt, ZoneCirclesBearingLinesAndASectorOnTheDemoMap) {
  make(nullptr, std::make_unique<qt::QtImageStore>());
  demomaps(*app);
  auto& z = app->win.zarn;
  z.show();
  zmread_Click(*app);  // the demo zone the drive crosses
  ASSERT_EQ(app->nav.zonecount, 1);
  ownfixat(*app, "SJ 72460 82782");
  choosemap(*app, app->gps.ownx, app->gps.owny);
  drawzones(*app);

  // Bearings taken from three stations towards a transmitter 1.5 km north-east of the zone.
  float tx = 0, ty = 0;
  parsepos(app->geo, "SJ 73500 83900", tx, ty);
  app->nav.dfrel = 0;
  for (int i = 0; i < 3; ++i) z.brg.load(i).bordercolor = cyan;
  for (const char* station : {"SJ 71800 82400", "SJ 72460 82782", "SJ 73300 82300"}) {
    ownfixat(*app, station);
    float b = std::atan2(tx - app->gps.ownx, ty - app->gps.owny) * 180 / 3.14159265f;
    dfbearing(*app, b < 0 ? b + 360 : b, 8);
  }
  float lat = 0, lon = 0;
  osgbtoll(app->geo, tx, ty, lat, lon);
  drawdfsector(z, app->geo, app->map, DfSector{1, lat, lon, 0.6f, 200, 250, static_cast<std::int32_t>(orange)});

  qt::QtUi ui([this] { return app->win.all(); });
  ui.refresh();
  const QImage shot = ui.view(z)->snapshot();
  const auto png = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "df-zones.png";
  EXPECT_TRUE(shot.save(QString::fromStdString(png.string())));  // kept for a look by eye
  RecordProperty("screenshot_df_zones", png.string());

  // Each bearing line in its colour halfway along; the zone's circle and the sector's arc drawn.
  const auto near = [&](int x, int y, ui::Colour c) {
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy)
        if (shot.pixelColor(x + dx, y + dy) == qt::qcolour(c)) return true;
    return false;
  };
  for (int i = 0; i < 3; ++i) {
    const ui::Line& l = z.brg[i];
    ASSERT_TRUE(l.visible) << i;
    EXPECT_TRUE(near((l.x1 + l.x2) / 4 + l.x1 / 2, (l.y1 + l.y2) / 4 + l.y1 / 2, cyan)) << "line " << i;
  }
  const ui::Line& arc = z.dfsec[50];
  EXPECT_TRUE(near(arc.x1, arc.y1, orange));
  const ui::Shape& c = z.zonec[0];
  ASSERT_TRUE(c.visible);
  EXPECT_GT(c.width, 20);
  // The estimate the three lines cross at is the destination.
  EXPECT_NEAR(app->nav.destx[app->nav.curdest], tx, 0.3);
  EXPECT_NEAR(app->nav.desty[app->nav.curdest], ty, 0.3);
}

}  // namespace
}  // namespace zarn::test
