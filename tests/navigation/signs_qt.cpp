// The guidance window as Qt paints it: a scripted demo sign and a sign picture.
#include "navigation/rgiform.h"
#include "navigation/signs.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "platform/qt_support.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

TEST_F(AppTest, TheGuidanceWindowShowsTheDemoSignsAsDrawn) {
  make(nullptr, std::make_unique<qt::QtImageStore>());
  copydemo();
  const QColor white(255, 255, 255), blue(0, 80, 180), red(200, 20, 20);
  // The sign's 200-pixel square stands at (220, 8); its scripts count y up from the bottom.
  const struct { const char* sign; const char* png; qttest::Pixel line, ground; } cases[] = {
      {"rgi$tl", "signs-rgi-tl.png", {220 + 116, 8 + 140, white, "the arrow's stem"}, {270, 148, blue, "the disc"}},
      {"rgi$scho.bmp", "signs-rgi-scho.png", {220 + 32, 8 + 8, red, "the picture's red rim"},
       {220 + 32, 8 + 40, white, "inside the triangle"}},
  };
  for (const auto& c : cases) {
    drawsign(app->win.get<RgiForm>(), app->files, *app->sys.images, c.sign);
    qt::QtUi ui([this] { return app->win.all(); });
    ui.refresh();
    ASSERT_TRUE(ui.view(app->win.get<RgiForm>())) << c.sign;
    const QImage shot = ui.view(app->win.get<RgiForm>())->snapshot();
    const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / c.png;
    EXPECT_TRUE(shot.save(QString::fromStdString(path.string())));
    qttest::pixels(shot, {c.line, c.ground, {222, 10, white, "the picture's corner"}, {4, 4, white, "the window"}});
  }
  EXPECT_EQ(app->win.get<RgiForm>().rgitxt.caption, "Turn left") << "a picture leaves the caption";
}

}  // namespace
}  // namespace zarn::test
