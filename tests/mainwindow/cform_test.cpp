// The control panel: every button's states, the lists, the windows it opens, the stand-by
// window, and the tick held while it shows.
#include <algorithm>

#include "mainwindow/cform.h"
#include "mainwindow/datafiles.h"
#include "mainwindow/flags.h"
#include "mainwindow/layout.h"
#include "mainwindow/secondary.h"
#include "mainwindow/startup.h"
#include "mainwindow/tick.h"
#include "navigation/iform.h"
#include "navigation/roadnet.h"
#include "platform/textrules.h"
#include "support/app_fixture.h"
#include "support/builders.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

class Panel : public AppTest {
 protected:
  void ready() override {
    demomaps(*app);
    readloc(app->files, app->geo, app->nav, app->win.get<CForm>());
    showcform(*app);
  }
  CForm& c() { return app->win.get<CForm>(); }
  void click(ui::Control& b) { b.onClick(); }
  void pick(ui::ListBox& l, int row) {
    l.listindex = row;
    l.onClick();
  }
};

TEST_F(Panel, EveryButtonStepsThroughItsStates) {
  for (const char* f : {"CARICON1.ICO", "CARICON2.ICO", "CARICON3.ICO"}) ASSERT_TRUE(has(f));
  struct Row {
    const char* name;
    ui::Button& button;
    Items captions;  // after each click
    std::function<std::string()> state;
    Items states;
  };
  MapView& m = app->map;
  const auto num = [](auto v) { return [v] { return std::to_string(*v); }; };
  const Row rows[] = {
      {"trail interval", c().histcmd, {"60 sec", "5 min", "15 min", "1 hour", "NONE", "ALL", "10 sec"}, num(&m.histint),
       {"2", "3", "4", "5", "-1", "0", "1"}},
      {"trail dots: 100 wraps to 10", c().maxnopcmd, {"max 10", "max 20", "max 30"}, num(&m.ntrail), {"10", "20", "30"}},
      {"car symbol: CARICON4.ICO missing", c().symbolcmd, {"1", "2", "3", "OFF", "0"},
       [&] { return std::to_string(m.caricon) + " " + app->win.zarn.car.picture->path.substr(app->win.zarn.car.picture->path.rfind('/') + 1); },
       {"1 CARICON1.ICO", "2 CARICON2.ICO", "3 CARICON3.ICO", "-1 NULLICON.ICO", "0 CARICON0.ICO"}},
      {"line speed, the port set each time", c().comspdcmd, {"COM 9600", "COM 1200", "COM 4800"},
       [&] { return serial->settings; }, {"9600,N,8,1", "1200,N,8,1", "4800,N,8,1"}},
      {"arrow vector", c().arrowcmd, {"ON", "OFF"},
       [&] { return std::to_string(m.arrowmode) + (c().arrow.visible ? "+" : "-") + (app->win.zarn.vecticon.visible ? "+" : "-"); },
       {"1++", "0--"}},
      {"pointer vector", c().pointercmd, {"OFF", "ON"}, [&] { return std::to_string(m.pointermode) + (c().pointer.visible ? "+" : "-"); },
       {"0-", "1+"}},
      {"automatic map choice", c().Command1, {"OFF", "ON"}, num(&m.automaps), {"0", "1"}},
      {"scale bar", c().scalebarcmd, {"Scale Bar OFF", "Scale Bar ON"}, [&] { return std::to_string(app->win.zarn.scalel2.visible); },
       {"0", "1"}},
      {"chase mode", c().chasecmd, {"CHASE is ON", "CHASE is OFF"}, num(&app->main.chaseon), {"1", "0"}},
  };
  for (const Row& r : rows) {
    Items captions, states;
    for (std::size_t i = 0; i < r.captions.size(); ++i) {
      click(r.button);
      captions.push_back(r.button.caption);
      states.push_back(r.state());
    }
    EXPECT_EQ(captions, r.captions) << r.name;
    EXPECT_EQ(states, r.states) << r.name;
  }
  EXPECT_EQ(std::tuple(c().h[0].visible, c().h[1].visible, c().h[2].visible), std::tuple(true, true, false)) << "10 sec marks";
}

