// The vehicle windows drawn offscreen: the vehicles window with the rows of the fleet demo, and
// the message window showing an alarm. The pictures are kept beside the test program.
#include <QImage>

#include <filesystem>

#include "geodesy/helpers.h"
#include "platform/files.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "support/app_fixture.h"
#include "gpsinput/linkstate.h"
#include "vehicles/alerts.h"
#include "vehicles/linkservices.h"
#include "vehicles/mcv.h"
#include "vehicles/mvforms.h"
#include "vehicles/mvwindow.h"

namespace zarn::test {
namespace {

class Windows : public AppTest {
 protected:
  void SetUp() override { make(nullptr, std::make_unique<qt::QtImageStore>()); }
  QImage shot(ui::Form& f, const std::string& name) {
    f.show();
    qt::QtUi ui([this] { return app->win.all(); });
    ui.refresh();
    const QImage img = ui.view(f)->snapshot();
    const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
    EXPECT_TRUE(img.save(QString::fromStdString(path.string())));
    RecordProperty("screenshot_" + name, path.string());
    return img;
  }
  // Pixels of one colour inside a rectangle.
  static int count(const QImage& img, const QRect& r, const QColor& c) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += img.pixelColor(x, y) == c;
    return n;
  }
};

TEST_F(Windows, TheVehiclesWindowListsTheFleetDemo) {
  const std::filesystem::path demo = std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo";
  std::filesystem::copy_file(demo / "fleet" / "ZARN.MCV", dir / "ZARN.MCV");
  std::filesystem::copy_file(demo / "MAPS.CCC", dir / "MAPS.CCC");
  std::filesystem::copy_file(demo / "ZARN.MVD", dir / "ZARN.MVD");
  ASSERT_FALSE(loadccc(app->geo, app->files));
  app->main.mvmode = 1;
  ASSERT_TRUE(readmcv(*app));
  auto lines = platform::InputFile::open(app->files, "ZARN.MVD", platform::Files::loglimit);
  ASSERT_TRUE(lines);
  for (int k = 0; k < 40 && !lines->eof(); ++k) {
    std::string l = lines->lineinput();
    mvlinein(*app, l, static_cast<long>(l.size()));
  }
  MvForm& mv = app->win.get<MvForm>();
  wirevehiclewindows(*app);
  mv.mvdata[1].onClick();  // the second unit selected
  int filled = 0;
  for (int k = 0; k < MvForm::rows; ++k) filled += mv.mvdata[k].caption.find_first_not_of(' ') != std::string::npos;
  EXPECT_GE(filled, 4) << "rows of the reporting units";
  const QImage img = shot(mv, "mvform-fleet.png");
  ASSERT_EQ(img.size(), QSize(mv.width, mv.height));
  const auto row = [&](int k) {
    const ui::Label& r = mv.mvdata[k];
    return QRect(r.left, r.top, r.width, r.height);
  };
  const QColor grey(192, 192, 192), white(255, 255, 255);
  EXPECT_GT(count(img, row(1), white), row(1).width() * row(1).height() / 2) << "the selected row is white";
  EXPECT_GT(count(img, row(0), grey), row(0).width() * row(0).height() / 2) << "the others light grey";
  int written = 0;  // rows with text drawn on them
  for (int k = 0; k < MvForm::rows; ++k) {
    const QRect r = row(k);
    written += r.width() * r.height() - count(img, r, k == 1 ? white : grey) > 20;
  }
  EXPECT_EQ(written, filled);
}

TEST_F(Windows, TheMessageWindowShowsAnAlarmWhiteOnRed) {
  app->veh.mvlabel[2] = "VAN2 ";
  mvalertmsg(*app, 2, "05", "SJ 79227 84523", "1412");
  MvAlarmForm& w = app->win.get<MvAlarmForm>();
  ASSERT_TRUE(w.visible);
  const QImage img = shot(w, "mvalarm-alarm.png");
  const QRect text(w.txt.left, w.txt.top, w.txt.width, w.txt.height);
  const int red = count(img, text, QColor(255, 0, 0));
  int light = 0;  // the text's pixels: white, or pink at their smoothed edges
  for (int y = text.top(); y <= text.bottom(); ++y)
    for (int x = text.left(); x <= text.right(); ++x) light += img.pixelColor(x, y).green() > 128;
  EXPECT_GT(red, text.width() * text.height() * 3 / 4) << "the red alarm background";
  EXPECT_GT(light, 150) << "two lines of text in white";
  EXPECT_GT(count(img, QRect(0, 0, img.width(), img.height()), QColor(255, 0, 0)), img.width() * img.height() / 2);
}

// The engineering window: the last seven lines of the link drawn across its width, the newest on
// top, each on its lamp colour (white taken, grey ignored).
TEST_F(Windows, TheEngineeringWindowDrawsTheLastSevenLinesAcrossItsWidth) {
  app->main.mvmode = 1;
  app->gps.mvdatamode = DataMode::message;
  for (int k = 0; k < 9; ++k) {
    std::string l = k % 3 == 1 ? "003 ignored line " + std::to_string(k)
                               : "001   UNIT" + std::to_string(k) + "   xxxx 5321.443  00218.820W 0840101230";
    mvlinein(*app, l, static_cast<long>(l.size()));
  }
  MvEngForm& eng = app->win.get<MvEngForm>();
  const QImage img = shot(eng, "mveng-lines.png");
  const QColor grey(192, 192, 192), white(255, 255, 255);
  for (int k = 0; k < MvEngForm::rawrows; ++k) {
    const ui::Label& r = eng.mvrx[k];
    const QRect row(r.left, r.top, r.width, r.height), tail(r.left + r.width / 2, r.top, r.width / 2, r.height);
    const QColor lamp = eng.mvrx[k].caption.starts_with("001") ? white : grey;
    EXPECT_GT(count(img, row, lamp), row.width() * row.height() / 2) << k;
    EXPECT_GT(row.width() * row.height() - count(img, row, lamp), 40) << k << ": the line is drawn";
    if (lamp == white) {
      EXPECT_GT(tail.width() * tail.height() - count(img, tail, lamp), 20) << k << ": in full";
    }
  }
}

}  // namespace
}  // namespace zarn::test
