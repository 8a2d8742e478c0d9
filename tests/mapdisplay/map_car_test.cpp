// The own car: icon, pointer fan, arrow icon and the trail ring, and their place again after
// a map redraw.
#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/transform.h"
#include "map_support.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/redraw.h"

namespace zarn {
namespace {

using maptest::MapTest;

class Car : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    view(300, 400);
    app->map.trailcolour = ui::red;
  }
  // A north-up grid view of the given east span (km) over a 640 x 480 picture, 4:3.
  void view(float x0, float x1) {
    MapView& m = app->map;
    m.curlatlon = 0;
    m.mapxmin = x0;
    m.mapxmax = x1;
    m.mapymin = 300;
    m.mapymax = 300 + (x1 - x0) * 3 / 4;
  }
  void turn(float deg) {
    MapView& m = app->map;
    const float r = deg * 3.14159f / 180;
    m.rotangle = deg;
    m.rotsin = std::sin(r);
    m.rotcos = std::cos(r);
    m.rotsinneg = std::sin(-r);
    m.rotcosneg = std::cos(-r);
  }
  void carat(float x, float y, int hdg) {
    app->gps.ownx = x;
    app->gps.owny = y;
    app->gps.ownhdg = hdg;
  }
  bool pointershown() {
    ZarnForm& z = app->win.zarn;
    return z.v.exists(1) && z.v[1].visible && z.vshad1.visible;
  }
  std::string arrow() {
    const ui::Image& a = app->win.zarn.vecticon;
    if (!a.visible || !a.picture) return "";
    return std::filesystem::path(a.picture->path).filename().string();
  }
  ZarnForm& z() { return app->win.zarn; }
};

TEST_F(Car, NoPositionHidesTheCarAndAddsNoDot) {
  app->map.histint = 0;
  carat(350, 330, 90);
  updatecar(*app);
  EXPECT_TRUE(z().car.visible);
  EXPECT_TRUE(pointershown());
  EXPECT_EQ(app->map.trailcount, 1) << "interval ALL: a dot with every update";

  carat(-250, -950, 90);
  updatecar(*app);
  EXPECT_FALSE(z().car.visible);
  EXPECT_FALSE(pointershown());
  EXPECT_EQ(app->map.trailcount, 1);

  // Only the exact pair means no position.
  view(-300, -200);
  carat(-250, 320, 90);
  updatecar(*app);
  EXPECT_TRUE(z().car.visible);
  EXPECT_EQ(app->map.trailcount, 2);
}

TEST_F(Car, CarIsCentredOnItsPixel) {
  ico("CARICON0.ICO");
  z().car.setpicture(app->sys.images->load(dir / "CARICON0.ICO"));
  carat(350, 337.5f, 0);
  updatecar(*app);
  float px = 0, py = 0;
  ASSERT_TRUE(worldtopix(*app, 350, 337.5f, px, py));
  EXPECT_EQ(z().car.left, std::lround(px - 16));
  EXPECT_EQ(z().car.top, std::lround(py - 16));
  EXPECT_FLOAT_EQ(app->gps.carupdtime, app->timer());
}

TEST_F(Car, PointerFanFollowsTheScreenHeading) {
  carat(350, 337.5f, 0);
  updatecar(*app);
  float px = 0, py = 0;
  worldtopix(*app, 350, 337.5f, px, py);
  const int cx = static_cast<int>(std::lround(px)), cy = static_cast<int>(std::lround(py));
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(z().v[i].x1, cx) << "tip 30 pixels up";
    EXPECT_EQ(z().v[i].y1, cy - 30);
    EXPECT_TRUE(z().v[i].visible);
    EXPECT_EQ(z().v[i].bordercolor, ui::white);
  }
  // Base points 2.5 pixels from the car at 60 degrees either side; the fan spans them.
  EXPECT_EQ(z().v[1].x2, std::lround(px + 2.5 * std::sin(60 * 3.14159 / 180)));
  EXPECT_EQ(z().v[5].x2, std::lround(px - 2.5 * std::sin(60 * 3.14159 / 180)));
  EXPECT_EQ(z().v[3].x2, cx);
  EXPECT_EQ(z().vshad1.x1, cx);
  EXPECT_EQ(z().vshad2.x2, cx);
  EXPECT_EQ(z().vshad2.y2, cy - 30);
  EXPECT_EQ(z().vshad1.borderwidth, 3);
  EXPECT_FALSE(z().v[0].visible) << "element 0 is never shown";

  // On a map turned by 90 degrees a heading of 45 points 45 degrees left of screen up.
  turn(90);
  carat(350, 337.5f, 45);
  updatecar(*app);
  worldtopix(*app, 350, 337.5f, px, py);
  EXPECT_EQ(z().v[1].x1, std::lround(px - 30 * std::sin(45 * 3.14159 / 180)));
  EXPECT_EQ(z().v[1].y1, std::lround(py - 30 * std::cos(45 * 3.14159 / 180)));
  EXPECT_NEAR(app->map.hdgsin, std::sin(45 * 3.14159 / 180), 1e-6) << "of the own heading, not the screen's";

  // With the turned picture missing nothing is turned.
  app->map.norotmap = 1;
  updatecar(*app);
  worldtopix(*app, 350, 337.5f, px, py);
  EXPECT_EQ(z().v[1].x1, std::lround(px + 30 * std::sin(45 * 3.14159 / 180)));

  app->map.pointermode = 0;
  updatecar(*app);
  EXPECT_FALSE(pointershown()) << "pointer switched off";
}

