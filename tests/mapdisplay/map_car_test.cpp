// What is drawn over the map: the own car, its pointer, arrow and trail, symbols, markers, the
// home icon, the map width and the scale bar, and their place again after a map redraw.
#include "map_support.h"
#include "mapdisplay/cform.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/redraw.h"
#include "mapdisplay/scalebar.h"
#include "mapdisplay/symbols.h"

namespace zarn {
namespace {

using namespace test;

constexpr double deg = shortpi / 180;  // as the car's pointer turns

class Car : public maptest::MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    view(300, 400);
  }
  // Puts the car at (x, y) with the heading, updates it and returns its pixel.
  std::pair<float, float> carat(float x, float y, int hdg) {
    ownfixat(*app, x, y, 0, hdg);
    updatecar(*app);
    return pix(x, y);
  }
  bool pointershown() { return z().v.exists(1) && z().v[1].visible && z().vshad1.visible; }
  void found(bool yes) {
    std::tie(app->main.foundx, app->main.foundy) = yes ? std::pair(305.0f, 303.0f) : std::pair(noposx, noposy);
  }
};
using Marks = Car;

TEST_F(Car, NoPositionHidesTheCarAndAddsNoDot) {
  app->map.histint = 0;  // a dot with every update
  carat(350, 330, 90);
  EXPECT_TRUE(z().car.visible && pointershown());
  carat(noposx, noposy, 90);
  EXPECT_EQ(std::tuple(z().car.visible || pointershown(), app->map.trailcount), std::tuple(false, 1));
  view(-300, -200);  // only the exact pair means no position
  carat(noposx, 320, 90);
  EXPECT_EQ(std::tuple(z().car.visible, app->map.trailcount), std::tuple(true, 2));
  z().car.visible = true;  // nor does a redraw show it
  carat(noposx, noposy, 0);
  hideoverlays(app->win.zarn, app->map, app->main.mvmode == 1 ? app->veh.mvsize : 0);
  redrawmap(*app);
  EXPECT_FALSE(z().car.visible || pointershown());
}

TEST_F(Car, CarIsCentredAndThePointerFanFollowsTheScreenHeading) {
  ico("CARICON0.ICO");
  z().car.setpicture(app->sys.images->load(dir / "CARICON0.ICO"));
  auto [px, py] = carat(350, 337.5f, 0);
  EXPECT_EQ(std::tuple(z().car.left, z().car.top, z().v[3].y1, z().v[0].visible),
            std::tuple(ui::pixel(px - 16), ui::pixel(py - 16), ui::pixel(py) - 30, false))
      << "the icon centred, the tip 30 pixels up, element 0 never shown";
  // On a map turned by 90 degrees a heading of 45 points 45 degrees left of screen up.
  turn(90);
  std::tie(px, py) = carat(350, 337.5f, 45);
  EXPECT_EQ(std::tuple(z().v[1].x1, z().v[1].y1),
            std::tuple(ui::pixel(px - 30 * std::sin(45 * deg)), ui::pixel(py - 30 * std::cos(45 * deg))));
  EXPECT_NEAR(app->map.hdgsin, std::sin(45 * deg), 1e-6) << "of the own heading, not the screen's";
  app->map.norotmap = 1;  // with the turned picture missing nothing is turned
  std::tie(px, py) = carat(350, 337.5f, 45);
  EXPECT_EQ(z().v[1].x1, ui::pixel(px + 30 * std::sin(45 * deg)));
}

