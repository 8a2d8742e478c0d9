// Symbols, the found-place and destination markers, the heading box, the map width on the zoom
// button, the home icon and the scale bar.
#include <gtest/gtest.h>

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

using maptest::MapTest;

class Marks : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    view(300, 310);
  }
  void view(float x0, float x1) {
    MapView& m = app->map;
    m.curlatlon = 0;
    m.mapxmin = x0;
    m.mapxmax = x1;
    m.mapymin = 300;
    m.mapymax = 300 + (x1 - x0) * 3 / 4;
  }
  std::string symicon() {
    const auto& s = app->win.zarn.sym;
    return s.picture ? std::filesystem::path(s.picture->path).filename().string() : "";
  }
  ZarnForm& z() { return app->win.zarn; }
};

TEST_F(Marks, SymbolIconFallsBackToItsFamily) {
  for (const char* f : {"$FS.ICO", "$E.ICO", "$S.ICO", "$L.ICO", "$SHOP.ICO"}) ico(f);
  app->main.foundx = 305;
  app->main.foundy = 303;
  const struct {
    const char* code;
    const char* icon;
  } cases[] = {{"FSX", "$FS.ICO"}, {"ECAFE", "$E.ICO"}, {"SPORT", "$S.ICO"}, {"AN", "$L.ICO"},
               {"SHOP", "$SHOP.ICO"}, {"F", "$L.ICO"}};
  for (const auto& c : cases) {
    placesymbol(*app, c.code, 100, 200, 300, 400);
    EXPECT_EQ(symicon(), c.icon) << c.code;
  }
  EXPECT_EQ(z().sym.left, 84);
  EXPECT_EQ(z().sym.top, 184);
  EXPECT_EQ(z().vecto.x1, 100);
  EXPECT_EQ(z().vecto.y2, 400);
  EXPECT_TRUE(z().sym.visible);
  EXPECT_TRUE(z().vecto.visible);

  // No found place: placed but hidden.
  app->main.foundx = -250;
  app->main.foundy = -950;
  placesymbol(*app, "AN", 50, 60, 50, 60);
  EXPECT_EQ(z().sym.left, 34);
  EXPECT_EQ(z().vecto.x1, 50);
  EXPECT_FALSE(z().sym.visible);
  EXPECT_FALSE(z().vecto.visible);

  // No icon at all: the symbol stays hidden and its line where it was.
  std::filesystem::remove(dir / "$L.ICO");
  app->map.icons.clear();
  app->main.foundx = 305;
  placesymbol(*app, "AN", 70, 80, 90, 90);
  EXPECT_FALSE(z().sym.visible);
  EXPECT_EQ(z().vecto.x1, 50);
}

TEST_F(Marks, FoundPlaceLabelStaysOnTheWindow) {
  app->sys.metrics.width = [](std::string_view, const ui::Font&) { return 200; };
  app->main.foundx = 305;
  app->main.foundy = 303;
  showsymbol(*app, 50, 100, "  Knutsford  ");
  EXPECT_EQ(z().symlab.caption, "Knutsford");
  EXPECT_EQ(z().symlab.left, 5) << "centred at 105";
  EXPECT_EQ(z().symlab.top, 115);
  EXPECT_EQ(z().symlabshad.left, 7);
  EXPECT_EQ(z().symlabshad.top, 117);
  EXPECT_EQ(z().sym.left, 34) << "the icon stays on the place";
  EXPECT_EQ(z().symlab.forecolor, ui::white);
  EXPECT_EQ(z().symlabshad.forecolor, ui::black);
  EXPECT_TRUE(z().symlab.visible);
  showsymbol(*app, 600, 100, "Knutsford");
  EXPECT_EQ(z().symlab.left + z().symlab.width, 635);
  app->main.foundx = -250;
  app->main.foundy = -950;
  showsymbol(*app, 300, 100, "Knutsford");
  EXPECT_FALSE(z().sym.visible);
  EXPECT_FALSE(z().symlab.visible);
  EXPECT_FALSE(z().symlabshad.visible);
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
  ASSERT_TRUE(worldtopix(*app, 375, 382, px, py));
  EXPECT_TRUE(z().dest.visible);
  EXPECT_EQ(z().dest.left, std::lround(px) - 16);
  EXPECT_EQ(z().destlab.caption, "Home farm");
  EXPECT_EQ(z().destlab.left + z().destlab.width / 2, std::lround(px));
  EXPECT_EQ(z().destlab.top, std::lround(py) + 15);
  EXPECT_EQ(z().destlabshad.left, z().destlab.left + 2);

  showdest(*app, 375, 382, 201);
  EXPECT_FALSE(z().dest.visible) << "no such slot";
}

