// The form views draw what the model holds: map picture, drawing layer, then the controls.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>

#include "platform/qt/formview.h"
#include "platform/qt/qtpaint.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "platform/qt_support.h"
#include "platform/ui.h"

namespace zarn::qt {
namespace {

using qttest::qpath;
using qttest::ScratchDir;

// Colours as the model writes them (0x00BBGGRR) and as they must come out on screen.
constexpr ui::Colour red = 0x0000FF, green = 0x00FF00, yellow = 0x00FFFF;
constexpr ui::Colour ochre = 0x4080C0;  // red C0, green 80, blue 40
const QColor mapnw(20, 120, 200), mapel(250, 230, 160), iconcol(200, 0, 200);

class Scene : public ui::Form {
 public:
  Scene() : ui::Form("scene") {
    width = 640;
    height = 480;
    backcolor = ui::white;
    map.underlay = true;
    add(map, "map");
    map.z = backz();
    add(track, "track");
    add(ring, "ring");
    add(block, "block");
    add(car, "car");
    add(name, "name");
    add(pad, "pad");
    pad.visible = false;
  }
  ui::PictureBox pad;
  ui::Image map, car;
  ui::Line track;
  ui::Shape ring, block;
  ui::Label name;
};

struct RenderTest : ::testing::Test {
  ScratchDir dir;
  QtImageStore store;
  Scene scene;
  QtUi ui{[this] { return std::vector<ui::Form*>{&scene}; }};

  void SetUp() override {
    // The map: its top-left quarter in one colour and the rest in another, so a picture
    // upside down or mirrored shows at once.
    QImage map(640, 480, QImage::Format_RGB888);
    map.fill(mapel);
    QPainter(&map).fillRect(0, 0, 320, 240, mapnw);
    ASSERT_TRUE(map.save(qpath(dir / "MAP.BMP"), "BMP"));
    // The icon: a solid square with a transparent top-left corner.
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(iconcol);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) icon.setPixelColor(x, y, Qt::transparent);
    ASSERT_TRUE(icon.save(qpath(dir / "CAR.ICO"), "ICO"));

