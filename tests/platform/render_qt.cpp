// The form views draw what the model holds: map picture, drawing layer, then the controls, with
// pictures read from BMP and ICO files and text measured in the fonts' real sizes.
#include <gtest/gtest.h>

#include "platform/qt/formview.h"
#include "platform/qt/qtconvert.h"
#include "platform/qt/qtpaint.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "platform/qt_support.h"
#include "support/tempdir.h"

namespace zarn::qt {
namespace {

using qttest::pixels;

// Colours as the model writes them (0x00BBGGRR) and as they must come out on screen.
constexpr ui::Colour red = 0x0000FF, green = 0x00FF00, yellow = 0x00FFFF, blue = 0xFF0000, ochre = 0x4080C0;
const QColor R(255, 0, 0), G(0, 255, 0), B(0, 0, 255), Y(255, 255, 0), O(0xC0, 0x80, 0x40);
const QColor mapnw(20, 120, 200), mapel(250, 230, 160), iconcol(200, 0, 200);

// A map picture, a line, a hollow circle, a filled box, an icon, a label and a hidden picture box.
struct Scene : ui::Form {
  Scene() : ui::Form("scene") {
    for (ui::Control* c : std::initializer_list<ui::Control*>{&map, &track, &ring, &block, &car, &name, &pad})
      add(*c, "c" + std::to_string(controls().size()));
    map.underlay = true;
    map.move(0, 0, 640, 480);
    track.set(100, 50, 300, 50);
    track.bordercolor = red;
    ring.move(400, 100, 100, 100);
    ring.shape = ui::Shape::circle;
    ring.bordercolor = green;  // a transparent fill: the map shows inside
    block.move(520, 300, 40, 40);
    block.fillstyle = block.borderstyle = 0;
    block.fillcolor = ochre;
    car.move(200, 300);  // an icon keeps its natural size
    name.move(50, 400, 120, 20);
    name.set("Chester");
    name.backcolor = yellow;
    pad.visible = false;
    visible = true;
  }
  ui::PictureBox pad;
  ui::Image map, car;
  ui::Line track;
  ui::Shape ring, block;
  ui::Label name;
};

// An icon file holding the given images, as Windows icons hold several sizes.
std::string icofile(std::initializer_list<QImage> images) {
  std::string head{0, 0, 1, 0, static_cast<char>(images.size()), 0}, data;
  for (const QImage& img : images) {
    QByteArray b;
    QBuffer buf(&b);  // opened by the writer
    img.save(&buf, "ICO");  // a file of one image: its 16-byte entry at 6, the image at 22
    const auto offset = 6 + 16 * images.size() + data.size();
    head += b.mid(6, 12).toStdString();
    for (int i = 0; i < 4; ++i) head += static_cast<char>(offset >> (8 * i));
    data += b.mid(22).toStdString();
  }
  return head + data;
}

struct RenderTest : ::testing::Test {
  zarn::testing::TempDir dir;
  QtImageStore store;
  Scene scene;
  QtUi ui{[this] { return std::vector<ui::Form*>{&scene}; }};