TEST_F(Panel, ListsReachTheirSlotAndMapAndComeBackWholeAfterTheCloseBox) {
  NavState& n = app->nav;
  ASSERT_EQ(c().desti.items, (Items{"Knutsford", "Altrincham", "Hale", "Lymm", "Start of the drive", "End of the drive", "(mouse)"}));
  std::tie(n.nodest, n.destwav) = std::tuple(1, "home.wav");  // the saved destination was "NULL"
  app->speech.talkon = 0;
  pick(c().desti, 1);
  // The destination is set through the ad-hoc slot, as every destination is, and named by the
  // stored slot it came from.
  const int a = n.adhocdest;
  EXPECT_EQ(std::tuple(n.curdest, n.nodest, n.destx[a], n.desty[a], app->main.destreptime == app->main.herereptime),
            std::tuple(2, 0, n.destx[2], n.desty[2], true));
  EXPECT_TRUE(n.destx[2] > 370 && n.destll[2].find("53") == 0) << "slot 2 (Altrincham) read and converted";
  EXPECT_TRUE(mapcovers(app->map, n.destx[2], n.desty[2], app->map.curmap)) << "the map chosen for it";
  const Items said = played();
  EXPECT_TRUE(std::any_of(said.begin(), said.end(), [&](const std::string& w) { return text::ucase(w) == text::ucase(n.destwav); }))
      << "spoken whatever the sound setting";
  EXPECT_EQ(app->speech.talkon, 0);

  const Items titles = c().map.items;
  pick(c().map, 3);
  EXPECT_EQ(std::tuple(app->map.mapname[app->map.curmap], app->main.lastclick), std::tuple("CHESH", app->timer() - 5));

  // Cancel keeps the lists; the close box has them read again, a description gone since
  // start-up leaving the map's name in its row.
  click(c().hidecmd);
  showcform(*app);
  EXPECT_EQ(std::tuple(c().visible, c().map.items == titles, app->speech.msgtext.find("reload")), std::tuple(true, true, std::string::npos));
  std::filesystem::remove(dir / "CHESH.DES");
  c().hide(), c().onClose();
  showcform(*app);
  Items expect = titles;
  expect[3] = "CHESH";
  EXPECT_EQ(c().map.items, expect);
  EXPECT_EQ(c().desti.items.back(), n.destlabel[n.adhocdest]) << "rebuilt to the ad-hoc slot";
  EXPECT_EQ(app->speech.msgtext, "the panel will reload faster if you use [Cancel] instead of x");
  EXPECT_EQ(c().Label3.caption, "List of 6 maps");
  pick(c().map, 4);
  EXPECT_EQ(app->map.mapname[app->map.curmap], "0LOCAL") << "a later row still opens its own map";
}

// Start-up makes the panel when it writes the call sign into it: its load handler runs then,
// with its message, and the lists are filled once, by start-up.
class PanelAtStart : public AppTest {};

TEST_F(PanelAtStart, StartUpLoadsThePanelWithItsMessageAndFillsItsListsOnce) {
  copydemo();
  const std::string reload = "the panel will reload faster if you use [Cancel] instead of x";
  std::vector<std::string> lines;
  events->hook = [&] {
    const std::string& l = app->win.zarn.saytxt.caption;
    if (lines.empty() || lines.back() != l) lines.push_back(l);
  };
  Form_Load(*app, "");
  events->hook = nullptr;
  // Shown once, before the main window is, and followed by the first map's message.
  EXPECT_EQ(std::count(lines.begin(), lines.end(), reload), 1);
  EXPECT_NE(app->win.zarn.saytxt.caption, reload);
  const CForm& c = app->win.get<CForm>();
  const NavState& n = app->nav;
  EXPECT_EQ(std::tuple(c.csgn.text, c.map.items.size(), c.desti.items.size(), c.desti.items.back()),
            std::tuple(">ZARN", static_cast<std::size_t>(app->map.mapcount), static_cast<std::size_t>(n.adhocdest), "(mouse)"));
}

