// Symbols, the found-place and destination markers, the map width on the zoom button, the home
// icon and the scale bar.
#include <cmath>

#include "geodesy/transform.h"
#include "mainwindow/cform.h"
#include "map_support.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/redraw.h"
#include "mapdisplay/scalebar.h"
#include "mapdisplay/symbols.h"

namespace zarn {
namespace {

class Marks : public maptest::MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    view(300, 310);
  }
  std::string symicon() {
    const auto& s = z().sym;
    return s.picture ? std::filesystem::path(s.picture->path).filename().string() : "";
  }
  void found(bool yes) {
    app->main.foundx = yes ? 305 : -250;
    app->main.foundy = yes ? 303 : -950;
  }
};

TEST_F(Marks, SymbolIconFallsBackToItsFamily) {
  for (const char* f : {"$FS.ICO", "$E.ICO", "$S.ICO", "$L.ICO", "$SHOP.ICO"}) ico(f);
  found(true);
  const std::pair<const char*, const char*> cases[] = {{"FSX", "$FS.ICO"}, {"ECAFE", "$E.ICO"}, {"SPORT", "$S.ICO"},
                                                       {"AN", "$L.ICO"},   {"SHOP", "$SHOP.ICO"}, {"F", "$L.ICO"}};
  for (const auto& [code, icon] : cases) {
    placesymbol(*app, code, 100, 200, 300, 400);
    EXPECT_EQ(symicon(), icon) << code;
  }
  EXPECT_EQ(z().sym.left, 84);
  EXPECT_EQ(z().sym.top, 184);
  EXPECT_EQ(z().vecto.x1, 100);
  EXPECT_EQ(z().vecto.y2, 400);
  EXPECT_TRUE(z().sym.visible && z().vecto.visible);

  found(false);  // placed but hidden
  placesymbol(*app, "AN", 50, 60, 50, 60);
  EXPECT_EQ(z().sym.left, 34);
  EXPECT_EQ(z().vecto.x1, 50);
  EXPECT_FALSE(z().sym.visible || z().vecto.visible);

  std::filesystem::remove(dir / "$L.ICO");  // no icon at all: hidden, its line where it was
  app->map.icons.clear();
  found(true);
  placesymbol(*app, "AN", 70, 80, 90, 90);
  EXPECT_FALSE(z().sym.visible);
  EXPECT_EQ(z().vecto.x1, 50);
}

TEST_F(Marks, FoundPlaceLabelStaysOnTheWindow) {
  app->sys.metrics.width = [](std::string_view, const ui::Font&) { return 200; };
  found(true);
  showsymbol(*app, 50, 100, "  Knutsford  ");
  EXPECT_EQ(z().symlab.caption, "Knutsford");
  EXPECT_EQ(z().symlab.left, 5) << "centred at 105";
  EXPECT_EQ(z().symlab.top, 115);
  EXPECT_EQ(z().symlabshad.left, 7);
  EXPECT_EQ(z().sym.left, 34) << "the icon stays on the place";
  EXPECT_TRUE(z().symlab.visible);
  showsymbol(*app, 600, 100, "Knutsford");
  EXPECT_EQ(z().symlab.left + z().symlab.width, 635);
  found(false);
  showsymbol(*app, 300, 100, "Knutsford");
  EXPECT_FALSE(z().sym.visible || z().symlab.visible || z().symlabshad.visible);
}