TEST_F(Car, ArrowIconOfTheScreenHeading) {
  for (int k = 0; k < 16; ++k) ico("VECTR" + std::to_string(k) + ".ICO");
  app->map.arrowmode = 1;
  const struct {
    float rot;
    int heading;
    const char* icon;
  } cases[] = {{0, 11, "VECTR0.ICO"},  {0, 12, "VECTR1.ICO"},   {0, 348, "VECTR15.ICO"},
               {0, 349, "VECTR0.ICO"}, {0, 180, "VECTR8.ICO"},  {90, 45, "VECTR14.ICO"},
               {90, 90, "VECTR0.ICO"}, {315, 0, "VECTR2.ICO"}};
  for (const auto& c : cases) {
    turn(c.rot);
    carat(350, 337.5f, c.heading);
    updatecar(*app);
    EXPECT_EQ(arrow(), c.icon) << "map turned " << c.rot << ", heading " << c.heading;
  }
  float px = 0, py = 0;
  worldtopix(*app, 350, 337.5f, px, py);
  EXPECT_EQ(z().vecticon.left, std::lround(px) - 16);
  EXPECT_EQ(z().vecticon.top, std::lround(py) - 16);

  // No heading: neither pointer nor arrow, on a turned map too; the car still shows.
  carat(350, 337.5f, -1);
  updatecar(*app);
  EXPECT_EQ(arrow(), "");
  EXPECT_FALSE(pointershown());
  EXPECT_TRUE(z().car.visible);

  // An arrow whose icon is missing is hidden rather than left pointing the old way.
  carat(350, 337.5f, 0);
  updatecar(*app);
  ASSERT_EQ(arrow(), "VECTR2.ICO");
  turn(0);
  std::filesystem::remove(dir / "VECTR4.ICO");
  app->map.icons.clear();
  carat(350, 337.5f, 90);
  updatecar(*app);
  EXPECT_FALSE(z().vecticon.visible);
}

TEST_F(Car, ArrowIconsAreReadOnceAMap) {
  // A store that counts its reads.
  struct Counting final : platform::ImageStore {
    platform::HeaderImageStore inner;
    int reads = 0;
    ui::PictureRef load(const std::filesystem::path& f) override {
      ++reads;
      return inner.load(f);
    }
  };
  auto counting = std::make_unique<Counting>();
  Counting* c = counting.get();
  app->sys.images = std::move(counting);
  ico("VECTR0.ICO");
  app->map.arrowmode = 1;
  for (int i = 0; i < 20; ++i) {
    carat(350 + static_cast<float>(i) * 0.1f, 337.5f, 0);
    updatecar(*app);
  }
  EXPECT_EQ(c->reads, 1);
  EXPECT_EQ(arrow(), "VECTR0.ICO");
}

TEST_F(Car, TrailRingReusesTheOldestDot) {
  MapView& m = app->map;
  m.ntrail = 10;
  for (int i = 1; i <= 11; ++i) addtrail(*app, 300 + static_cast<float>(i), 320);
  EXPECT_EQ(m.trailcount, 10);
  EXPECT_EQ(m.trailidx, 1) << "the eleventh dot re-uses dot 1";
  EXPECT_EQ(m.trailx[1], 311);
  EXPECT_EQ(m.trailx[2], 302);

  addtrail(*app, 311, 320);
  EXPECT_EQ(m.trailidx, 1) << "the same position twice in a row gives one dot";
  addtrail(*app, 311, 321);
  EXPECT_EQ(m.trailidx, 2);

  m.histint = -1;
  addtrail(*app, 330, 330);
  EXPECT_EQ(m.trailidx, 2) << "interval NONE: nobody adds dots";
  m.histint = 1;
  app->gps.drawmode = 1;
  addtrail(*app, 330, 330);
  EXPECT_EQ(m.trailidx, 2) << "not while the playback window draws";
  app->gps.drawmode = 0;

  cleartrail(*app);
  EXPECT_EQ(m.trailcount, 0);
  for (int i = 0; i <= 10; ++i) EXPECT_TRUE(!z().p.exists(i) || !z().p[i].visible) << "dot " << i;
  addtrail(*app, 340, 340);
  EXPECT_EQ(m.trailidx, 1) << "after clearing the next dot is dot 1";
}

