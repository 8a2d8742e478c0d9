// The start-up sequence on small working directories: each missing or damaged file it names,
// the one-shot fix mode, the dial-out wait and the command line.
#include <set>

#include "mainwindow/startup.h"
#include "mainwindow/startwin.h"
#include "mainwindow/tick.h"
#include "platform/textrules.h"
#include "support/app_fixture.h"
#include "vehicles/dialforms.h"

namespace zarn::test {
namespace {

const std::string rmcline = "$GPRMC,145240.00,A,5321.4835,N,00218.3930,W,52.2778,253.784,261020,-1.2,W*78\r\n";

class Startup : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    // One map, its grid squares, and a configuration.
    const auto demo = std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo";
    for (const char* f : {"GBIRL.DES", "GBIRL.BMP", "MAPS.CCC"}) std::filesystem::copy(demo / f, dir / f);
    put("MAPS.DIR", "GBIRL\r\n");
    put("ZARN.CFG",
        "SJ 75128 78480\r\nKnutsford\r\ndestinat.wav\r\nSJ 79718 84625\r\nCOM1\r\nCOM2\r\nCOM3\r\n 0\r\n 0\r\n 0\r\n"
        " 16\r\nYes\r\n\\japan\\\r\n\r\n");
  }
  // A fresh application started in the directory; `onpass` runs on each pass of its waits.
  void start(const std::string& cmdline = "", bool fresh = true) {
    if (fresh) make();
    statuses.clear();
    events->hook = [this] {
      clock->advance(waitstep);
      ++passes;
      if (const ui::Form* s = app->win.find("start"); s && s->visible)
        statuses.insert(app->win.get<StartForm>().trace.caption);
      if (onpass) onpass();
    };
    Form_Load(*app, cmdline);
  }
  bool saw(const std::string& prefix) const {
    return std::any_of(statuses.begin(), statuses.end(), [&](const std::string& s) { return s.starts_with(prefix); });
  }
  bool started() const { return !app->main.quit && app->main.timer1 == 1 && app->win.zarn.visible; }

  std::set<std::string> statuses;
  long passes = 0;
  std::function<void()> onpass;
};

TEST_F(Startup, WithOnlyTheConfigurationItStartsInTheDemoState) {
  start();
  ASSERT_TRUE(started());
  EXPECT_EQ(app->win.zarn.modebox.caption, "DEM");
  EXPECT_EQ(app->nav.adhocdest, 1) << "the destination list holds only (mouse)";
  EXPECT_EQ(app->nav.destlabel[1], "Knutsford");
  EXPECT_EQ(serial->opened, Items{"COM1"});
  EXPECT_EQ(serial->settings, "") << "the serial line's own settings";
  EXPECT_TRUE(saw("Checks completed. Hit ? for Help."));
  EXPECT_FLOAT_EQ(app->main.herereptime, app->timer() - 50) << "the first where-we-are report is due early";
  EXPECT_EQ(tts->globals, (std::vector<int>{0, 0, 6, 7, 5}));
}

TEST_F(Startup, MissingOrDamagedFilesAreNamedAndStartUpGoesOnOrEnds) {
  struct Case {
    const char* guards;
    std::function<void()> arrange;
    Items statuses;   // progress texts shown
    const char* box;  // the start of the one message box's prompt, or empty
    bool starts;
    std::function<bool()> check = [] { return true; };
  };
  const auto file = [this](const char* f, std::string s) { return [this, f, s] { put(f, s); }; };
  const Case cases[] = {
      {"data files missing or damaged", file("$LPOP.PCD", std::string("\x10\x00\x02\x00\x01\x02", 6)),
       {"$LPOP.PCD is shorter than its counts", "ZARN.CAT not found", "ZARN.FND not found"}, "", true,
       [this] { return app->main.catcount + app->main.fndcount + app->main.pcdn2 == 0; }},
      {"no rotated maps turn heading-up off", file("ROTATION.CFG", ""), {"Error : No Rotated Maps"}, "", true,
       [this] { return app->map.headingup == 0 && wav->beeps == 1; }},
      {"the speech library missing", [this] { tts->avail = false; }, {},
       "This computer does not have Monolog for Windows ", true, [this] { return app->speech.ttsavail == 0; }},
      {"a bad trail setting", file("HISTORY.CFG", "1\r\nred,0,0\r\n"), {}, "HISTORY.CFG Error ?", false},
      {"a bad bearing colour", file("DFCOLOUR.CFG", "255,blue\r\n"), {}, "Error in bearing data ?", false},
      {"a bad dial list", file("ZARNDIAL.CFG", "two\r\n"), {}, "Error in ZARNDIAL.CFG ?", false},
      {"a missing map picture", [this] { std::filesystem::remove(dir / "GBIRL.BMP"); }, {},
       "The map image GBIRL.BMP is missing", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.guards);
    for (const char* f : {"$LPOP.PCD", "ROTATION.CFG", "HISTORY.CFG", "DFCOLOUR.CFG", "ZARNDIAL.CFG"})
      std::filesystem::remove(dir / f);
    std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo" / "GBIRL.BMP", dir / "GBIRL.BMP",
                          std::filesystem::copy_options::overwrite_existing);
    make();
    c.arrange();
    start("", false);
    EXPECT_EQ(started(), c.starts);
    EXPECT_EQ(app->main.timer1, c.starts ? 1 : 0);
    for (const auto& st : c.statuses) EXPECT_TRUE(saw(st)) << st;
    ASSERT_EQ(dialogs->shown.size(), *c.box ? 1u : 0u);
    if (*c.box) {
      EXPECT_TRUE(dialogs->shown[0].prompt.starts_with(c.box)) << dialogs->shown[0].prompt;
    }
    EXPECT_TRUE(c.check());
  }
}

