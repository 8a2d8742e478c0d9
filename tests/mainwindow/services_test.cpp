// Small services, the start window, the layout and status colours, and demo start and stop.
#include "mainwindow/cform.h"
#include "mainwindow/demo.h"
#include "mainwindow/layout.h"
#include "mainwindow/readouts.h"
#include "mainwindow/secondary.h"
#include "mainwindow/smallservices.h"
#include "navigation/iform.h"
#include "support/app_fixture.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

using Services = AppTest;
using Layout = AppTest;

TEST_F(Services, GreetingByTheTimeOfDayStrictBoundaries) {
  const std::pair<float, const char*> cases[] = {{5 * 3600, "hello"},          {5 * 3600 + 1, "goodmorn"},
                                                 {12 * 3600, "goodmorn"},      {12 * 3600 + 1, "goodafte"},
                                                 {18 * 3600 + 1, "goodeven"},  {22 * 3600, "goodeven"},
                                                 {22 * 3600 + 1, "hello"}};
  for (const auto& [t, name] : cases) EXPECT_EQ(greetingname(t), name) << t;
  wavfile("goodafte.wav");
  clock->settimer(15 * 3600);
  greeting(*app);
  EXPECT_EQ(played(), Items{"goodafte.wav"});
}

TEST_F(Services, CodedMessagesFirstExactMatch) {
  std::string t, i, x;
  cmessage(*app, "A1", t, i, x);
  EXPECT_EQ(std::tuple(t, i, x), std::tuple("A1", "NULL", "NULL")) << "no file: the code itself";
  put("CMESSAGE.CFG", "3\r\n\"a1\",\"lower\",x.ico,1\r\nA1,\"Help, now\",alarm.ico,NULL\r\nA1,second,y.ico,2\r\n");
  std::string code = "A1";
  cmessage(*app, code, code, i, x);
  EXPECT_EQ(code, "Help, now") << "in place; the first of two; case matters";
  EXPECT_EQ(i, "alarm.ico");
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
  EXPECT_EQ(printer->lines, Items{"LOG one"});
  printer->works = false;
  printline(*app, "LOG two");
  EXPECT_EQ(app->gps.printon, 0);
  EXPECT_EQ(app->win.get<MvForm>().printlabon.caption, "Printing OFF");
  ASSERT_EQ(dialogs->shown.size(), 1u);
  EXPECT_EQ(dialogs->shown[0].title, "Printer Error");
}

TEST_F(Layout, StatusColourPaintsOnlyWhenItChanges) {
  auto& z = app->win.zarn;
  setstatcol(*app, ui::green);
  EXPECT_EQ(z.gridbox.backcolor, ui::green);
  EXPECT_EQ(z.vecto.bordercolor, ui::green);
  z.hdgbox.backcolor = ui::red;  // someone else's colour stays while llbox already matches
  setstatcol(*app, ui::green);
  EXPECT_EQ(z.hdgbox.backcolor, ui::red);
  setfillcol(*app, ui::red);
  EXPECT_EQ(app->win.get<ZarnBgdForm>().gps.fillcolor, ui::red);
  app->win.get<IForm>().gpslight.fillcolor = ui::black;
  setfillcol(*app, ui::red);
  EXPECT_EQ(app->win.get<IForm>().gpslight.fillcolor, ui::black) << "the same colour again changes nothing";
}