TEST_F(Marks, DestinationMarkerAndTheMapThatFollowsIt) {
  gridmap("AREA", "SJ 70000 78000", "SJ 70000 85500", "SJ 80000 78000");
  bmp("AREA.BMP");
  put("MAPS.DIR", "AREA\r\n");
  ASSERT_TRUE(readmaplist(*app));
  NavState& n = app->nav;
  n.destx[3] = 375;
  n.desty[3] = 382;
  n.destlabel[3] = "Home farm";
  n.nodest = 1;
  app->main.refdest = 1;
  showdest(*app, 375, 382, 3);
  EXPECT_EQ(app->map.curmap, 1) << "the map is chosen for the destination";
  EXPECT_FALSE(z().dest.visible) << "but no destination is set";
  n.nodest = 0;
  showdest(*app, 375, 382, 3);
  float px = 0, py = 0;
  ASSERT_TRUE(worldtopix(app->geo, app->map, 375, 382, px, py));
  EXPECT_TRUE(z().dest.visible);
  EXPECT_EQ(z().dest.left, std::lround(px) - 16);
  EXPECT_EQ(z().destlab.caption, "Home farm");
  EXPECT_EQ(z().destlab.left + z().destlab.width / 2, std::lround(px));
  EXPECT_EQ(z().destlab.top, std::lround(py) + 15);
  showdest(*app, 375, 382, 201);
  EXPECT_FALSE(z().dest.visible) << "no such slot";
}

TEST_F(Marks, RedrawShowsTheMapWidthTheHomeIconAndTheVehicles) {
  const std::pair<float, const char*> cases[] = {
      {2.5f, "<- 2500 m ->"}, {5, "<- 5 Km ->"}, {12.7f, "<- 12 Km ->"}, {640, "<- 640 Km ->"}};
  for (const auto& [width, caption] : cases) {
    view(300, 300 + width);
    redrawmap(*app);
    EXPECT_EQ(app->win.get<CForm>().zoomcmd.caption, caption);
  }
  view(300, 310);
  app->main.homex = 305;
  app->main.homey = 303;
  hideoverlays(*app);
  redrawmap(*app);
  float px = 0, py = 0;
  worldtopix(app->geo, app->map, 305, 303, px, py);
  EXPECT_TRUE(z().home.visible);
  EXPECT_EQ(z().home.left, std::lround(px) - 16);
  app->main.nohome = 1;
  hideoverlays(*app);
  redrawmap(*app);
  EXPECT_FALSE(z().home.visible) << "hidden by the load, not shown again";

  z().mvim.load(1).visible = true;  // outside multi-vehicle mode the vehicles are left alone
  hideoverlays(*app);
  EXPECT_TRUE(z().mvim[1].visible);
  app->main.mvmode = 1;
  hideoverlays(*app);
  EXPECT_FALSE(z().mvim[1].visible);
}

TEST_F(Marks, ScaleBarByMapWidth) {
  z().llbox.top = 458;
  const std::pair<float, const char*> cases[] = {{1.99f, "10 m"}, {2, "100 m"},     {9.9f, "100 m"},    {10, "1 km"},
                                                 {999, "10 km"},  {9999, "100 km"}, {10000, "1000 km"}};
  for (const auto& [width, caption] : cases) {
    view(300, 300 + width);
    scalebar(*app);
    EXPECT_EQ(z().scalelab.caption, caption) << width;
  }
  // 5 km across 640 pixels: 100 m is 12.8 pixels.
  view(300, 305);
  scalebar(*app);
  EXPECT_EQ(std::tuple(z().scalel1.x1, z().scalel1.y1, z().scalel1.x2, z().scalel1.y2), std::tuple(10, 452, 23, 452));
  EXPECT_EQ(std::tuple(z().scalel2.x1, z().scalel2.y2, z().scalel3.x1, z().scalel3.y1), std::tuple(10, 448, 23, 452));
  EXPECT_EQ(z().scalelab.left, 28);
  EXPECT_EQ(z().scalelab.top, 442);
  // Turned by 90 degrees the bar follows the map's east: straight up the window; the right
  // tick stands at the bar end's x but at the start's height.
  turn(90);
  scalebar(*app);
  EXPECT_EQ(z().scalel1.x2, 10);
  EXPECT_EQ(z().scalel1.y2, 452 - 13);
  EXPECT_EQ(z().scalel3.y1, 452);
}

}  // namespace
}  // namespace zarn