TEST_F(Startup, WithoutZarnCfgThereIsNoDestinationAndNoSerialGps) {
  std::filesystem::remove(dir / "ZARN.CFG");
  start();
  ASSERT_TRUE(started());
  EXPECT_TRUE(saw("ZARN.CFG is missing"));
  EXPECT_EQ(app->nav.nodest, 1);
  EXPECT_TRUE(serial->opened.empty()) << "no port was named";
  EXPECT_FALSE(app->win.zarn.dest.visible);
  // A fix arrives from the replay; the destination is never reported.
  put("ZARN.NME", rmcline);
  waitstep = 0;
  for (int i = 0; i < 400; ++i) {
    clock->advance(0.25);
    Timer1_Timer(*app);
    ASSERT_FALSE(app->speech.msgtext.starts_with("Destination")) << "tick " << i;
  }
  EXPECT_NE(app->gps.ownlat, 0);
}

TEST_F(Startup, AFailingPortIsReportedOnceABadLineSettingMeansNoPort) {
  make();
  serial->missing = "COM1";
  start("", false);
  ASSERT_TRUE(started());
  EXPECT_EQ(app->win.get<StartForm>().errmsg.caption,
            "COM1 specified in file ZARN.CFG is not available so I am setting port to NULL. Edit ZARN.CFG to stop "
            "this message.");
  EXPECT_EQ(app->gps.gpsoncom, 0);
  EXPECT_EQ(app->main.gpsport, "NULL");
  EXPECT_EQ(serial->opened.size(), 1u) << "tried once, not for ever";

  put("ZARN.COM", "4800,N,8,1\r\nten seconds\r\n");
  start();
  ASSERT_TRUE(started());
  EXPECT_TRUE(serial->opened.empty());
  EXPECT_TRUE(app->win.get<StartForm>().errmsg.visible);
  put("ZARN.COM", "4800,N,8,1\r\n15\r\n2\r\n250\r\n20\r\n");
  start();
  EXPECT_EQ(serial->settings, "4800,N,8,1");
  EXPECT_FLOAT_EQ(app->gps.fixminmove, 0.25f);
  EXPECT_FLOAT_EQ(app->gps.minhdgspd, 20) << "replaces ZARN.CFG's";
  EXPECT_TRUE(saw("Setting GPS timeout to  15 secs ...")) << "Str puts a blank before the number";
}

TEST_F(Startup, TheCommandLineNamesTheReplayFile) {
  for (const auto& [cmdline, replay] : {std::pair{"", "ZARN.NME"}, {"drive.nme", "drive.nme"},
                                        {"-x old.Trk", "-x old.Trk"}, {"notes.txt", "ZARN.NME"}}) {
    start(cmdline);
    EXPECT_EQ(app->gps.replayfile, replay) << cmdline;
  }
}

TEST_F(Startup, TheStartBatchRunsByNameAndTheDialOutSetUpHoldsStartUpUntilItCloses) {
  put("ZARNINIT.BAT", "echo; rm -rf /\r\n");
  put("ADD2DIAL.CFG", "ATDT\r\n\r\nDial set-up\r\nCOM2\r\n0123 456789\r\n60\r\n");
  put("METRIC.CFG", "");
  int seen = 0;
  onpass = [&] {
    CarbugForm& c = app->win.get<CarbugForm>();
    if (!c.visible) return;
    EXPECT_EQ(app->main.metric, 0) << "nothing after the wait has run";
    if (++seen == 50) c.hide();
  };
  start();
  ASSERT_TRUE(started());
  ASSERT_EQ(programs->started.size(), 1u);
  EXPECT_EQ(programs->started[0].program, "ZARNINIT.BAT");
  EXPECT_TRUE(programs->started[0].args.empty());
  EXPECT_TRUE(saw("Running ZARNINIT.BAT ..."));
  EXPECT_EQ(seen, 50);
  const CarbugForm& c = app->win.get<CarbugForm>();
  EXPECT_EQ(c.caption, "Dial set-up");
  EXPECT_EQ(c.comprt.text, "COM2");
  EXPECT_EQ(c.telno.text, "0123 456789");
  EXPECT_EQ(app->main.metric, 1);
}

TEST_F(Startup, OneShotFixWritesTheFixOrNoData) {
  put("PULFIX.CFG", "30      seconds\r\n");
  onpass = [this] {
    if (passes == 20) serial->chunks.push_back(rmcline);
  };
  start();
  EXPECT_TRUE(app->main.quit);
  EXPECT_FALSE(app->win.zarn.visible) << "the main window is never shown";
  const std::string dat = get("PULFIX.DAT");
  EXPECT_TRUE(dat.starts_with("SJ ")) << dat;
  EXPECT_NE(dat.find("\r\n" + text::timetext(clock->now()).substr(0, 2)), std::string::npos);

  start();
  EXPECT_TRUE(app->main.quit);
  EXPECT_TRUE(get("PULFIX.DAT").starts_with("NO DATA\r\n"));
  EXPECT_GE(app->timer(), 12 * 3600 + 30) << "after the 30 s";

  make();
  serial->missing = "COM1";
  start("", false);
  EXPECT_TRUE(app->main.quit);
  EXPECT_TRUE(saw("PULFIX Error - COM Port in ZARN.CFG"));
  EXPECT_EQ(wav->beeps, 1);
}

}  // namespace
}  // namespace zarn::test