    scene.map.setpicture(store.load(dir / "MAP.BMP"));
    scene.map.move(0, 0, 640, 480);
    scene.track.set(100, 50, 300, 50);
    scene.track.bordercolor = red;
    scene.ring.shape = ui::Shape::circle;
    scene.ring.move(400, 100, 100, 100);
    scene.ring.bordercolor = green;
    scene.ring.fillstyle = 1;  // transparent: the map shows inside
    scene.block.move(520, 300, 40, 40);
    scene.block.fillstyle = 0;
    scene.block.fillcolor = ochre;
    scene.block.borderstyle = 0;
    scene.car.setpicture(store.load(dir / "CAR.ICO"));
    scene.car.move(200, 300);
    scene.name.set("Chester");
    scene.name.move(50, 400, 120, 20);
    scene.name.backcolor = yellow;
    scene.name.font.size = 9.75;
    scene.visible = true;
    ui.refresh();
  }
  QImage shot() { return ui.view(scene)->snapshot(); }
};

TEST_F(RenderTest, SceneShowsEachLayerWithItsColours) {
  ASSERT_NE(scene.map.picture, nullptr);
  ASSERT_NE(scene.car.picture, nullptr);
  EXPECT_EQ(scene.car.width, 32) << "an icon shows at its natural size";
  const QImage img = shot();
  ASSERT_EQ(img.size(), QSize(640, 480));
  const std::string png = (QDir::tempPath() + "/zarn-qt-scene.png").toStdString();
  EXPECT_TRUE(img.save(QString::fromStdString(png)));  // kept for a look by eye
  RecordProperty("screenshot", png);

  EXPECT_EQ(img.pixelColor(10, 10), mapnw) << "map top-left quarter, the right way up";
  EXPECT_EQ(img.pixelColor(600, 450), mapel) << "rest of the map";
  EXPECT_EQ(img.pixelColor(200, 50), QColor(255, 0, 0)) << "line colour 0x0000FF is red";
  EXPECT_EQ(img.pixelColor(200, 52), mapnw) << "a one-pixel line is one pixel wide";
  EXPECT_EQ(img.pixelColor(400, 150), QColor(0, 255, 0)) << "circle border at its leftmost point";
  EXPECT_EQ(img.pixelColor(450, 100), QColor(0, 255, 0)) << "circle border at its top";
  EXPECT_EQ(img.pixelColor(450, 150), mapel) << "a transparent fill leaves the map";
  EXPECT_EQ(img.pixelColor(401, 101), mapel) << "a circle, not a square";
  EXPECT_EQ(img.pixelColor(540, 320), QColor(0xC0, 0x80, 0x40)) << "fill 0x4080C0 has red C0 and blue 40";
  EXPECT_EQ(img.pixelColor(220, 320), iconcol) << "icon pixel";
  EXPECT_EQ(img.pixelColor(202, 302), mapel) << "transparent icon pixels show the map";
  EXPECT_EQ(img.pixelColor(165, 417), QColor(255, 255, 0)) << "opaque label background";
  // The caption is drawn in the fore colour somewhere in the label.
  int dark = 0;
  for (int y = 400; y < 420; ++y)
    for (int x = 50; x < 170; ++x) dark += img.pixelColor(x, y).lightness() < 100;
  EXPECT_GT(dark, 20) << "caption text";
}

TEST_F(RenderTest, LabelsAndShapesFollowTheirSettings) {
  scene.name.transparent = true;
  scene.name.set("");
  scene.track.borderwidth = 5;
  scene.ring.visible = false;
  scene.block.fillstyle = 1;
  scene.block.borderstyle = 1;
  scene.block.borderwidth = 3;
  scene.block.bordercolor = red;
  ui.refresh();
  const QImage img = shot();
  EXPECT_EQ(img.pixelColor(165, 417), mapel) << "a transparent label shows what is under it";
  EXPECT_EQ(img.pixelColor(200, 52), QColor(255, 0, 0)) << "a five-pixel line";
  EXPECT_EQ(img.pixelColor(400, 150), mapel) << "hidden shape";
  EXPECT_EQ(img.pixelColor(520, 320), QColor(255, 0, 0)) << "a wide border lies inside the shape";
  EXPECT_EQ(img.pixelColor(522, 320), QColor(255, 0, 0));
  EXPECT_EQ(img.pixelColor(519, 320), mapel);
  EXPECT_EQ(img.pixelColor(540, 320), mapel) << "transparent fill";
}

TEST_F(RenderTest, DrawingLayerOpsAppearAndVanishAfterCls) {
  scene.surface.line(10, 300, 150, 300, green);
  ui.refresh();
  QImage img = shot();
  EXPECT_EQ(img.pixelColor(50, 300), QColor(0, 255, 0)) << "drawn over the map";
  EXPECT_EQ(img.pixelColor(170, 300), mapel) << "nothing beyond the line's end";

  // The car icon lies above the drawing layer.
  scene.surface.line(190, 320, 250, 320, red);
  ui.refresh();
  img = shot();
  EXPECT_EQ(img.pixelColor(195, 320), QColor(255, 0, 0));
  EXPECT_EQ(img.pixelColor(220, 320), iconcol) << "controls cover the drawing layer";
  EXPECT_EQ(img.pixelColor(50, 300), QColor(0, 255, 0)) << "earlier drawing kept";
  EXPECT_EQ(ui.view(scene)->layerreplays(), 1) << "a growing layer is not replayed";

  scene.surface.cls();
  ui.refresh();
  img = shot();
  EXPECT_EQ(img.pixelColor(50, 300), mapel) << "cls removes the drawing, the map shows again";
  EXPECT_EQ(img.pixelColor(195, 320), mapel);

  scene.surface.circle(100, 100, 20, red);
  scene.surface.filledbox(600, 10, 610, 20, green);
  ui.refresh();
  img = shot();
  EXPECT_EQ(img.pixelColor(80, 100), QColor(255, 0, 0)) << "circle drawn after cls";
  EXPECT_EQ(img.pixelColor(600, 10), QColor(0, 255, 0)) << "filled box includes both corners";
  EXPECT_EQ(img.pixelColor(610, 20), QColor(0, 255, 0));
  EXPECT_EQ(img.pixelColor(611, 21), mapel);
}

TEST_F(RenderTest, PictureBoxDrawsItsSurfaceInsideItsBorder) {
  scene.pad.move(20, 250, 60, 40);
  scene.pad.visible = true;
  scene.pad.surface.backcolor = 0xFF0000;  // blue
  scene.pad.surface.cls();
  scene.pad.surface.filledbox(0, 0, 9, 9, red);
  scene.pad.surface.line(0, 20, 57, 20, green);
  ui.refresh();
  QImage img = shot();
  EXPECT_EQ(img.pixelColor(20, 250), QColor(Qt::black)) << "border";
  EXPECT_EQ(img.pixelColor(21, 251), QColor(255, 0, 0)) << "surface origin inside the border";
  EXPECT_EQ(img.pixelColor(30, 260), QColor(255, 0, 0)) << "filled box reaches its far corner";
  EXPECT_EQ(img.pixelColor(32, 262), QColor(0, 0, 255)) << "cleared to the surface's back colour";
  EXPECT_EQ(img.pixelColor(50, 271), QColor(0, 255, 0));
  EXPECT_EQ(img.pixelColor(85, 271), mapel) << "nothing drawn outside the box";

  scene.pad.surface.print("Hi");
  ui.refresh();
  img = shot();
  EXPECT_EQ(img.pixelColor(21, 251), QColor(255, 0, 0)) << "earlier drawing kept as the surface grows";
}

TEST(SurfaceLayer, PictureBoxFlattensIncrementallyAndClearsToItsBackColour) {
  ui::DrawSurface s;
  SurfaceLayer layer(true);
  s.backcolor = 0xFF0000;  // blue
  s.cls();
  s.line(0, 5, 19, 5, red);
  QImage img = layer.update(s, 20, 10);
  EXPECT_EQ(layer.replays(), 1);
  EXPECT_EQ(img.pixelColor(3, 3), QColor(0, 0, 255)) << "cleared to the back colour";
  EXPECT_EQ(img.pixelColor(10, 5), QColor(255, 0, 0));
  for (int i = 0; i < 100; ++i) s.pset(i % 20, 8, green);
  img = layer.update(s, 20, 10);
  EXPECT_EQ(layer.replays(), 1) << "only the new points were drawn";
  EXPECT_EQ(img.pixelColor(7, 8), QColor(0, 255, 0));
  EXPECT_EQ(img.pixelColor(10, 5), QColor(255, 0, 0));

  s.cls();
  s.print("x");
  img = layer.update(s, 20, 10);
  EXPECT_EQ(layer.replays(), 2) << "a clear since the last update needs a full replay";
  EXPECT_EQ(img.pixelColor(10, 5), QColor(0, 0, 255)) << "old drawing gone";

  img = layer.update(s, 30, 10);
  EXPECT_EQ(layer.replays(), 3) << "a new size is drawn afresh";
  EXPECT_EQ(img.width(), 30);
}

TEST_F(RenderTest, ARefreshWithNothingChangedPaintsNothing) {
  FormView* v = ui.view(scene);
  QCoreApplication::processEvents();
  const long before = v->paints();
  for (int i = 0; i < 5; ++i) {
    ui.refresh();
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(v->paints(), before);
  scene.ring.visible = false;
  ui.refresh();
  QCoreApplication::processEvents();
  const long hidden = v->paints();
  EXPECT_GT(hidden, before) << "a control hidden";
  scene.ring.fillcolor = red;
  ui.refresh();
  QCoreApplication::processEvents();
  EXPECT_EQ(v->paints(), hidden) << "changes to a hidden control need no repaint";

  long n = v->paints();
  auto painted = [&](const char* what) {
    ui.refresh();
    QCoreApplication::processEvents();
    EXPECT_GT(v->paints(), n) << what;
    n = v->paints();
  };
  scene.name.set("Crewe");
  painted("a changed caption");
  scene.surface.pset(1, 1);
  painted("drawing");
  scene.car.move(210, 300);
  painted("a moved icon");
  scene.map.setpicture(store.load(dir / "CAR.ICO"));
  painted("a new picture");
}

TEST_F(RenderTest, ViewsFollowTheWindowModel) {
  FormView* v = ui.view(scene);
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(v->isVisible());
  EXPECT_EQ(v->size(), QSize(640, 480));
  scene.caption = "Map \xA3";  // Latin-1 pound sign
  scene.width = 320;
  scene.left = 100;
  scene.top = 50;
  scene.topmost = true;
  ui.refresh();
  EXPECT_EQ(v->windowTitle(), QString::fromUtf8("Map \u00A3"));
  EXPECT_EQ(v->size(), QSize(320, 480));
  EXPECT_EQ(v->pos(), QPoint(100, 50));
  EXPECT_TRUE(v->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(v->isVisible()) << "changing the window's flags keeps it shown";
  scene.topmost = false;
  scene.hide();
  ui.refresh();
  EXPECT_FALSE(v->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(v->isVisible());
  EXPECT_EQ(ui.view(scene), v) << "hidden, not destroyed";

  ui::Form later("later");
  QtUi ui2([&] { return std::vector<ui::Form*>{&scene, &later}; });
  ui2.refresh();
  EXPECT_EQ(ui2.view(later), nullptr) << "no window until the form is first shown";
  later.show();
  ui2.refresh();
  ASSERT_NE(ui2.view(later), nullptr);
  EXPECT_TRUE(ui2.view(later)->isVisible());
}

}  // namespace
}  // namespace zarn::qt