TEST_F(Car, DotSizeShowsTheAccuracy) {
  const struct {
    const char* guards;
    float width;  // km across the map
    int dgps;
    int pixels;
    bool filled, shown;
  } cases[] = {
      {"50 m on a 100 km map: widened to a 4-pixel dot", 100, 0, 4, true, true},
      {"50 m on a 1 km map: a 64-pixel ring", 1, 0, 64, false, true},
      {"50 m on a 0.5 km map: too wide to show", 0.5f, 0, 128, false, false},
      {"5 m with a differential fix on a 0.5 km map", 0.5f, 1, 13, false, true},
  };
  for (const auto& c : cases) {
    view(300, 300 + c.width);
    app->gps.dgpsfix = c.dgps;
    cleartrail(*app);
    addtrail(*app, 300 + c.width / 2, 300 + c.width / 4);
    const ui::Shape& dot = z().p[1];
    EXPECT_EQ(dot.width, c.pixels) << c.guards;
    EXPECT_EQ(dot.height, c.pixels) << c.guards;
    EXPECT_EQ(dot.fillstyle == 0, c.filled) << c.guards;
    EXPECT_EQ(dot.visible, c.shown) << c.guards;
    EXPECT_EQ(dot.bordercolor, ui::red);
    EXPECT_EQ(dot.shape, ui::Shape::circle);
  }
  // The car stays in front of the dots.
  EXPECT_GT(z().car.z, z().p[1].z);
}

TEST_F(Car, RedrawKeepsTheTrailInItsSlots) {
  MapView& m = app->map;
  m.ntrail = 10;
  for (int i = 1; i <= 13; ++i) addtrail(*app, 300 + static_cast<float>(i), 320);
  ASSERT_EQ(m.trailidx, 3);
  const auto x = m.trailx;
  view(300, 320);  // a new map
  hideoverlays(*app);
  EXPECT_FALSE(z().p[4].visible);
  redrawmap(*app);
  EXPECT_EQ(m.trailcount, 10);
  EXPECT_EQ(m.trailidx, 3);
  EXPECT_EQ(m.trailx, x);
  float px = 0, py = 0;
  worldtopix(*app, m.trailx[4], m.traily[4], px, py);
  EXPECT_EQ(z().p[4].left + z().p[4].width / 2, std::lround(px)) << "placed on the new map";
  EXPECT_TRUE(z().p[4].visible);
  addtrail(*app, 400, 400);
  EXPECT_EQ(m.trailidx, 4) << "the next dot goes where it would have gone";
}

TEST_F(Car, RedrawWithoutPositionMovesTheCarButShowsNothing) {
  app->map.arrowmode = 1;
  ico("VECTR0.ICO");
  carat(-250, -950, 0);
  z().car.visible = true;
  hideoverlays(*app);
  redrawmap(*app);
  EXPECT_FALSE(z().car.visible);
  EXPECT_FALSE(pointershown());
}
}  // namespace
}  // namespace zarn

namespace zarn {
namespace {

TEST(DrawArrow, HeadAtThePointTailAwayFromItsDirection) {
  App app;
  drawarrow(app, 100, 100, 0, ui::red, 10);  // pointing north
  const auto& ops = app.win.zarn.surface.ops();
  ASSERT_EQ(ops.size(), 3u);
  for (const auto& op : ops) {
    EXPECT_EQ(op.type, ui::DrawOp::Line);
    EXPECT_EQ(op.colour, ui::red);
    EXPECT_NEAR(op.x1, 100, 1e-9);
    EXPECT_NEAR(op.y1, 100, 1e-9);
  }
  EXPECT_NEAR(ops[0].x2, 100, 1e-3);
  EXPECT_NEAR(ops[0].y2, 120, 1e-3) << "shaft twice the barbs, behind the head";
  EXPECT_NEAR(ops[1].x2, 100 + 7.071, 1e-2);
  EXPECT_NEAR(ops[1].y2, 100 + 7.071, 1e-2);
  EXPECT_NEAR(ops[2].x2, 100 - 7.071, 1e-2);
  EXPECT_NEAR(ops[2].y2, 100 + 7.071, 1e-2);
}

}  // namespace
}  // namespace zarn