  void SetUp() override {
    // The map's top-left quarter in another colour, so a picture upside down or mirrored shows.
    QImage map(640, 480, QImage::Format_RGB888), small(16, 16, QImage::Format_ARGB32);
    map.fill(mapel);
    QPainter(&map).fillRect(0, 0, 320, 240, mapnw);
    ASSERT_TRUE(map.save(QString::fromStdString((dir / "MAP.BMP").string()), "BMP"));
    // The car: an icon file with a small image and a 32 x 32 one with a transparent top-left corner.
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(iconcol);
    small.fill(Qt::red);
    for (int i = 0; i < 64; ++i) icon.setPixelColor(i % 8, i / 8, Qt::transparent);
    scene.map.setpicture(store.load(dir / "MAP.BMP"));
    scene.car.setpicture(store.load(dir.put("CAR.ICO", icofile({small, icon}))));
    ui.refresh();
  }
  QImage shot() {
    ui.refresh();
    return ui.view(scene)->snapshot();
  }
};

TEST_F(RenderTest, SceneShowsEachLayerWithItsColours) {
  QImage img = shot();
  ASSERT_EQ(img.size(), QSize(640, 480));
  EXPECT_TRUE(img.save(QDir::tempPath() + "/zarn-qt-scene.png"));  // kept for a look by eye
  pixels(img, {{10, 10, mapnw, "map top-left quarter, the right way up"}, {600, 450, mapel, "rest of the map"},
               {200, 50, R, "line colour 0x0000FF is red"}, {200, 52, mapnw, "a one-pixel line is one pixel wide"},
               {400, 150, G, "circle border at its leftmost point"}, {450, 100, G, "circle border at its top"},
               {450, 150, mapel, "a transparent fill leaves the map"}, {401, 101, mapel, "a circle, not a square"},
               {540, 320, O, "fill 0x4080C0 has red C0 and blue 40"}, {220, 320, iconcol, "icon pixel"},
               {232, 320, mapel, "the largest image of an icon, at its natural size"},
               {202, 302, mapel, "transparent icon pixels show the map"}, {165, 417, Y, "opaque label background"}});
  int dark = 0;  // in the label's 120 x 20 pixels
  for (int i = 0; i < 120 * 20; ++i) dark += img.pixelColor(50 + i % 120, 400 + i / 120).lightness() < 100;
  EXPECT_GT(dark, 20) << "caption text in the fore colour";

  scene.name.transparent = true;
  scene.name.set("");
  scene.track.borderwidth = 5;
  scene.ring.visible = false;
  scene.block.fillstyle = scene.block.borderstyle = 1;
  scene.block.borderwidth = 3;
  scene.block.bordercolor = red;
  pixels(shot(), {{165, 417, mapel, "a transparent label shows what is under it"}, {200, 52, R, "a five-pixel line"},
                  {400, 150, mapel, "hidden shape"}, {522, 320, R, "a wide border lies inside the shape"},
                  {519, 320, mapel, "nothing outside it"}, {540, 320, mapel, "transparent fill"}});
  for (const auto& bad : {dir / "MISSING.BMP", dir.put("TEXT.BMP", "not a picture\r\n"),
                          dir.put("CUT.BMP", dir.get("MAP.BMP").substr(0, 30))})
    EXPECT_EQ(store.load(bad), nullptr) << "not a picture: " << bad;
}

TEST_F(RenderTest, DrawingSurfacesAppearUnderTheControlsAndVanishAfterCls) {
  scene.surface.line(10, 300, 150, 300, green);
  pixels(shot(), {{170, 300, mapel, "nothing beyond the line's end"}});
  scene.surface.line(190, 320, 250, 320, red);
  pixels(shot(), {{50, 300, G, "earlier drawing kept, over the map"}, {195, 320, R, "the new line"},
                  {220, 320, iconcol, "controls cover the drawing layer"}});
  EXPECT_EQ(ui.view(scene)->layerreplays(), 1) << "a growing layer is not replayed";
  scene.surface.cls();
  scene.surface.filledbox(600, 10, 610, 20, green);
  pixels(shot(), {{50, 300, mapel, "cls removes the drawing, the map shows again"},
                  {600, 10, G, "filled box includes both corners"}, {610, 20, G, "far corner"}, {611, 21, mapel, ""}});

  // A picture box draws its own surface inside its border.
  scene.pad.move(20, 250, 60, 40);
  scene.pad.visible = true;
  scene.pad.surface.backcolor = blue;
  scene.pad.surface.cls();
  scene.pad.surface.filledbox(0, 0, 9, 9, red);
  scene.pad.surface.line(0, 20, 57, 20, green);
  pixels(shot(), {{20, 250, Qt::black, "border"}, {21, 251, R, "surface origin inside the border"},
                  {30, 260, R, "filled box reaches its far corner"}, {32, 262, B, "cleared to the back colour"},
                  {50, 271, G, "line"}, {85, 271, mapel, "nothing drawn outside the box"}});
  scene.surface.line(600, 40, 690, 40, green);
  scene.width = 700;  // a wider form draws its layer afresh, to the new width
  pixels(shot(), {{680, 40, G, "drawing beyond the old width"}});
}

TEST_F(RenderTest, ViewsFollowTheWindowModelAndRepaintOnlyOnChange) {
  FormView* v = ui.view(scene);
  long n = 0;
  auto paints = [&] {
    ui.refresh();
    QCoreApplication::processEvents();
    return v->paints() - std::exchange(n, v->paints());
  };
  paints();
  const struct { const char* change; std::function<void()> make; bool repaint; } changes[] = {
      {"nothing", [] {}, false}, {"a control hidden", [&] { scene.ring.visible = false; }, true},
      {"a hidden control changed: no repaint needed", [&] { scene.ring.fillcolor = red; }, false},
      {"a caption", [&] { scene.name.set("Crewe"); }, true}, {"drawing", [&] { scene.surface.pset(1, 1); }, true},
      {"an icon moved", [&] { scene.car.move(210, 300); }, true}};
  for (const auto& c : changes) {
    c.make();
    EXPECT_EQ(paints() > 0, c.repaint) << c.change;
  }

  scene.caption = "Map \xA3";  // Latin-1 pound sign
  scene.width = 320;
  scene.left = 100;
  scene.top = 50;
  scene.topmost = true;
  ui.refresh();
  EXPECT_EQ(v->windowTitle(), QString::fromUtf8("Map \u00A3"));
  EXPECT_EQ(QRect(v->pos(), v->size()), QRect(100, 50, 320, 480));
  EXPECT_TRUE(v->isVisible() && (v->windowFlags() & Qt::WindowStaysOnTopHint)) << "new flags, still shown";
  scene.hide();
  ui.refresh();
  EXPECT_TRUE(!v->isVisible() && ui.view(scene) == v) << "hidden, not destroyed";
}

TEST_F(RenderTest, TextIsMeasuredWithThePointSizeAndSizesAutoSizedLabels) {
  const ui::TextMetrics m = qtmetrics();
  const ui::Font small{8.25, false}, big{12, false};
  EXPECT_GT(m.width("Exit ZARN ?", big), m.width("Exit ZARN ?", small));
  EXPECT_GE(m.height(small), 11) << "8.25 pt is 11 pixels at 96 dpi";
  scene.metrics = &m;
  scene.name.autosize = true;
  scene.name.font = big;
  scene.name.set("Nantwich \xA3");
  EXPECT_EQ(std::pair(scene.name.width, scene.name.height), std::pair(m.width("Nantwich \xA3", big), m.height(big)));
}

// A label sized to its caption (a found place's name) shows all of it on one line, as a label
// with room to spare shows it: its width in whole pixels may fall short of the text's.
TEST_F(RenderTest, ALabelSizedToItsCaptionShowsAllOfItOnOneLine) {
  const ui::TextMetrics m = qtmetrics();
  scene.metrics = &m;
  ui::Label& l = scene.name;
  std::tie(l.autosize, l.alignment, l.transparent) = std::tuple(true, 2, true);
  l.move(150, 10);
  auto paint = [](const ui::Label& c) {
    QImage img(500, 60, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    paintlabel(p, c);
    return img;
  };
  for (const char* t : {"SJ 81245 83600", "53.375 -2.3333", "O 15855 34718", "19:33:01 261020 SJ 79366 84527"})
    for (double size : {8.25, 9.75, 12.0}) {
      l.font.size = size;
      l.set(t);
      ui::Label roomy = l;
      roomy.autosize = false;
      roomy.move(l.left - 100, l.top, l.width + 200, l.height);
      EXPECT_EQ(fittedcaption(l, {l.left, l.top, l.width, l.height}).toStdString(), t) << size;
      EXPECT_TRUE(paint(l) == paint(roomy)) << t << " at " << size << " pt, " << l.width << " pixels wide";
    }
}

TEST_F(RenderTest, AHugeCaptionIsCutAtAWordAndShownAsFarAsItFits) {
  std::string huge;
  while (huge.size() < (1u << 20)) huge += "Market Drayton ";
  scene.name.set(huge);
  const std::size_t cut = scene.name.caption.size();
  EXPECT_TRUE(cut > 300 && cut <= 400 && huge.starts_with(scene.name.caption) && huge[cut] == ' ') << cut;
  const QRect r(0, 0, 120, 20);
  const QString shown = fittedcaption(scene.name, r);
  EXPECT_TRUE(shown.startsWith("Market Drayton") && shown.endsWith(QChar(0x2026))) << shown.toStdString();
  EXPECT_LE(QFontMetrics(qfont(scene.name.font)).boundingRect(r, Qt::TextWordWrap, shown).height(), r.height());
}

}  // namespace
}  // namespace zarn::qt
