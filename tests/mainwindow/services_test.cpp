// Small services, the start window, the layout and status colours, and demo start and stop.
#include <algorithm>
#include <cmath>

#include "mainwindow/cform.h"
#include "mainwindow/demo.h"
#include "mainwindow/layout.h"
#include "mainwindow/maintest.h"
#include "mainwindow/readouts.h"
#include "mainwindow/secondary.h"
#include "mainwindow/smallservices.h"
#include "mainwindow/startwin.h"
#include "navigation/iform.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

using Services = MainTest;
using Layout = MainTest;
using Demo = MainTest;

TEST_F(Services, GreetingByTheTimeOfDayStrictBoundaries) {
  const std::vector<std::pair<float, std::string>> cases = {
      {0, "hello"},           {5 * 3600, "hello"},        {5 * 3600 + 1, "goodmorn"}, {12 * 3600, "goodmorn"},
      {12 * 3600 + 1, "goodafte"}, {18 * 3600 + 1, "goodeven"}, {22 * 3600, "goodeven"}, {22 * 3600 + 1, "hello"}};
  for (const auto& [t, name] : cases) EXPECT_EQ(greetingname(t), name) << t;
  put("goodafte.wav", std::string("RIFF\0\0\0\0WAVE", 12));
  clock->settimer(15 * 3600);
  greeting(*app);
  EXPECT_EQ(played(), (std::vector<std::string>{"goodafte.wav"}));
}

TEST_F(Services, CodedMessagesFirstExactMatch) {
  std::string t, i, x;
  cmessage(*app, "A1", t, i, x);
  EXPECT_EQ(t, "A1") << "no file: the code itself";
  EXPECT_EQ(i, "NULL");
  EXPECT_EQ(x, "NULL");
  put("CMESSAGE.CFG", "3\r\n\"a1\",\"lower\",x.ico,1\r\nA1,\"Help, now\",alarm.ico,NULL\r\nA1,second,y.ico,2\r\n");
  std::string code = "A1";
  cmessage(*app, code, code, i, x);
  EXPECT_EQ(code, "Help, now") << "in place; the first of two; case matters";
  EXPECT_EQ(i, "alarm.ico");
  EXPECT_EQ(x, "NULL");
}

TEST_F(Services, PictureViewerGetsItsNameThroughItsFileNeverACommandLine) {
  runpicviewr(*app, "clip.avi; rm -rf / $(reboot)");
  EXPECT_EQ(get("PICVIEWR.CFG"), "clip.avi; rm -rf / $(reboot)\r\n");
  ASSERT_EQ(programs->started.size(), 1u);
  EXPECT_EQ(programs->started[0].program, "PICVIEWR.EXE");
  EXPECT_TRUE(programs->started[0].args.empty());
  EXPECT_FALSE(programs->started[0].wait);
  runpicviewr(*app, "");
  EXPECT_EQ(get("PICVIEWR.CFG"), "clip.avi; rm -rf / $(reboot)\r\n") << "an empty name leaves the old file";
  programs->succeed = false;
  runpicviewr(*app, "");
  EXPECT_NE(app->speech.msgtext.find("PICVIEWR.EXE"), std::string::npos) << "a failed start is reported";
}

TEST_F(Services, APrinterFailureSwitchesPrintingOff) {
  app->gps.printon = 1;
  printline(*app, "LOG one");
  EXPECT_EQ(printer->lines, (std::vector<std::string>{"LOG one"}));
  printer->works = false;
  printline(*app, "LOG two");
  EXPECT_EQ(app->gps.printon, 0);
  EXPECT_EQ(app->win.get<MvForm>().printlabon.caption, "Printing OFF");
  ASSERT_EQ(dialogs->shown.size(), 1u);
  EXPECT_EQ(dialogs->shown[0].title, "Printer Error");
}

TEST_F(Services, ControlsPanelEndsTheDemo) {
  app->win.zarn.modebox.caption = "GPS";
  showcontrols(*app);
  EXPECT_TRUE(controlsvis(*app));
  EXPECT_EQ(app->win.zarn.modebox.caption, "GPS") << "no demo running: unchanged";
  hidecontrols(*app);
  EXPECT_FALSE(controlsvis(*app));
  app->main.demoon = 1;
  showcontrols(*app);
  EXPECT_EQ(app->main.demoon, 0);
  EXPECT_EQ(app->win.zarn.modebox.caption, "SIM");
}