TEST_F(Car, ArrowIconOfTheScreenHeadingReadOnceAMap) {
  const auto& reads = counting();
  for (int k = 0; k < 16; ++k) ico("VECTR" + std::to_string(k) + ".ICO");
  app->map.arrowmode = 1;
  for (const auto& [rot, heading, icon] :
       {std::tuple{0.0f, 11, "VECTR0.ICO"}, {0.0f, 12, "VECTR1.ICO"}, {0.0f, 348, "VECTR15.ICO"},
        {0.0f, 349, "VECTR0.ICO"}, {90.0f, 45, "VECTR14.ICO"}, {90.0f, 90, "VECTR0.ICO"}, {315.0f, 0, "VECTR2.ICO"}}) {
    turn(rot);
    carat(350, 337.5f, heading);
    EXPECT_EQ(shown(z().vecticon), icon) << "map turned " << rot << ", heading " << heading;
  }
  const auto [px, py] = carat(350, 337.5f, 0);
  EXPECT_EQ(std::tuple(z().vecticon.left, z().vecticon.top, reads.size()),
            std::tuple(ui::pixel(px) - 16, ui::pixel(py) - 16, 5u))
      << "each icon read once";
  carat(350, 337.5f, -1);  // no heading: neither pointer nor arrow, on a turned map too
  EXPECT_EQ(std::tuple(shown(z().vecticon), pointershown(), z().car.visible), std::tuple("", false, true));
  // An arrow whose icon is missing is hidden rather than left pointing the old way.
  turn(0);
  std::filesystem::remove(dir / "VECTR4.ICO");
  app->map.icons.clear();
  carat(350, 337.5f, 90);
  EXPECT_FALSE(z().vecticon.visible);
}

TEST_F(Car, TrailRingReusesTheOldestDotAndARedrawKeepsItsSlots) {
  MapView& m = app->map;
  m.ntrail = 10;
  const auto dots = [&](int from, int to) {
    for (int i = from; i <= to; ++i)
      addtrail(app->map, app->win.zarn, app->geo, app->gps, 300 + static_cast<float>(i), 320);
  };
  dots(1, 20);
  EXPECT_EQ(std::tuple(m.trailcount, m.trailidx), std::tuple(10, 10)) << "the second round fills the last slot too";
  dots(21, 23);
  EXPECT_EQ(std::tuple(m.trailidx, m.trailx[3], m.trailx[4]), std::tuple(3, 323.0f, 314.0f));
  dots(23, 23);  // the same position twice in a row gives one dot
  m.histint = -1;  // interval NONE: nobody adds dots
  dots(30, 30);
  m.histint = 1;
  app->gps.drawmode = 1;  // nor while the playback window draws
  dots(31, 31);
  app->gps.drawmode = 0;
  EXPECT_EQ(m.trailidx, 3) << "no dot added";
  const auto x = m.trailx;
  view(300, 320);  // a new map
  hideoverlays(app->win.zarn, app->map, app->main.mvmode == 1 ? app->veh.mvsize : 0);
  EXPECT_FALSE(z().p[4].visible);
  redrawmap(*app);
  EXPECT_EQ(std::tuple(m.trailcount, m.trailidx, m.trailx, z().p[4].visible), std::tuple(10, 3, x, true));
  EXPECT_EQ(z().p[4].left + z().p[4].width / 2, ui::pixel(pix(m.trailx[4], m.traily[4]).first)) << "on the new map";
  dots(40, 40);
  EXPECT_EQ(m.trailidx, 4) << "the next dot goes where it would have gone";
  cleartrail(app->map, app->win.zarn);
  EXPECT_EQ(m.trailcount, 0);
  for (int i = 0; i <= 10; ++i) EXPECT_TRUE(!z().p.exists(i) || !z().p[i].visible) << "dot " << i;
  dots(50, 50);
  EXPECT_EQ(m.trailidx, 1) << "after clearing the next dot is dot 1";
}

TEST_F(Car, DotSizeShowsTheAccuracy) {
  for (const auto& [guards, width, dgps, pixels, filled, shown] :
       {std::tuple{"50 m on a 100 km map: widened to a 4-pixel dot", 100.0f, 0, 4, true, true},
        {"50 m on a 1 km map: a 64-pixel ring", 1.0f, 0, 64, false, true},
        {"50 m on a 0.5 km map: too wide to show", 0.5f, 0, 128, false, false},
        {"5 m with a differential fix on a 0.5 km map", 0.5f, 1, 13, false, true}}) {
    view(300, 300 + width);
    app->gps.dgpsfix = dgps;
    cleartrail(app->map, app->win.zarn);
    addtrail(app->map, app->win.zarn, app->geo, app->gps, 300 + width / 2, 300 + width / 4);
    const ui::Shape& dot = z().p[1];
    EXPECT_EQ(std::tuple(dot.width, dot.fillstyle == 0, dot.visible, z().car.z > dot.z),
              std::tuple(pixels, filled, shown, true))
        << guards << "; the car stays in front of the dots";
  }
}