TEST_F(Panel, DemosWindowsAndStandBy) {
  MainState& m = app->main;
  click(c().nochksumcmd);
  EXPECT_EQ(app->gps.chksumoff, 1);
  click(c().democmd);
  EXPECT_EQ(std::tuple(app->gps.replayfile, m.demoon, c().visible, app->gps.chksumoff), std::tuple("DEMO.NME", 1, false, 0));
  click(c().stopdemo);
  EXPECT_EQ(std::tuple(app->gps.replayfile, m.demoon), std::tuple("ZARN.NME", 0));
  std::filesystem::remove(dir / "CELLDEMO.NME");  // the demo set has it
  click(c().celldemocmd);
  ASSERT_EQ(dialogs->shown.size(), 1u);
  EXPECT_EQ(std::tuple(dialogs->shown[0].prompt, app->gps.replayfile, m.demoon), std::tuple("You need CELLDEMO.NME", "ZARN.NME", 0));
  put("CELLDEMO.NME", "");
  click(c().celldemocmd);
  EXPECT_EQ(std::tuple(app->gps.replayfile, m.demoon), std::tuple("CELLDEMO.NME", 1));

  // Each window button shows its window (the panel shown again before each).
  for (auto [b, window] : {std::pair{&c().geomancmd, "gform"}, {&c().routecmd, "wpform"}, {&c().zonemoncmd, "zmform"},
                           {&c().rgicmd, "rgimanform"}, {&c().rformon, "rform"}, {&c().showinst, "iform"},
                           {&c().playbackcmd, "fform"}}) {
    showcform(*app);
    click(*b);
    EXPECT_TRUE(app->win.find(window) && app->win.find(window)->visible) << window;
  }
  EXPECT_EQ(std::tuple(app->nav.rgimanon, m.playback, c().visible, c().showinst.caption), std::tuple(1, 1, false, "Instruments ON"));
  click(c().showinst);
  EXPECT_EQ(std::tuple(app->win.find("iform")->visible, c().showinst.caption), std::tuple(false, "Instruments OFF"));
  EXPECT_EQ(app->map.geomanon, 1) << "map clicks go to the landmark editor";

  // Stand-by: the map window away, the small window in its place, still taking keys.
  showcform(*app);
  click(c().hidezarn);
  ZarnBgdForm& b = app->win.get<ZarnBgdForm>();
  EXPECT_EQ(std::tuple(app->win.zarn.visible, app->win.zarn.map.visible, c().visible, b.visible), std::tuple(false, false, false, true));
  int key = 'A' - 64;  // Ctrl+A: the playback window
  app->win.find("fform")->hide();
  b.onKeyPress(key);
  EXPECT_TRUE(app->win.find("fform")->visible);
  click(b.Command1);
  EXPECT_EQ(std::tuple(app->win.zarn.visible, app->win.zarn.map.visible, b.visible), std::tuple(true, true, false));
}

// The windows kept on top at the end of start-up stay so when they are first made later, as
// the panel's buttons make them: over a main window that fills the screen.
TEST_F(Panel, EveryWindowItOpensAfterStartUpIsKeptOnTop) {
  alltopmost(*app);
  for (const char* made : {"gform", "wpform", "zmform", "rgimanform", "linkman"})
    ASSERT_EQ(app->win.find(made), nullptr) << made << " is made on first use";
  for (auto [b, window] : {std::pair{&c().geomancmd, "gform"}, {&c().routecmd, "wpform"}, {&c().zonemoncmd, "zmform"},
                           {&c().rgicmd, "rgimanform"}, {&c().rformon, "rform"}, {&c().showinst, "iform"},
                           {&c().playbackcmd, "fform"}}) {
    showcform(*app);
    click(*b);
    const ui::Form* f = app->win.find(window);
    EXPECT_TRUE(f && f->visible && f->topmost) << window;
  }
  EXPECT_TRUE(app->win.get<LinkmanForm>().topmost);
  EXPECT_FALSE(app->win.get<MvEngForm>().topmost || app->win.zarn.topmost) << "only the windows named";
}

TEST_F(Panel, TheTickLeavesItsServicesAloneWhileThePanelShows) {
  std::tie(app->main.stepsecs, app->main.initmark, app->gps.gpsoncom) = std::tuple(1e9f, 1234, 1);
  serial->chunks.push_back("$GPRMC\r\n");
  clock->advance(1);
  Timer1_Timer(*app);
  EXPECT_EQ(serial->chunks.size(), 1u) << "no serial poll";
  c().hidecmd.onClick();
  clock->advance(1);
  Timer1_Timer(*app);
  EXPECT_TRUE(serial->chunks.empty());
}


// The screen measured at start-up decides the layout; the map area is the screen only while
// maps are stretched in the scaled layout.
using Screen = AppTest;

