// The start-up sequence on small working directories: each missing or damaged file it names,
// the one-shot fix mode, the dial-out wait and the command line.
#include <set>

#include "mainwindow/maintest.h"
#include "mainwindow/startup.h"
#include "mainwindow/startwin.h"
#include "mainwindow/tick.h"
#include "platform/textrules.h"
#include "vehicles/dialforms.h"

namespace zarn::test {
namespace {

const std::string rmcline = "$GPRMC,145240.00,A,5321.4835,N,00218.3930,W,52.2778,253.784,261020,-1.2,W*78\r\n";

class Startup : public MainTest {
 protected:
  void SetUp() override {
    MainTest::SetUp();
    // One map, its grid squares, and a configuration.
    const auto demo = std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo";
    for (const char* f : {"GBIRL.DES", "GBIRL.BMP", "MAPS.CCC"}) std::filesystem::copy(demo / f, dir / f);
    put("MAPS.DIR", "GBIRL\r\n");
    put("ZARN.CFG", config("COM1"));
  }
  static std::string config(const std::string& port, const std::string& tts = "No") {
    std::string s;
    for (const std::string& l : std::vector<std::string>{"SJ 75128 78480", "Knutsford", "destinat.wav", "SJ 79718 84625", port, "COM2", "COM3",
                                " 0", " 0", " 0", " 16", tts, "\\japan\\", ""})
      s += l + "\r\n";
    return s;
  }
  void start(const std::string& cmdline = "") {
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
    for (const auto& s : statuses)
      if (s.starts_with(prefix)) return true;
    return false;
  }
  bool started() const { return !app->main.quit && app->main.timer1 == 1 && app->win.zarn.visible; }