TEST_F(Marks, SymbolIconFallsBackToItsFamily) {
  for (const char* f : {"$FS.ICO", "$E.ICO", "$S.ICO", "$L.ICO", "$SHOP.ICO"}) ico(f);
  found(true);
  for (const auto& [code, icon] : {std::pair{"FSX", "$FS.ICO"}, {"ECAFE", "$E.ICO"}, {"SPORT", "$S.ICO"},
                                   {"AN", "$L.ICO"}, {"SHOP", "$SHOP.ICO"}, {"F", "$L.ICO"}}) {
    placesymbol(*app, code, 100, 200, 300, 400);
    EXPECT_EQ(shown(z().sym), icon) << code;
  }
  EXPECT_EQ(std::tuple(z().sym.left, z().sym.top, z().vecto.x1, z().vecto.y2, z().vecto.visible),
            std::tuple(84, 184, 100, 400, true));
  found(false);  // placed but hidden
  placesymbol(*app, "AN", 50, 60, 50, 60);
  EXPECT_EQ(std::tuple(z().sym.left, z().vecto.x1, z().sym.visible || z().vecto.visible), std::tuple(34, 50, false));
  std::filesystem::remove(dir / "$L.ICO");  // no icon at all: hidden, its line where it was
  app->map.icons.clear();
  found(true);
  placesymbol(*app, "AN", 70, 80, 90, 90);
  EXPECT_EQ(std::tuple(z().sym.visible, z().vecto.x1), std::tuple(false, 50));
}

TEST_F(Marks, FoundPlaceLabelStaysOnTheWindow) {
  app->sys.metrics.width = [](std::string_view, const ui::Font&) { return 200; };
  found(true);
  for (const auto& [x, left] : {std::pair{50.0f, 5}, {600.0f, 435}, {300.0f, 200}}) {
    showsymbol(app->win.zarn, x, 100, "  Knutsford  ", !isnopos(app->main.foundx, app->main.foundy));
    EXPECT_EQ(std::tuple(z().symlab.caption, z().symlab.left, z().symlab.top), std::tuple("Knutsford", left, 115)) << x;
  }
  z().width = 1280;  // the scaled layout on a wider screen: the name stays under its symbol
  for (const auto& [x, left] : {std::pair{833.0f, 733}, {1270.0f, 1075}}) {
    showsymbol(app->win.zarn, x, 100, "Knutsford", true);
    EXPECT_EQ(z().symlab.left, left) << x;
  }
}

TEST_F(Marks, DestinationMarkerAndTheMapThatFollowsIt) {
  gridmap("AREA", "SJ 70000 78000", "SJ 70000 85500", "SJ 80000 78000");
  catalogue("AREA\r\n");
  NavState& n = app->nav;
  std::tie(n.destx[3], n.desty[3], n.destlabel[3], n.nodest) = std::tuple(375.0f, 382.0f, "Home farm", 1);
  app->main.refdest = 1;
  showdest(*app, 375, 382, 3);
  EXPECT_EQ(std::tuple(app->map.curmap, z().dest.visible), std::tuple(1, false))
      << "the map is chosen for the destination, but no destination is set";
  n.nodest = 0;
  showdest(*app, 375, 382, 3);
  const auto [px, py] = pix(375, 382);
  EXPECT_EQ(std::tuple(z().dest.visible, z().dest.left, z().destlab.caption, z().destlab.top),
            std::tuple(true, ui::pixel(px) - 16, "Home farm", ui::pixel(py) + 15));
  showdest(*app, 375, 382, 201);
  EXPECT_FALSE(z().dest.visible) << "no such slot";
}

