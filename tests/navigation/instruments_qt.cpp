// The instruments window drawn by Qt over the demo panel: each needle lies where its dial says.
#include <QImage>
#include <cmath>

#include "geodesy/helpers.h"
#include "gpsinput/gpseng.h"
#include "navigation/iform.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtconvert.h"
#include "platform/qt/qtpaint.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

using InstrumentsQt = AppTest;

TEST_F(InstrumentsQt, DrawnAtAKnownSpeedHeadingAndDestination) {
  make(nullptr, std::make_unique<qt::QtImageStore>());
  const auto bmp = std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo" / "INSTRUPA.BMP";
  std::filesystem::copy_file(bmp, dir / "INSTRUPA.BMP");
  IForm& f = instruments(*app);
  loadinstrpic(instruments(*app), app->voice);
  EXPECT_FALSE(f.Image1.picture) << "not while hidden";
  f.show();
  app->speech.langprefix = "FR";
  loadinstrpic(instruments(*app), app->voice);
  ASSERT_TRUE(f.Image1.picture) << "no French panel: the plain one";
  // 100 km/h, heading north-east, the destination 2 km to the south-east: 90 degrees right.
  ownfixat(*app, 380, 380, 100, 45);
  app->main.metric = 1;
  std::tie(app->nav.destx[0], app->nav.desty[0]) = std::pair(380 + std::sqrt(2.f), 380 - std::sqrt(2.f));
  updateinstr(*app);
  qt::QtUi ui([this] { return app->win.all(); });
  ui.refresh();
  const QImage shot = ui.view(f)->snapshot(), panel(QString::fromStdString(bmp.string()));
  EXPECT_TRUE(shot.save(QString::fromStdString((std::filesystem::read_symlink("/proc/self/exe").parent_path() / "instruments.png").string())));
  for (QPoint p : {QPoint(110, 232), QPoint(250, 100), QPoint(160, 205)}) EXPECT_EQ(shot.pixelColor(p), panel.pixelColor(p)) << "the panel shows";
  for (const auto& [l, deg] : {std::pair(&f.instspd, 120.0), std::pair(&f.insthdg, 45.0), std::pair(&f.instdest, 90.0)}) {
    const double s = std::sin(degtorad(deg)), c = std::cos(degtorad(deg));
    for (double r : {14.0, 36.0, 54.0}) {
      const auto at = [&](double k) { return QPoint(ui::pixel(l->x1 + k * s), ui::pixel(l->y1 - k * c)); };
      EXPECT_EQ(shot.pixelColor(at(r)), qt::qcolour(l->bordercolor)) << l->name << " at " << r;
      EXPECT_NE(shot.pixelColor(at(-r)), qt::qcolour(l->bordercolor)) << l->name << " opposite, at " << r;
    }
  }
}

// The labels hold their longest real texts whole, as drawn (wrapped where they wrap), not cut
// short with an ellipsis: the instruments' read-outs and the engineering window's lines.
TEST_F(InstrumentsQt, LabelsHoldTheirTextsWhole) {
  IForm& f = instruments(*app);
  GpsEngForm& e = app->win.get<GpsEngForm>();
  const std::pair<ui::Label*, const char*> texts[] = {
      {&f.instalt, "45000 FT -3000 FPM"},
      {&f.instalt, "500 FT 50 FPM"},
      {&f.instspdk, " 1200 kmph"},
      {&f.instspdm, " 745 mph"},
      {&f.instspdn, " 648 knots"},
      {&f.instdd, " 9999 miles"},
      {&f.timetil, "59.9m?"},
      {&f.etalab, "23:59?"},
      {&f.miletacho, "12345.67"},
      {&f.dbrglab, "359"},
      {&f.insthdgt, "359"},
      {&e.com, "GPS data expected in NMEA 0183 format on /dev/ttyUSB0"},
      {&e.chk, "message checksum = 4A <> calculated 4B"},
      {&e.sat, " 12 satellites being tracked."},
      {&e.velavail, "No Velocity Available"}};
  for (const auto& [l, t] : texts) {
    l->caption = t;
    const QRect r(l->left, l->top, l->width, l->height);
    EXPECT_EQ(qt::fittedcaption(*l, r).toStdString(), t) << l->name << " of " << l->form->name();
    EXPECT_LE(l->left + l->width, l->form->width) << l->name;
    EXPECT_LE(l->top + l->height, l->form->height) << l->name;
  }
}

}  // namespace
}  // namespace zarn::test