TEST_F(Services, StartWindowProgressAndEmblem) {
  startbar(*app, 0.5f);
  const StartForm& s = app->win.get<StartForm>();
  EXPECT_EQ(s.startline.x1, 160);
  EXPECT_EQ(s.startline.x2, 480);
  startbar(*app, 0);
  EXPECT_EQ(s.startline.x1, 320);
  EXPECT_EQ(s.startline.x2, 320);
  setstatlabel(*app, "");
  EXPECT_TRUE(s.trace.visible);
  EXPECT_EQ(s.trace.forecolor, ui::yellow);

  ui::DrawSurface d;
  drawemblem(d, 320, 340, 140, ui::yellow, 1, 4);
  const auto& ops = d.ops();
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops[0].type, ui::DrawOp::Box);
  EXPECT_DOUBLE_EQ(ops[0].x1, 250);
  EXPECT_DOUBLE_EQ(ops[0].y2, 410);
  // Nine rays; the one at 45 degrees is the long one, at 180 the short one.
  EXPECT_NEAR(ops[2].x2 - 320, 80.5 * std::sin(0.78539816), 1e-6);
  EXPECT_NEAR(ops[5].y2, 326 - 49, 1e-6);
  const auto circle = std::find_if(ops.begin(), ops.end(), [](const ui::DrawOp& o) { return o.type == ui::DrawOp::Circle; });
  ASSERT_NE(circle, ops.end());
  EXPECT_DOUBLE_EQ(circle->y1, 326);
  EXPECT_DOUBLE_EQ(circle->x2, 35);
  // The fill (71 lines), the mark and the wave of 70 steps and its closing line.
  const long lines = std::count_if(ops.begin(), ops.end(), [](const ui::DrawOp& o) { return o.type == ui::DrawOp::Line; });
  EXPECT_EQ(lines, 9 + 71 + 71 + 1);
  EXPECT_DOUBLE_EQ(ops.back().y2, 382);
}

TEST_F(Layout, StatusColourPaintsOnlyWhenItChanges) {
  auto& z = app->win.zarn;
  setstatcol(*app, ui::green);
  EXPECT_EQ(z.llbox.backcolor, ui::green);
  EXPECT_EQ(z.gridbox.backcolor, ui::green);
  EXPECT_EQ(z.hdgbox.backcolor, ui::green);
  EXPECT_EQ(z.vecto.bordercolor, ui::green);
  z.hdgbox.backcolor = ui::red;  // someone else's colour stays while llbox already matches
  setstatcol(*app, ui::green);
  EXPECT_EQ(z.hdgbox.backcolor, ui::red);

  setfillcol(*app, ui::red);
  EXPECT_EQ(app->win.get<IForm>().gpslight.fillcolor, ui::red);
  EXPECT_EQ(app->win.get<ZarnBgdForm>().gps.fillcolor, ui::red);
  app->win.get<IForm>().gpslight.fillcolor = ui::black;
  setfillcol(*app, ui::red);
  EXPECT_EQ(app->win.get<IForm>().gpslight.fillcolor, ui::black) << "the same colour again changes nothing";
}

TEST_F(Layout, FixedAndScaledPositions) {
  auto& z = app->win.zarn;
  designlayout(*app);
  autoreso(*app);
  EXPECT_EQ(z.llbox.top, 458);
  EXPECT_EQ(z.modebox.left, 573);
  EXPECT_EQ(z.search.width, 193);
  EXPECT_EQ(z.searchdat.left, 192);
  EXPECT_EQ(z.saytxt.top, 432);
  EXPECT_EQ(app->map.mapzoom, 0);

  put("AUTORESO.CFG", "");
  autoreso(*app);
  EXPECT_EQ(app->main.scalelayout, 0) << "a 640-wide screen keeps the fixed layout";
  EXPECT_EQ(app->map.mapzoom, 0);

  app->map.scrwidth = 800;
  app->map.scrheight = 600;
  autoreso(*app);
  EXPECT_EQ(app->main.scalelayout, 1);
  EXPECT_EQ(app->map.mapzoom, 1);
  EXPECT_EQ(z.llbox.top, 572) << "572.5";
  EXPECT_EQ(z.saytxt.top, 540);
  EXPECT_EQ(z.Image1.top, 563);
  EXPECT_EQ(z.languageico.top, 563);
  EXPECT_EQ(z.logotxt.top, 542);
  EXPECT_EQ(z.search.width, 192);
  EXPECT_EQ(z.search.left, 576);
  EXPECT_EQ(z.searchdat.width, 800);
  EXPECT_EQ(z.searchdat.left, 0);
  EXPECT_EQ(z.modebox.left, 733);

  app->map.scrheight = 480;
  autoreso(*app);
  EXPECT_EQ(z.llbox.top, 500) << "below the screen, as it always was";
  EXPECT_EQ(z.search.top, 500);
  EXPECT_EQ(z.saytxt.top, 500);
  EXPECT_EQ(z.languageico.top, 500);
  EXPECT_EQ(z.Image1.top, 451);
}

