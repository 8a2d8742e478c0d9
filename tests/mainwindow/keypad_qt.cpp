// The key pad drawn offscreen and touched with the mouse: the demo's key pictures, the press
// frame while a key is held, the key's command on release. The picture is kept beside the test
// program.
#include <QImage>

#include <filesystem>

#include "mainwindow/datafiles.h"
#include "mainwindow/keypad.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "platform/qt_support.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

using qttest::send;

class KeypadQt : public AppTest {
 protected:
  void SetUp() override { make(nullptr, std::make_unique<qt::QtImageStore>()); }
};

TEST_F(KeypadQt, TheDemoKeyPadFramesAHeldKeyAndRunsItOnRelease) {
  const std::filesystem::path demo = std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo";
  std::filesystem::copy_file(demo / "ZARNKEYS.CFG", dir / "ZARNKEYS.CFG");
  for (int k = 0; k < KForm::keys; ++k) {
    const std::string name = "KEYPAD" + std::string(k < 10 ? "0" : "") + std::to_string(k) + ".BMP";
    std::filesystem::copy_file(demo / name, dir / name);
  }
  readzarnkeys(*app);
  showkform(*app);
  KForm& pad = app->win.get<KForm>();
  qt::QtUi ui([this] { return app->win.all(); });
  ui.refresh();
  QWidget* view = ui.view(pad);
  const QPointF quiet(3 * KForm::keysize + 32, 1 * KForm::keysize + 32);  // key 7
  send(view, QEvent::MouseButtonPress, quiet, Qt::LeftButton, Qt::LeftButton);
  EXPECT_TRUE(pad.press[7].visible);
  ui.refresh();
  const QImage img = ui.view(pad)->snapshot();
  const auto png = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "kform-keypad.png";
  EXPECT_TRUE(img.save(QString::fromStdString(png.string())));
  ASSERT_EQ(img.size(), QSize(pad.width, pad.height));
  qttest::pixels(img, {{3 * 64 + 1, 64 + 32, QColor(255, 255, 0), "the held key framed"}});
  EXPECT_NE(img.pixelColor(2 * 64 + 1, 64 + 32), QColor(255, 255, 0)) << "the key beside it plain";
  const QColor fuel = img.pixelColor(10, 32);
  EXPECT_TRUE(fuel.blue() > 80 && fuel.red() < 60) << "the demo's navy search key";
  EXPECT_TRUE(app->speech.msgtext.empty()) << "nothing runs until the key is let go";
  send(view, QEvent::MouseButtonRelease, quiet, Qt::LeftButton, Qt::NoButton);
  EXPECT_FALSE(pad.press[7].visible);
  EXPECT_EQ(app->speech.msgtext, "OK I'll be quiet");
}

}  // namespace
}  // namespace zarn::test
