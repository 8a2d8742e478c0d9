// The calibration window as Qt shows it: the picture inside its frame, and mouse presses on
// the corner pixels setting the two points.
#include <QImage>

#include "map_support.h"
#include "mapdisplay/calibration.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "platform/qt_support.h"

namespace zarn::maptest {
namespace {

using CalibrationQt = MapTest;

std::filesystem::path beside(const std::string& name) {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
}

TEST_F(CalibrationQt, PressesOnTheCornerPixelsSetThePoints) {
  make(nullptr, std::make_unique<qt::QtImageStore>());
  copydemo();
  m().calmapname = "CHESH";
  const ui::PictureRef pic = app->sys.images->load(dir / "CHESH.BMP");
  ASSERT_TRUE(pic);
  startcalibration(*app, pic);
  MakdesForm& f = makdeswindow(*app);
  qt::QtUi ui([this] { return app->win.all(); });
  ui.refresh();
  QWidget* view = ui.view(f);
  ASSERT_TRUE(view);
  // Picture pixels (0, 479) and (639, 0): window pixels one in from the edge.
  qttest::click(view, QPointF(1.5, 480.5));
  qttest::click(view, QPointF(640.5, 1.5));
  ASSERT_TRUE(f.lower && f.upper);
  EXPECT_EQ(std::tuple(f.lower->x, f.lower->y, f.upper->x, f.upper->y), std::tuple(1, 480, 640, 1));
  ui.refresh();
  const QImage shot = ui.view(f)->snapshot();
  ASSERT_TRUE(shot.save(QString::fromStdString(beside("calibration_window_cheshire.png").string())));
  const QImage map(QString::fromStdString((dir / "CHESH.BMP").string()));
  EXPECT_EQ(shot.pixelColor(300, 200), map.pixelColor(299, 199)) << "the picture one pixel in";
  EXPECT_EQ(std::tuple(shot.width(), shot.height()), std::tuple(642, 482));
}

}  // namespace
}  // namespace zarn::maptest