TEST_F(Layout, TrailIntervalButtonAndMarks) {
  struct Case {
    int hi;
    const char* caption;
    bool h0, h1, h2;
  };
  const CForm& c = app->win.get<CForm>();
  for (const Case& k : {Case{-1, "NONE", false, false, false}, Case{0, "ALL", true, true, true},
                        Case{1, "10 sec", true, true, false}, Case{2, "60 sec", false, true, false},
                        Case{5, "1 hour", false, true, false}, Case{9, "1 hour", false, true, false}}) {
    app->map.histint = k.hi;
    app->map.trailcolour = ui::red;
    showhistint(*app);
    EXPECT_EQ(c.histcmd.caption, k.caption) << k.hi;
    EXPECT_EQ(c.h[0].visible, k.h0) << k.hi;
    EXPECT_EQ(c.h[1].visible, k.h1) << k.hi;
    EXPECT_EQ(c.h[2].visible, k.h2) << k.hi;
    EXPECT_EQ(c.h[2].backcolor, ui::red);
  }
}

TEST_F(Layout, SecondaryWindowsAreMadeTopmostHidden) {
  alltopmost(*app);
  for (const char* n : {"cform", "kform", "qkform", "dialform", "zarnbgd", "iform", "carbug", "controls", "fform", "rform"}) {
    const ui::Form* f = app->win.find(n);
    ASSERT_NE(f, nullptr) << n;
    EXPECT_TRUE(f->topmost) << n;
    EXPECT_FALSE(f->visible) << n;
  }
  EXPECT_FALSE(app->win.zarn.topmost);
}

TEST_F(Demo, StopSilencesAndResetsStartTurnsSoundBackOn) {
  MainState& m = app->main;
  m.cfgcorre = 0.1f;
  m.gpscorre = 0.5f;
  m.demoon = 1;
  app->gps.replayfile = "OTHER.NME";
  app->speech.wavcount = 3;
  app->gps.chksumoff = 1;
  stopdemo(*app);
  EXPECT_EQ(app->win.zarn.modebox.caption, "OLD");
  EXPECT_EQ(app->speech.talkon, 0);
  EXPECT_EQ(app->speech.talkstop, 1);
  EXPECT_EQ(app->speech.wavcount, 0);
  EXPECT_FLOAT_EQ(m.gpscorre, 0.1f);
  EXPECT_EQ(app->gps.chksumoff, 0);
  EXPECT_EQ(app->gps.replayfile, "ZARN.NME");
  EXPECT_EQ(m.demoon, 0);
  EXPECT_FALSE(app->win.loaded<MvForm>()) << "single-vehicle mode leaves the vehicle window alone";
  stopdemo(*app);
  EXPECT_EQ(app->gps.replayfile, "ZARN.NME");

  app->gps.linkdata = 1;
  startdemo(*app);
  EXPECT_EQ(app->win.zarn.modebox.caption, "DEM");
  EXPECT_EQ(app->speech.talkon, 1);
  EXPECT_EQ(app->speech.talkstop, 0);
  EXPECT_EQ(m.demoreopen, 1);
  EXPECT_EQ(m.demoon, 1);
  EXPECT_EQ(app->gps.linkdata, 0);

  m.mvmode = 1;
  app->veh.mvsize = 27;
  for (int i = 1; i <= 27; ++i) app->win.zarn.mvim.load(i).visible = true;
  app->win.get<MvForm>().show();
  stopdemo(*app);
  EXPECT_EQ(m.mvmode, 0);
  EXPECT_FALSE(app->win.zarn.mvim[27].visible);
  EXPECT_FALSE(app->win.get<MvForm>().visible);
}

}  // namespace
}  // namespace zarn::test