  std::set<std::string> statuses;
  long passes = 0;
  std::function<void()> onpass;
};

TEST_F(Startup, WithOnlyTheConfigurationItStartsInTheDemoState) {
  start();
  ASSERT_TRUE(started());
  EXPECT_EQ(app->main.starting, 0);
  EXPECT_EQ(app->win.zarn.modebox.caption, "DEM");
  EXPECT_EQ(app->main.mvmode, 0);
  EXPECT_EQ(app->main.metric, 0);
  EXPECT_EQ(app->speech.talkon, 1);
  const std::vector<int> intervals = {60, 20, 60, 1, 1, 1, 1, 1, 60, 1};
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(app->main.repint[k], intervals[k - 1]) << k;
  EXPECT_EQ(app->nav.adhocdest, 1) << "the destination list holds only (mouse)";
  EXPECT_EQ(app->nav.curdest, 1);
  EXPECT_EQ(app->nav.destlabel[1], "Knutsford");
  EXPECT_EQ(serial->opened, (std::vector<std::string>{"COM1"}));
  EXPECT_EQ(serial->settings, "") << "the serial line's own settings";
  EXPECT_EQ(app->gps.replayfile, "ZARN.NME");
  EXPECT_EQ(app->map.curmap, 1);
  EXPECT_FALSE(app->win.get<StartForm>().visible);
  EXPECT_TRUE(saw("Checks completed. Hit ? for Help."));
  EXPECT_FLOAT_EQ(app->main.herereptime, app->timer() - 50) << "the first where-we-are report is due early";
}

TEST_F(Startup, WithoutZarnCfgThereIsNoDestinationAndNoSerialGps) {
  std::filesystem::remove(dir / "ZARN.CFG");
  start();
  ASSERT_TRUE(started());
  EXPECT_TRUE(saw("ZARN.CFG is missing"));
  EXPECT_EQ(app->nav.nodest, 1);
  EXPECT_EQ(app->gps.gpsoncom, 0);
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

TEST_F(Startup, MissingOrDamagedDataFilesAreNamedAndStartUpGoesOn) {
  put("$LPOP.PCD", std::string("\x10\x00\x02\x00\x01\x02", 6));
  start();
  ASSERT_TRUE(started());
  EXPECT_TRUE(saw("ZARN.CAT not found"));
  EXPECT_TRUE(saw("ZARN.FND not found"));
  EXPECT_TRUE(saw("$LPOP.PCD is shorter than its counts"));
  EXPECT_EQ(app->main.catcount, 0);
  EXPECT_EQ(app->main.fndcount, 0);
  EXPECT_EQ(app->main.pcdn2, 0);
}

TEST_F(Startup, AFailingSerialPortIsReportedOnceAndStartUpGoesOnWithoutIt) {
  serial->missing = "COM1";
  start();
  ASSERT_TRUE(started());
  const auto& err = app->win.get<StartForm>().errmsg;
  EXPECT_EQ(err.caption,
            "COM1 specified in file ZARN.CFG is not available so I am setting port to NULL. Edit ZARN.CFG to stop "
            "this message.");
  EXPECT_EQ(app->gps.gpsoncom, 0);
  EXPECT_EQ(app->main.gpsport, "NULL");
  EXPECT_EQ(serial->opened.size(), 1u) << "tried once, not for ever";
}

TEST_F(Startup, ABadGpsLineSettingMeansNoPort) {
  put("ZARN.COM", "4800,N,8,1\r\nten seconds\r\n");
  start();
  ASSERT_TRUE(started());
  EXPECT_TRUE(serial->opened.empty());
  EXPECT_EQ(app->gps.gpsoncom, 0);
  EXPECT_TRUE(app->win.get<StartForm>().errmsg.visible);
  put("ZARN.COM", "4800,N,8,1\r\n15\r\n2\r\n250\r\n20\r\n");
  make();
  start();
  EXPECT_EQ(serial->settings, "4800,N,8,1");
  EXPECT_FLOAT_EQ(app->gps.gpstimeout, 15);
  EXPECT_FLOAT_EQ(app->gps.fixminmove, 0.25f);
  EXPECT_FLOAT_EQ(app->gps.minhdgspd, 20) << "replaces ZARN.CFG's";
  EXPECT_TRUE(saw("Setting GPS timeout to  15 secs ...")) << "Str puts a blank before the number";
}

TEST_F(Startup, BadTrailBearingOrDialValuesEndTheProgram) {
  struct Case {
    const char* file;
    const char* contents;
    const char* box;
  };
  for (const Case& c : {Case{"HISTORY.CFG", "1\r\nred,0,0\r\n", "HISTORY.CFG Error ?"},
                        Case{"DFCOLOUR.CFG", "255,blue\r\n", "Error in bearing data ?"},
                        Case{"ZARNDIAL.CFG", "two\r\n", "Error in ZARNDIAL.CFG ?"}}) {
    SCOPED_TRACE(c.file);
    make();
    for (const char* f : {"HISTORY.CFG", "DFCOLOUR.CFG", "ZARNDIAL.CFG"}) std::filesystem::remove(dir / f);
    put(c.file, c.contents);
    start();
    EXPECT_TRUE(app->main.quit);
    EXPECT_EQ(app->main.timer1, 0);
    ASSERT_EQ(dialogs->shown.size(), 1u);
    EXPECT_EQ(dialogs->shown[0].prompt, c.box);
    EXPECT_EQ(dialogs->shown[0].title, "ZARN");
    EXPECT_EQ(dialogs->shown[0].buttons, platform::mb::information);
  }
}

TEST_F(Startup, AMissingMapPictureEndsTheProgram) {
  std::filesystem::remove(dir / "GBIRL.BMP");
  start();
  EXPECT_TRUE(app->main.quit);
  EXPECT_EQ(app->main.timer1, 0);
  EXPECT_FALSE(dialogs->shown.empty());
}

TEST_F(Startup, NoRotatedMapsTurnsHeadingUpOff) {
  put("ROTATION.CFG", "");
  start();
  ASSERT_TRUE(started());
  EXPECT_TRUE(saw("Error : No Rotated Maps"));
  EXPECT_EQ(wav->beeps, 1);
  EXPECT_EQ(app->map.headingup, 0);
}

TEST_F(Startup, SpeechLibraryMissingIsToldOnce) {
  put("ZARN.CFG", config("COM1", "Yes"));
  tts->avail = false;
  start();
  ASSERT_TRUE(started());
  EXPECT_EQ(app->speech.ttsavail, 0);
  ASSERT_EQ(dialogs->shown.size(), 1u);
  EXPECT_TRUE(dialogs->shown[0].prompt.starts_with("This computer does not have Monolog for Windows "));

  make();
  start();
  EXPECT_EQ(app->speech.ttsavail, 1);
  EXPECT_EQ(tts->globals, (std::vector<int>{0, 0, 6, 7, 5}));
}

TEST_F(Startup, TheCommandLineNamesTheReplayFile) {
  struct Case {
    std::string cmdline, replay;
  };
  for (const Case& c : {Case{"", "ZARN.NME"}, Case{"drive.nme", "drive.nme"}, Case{"-x old.Trk", "-x old.Trk"},
                        Case{"notes.txt", "ZARN.NME"}}) {
    make();
    start(c.cmdline);
    EXPECT_EQ(app->gps.replayfile, c.replay) << c.cmdline;
  }
}

TEST_F(Startup, TheStartBatchRunsByNameAndStartUpWaitsFiveSeconds) {
  put("ZARNINIT.BAT", "echo; rm -rf /\r\n");
  start();
  ASSERT_TRUE(started());
  ASSERT_EQ(programs->started.size(), 1u);
  EXPECT_EQ(programs->started[0].program, "ZARNINIT.BAT");
  EXPECT_TRUE(programs->started[0].args.empty());
  EXPECT_TRUE(saw("Running ZARNINIT.BAT ..."));
}

TEST_F(Startup, TheDialOutSetUpHoldsStartUpUntilItCloses) {
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
  EXPECT_EQ(seen, 50);
  const CarbugForm& c = app->win.get<CarbugForm>();
  EXPECT_EQ(c.caption, "Dial set-up");
  EXPECT_EQ(c.comprt.text, "COM2");
  EXPECT_EQ(c.telno.text, "0123 456789");
  EXPECT_EQ(c.timeout.text, "60");
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

  make();
  start();
  EXPECT_TRUE(app->main.quit);
  EXPECT_TRUE(get("PULFIX.DAT").starts_with("NO DATA\r\n"));
  EXPECT_GE(app->timer(), 12 * 3600 + 30) << "after the 30 s";

  make();
  serial->missing = "COM1";
  start();
  EXPECT_TRUE(app->main.quit);
  EXPECT_TRUE(saw("PULFIX Error - COM Port in ZARN.CFG"));
  EXPECT_EQ(wav->beeps, 1);
}

}  // namespace
}  // namespace zarn::test