TEST_F(Marks, RedrawShowsTheMapWidthTheHomeIconAndTheVehicles) {
  for (const auto& [width, caption] :
       {std::pair{2.5f, "<- 2500 m ->"}, {5.0f, "<- 5 Km ->"}, {12.7f, "<- 12 Km ->"}, {640.0f, "<- 640 Km ->"}}) {
    view(300, 300 + width);
    redrawmap(*app);
    EXPECT_EQ(app->win.get<CForm>().zoomcmd.caption, caption);
  }
  view(300, 310);
  std::tie(app->main.homex, app->main.homey) = std::pair(305.0f, 303.0f);
  hideoverlays(app->win.zarn, app->map, app->main.mvmode == 1 ? app->veh.mvsize : 0);
  redrawmap(*app);
  EXPECT_EQ(std::tuple(z().home.visible, z().home.left), std::tuple(true, ui::pixel(pix(305, 303).first) - 16));
  app->main.nohome = 1;
  hideoverlays(app->win.zarn, app->map, app->main.mvmode == 1 ? app->veh.mvsize : 0);
  redrawmap(*app);
  EXPECT_FALSE(z().home.visible) << "hidden by the load, not shown again";
  z().mvim.load(1).visible = true;  // outside multi-vehicle mode the vehicles are left alone
  hideoverlays(app->win.zarn, app->map, app->main.mvmode == 1 ? app->veh.mvsize : 0);
  const bool left = z().mvim[1].visible;
  app->main.mvmode = 1;
  hideoverlays(app->win.zarn, app->map, app->main.mvmode == 1 ? app->veh.mvsize : 0);
  EXPECT_EQ(std::tuple(left, z().mvim[1].visible), std::tuple(true, false));
}

TEST_F(Marks, ScaleBarByMapWidth) {
  z().llbox.top = 458;
  for (const auto& [width, caption] : {std::pair{1.99f, "10 m"}, {2.0f, "100 m"}, {9.9f, "100 m"}, {10.0f, "1 km"},
                                       {999.0f, "10 km"}, {9999.0f, "100 km"}, {10000.0f, "1000 km"}}) {
    view(300, 300 + width);
    scalebar(app->win.zarn, app->geo, app->map);
    EXPECT_EQ(z().scalelab.caption, caption) << width;
  }
  // 5 km across 640 pixels: 100 m is 12.8 pixels. Turned by 90 degrees the bar follows the map's
  // east, up the window; the right tick stands at the bar end's x but at the start's height.
  view(300, 305);
  scalebar(app->win.zarn, app->geo, app->map);
  EXPECT_EQ(std::tuple(z().scalel1.x1, z().scalel1.y1, z().scalel1.x2, z().scalel2.y2, z().scalelab.left),
            std::tuple(10, 452, 23, 448, 28));
  turn(90);
  scalebar(app->win.zarn, app->geo, app->map);
  EXPECT_EQ(std::tuple(z().scalel1.x2, z().scalel1.y2, z().scalel3.y1), std::tuple(10, 452 - 13, 452));
}

// The bar's distance is written where it can be read: wider than its text, above the read-out
// row in the fixed and in the scaled layout.
TEST_F(Marks, ScaleBarCaptionHasRoomForItsTextAboveTheReadOuts) {
  view(300, 305);
  for (int row : {458, 977}) {
    z().llbox.top = row;
    scalebar(app->win.zarn, app->geo, app->map);
    const ui::Label& l = z().scalelab;
    EXPECT_TRUE(l.visible && l.width >= ui::textwidth(nullptr, l.caption, l.font) && l.height > 0 &&
                l.top + l.height <= row)
        << l.caption << " at " << l.left << "," << l.top << " " << l.width << "x" << l.height << ", row at " << row;
  }
}

TEST(DrawArrow, HeadAtThePointTailAwayFromItsDirection) {
  App app;
  drawarrow(app.win.zarn, 100, 100, 0, ui::red, 10);  // pointing north: a shaft twice the barbs
  const auto& ops = app.win.zarn.surface.ops();
  ASSERT_EQ(ops.size(), 3u);
  for (const auto& [i, x, y] : {std::tuple{0u, 100.0, 120.0}, {1u, 107.071, 107.071}, {2u, 92.929, 107.071}})
    EXPECT_TRUE(ops[i].x1 == 100 && ops[i].y1 == 100 && std::hypot(ops[i].x2 - x, ops[i].y2 - y) < 1e-2)
        << i << ": from the head to " << ops[i].x2 << ", " << ops[i].y2;
}

}  // namespace
}  // namespace zarn
