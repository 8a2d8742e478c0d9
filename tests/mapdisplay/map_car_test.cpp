// The own car: icon, pointer fan, arrow icon and the trail ring, and their place again after
// a map redraw.
#include <cmath>

#include "geodesy/transform.h"
#include "map_support.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/redraw.h"

namespace zarn {
namespace {

constexpr double deg = 3.14159 / 180;

class Car : public maptest::MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    view(300, 400);
    app->map.trailcolour = ui::red;
  }
  // Puts the car at (x, y) with the heading, updates it and returns its pixel.
  std::pair<float, float> carat(float x, float y, int hdg) {
    app->gps.ownx = x;
    app->gps.owny = y;
    app->gps.ownhdg = hdg;
    updatecar(*app);
    float px = 0, py = 0;
    worldtopix(app->geo, app->map, x, y, px, py);
    return {px, py};
  }
  bool pointershown() { return z().v.exists(1) && z().v[1].visible && z().vshad1.visible; }
  std::string arrow() {
    const ui::Image& a = z().vecticon;
    return a.visible && a.picture ? std::filesystem::path(a.picture->path).filename().string() : "";
  }
};

TEST_F(Car, NoPositionHidesTheCarAndAddsNoDot) {
  app->map.histint = 0;
  carat(350, 330, 90);
  EXPECT_TRUE(z().car.visible);
  EXPECT_TRUE(pointershown());
  EXPECT_EQ(app->map.trailcount, 1) << "interval ALL: a dot with every update";
  carat(-250, -950, 90);
  EXPECT_FALSE(z().car.visible);
  EXPECT_FALSE(pointershown());
  EXPECT_EQ(app->map.trailcount, 1);
  view(-300, -200);  // only the exact pair means no position
  carat(-250, 320, 90);
  EXPECT_TRUE(z().car.visible);
  EXPECT_EQ(app->map.trailcount, 2);

  z().car.visible = true;  // nor does a redraw show it
  carat(-250, -950, 0);
  hideoverlays(*app);
  redrawmap(*app);
  EXPECT_FALSE(z().car.visible);
  EXPECT_FALSE(pointershown());
}

TEST_F(Car, CarIsCentredAndThePointerFanFollowsTheScreenHeading) {
  ico("CARICON0.ICO");
  z().car.setpicture(app->sys.images->load(dir / "CARICON0.ICO"));
  auto [px, py] = carat(350, 337.5f, 0);
  EXPECT_EQ(z().car.left, std::lround(px - 16));
  EXPECT_EQ(z().car.top, std::lround(py - 16));
  EXPECT_EQ(z().v[3].y1, std::lround(py) - 30) << "tip 30 pixels up";
  EXPECT_NEAR(z().v[1].x2 - z().v[5].x2, 5 * std::sin(60 * deg), 1) << "base points 2.5 pixels out at 60 degrees";
  EXPECT_FALSE(z().v[0].visible) << "element 0 is never shown";
  // On a map turned by 90 degrees a heading of 45 points 45 degrees left of screen up.
  turn(90);
  std::tie(px, py) = carat(350, 337.5f, 45);
  EXPECT_EQ(z().v[1].x1, std::lround(px - 30 * std::sin(45 * deg)));
  EXPECT_EQ(z().v[1].y1, std::lround(py - 30 * std::cos(45 * deg)));
  EXPECT_NEAR(app->map.hdgsin, std::sin(45 * deg), 1e-6) << "of the own heading, not the screen's";
  app->map.norotmap = 1;  // with the turned picture missing nothing is turned
  std::tie(px, py) = carat(350, 337.5f, 45);
  EXPECT_EQ(z().v[1].x1, std::lround(px + 30 * std::sin(45 * deg)));
  app->map.pointermode = 0;
  carat(350, 337.5f, 45);
  EXPECT_FALSE(pointershown()) << "pointer switched off";
}

