// The form views draw what the model holds: map picture, drawing layer, then the controls.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>

#include "platform/qt/formview.h"
#include "platform/qt/qtpaint.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "platform/qt_support.h"
#include "platform/ui.h"
#include "support/tempdir.h"

namespace zarn::qt {
namespace {

using qttest::qpath;

// Colours as the model writes them (0x00BBGGRR) and as they must come out on screen.
constexpr ui::Colour red = 0x0000FF, green = 0x00FF00, yellow = 0x00FFFF, blue = 0xFF0000;
constexpr ui::Colour ochre = 0x4080C0;  // red C0, green 80, blue 40
const QColor R(255, 0, 0), G(0, 255, 0), B(0, 0, 255);
const QColor mapnw(20, 120, 200), mapel(250, 230, 160), iconcol(200, 0, 200);

// A map picture, a line, a hollow circle, a filled box, an icon, a label and a hidden picture box.
class Scene : public ui::Form {
 public:
  Scene() : ui::Form("scene") {
    map.underlay = true;
    put(map, "map", 0, 0, 640, 480);
    map.z = backz();
    add(track, "track");
    track.set(100, 50, 300, 50);
    track.bordercolor = red;
    put(ring, "ring", 400, 100, 100, 100);
    ring.shape = ui::Shape::circle;
    ring.bordercolor = green;
    ring.fillstyle = 1;  // transparent: the map shows inside
    put(block, "block", 520, 300, 40, 40);
    block.fillstyle = block.borderstyle = 0;
    block.fillcolor = ochre;
    add(car, "car");
    car.move(200, 300);  // an icon keeps its natural size
    put(name, "name", 50, 400, 120, 20);
    name.set("Chester");
    name.backcolor = yellow;
    name.font.size = 9.75;
    add(pad, "pad");
    pad.visible = false;
    visible = true;
  }
  template <class C>
  void put(C& c, const char* n, int l, int t, int w, int h) {
    add(c, n);
    c.move(l, t, w, h);
  }
  ui::PictureBox pad;
  ui::Image map, car;
  ui::Line track;
  ui::Shape ring, block;
  ui::Label name;
};

struct RenderTest : ::testing::Test {
  zarn::testing::TempDir dir;
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
    for (int i = 0; i < 64; ++i) icon.setPixelColor(i % 8, i / 8, Qt::transparent);
    ASSERT_TRUE(icon.save(qpath(dir / "CAR.ICO"), "ICO"));
    scene.map.setpicture(store.load(dir / "MAP.BMP"));
    scene.car.setpicture(store.load(dir / "CAR.ICO"));
    ui.refresh();
  }
  QImage shot() {
    ui.refresh();
    return ui.view(scene)->snapshot();
  }
};

TEST_F(RenderTest, SceneShowsEachLayerWithItsColours) {
  EXPECT_EQ(scene.car.width, 32) << "an icon shows at its natural size";
  QImage img = shot();
  ASSERT_EQ(img.size(), QSize(640, 480));
  const std::string png = (QDir::tempPath() + "/zarn-qt-scene.png").toStdString();
  EXPECT_TRUE(img.save(QString::fromStdString(png)));  // kept for a look by eye
  RecordProperty("screenshot", png);

  EXPECT_EQ(img.pixelColor(10, 10), mapnw) << "map top-left quarter, the right way up";
  EXPECT_EQ(img.pixelColor(600, 450), mapel) << "rest of the map";
  EXPECT_EQ(img.pixelColor(200, 50), R) << "line colour 0x0000FF is red";
  EXPECT_EQ(img.pixelColor(200, 52), mapnw) << "a one-pixel line is one pixel wide";
  EXPECT_EQ(img.pixelColor(400, 150), G) << "circle border at its leftmost point";
  EXPECT_EQ(img.pixelColor(450, 100), G) << "circle border at its top";
  EXPECT_EQ(img.pixelColor(450, 150), mapel) << "a transparent fill leaves the map";
  EXPECT_EQ(img.pixelColor(401, 101), mapel) << "a circle, not a square";
  EXPECT_EQ(img.pixelColor(540, 320), QColor(0xC0, 0x80, 0x40)) << "fill 0x4080C0 has red C0 and blue 40";
  EXPECT_EQ(img.pixelColor(220, 320), iconcol) << "icon pixel";
  EXPECT_EQ(img.pixelColor(202, 302), mapel) << "transparent icon pixels show the map";
  EXPECT_EQ(img.pixelColor(165, 417), QColor(255, 255, 0)) << "opaque label background";
  int dark = 0;
  for (int y = 400; y < 420; ++y)
    for (int x = 50; x < 170; ++x) dark += img.pixelColor(x, y).lightness() < 100;
  EXPECT_GT(dark, 20) << "caption text in the fore colour";

  scene.name.transparent = true;
  scene.name.set("");
  scene.track.borderwidth = 5;
  scene.ring.visible = false;
  scene.block.fillstyle = 1;
  scene.block.borderstyle = 1;
  scene.block.borderwidth = 3;
  scene.block.bordercolor = red;
  img = shot();
  EXPECT_EQ(img.pixelColor(165, 417), mapel) << "a transparent label shows what is under it";
  EXPECT_EQ(img.pixelColor(200, 52), R) << "a five-pixel line";
  EXPECT_EQ(img.pixelColor(400, 150), mapel) << "hidden shape";
  EXPECT_EQ(img.pixelColor(522, 320), R) << "a wide border lies inside the shape";
  EXPECT_EQ(img.pixelColor(519, 320), mapel);
  EXPECT_EQ(img.pixelColor(540, 320), mapel) << "transparent fill";
}

TEST_F(RenderTest, DrawingSurfacesAppearUnderTheControlsAndVanishAfterCls) {
  scene.surface.line(10, 300, 150, 300, green);
  QImage img = shot();
  EXPECT_EQ(img.pixelColor(170, 300), mapel) << "nothing beyond the line's end";
  scene.surface.line(190, 320, 250, 320, red);
  img = shot();
  EXPECT_EQ(img.pixelColor(50, 300), G) << "earlier drawing kept, over the map";
  EXPECT_EQ(img.pixelColor(195, 320), R);
  EXPECT_EQ(img.pixelColor(220, 320), iconcol) << "controls cover the drawing layer";
  EXPECT_EQ(ui.view(scene)->layerreplays(), 1) << "a growing layer is not replayed";

  scene.surface.cls();
  scene.surface.filledbox(600, 10, 610, 20, green);
  img = shot();
  EXPECT_EQ(img.pixelColor(50, 300), mapel) << "cls removes the drawing, the map shows again";
  EXPECT_EQ(img.pixelColor(600, 10), G) << "filled box includes both corners";
  EXPECT_EQ(img.pixelColor(610, 20), G);
  EXPECT_EQ(img.pixelColor(611, 21), mapel);

  // A picture box draws its own surface inside its border.
  scene.pad.move(20, 250, 60, 40);
  scene.pad.visible = true;
  scene.pad.surface.backcolor = blue;
  scene.pad.surface.cls();
  scene.pad.surface.filledbox(0, 0, 9, 9, red);
  scene.pad.surface.line(0, 20, 57, 20, green);
  img = shot();
  EXPECT_EQ(img.pixelColor(20, 250), QColor(Qt::black)) << "border";
  EXPECT_EQ(img.pixelColor(21, 251), R) << "surface origin inside the border";
  EXPECT_EQ(img.pixelColor(30, 260), R) << "filled box reaches its far corner";
  EXPECT_EQ(img.pixelColor(32, 262), B) << "cleared to the surface's back colour";
  EXPECT_EQ(img.pixelColor(50, 271), G);
  EXPECT_EQ(img.pixelColor(85, 271), mapel) << "nothing drawn outside the box";
}

TEST(SurfaceLayer, ReplaysOnlyAfterAClearOrANewSize) {
  ui::DrawSurface s;
  SurfaceLayer layer(true);
  s.line(0, 5, 19, 5, red);
  layer.update(s, 20, 10);
  for (int i = 0; i < 100; ++i) s.pset(i % 20, 8, green);
  QImage img = layer.update(s, 20, 10);
  EXPECT_EQ(layer.replays(), 1) << "only the new points were drawn";
  EXPECT_EQ(img.pixelColor(7, 8), G);
  EXPECT_EQ(img.pixelColor(10, 5), R);
  s.backcolor = blue;
  s.cls();
  img = layer.update(s, 20, 10);
  EXPECT_EQ(layer.replays(), 2) << "a clear since the last update needs a full replay";
  EXPECT_EQ(img.pixelColor(10, 5), B) << "old drawing gone, cleared to the back colour";
  EXPECT_EQ(layer.update(s, 30, 10).width(), 30);
  EXPECT_EQ(layer.replays(), 3) << "a new size is drawn afresh";
}

TEST_F(RenderTest, ARefreshWithNothingChangedPaintsNothing) {
  FormView* v = ui.view(scene);
  long n = 0;
  auto paints = [&] {
    ui.refresh();
    QCoreApplication::processEvents();
    const long added = v->paints() - n;
    n = v->paints();
    return added;
  };
  paints();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(paints(), 0);
  scene.ring.visible = false;
  EXPECT_GT(paints(), 0) << "a control hidden";
  scene.ring.fillcolor = red;
  EXPECT_EQ(paints(), 0) << "changes to a hidden control need no repaint";
  scene.name.set("Crewe");
  EXPECT_GT(paints(), 0) << "a changed caption";
  scene.surface.pset(1, 1);
  EXPECT_GT(paints(), 0) << "drawing";
  scene.car.move(210, 300);
  EXPECT_GT(paints(), 0) << "a moved icon";
  scene.map.setpicture(store.load(dir / "CAR.ICO"));
  EXPECT_GT(paints(), 0) << "a new picture";
}

TEST_F(RenderTest, ViewsFollowTheWindowModel) {
  FormView* v = ui.view(scene);
  ASSERT_NE(v, nullptr);
  scene.caption = "Map \xA3";  // Latin-1 pound sign
  scene.width = 320;
  scene.left = 100;
  scene.top = 50;
  scene.topmost = true;
  ui.refresh();
  EXPECT_EQ(v->windowTitle(), QString::fromUtf8("Map \u00A3"));
  EXPECT_EQ(QRect(v->pos(), v->size()), QRect(100, 50, 320, 480));
  EXPECT_TRUE(v->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(v->isVisible()) << "changing the window's flags keeps it shown";
  scene.hide();
  ui.refresh();
  EXPECT_FALSE(v->isVisible());
  EXPECT_EQ(ui.view(scene), v) << "hidden, not destroyed";

  ui::Form later("later");
  QtUi ui2([&] { return std::vector<ui::Form*>{&later}; });
  ui2.refresh();
  EXPECT_EQ(ui2.view(later), nullptr) << "no window until the form is first shown";
}

}  // namespace
}  // namespace zarn::qt