TEST_F(Layout, FixedAndScaledPositions) {
  auto& z = app->win.zarn;
  designlayout(*app);
  put("AUTORESO.CFG", "");
  autoreso(*app);
  EXPECT_EQ(app->main.scalelayout, 0) << "a 640-wide screen keeps the fixed layout";
  EXPECT_EQ(z.llbox.top, 458);
  EXPECT_EQ(z.modebox.left, 573);
  app->map.scrwidth = 800;
  app->map.scrheight = 600;
  autoreso(*app);
  EXPECT_EQ(app->main.scalelayout, 1);
  EXPECT_EQ(app->map.mapzoom, 1);
  EXPECT_EQ(z.llbox.top, 572) << "572.5";
  EXPECT_EQ(z.search.left, 576);
  EXPECT_EQ(z.searchdat.width, 800);
  EXPECT_EQ(z.modebox.left, 733);
  app->map.scrheight = 480;
  autoreso(*app);
  EXPECT_EQ(z.llbox.top, 500) << "below the screen, as it always was";
  EXPECT_EQ(z.Image1.top, 451);
}

TEST_F(Layout, TrailIntervalButtonAndMarks) {
  const CForm& c = app->win.get<CForm>();
  app->map.trailcolour = ui::red;
  for (const auto& [hi, caption, h0, h1, h2] :
       {std::tuple{-1, "NONE", false, false, false}, {0, "ALL", true, true, true}, {1, "10 sec", true, true, false},
        {2, "60 sec", false, true, false}, {5, "1 hour", false, true, false}, {9, "1 hour", false, true, false}}) {
    app->map.histint = hi;
    showhistint(*app);
    EXPECT_EQ(c.histcmd.caption, caption) << hi;
    EXPECT_EQ(std::tuple(c.h[0].visible, c.h[1].visible, c.h[2].visible), std::tuple(h0, h1, h2)) << hi;
  }
  EXPECT_EQ(c.h[2].backcolor, ui::red);

}

TEST_F(Services, DemoStopSilencesAndResetsStartTurnsSoundBackOnTheControlsEndIt) {
  MainState& m = app->main;
  m.cfgcorre = 0.1f;
  app->gps.gpscorre = 0.5f;
  m.demoon = 1;
  app->gps.replayfile = "OTHER.NME";
  app->speech.wavcount = 3;
  app->gps.chksumoff = 1;
  stopdemo(*app);
  EXPECT_EQ(app->win.zarn.modebox.caption, "OLD");
  EXPECT_EQ(app->speech.talkon, 0);
  EXPECT_EQ(app->speech.talkstop, 1);
  EXPECT_EQ(app->speech.wavcount, 0);
  EXPECT_FLOAT_EQ(app->gps.gpscorre, 0.1f);
  EXPECT_EQ(app->gps.chksumoff, 0);
  EXPECT_EQ(app->gps.replayfile, "ZARN.NME");
  EXPECT_FALSE(app->win.loaded<MvForm>()) << "single-vehicle mode leaves the vehicle window alone";

  app->gps.linkdata = 1;
  startdemo(*app);
  EXPECT_EQ(app->win.zarn.modebox.caption, "DEM");
  EXPECT_EQ(app->speech.talkon, 1);
  EXPECT_EQ(app->speech.talkstop, 0);
  EXPECT_EQ(m.demoreopen, 1);
  EXPECT_EQ(app->gps.linkdata, 0);

  m.mvmode = 1;
  app->veh.mvsize = 27;
  for (int i = 1; i <= 27; ++i) app->win.zarn.mvim.load(i).visible = true;
  app->win.get<MvForm>().show();
  stopdemo(*app);
  EXPECT_EQ(m.mvmode, 0);
  EXPECT_FALSE(app->win.zarn.mvim[27].visible);
  EXPECT_FALSE(app->win.get<MvForm>().visible);

  app->win.zarn.modebox.caption = "GPS";
  showcontrols(*app);
  EXPECT_TRUE(controlsvis(*app));
  EXPECT_EQ(app->win.zarn.modebox.caption, "GPS") << "no demo running: unchanged";
  hidecontrols(*app);
  EXPECT_FALSE(controlsvis(*app));
  m.demoon = 1;
  showcontrols(*app);
  EXPECT_EQ(m.demoon, 0);
  EXPECT_EQ(app->win.zarn.modebox.caption, "SIM");
}

}  // namespace
}  // namespace zarn::test
