// Where the windows kept on top come up: clear of one another and of the help's close cross and
// the read-out strip on a large screen, where they were designed on a 640 x 480 one.
#include <algorithm>

#include "gpsinput/fform.h"
#include "gpsinput/gpseng.h"
#include "mainwindow/cform.h"
#include "mainwindow/keypad.h"
#include "mainwindow/layout.h"
#include "mapdisplay/toolroom.h"
#include "navigation/iform.h"
#include "navigation/zmform.h"
#include "platform/placement.h"
#include "support/app_fixture.h"
#include "support/builders.h"
#include "vehicles/dialforms.h"

namespace zarn::test {
namespace {

using ToolPlaces = AppTest;

// The windows a user brings up one after the other, as the desk had them.
std::vector<ui::Form*> seven(App& app) {
  return {&app.win.get<IForm>(), &cformwindow(app),          &app.win.get<DialForm>(), &app.win.get<FForm>(),
          &app.win.get<ZmForm>(), &app.win.get<GpsEngForm>(), &app.win.get<KForm>()};
}

void screen(App& app, int w, int h, bool scaled) {
  app.sys.screen = [w, h] { return platform::ScreenArea{0, 0, w, h}; };
  measurescreen(app);
  app.main.scalelayout = scaled ? 1 : 0;
  designlayout(app.win.zarn);
  autoreso(app);
  app.win.zarn.show();
  alltopmost(app);
  app.win.get<GpsEngForm>().topmost = true;  // as its key makes it
}

TEST_F(ToolPlaces, WindowsComingUpOnALargeScreenCoverNeitherEachOtherNorTheCrossNorTheReadouts) {
  screen(*app, 1280, 1024, true);
  const std::vector<ui::Form*> up = seven(*app);
  for (ui::Form* f : up) {
    placetoolwindow(*app, *f);  // as the view does before it shows the window
    f->show();
  }
  const auto& z = app->win.zarn;
  const ui::Rect cross{z.Image2.left, z.Image2.top, z.Image2.width, z.Image2.height};
  const ui::Rect strip{0, z.saytxt.top, 1280, 1024 - z.saytxt.top};
  for (const ui::Form* f : up) {
    const ui::Rect r = ui::framed(*f);
    EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right() <= 1280 && r.bottom() <= 1024) << f->name() << " on the screen";
    EXPECT_FALSE(r.overlaps(cross)) << f->name() << " over the help's close cross";
    EXPECT_FALSE(r.overlaps(strip)) << f->name() << " over the read-outs";
    // Each comes up above those before it: it covers none of their title bars.
    for (const ui::Form* g : up) {
      if (g == f) break;
      const ui::Rect o = ui::framed(*g);
      EXPECT_FALSE(r.overlaps({o.left, o.top, o.width, ui::titleroom}))
          << f->name() << " over the title of " << g->name();
    }
  }
  // Hidden and shown again, a window comes back where it was; one that comes up where another
  // now stands goes elsewhere.
  ui::Form& zm = app->win.get<ZmForm>();
  const std::pair<int, int> was{zm.left, zm.top};
  zm.hide();
  placetoolwindow(*app, zm);
  zm.show();
  EXPECT_EQ(std::pair(zm.left, zm.top), was);
  IForm& i = app->win.get<IForm>();
  i.hide();
  std::tie(i.left, i.top) = was;
  placetoolwindow(*app, i);
  i.show();
  EXPECT_FALSE(ui::framed(i).overlaps(ui::framed(zm))) << "instruments at " << i.left << "," << i.top;
}

TEST_F(ToolPlaces, OnA640By480ScreenTheWindowsKeepTheirPlaces) {
  screen(*app, 640, 480, false);
  for (ui::Form* f : seven(*app)) {
    placetoolwindow(*app, *f);
    f->show();
    EXPECT_EQ(std::pair(f->left, f->top), std::pair(0, 0)) << f->name();
  }
}

// The fixed 640 x 480 window on a larger screen: the windows come up beside it, not over it.
TEST_F(ToolPlaces, BesideTheFixedWindowWhereTheScreenHasRoom) {
  screen(*app, 1280, 1024, false);
  ui::Form& dial = app->win.get<DialForm>();
  placetoolwindow(*app, dial);
  dial.show();
  EXPECT_FALSE(ui::framed(dial).overlaps(ui::framed(app->win.zarn))) << dial.left << "," << dial.top;
}

// Side mode on the full-screen map: the instruments go to the side away from the car, but never
// over the help's close cross at the top right, nor over another window kept on top.
TEST_F(ToolPlaces, TheInstrumentsSideModeCoversNeitherTheCrossNorAnotherWindow) {
  screen(*app, 1280, 1024, true);
  app->map.scrwidth = 1280;
  IForm& i = instruments(*app);
  placetoolwindow(*app, i);
  i.show();
  ASSERT_EQ(std::pair(i.left, i.top), std::pair(0, 0));
  gridview(*app, 370, 370, 390, 385);
  ownfixat(*app, 371, 380);  // near the left edge: the window goes right
  updateinstr(*app);
  const auto& z = app->win.zarn;
  const ui::Rect cross{z.Image2.left, z.Image2.top, z.Image2.width, z.Image2.height};
  EXPECT_GT(i.left, 640) << "to the right";
  EXPECT_FALSE(ui::framed(i).overlaps(cross)) << i.left << "," << i.top;
  ui::Form& zm = app->win.get<ZmForm>();
  placetoolwindow(*app, zm);
  zm.show();
  ownmoved(*app, 389, 380);  // and back to the left, where the zone window now stands
  std::tie(zm.left, zm.top) = std::pair(0, 0);
  const std::pair<int, int> right{i.left, i.top};
  updateinstr(*app);
  EXPECT_FALSE(ui::framed(i).overlaps(ui::framed(zm))) << i.left << "," << i.top;
  EXPECT_TRUE(i.left == 0 || std::pair(i.left, i.top) == right);
}

}  // namespace
}  // namespace zarn::test