TEST_F(Marks, RedrawWritesTheMapWidthOnTheZoomButton) {
  const struct {
    float width;
    const char* caption;
  } cases[] = {{2.5f, "<- 2500 m ->"}, {5, "<- 5 Km ->"}, {12.7f, "<- 12 Km ->"}, {640, "<- 640 Km ->"}};
  for (const auto& c : cases) {
    view(300, 300 + c.width);
    redrawmap(*app);
    EXPECT_EQ(app->win.get<CForm>().zoomcmd.caption, c.caption);
  }
}

TEST_F(Marks, HomeIconAndRemoteVehiclesAfterARedraw) {
  app->main.homex = 305;
  app->main.homey = 303;
  hideoverlays(*app);
  redrawmap(*app);
  float px = 0, py = 0;
  worldtopix(*app, 305, 303, px, py);
  EXPECT_TRUE(z().home.visible);
  EXPECT_EQ(z().home.left, std::lround(px) - 16);

  app->main.nohome = 1;
  hideoverlays(*app);
  redrawmap(*app);
  EXPECT_FALSE(z().home.visible) << "hidden by the load, not shown again";

  // Outside multi-vehicle mode the vehicles are left as they are.
  z().mvim.load(1).visible = true;
  hideoverlays(*app);
  EXPECT_TRUE(z().mvim[1].visible);
  app->main.mvmode = 1;
  hideoverlays(*app);
  EXPECT_FALSE(z().mvim[1].visible);
}

TEST_F(Marks, ScaleBarByMapWidth) {
  z().llbox.top = 458;
  const struct {
    float width;
    const char* caption;
  } cases[] = {{1.99f, "10 m"}, {2, "100 m"}, {9.9f, "100 m"}, {10, "1 km"}, {999, "10 km"},
               {9999, "100 km"}, {10000, "1000 km"}};
  for (const auto& c : cases) {
    view(300, 300 + c.width);
    scalebar(*app);
    EXPECT_EQ(z().scalelab.caption, c.caption) << c.width;
  }

  // 5 km across 640 pixels: 100 m is 12.8 pixels.
  view(300, 305);
  scalebar(*app);
  EXPECT_EQ(z().scalel1.x1, 10);
  EXPECT_EQ(z().scalel1.y1, 452);
  EXPECT_EQ(z().scalel1.x2, 23);
  EXPECT_EQ(z().scalel1.y2, 452);
  EXPECT_EQ(z().scalel2.x1, 10);
  EXPECT_EQ(z().scalel2.y2, 448);
  EXPECT_EQ(z().scalel3.x1, 23);
  EXPECT_EQ(z().scalel3.y1, 452);
  EXPECT_EQ(z().scalelab.left, 28);
  EXPECT_EQ(z().scalelab.top, 442);
  EXPECT_TRUE(z().scalel1.visible);

  // Turned by 90 degrees the bar follows the map's east: straight up the window; the right
  // tick stands at the bar end's x but at the start's height.
  MapView& m = app->map;
  m.rotangle = 90;
  m.rotsin = 1;
  m.rotcos = 0;
  m.rotsinneg = -1;
  m.rotcosneg = 0;
  scalebar(*app);
  EXPECT_EQ(z().scalel1.x2, 10);
  EXPECT_EQ(z().scalel1.y2, 452 - 13);
  EXPECT_EQ(z().scalel3.y1, 452);
}

}  // namespace
}  // namespace zarn