TEST_F(Screen, DecidesTheLayoutAndStretchedMapsFillIt) {
  struct Row {
    const char* guards;
    int w, h;
    const char* flag;
    std::tuple<int, int, int, int, bool, float, int> want;  // scalelayout, mapzoom, window w, h, frameless, map area w, row top
  };
  const Row rows[] = {
      {"a modern screen with AUTORESO.CFG", 1920, 1080, "AUTORESO.CFG", {1, 1, 1920, 1080, true, 1920, 1030}},
      {"640 wide never scales through AUTORESO.CFG", 640, 480, "AUTORESO.CFG", {0, 0, 640, 480, false, 640, 458}},
      {"800600.CFG scales the strip; the maps keep their area", 800, 600, "800600.CFG", {1, 0, 800, 600, true, 640, 572}},
      {"no display: 640 x 480", 0, 0, "AUTORESO.CFG", {0, 0, 640, 480, false, 640, 458}},
  };
  for (const Row& r : rows) {
    make();
    for (const char* f : {"AUTORESO.CFG", "800600.CFG"}) std::filesystem::remove(dir / f);
    put(r.flag, "");
    if (r.w > 0) app->sys.screen = [r] { return platform::ScreenArea{0, 0, r.w, r.h}; };
    measurescreen(*app);
    readlayoutflags(app->files, app->map, app->main);
    designlayout(app->win.zarn);
    autoreso(*app);
    const auto& z = app->win.zarn;
    EXPECT_EQ(std::tuple(app->main.scalelayout, app->map.mapzoom, z.width, z.height, z.borderless, app->map.scrwidth, z.llbox.top), r.want)
        << r.guards;
  }
  demomaps(*app);
  onemap(*app, "CHESH");
  EXPECT_EQ(std::tuple(app->win.zarn.map.width, app->win.zarn.map.height), std::tuple(640, 480));
  app->sys.screen = [] { return platform::ScreenArea{0, 0, 1024, 768}; };
  put("AUTORESO.CFG", "");
  measurescreen(*app);
  autoreso(*app);
  EXPECT_EQ(std::tuple(app->win.zarn.map.width, app->win.zarn.map.height, app->win.zarn.map.stretch), std::tuple(1024, 768, true))
      << "the map shown is stretched to the new area at once";
  relayout(*app, 1200, 900);
  EXPECT_EQ(std::tuple(app->win.zarn.width, app->win.zarn.height, app->map.scrwidth), std::tuple(1200, 900, 1200.0f))
      << "a scaled window resized is laid out for its new size";
  for (const auto& [w, h] : {std::pair(400, 300), std::pair(800, 480)}) {
    relayout(*app, w, h);
    EXPECT_EQ(std::tuple(app->win.zarn.width, app->win.zarn.height), std::tuple(1200, 900))
        << w << "x" << h << " is too small for the read-outs: the window keeps its size";
  }
  app->main.scalelayout = 0;
  relayout(*app, 800, 600);
  EXPECT_EQ(app->win.zarn.width, 1200) << "a fixed layout keeps its size";
}

// The windows kept on top go beside the map where the screen has room, else keep their places.
TEST_F(Screen, WindowsKeptOnTopGoBesideTheMapWhereThereIsRoom) {
  const auto place = [&](int w, int h) {
    make();
    app->sys.screen = [w, h] { return platform::ScreenArea{0, 0, w, h}; };
    measurescreen(*app);
    readlayoutflags(app->files, app->map, app->main);
    designlayout(app->win.zarn);
    autoreso(*app);
    ui::Form& i = app->win.get<IForm>();
    ui::Form& a = app->win.get<MvAlarmForm>();
    std::tie(i.left, i.top, a.left, a.top) = std::tuple(5, 6, 7, 8);
    besidemap(*app);
    return std::vector<int>{i.left, i.top, a.left, a.top};
  };
  const std::vector<int> wide = place(1280, 1024);
  const auto& z = app->win.zarn;
  EXPECT_EQ(wide[0], z.left + z.width + 8);
  EXPECT_EQ(wide[2], wide[0]);
  EXPECT_GT(wide[3], wide[1] + app->win.get<IForm>().height) << "one under the other, not over the map";
  EXPECT_EQ(place(640, 480), (std::vector<int>{5, 6, 7, 8})) << "no room: their own places";
}

}  // namespace
}  // namespace zarn::test