TEST_F(Car, ArrowIconOfTheScreenHeading) {
  for (int k = 0; k < 16; ++k) ico("VECTR" + std::to_string(k) + ".ICO");
  app->map.arrowmode = 1;
  const struct {
    float rot;
    int heading;
    const char* icon;
  } cases[] = {{0, 11, "VECTR0.ICO"},  {0, 12, "VECTR1.ICO"},  {0, 348, "VECTR15.ICO"}, {0, 349, "VECTR0.ICO"},
               {90, 45, "VECTR14.ICO"}, {90, 90, "VECTR0.ICO"}, {315, 0, "VECTR2.ICO"}};
  for (const auto& c : cases) {
    turn(c.rot);
    carat(350, 337.5f, c.heading);
    EXPECT_EQ(arrow(), c.icon) << "map turned " << c.rot << ", heading " << c.heading;
  }
  const auto [px, py] = carat(350, 337.5f, 0);
  EXPECT_EQ(z().vecticon.left, std::lround(px) - 16);
  EXPECT_EQ(z().vecticon.top, std::lround(py) - 16);

  // No heading: neither pointer nor arrow, on a turned map too; the car still shows.
  carat(350, 337.5f, -1);
  EXPECT_EQ(arrow(), "");
  EXPECT_FALSE(pointershown());
  EXPECT_TRUE(z().car.visible);

  // An arrow whose icon is missing is hidden rather than left pointing the old way.
  turn(0);
  std::filesystem::remove(dir / "VECTR4.ICO");
  app->map.icons.clear();
  carat(350, 337.5f, 90);
  EXPECT_FALSE(z().vecticon.visible);
}

TEST_F(Car, ArrowIconsAreReadOnceAMap) {
  auto counting = std::make_unique<maptest::Counting>();
  auto* c = counting.get();
  app->sys.images = std::move(counting);
  ico("VECTR0.ICO");
  app->map.arrowmode = 1;
  for (int i = 0; i < 20; ++i) carat(350 + static_cast<float>(i) * 0.1f, 337.5f, 0);
  EXPECT_EQ(c->reads.size(), 1u);
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
  m.histint = -1;
  addtrail(*app, 330, 330);
  EXPECT_EQ(m.trailidx, 1) << "interval NONE: nobody adds dots";
  m.histint = 1;
  app->gps.drawmode = 1;
  addtrail(*app, 330, 330);
  EXPECT_EQ(m.trailidx, 1) << "not while the playback window draws";
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
    int dgps, pixels;
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
    EXPECT_EQ(dot.fillstyle == 0, c.filled) << c.guards;
    EXPECT_EQ(dot.visible, c.shown) << c.guards;
  }
  EXPECT_GT(z().car.z, z().p[1].z) << "the car stays in front of the dots";
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
  worldtopix(app->geo, app->map, m.trailx[4], m.traily[4], px, py);
  EXPECT_EQ(z().p[4].left + z().p[4].width / 2, std::lround(px)) << "placed on the new map";
  EXPECT_TRUE(z().p[4].visible);
  addtrail(*app, 400, 400);
  EXPECT_EQ(m.trailidx, 4) << "the next dot goes where it would have gone";
}

TEST(DrawArrow, HeadAtThePointTailAwayFromItsDirection) {
  App app;
  drawarrow(app, 100, 100, 0, ui::red, 10);  // pointing north: a shaft twice the barbs
  const auto& ops = app.win.zarn.surface.ops();
  ASSERT_EQ(ops.size(), 3u);
  const double ends[3][2] = {{100, 120}, {107.071, 107.071}, {92.929, 107.071}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(std::pair(ops[i].x1, ops[i].y1), std::pair(100.0, 100.0)) << "from the head";
    EXPECT_NEAR(ops[i].x2, ends[i][0], 1e-2) << i;
    EXPECT_NEAR(ops[i].y2, ends[i][1], 1e-2) << i;
  }
}

}  // namespace
}  // namespace zarn
