// Start-up on small working directories, and the whole program on the demo data, offscreen,
// playing the recorded drive and following it live on a pseudo-terminal, as the drive says.
#include <fcntl.h>
#include <unistd.h>

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "app/main/shell.h"
#include "mainwindow/cform.h"
#include "mainwindow/keys.h"
#include "mainwindow/startup.h"
#include "mainwindow/startwin.h"
#include "mainwindow/tick.h"
#include "navigation/iform.h"
#include "navigation/rgiform.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "platform/qt_support.h"
#include "platform/serial.h"
#include "platform/textrules.h"
#include "support/app_fixture.h"
#include "support/builders.h"
#include "support/pty.h"
#include "support/runtool.h"
#include "vehicles/dialforms.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

const std::string rmcline = "$GPRMC,145240.00,A,5321.4835,N,00218.3930,W,52.2778,253.784,261020,-1.2,W*78\r\n";
const auto demodir = std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo";

class Startup : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    // One map, its grid squares, and a configuration.
    for (const char* f : {"GBIRL.DES", "GBIRL.BMP", "MAPS.CCC"}) std::filesystem::copy(demodir / f, dir / f);
    put("MAPS.DIR", "GBIRL\r\n");
    put("ZARN.CFG", "SJ 75128 78480\r\nKnutsford\r\ndestinat.wav\r\nSJ 79718 84625\r\nCOM1\r\nCOM2\r\nCOM3\r\n"
                    " 0\r\n 0\r\n 0\r\n 16\r\nYes\r\n\\japan\\\r\n\r\n");
  }
  // Start-up (of a new application if `fresh`), keeping its progress texts; `onpass` runs each wait.
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
  void ticks(int n) {
    for (int i = 0; i < n; ++i) {
      clock->advance(0.25);
      Timer1_Timer(*app);
    }
  }

  std::set<std::string> statuses;
  long passes = 0;
  std::function<void()> onpass;
};

TEST_F(Startup, WithOnlyTheConfigurationItStartsInTheDemoStateAndTheCommandLineNamesTheReplay) {
  start();
  ASSERT_TRUE(started());
  EXPECT_EQ(std::tuple(app->win.zarn.modebox.caption, app->nav.adhocdest, app->nav.destlabel[1]),
            std::tuple("DEM", 1, "Knutsford"))
      << "the destination list holds only (mouse)";
  EXPECT_EQ(std::tuple(serial->opened, serial->settings), std::tuple(Items{"COM1"}, "")) << "the line's own settings";
  EXPECT_FLOAT_EQ(app->main.herereptime, app->timer() - 50) << "the first where-we-are report is due early";
  for (const auto& [cmdline, replay] : {std::pair{"", "ZARN.NME"}, {"drive.nme", "drive.nme"},
                                        {"-x old.Trk", "-x old.Trk"}, {"notes.txt", "ZARN.NME"}}) {
    start(cmdline);
    EXPECT_EQ(app->gps.replayfile, replay) << cmdline;
  }
}

TEST_F(Startup, DamagedDataFilesNoSpeechOrNoTurnedMapsAreNamedAndStartUpGoesOn) {
  put("$LPOP.PCD", std::string("\x10\x00\x02\x00\x01\x02", 6));
  put("ROTATION.CFG", "");
  put("FASTMAPS.DAT", std::string("\x02\x00", 2) + std::string(30, 'x'));
  tts->avail = false;
  start("", false);
  ASSERT_TRUE(started());
  for (const char* st : {"$LPOP.PCD is shorter than its counts", "FASTMAPS.DAT is cut short: it counts 2 maps, holds 0",
                         "ZARN.CAT not found", "ZARN.FND not found", "Error : No Rotated Maps"})
    EXPECT_TRUE(saw(st)) << st;
  EXPECT_EQ(std::tuple(app->main.catcount + app->main.fndcount + app->main.pcdn2, app->map.headingup,
                       app->speech.ttsavail, dialogs->shown.size()),
            std::tuple(0, 0, 0, 1u));
  EXPECT_EQ(std::tuple(app->map.mapcount, get("FASTMAPS.DAT").size()), std::tuple(1, 46u)) << "built and written again";
  EXPECT_TRUE(dialogs->shown[0].prompt.starts_with("This computer does not have Monolog for Windows "));
}

TEST_F(Startup, ABadSettingOrAMissingMapPictureEndsStartUpWithItsMessage) {
  // The box, and for HISTORY.CFG what is wrong with it on the start window's status line.
  for (const auto& [file, text, box, status] :
       {std::tuple{"HISTORY.CFG", "1\r\nred,0,0\r\n", "HISTORY.CFG Error ?",
                   "HISTORY.CFG Error: damaged at line 2, \"red\" is not a number"},
        {"HISTORY.CFG", "2\r\n255,0,0\r\n50,5\r\n", "HISTORY.CFG Error ?",
         "HISTORY.CFG Error: it ends after 6 of its 7 values"},
        {"DFCOLOUR.CFG", "255,blue\r\n", "Error in bearing data ?", ""},
        {"ZARNDIAL.CFG", "two\r\n", "Error in ZARNDIAL.CFG ?", ""},
        {"ZARNDIAL.CFG", "3\r\nVAN1,ATDT1001\r\nHangup,+++\r\n", "Error in ZARNDIAL.CFG ?", ""},
        {"GBIRL.BMP", "", "The map image GBIRL.BMP is missing", ""}}) {
    for (const char* f : {"HISTORY.CFG", "DFCOLOUR.CFG", "ZARNDIAL.CFG"}) std::filesystem::remove(dir / f);
    std::filesystem::copy(demodir / "GBIRL.BMP", dir / "GBIRL.BMP", std::filesystem::copy_options::overwrite_existing);
    put(file, text);
    if (!*text) std::filesystem::remove(dir / file);  // no picture at all
    start();
    EXPECT_EQ(std::tuple(started(), app->main.timer1, dialogs->shown.size()), std::tuple(false, 0, 1u)) << file;
    EXPECT_TRUE(!dialogs->shown.empty() && dialogs->shown[0].prompt.starts_with(box)) << file;
    if (!*status) continue;
    EXPECT_TRUE(!dialogs->shown.empty() && dialogs->shown[0].prompt == box) << file << ": exactly";
    EXPECT_TRUE(saw(status)) << status;
  }
}

TEST_F(Startup, WithoutZarnCfgThereIsNoDestinationAndNoSerialGps) {
  std::filesystem::remove(dir / "ZARN.CFG");
  start();
  ASSERT_TRUE(started() && saw("ZARN.CFG is missing"));
  EXPECT_EQ(std::tuple(app->nav.nodest, serial->opened.empty(), app->win.zarn.dest.visible), std::tuple(1, true, false))
      << "no port was named";
  put("ZARN.NME", rmcline);  // a fix arrives from the replay; the destination is never reported
  waitstep = 0;
  for (int i = 0; i < 400; ++i) {
    ticks(1);
    ASSERT_FALSE(app->speech.msgtext.starts_with("Destination")) << "tick " << i;
  }
  EXPECT_NE(app->gps.ownlat, 0);
}

TEST_F(Startup, AFailingPortIsReportedOnceABadLineSettingMeansNoPort) {
  serial->missing = "COM1";
  start("", false);
  ASSERT_TRUE(started());
  EXPECT_EQ(app->win.get<StartForm>().errmsg.caption,
            "COM1 specified in file ZARN.CFG is not available so I am setting port to NULL. Edit ZARN.CFG to stop "
            "this message.");
  EXPECT_EQ(std::tuple(app->gps.gpsoncom, app->main.gpsport, serial->opened.size()), std::tuple(0, "NULL", 1u))
      << "tried once, not for ever";
  put("ZARN.COM", "4800,N,8,1\r\nten seconds\r\n");
  start();
  ASSERT_TRUE(started());
  EXPECT_EQ(std::tuple(serial->opened.empty(), app->win.get<StartForm>().errmsg.visible), std::tuple(true, true));
  put("ZARN.COM", "4800,N,8,1\r\n15\r\n2\r\n250\r\n20\r\n");
  start();
  EXPECT_EQ(std::tuple(serial->settings, app->gps.fixminmove, app->gps.minhdgspd),
            std::tuple("4800,N,8,1", 0.25f, 20.0f))
      << "ZARN.COM's heading speed replaces ZARN.CFG's";
  EXPECT_TRUE(saw("Setting GPS timeout to  15 secs ...")) << "Str puts a blank before the number";
  // The system's reason is shown too (root opens anything, so is never denied).
  for (auto [denied, reason] : {std::pair{false, "No such file or directory"}, {true, "Permission denied"}}) {
    if (denied && ::geteuid() == 0) continue;
    if (denied) put("tty", ""), std::filesystem::permissions(dir / "tty", std::filesystem::perms::none);
    ::setenv("ZARN_COM1", (dir / "tty").c_str(), 1);
    make(std::make_unique<platform::TermiosSerial>());
    start("", false);
    ::unsetenv("ZARN_COM1");
    const std::string want = "available (cannot open " + (dir / "tty").string() + ": " + reason + ") so I";
    EXPECT_NE(app->win.get<StartForm>().errmsg.caption.find(want), std::string::npos) << reason;
  }
}

// A settings line in ZARN.MCV that the serial line refuses falls under the COM port trap, as a
// port that cannot be opened does; the rest of the file is read.
TEST_F(Startup, AMultiVehicleSettingsLineTheSerialLineRefusesMeansNoPort) {
  testing::Pty pty;
  ASSERT_FALSE(pty.path.empty());
  for (const std::string settings : {"9600,N,8,1", "9600,Q,8,1"}) {
    const bool bad = settings[5] == 'Q';
    put("ZARN.MCV", "Base\r\n" + settings + "\r\n0\r\n0800\r\nuser\r\npw\r\nMSG:\r\nACK:\r\n30\r\n123\r\n\r\n1\r\n"
                    "VAN1,V1,T1001,\r\n");
    ::setenv("ZARN_COM1", pty.path.c_str(), 1);
    make(std::make_unique<platform::TermiosSerial>());
    start("", false);
    ::unsetenv("ZARN_COM1");
    ASSERT_TRUE(started()) << settings;
    const StartForm& s = app->win.get<StartForm>();
    EXPECT_EQ(s.errmsg.visible, bad) << settings;
    if (bad) {
      EXPECT_EQ(s.errmsg.caption, "COM1 specified in file ZARN.CFG is not available (serial settings \"9600,Q,8,1\": "
                                  "parity must be N, E, O, M or S) so I am setting port to NULL. Edit ZARN.CFG to stop "
                                  "this message.");
    }
    EXPECT_EQ(std::tuple(app->gps.gpsoncom, app->main.gpsport, app->veh.mvtotal, app->veh.mvlabel[1]),
              std::tuple(bad ? 0 : 1, bad ? "NULL" : "COM1", 1, "VAN1 "))
        << settings;
  }
}

// With the file link the port is not opened at all, so a port that is not there says nothing,
// and the lines come from ZARN.LLD.
TEST_F(Startup, WithTheFileLinkThePortIsNeverOpened) {
  put("ZARN.LLF", "");
  put("ZARN.LLD", rmcline);
  serial->missing = "COM1";
  start("", false);
  ASSERT_TRUE(started() && saw("Taking Data from ZARN.LLD"));
  EXPECT_EQ(std::tuple(serial->opened.empty(), app->win.get<StartForm>().errmsg.visible, app->main.gpsport),
            std::tuple(true, false, "COM1"));
  waitstep = 0;
  ticks(1);
  EXPECT_FALSE(has("ZARN.LLF"));
  EXPECT_NE(app->gps.ownlat, 0) << "the linked line was read";
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
  ASSERT_TRUE(started() && programs->started.size() == 1u);
  EXPECT_EQ(std::tuple(programs->started[0].program, programs->started[0].args.empty()),
            std::tuple("ZARNINIT.BAT", true));
  EXPECT_TRUE(saw("Running ZARNINIT.BAT ..."));
  const CarbugForm& c = app->win.get<CarbugForm>();
  EXPECT_EQ(std::tuple(seen, c.caption, c.comprt.text, c.telno.text, app->main.metric),
            std::tuple(50, "Dial set-up", "COM2", "0123 456789", 1));
}

TEST_F(Startup, OneShotFixWritesTheFixOrNoData) {
  put("PULFIX.CFG", "30      seconds\r\n");
  onpass = [this] {
    if (passes == 20) serial->chunks.push_back(rmcline);
  };
  start();
  EXPECT_EQ(std::tuple(app->main.quit, app->win.zarn.visible), std::tuple(true, false)) << "no main window";
  const std::string dat = get("PULFIX.DAT");
  EXPECT_TRUE(dat.starts_with("SJ ") && dat.find("\r\n" + text::timetext(clock->now()).substr(0, 2)) != dat.npos)
      << dat;
  start();
  EXPECT_TRUE(app->main.quit && get("PULFIX.DAT").starts_with("NO DATA\r\n"));
  EXPECT_GE(app->timer(), 12 * 3600 + 30) << "after the 30 s";
  make();
  serial->missing = "COM1";
  start("", false);
  EXPECT_TRUE(app->main.quit && saw("PULFIX Error - COM Port in ZARN.CFG"));
  EXPECT_EQ(wav->beeps, 1);
}

struct Fix {
  std::string time;  // hhmmss
  float lat = 0, lon = 0;
};

// The position sentences of a log, in order.
std::vector<Fix> fixes(const std::string& log) {
  std::vector<Fix> out;
  std::istringstream in(log);
  for (std::string l; std::getline(in, l);) {
    char t[7] = {};
    double latd = 0, latm = 0, lond = 0, lonm = 0;
    if (std::sscanf(l.c_str(), "$GPRMC,%6[0-9]%*[^,],%*c,%2lf%lf,%*c,%3lf%lf", t, &latd, &latm, &lond, &lonm) == 5)
      out.push_back({t, static_cast<float>(latd + latm / 60), -static_cast<float>(lond + lonm / 60)});
  }
  return out;
}

class DemoDrive : public Startup {
 protected:
  void SetUp() override {
    make(nullptr, std::make_unique<qt::QtImageStore>());
    copydemo();
    drive = fixes(get("ZARN.NME"));
    ASSERT_GT(drive.size(), 800u);
  }
  // The own position is the fix of the time last received (by the reference tool on the grid too), as shown.
  void expectonfix() {
    const GpsState& g = app->gps;
    std::string time = g.gpstimetxt;
    std::erase(time, ':');
    const auto f = std::find_if(drive.begin(), drive.end(), [&](const Fix& x) { return x.time == time; });
    ASSERT_NE(f, drive.end()) << "time of the last fix: " << g.gpstimetxt;
    EXPECT_FLOAT_EQ(g.ownlat, f->lat) << g.gpstimetxt;
    EXPECT_FLOAT_EQ(g.ownlon, f->lon) << g.gpstimetxt;
    const auto ref = zarn::testing::toolrows({"cs2cs", "-f", "%.3f", "EPSG:4326", "EPSG:27700"}, {{f->lat, f->lon}});
    if (!ref.empty() && ref[0].size() >= 2) {
      EXPECT_NEAR(g.ownx, ref[0][0] / 1000, 0.05) << g.gpstimetxt;
      EXPECT_NEAR(g.owny, ref[0][1] / 1000, 0.05) << g.gpstimetxt;
    }
    std::string grid;
    gridreftext(app->geo, g.ownx, g.owny, grid);
    EXPECT_TRUE(app->win.zarn.gridbox.caption == grid && grid.starts_with("SJ")) << grid;
  }
  int played(const std::string& name) const {
    return static_cast<int>(std::count_if(wav->played.begin(), wav->played.end(),
                                           [&](const auto& p) { return text::ucase(p.file) == text::ucase(name); }));
  }
  // Saved beside the test program, in the build tree; the map is drawn, not a plain white window.
  void screenshot(const std::string& name) {
    qt::QtUi ui([this] { return app->win.all(); });
    ui.refresh();
    const QImage shot = ui.view(app->win.zarn)->snapshot();
    const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
    EXPECT_TRUE(shot.save(QString::fromStdString(path.string())));
    std::set<QRgb> colours;
    for (int y = 0; y < 400; y += 20)
      for (int x = 0; x < 640; x += 20) colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 5u) << "the map is shown";
  }

  std::vector<Fix> drive;
};

TEST_F(DemoDrive, StartsOnTheNationalMapAndPlaysTheDriveThroughTheNestedMaps) {
  start("", false);
  ASSERT_FALSE(app->main.quit);
  waitstep = 0;  // from here only the ticks move the clock
  for (const char* s : {"Checking Grid system ...", "Checking Configuration ...", "Checking Maps ...", "Maps are OK",
                        "Checking Location file ...", "Checking GPS COM port ...", "Checks completed. Hit ? for Help."})
    EXPECT_TRUE(statuses.count(s)) << s;
  auto& z = app->win.zarn;
  EXPECT_EQ(std::tuple(z.visible, app->win.get<StartForm>().visible, z.modebox.caption, played("$$$start.wav")),
            std::tuple(true, false, "DEM", 1));
  EXPECT_EQ(std::tuple(app->map.curmap, app->map.maptitle, app->nav.destlabel[app->nav.curdest]),
            std::tuple(1, "Great Britain and Ireland", "End of the drive"))
      << "the national map first";
  // The first tick: the introduction, the script's text and speech, the first fix.
  ticks(1);
  EXPECT_EQ(tts->said, Items{"This is a real drive, recorded near Knutsford."});
  // After the first fix the message line holds its arrival estimate.
  EXPECT_EQ(std::tuple(app->speech.msgtext, app->gps.gpstimetxt),
            std::tuple("Expected Time of Arrival is 12:00 in 19 seconds", "14:52:39"));
  expectonfix();
  EXPECT_EQ(std::tuple(app->map.maptitle, z.car.visible), std::tuple("Ashley drive (tiles)", true))
      << "the most detailed map holding the car";
  const int carleft = z.car.left, cartop = z.car.top;
  // A step every fifth tick (more than a second after the last): 60 fixes in 300 ticks.
  ticks(300);
  EXPECT_EQ(app->gps.gpstimetxt, "14:53:39");
  expectonfix();
  EXPECT_TRUE(z.car.visible && (z.car.left != carleft || z.car.top != cartop)) << "the car moved";
  EXPECT_TRUE(z.hdgbox.caption.size() == 3 && app->map.trailcount > 3) << "a heading; a trail dot every 10 s";
  // The reports so far: where we are (first due 10 s after start), the destination every 20 s.
  EXPECT_TRUE(played("weare.wav") >= 1 && played("destinat.wav") >= 3 && played("miles.wav") + played("mile.wav") >= 3);
  // Round the western turn: the map follows.
  ticks(5 * 460);
  expectonfix();
  EXPECT_TRUE(app->gps.ownx < 374.0f && app->map.maptitle == "Ashley drive (tiles)");
  screenshot("e2e-demo-drive.png");
}

// The demo's guidance file (made with the drive by tools/make_demo_guidance.py, which works out
// these fix times on its own): each instruction given once, at its fix, with its sign and
// prompt; the two "straight on" instructions in a row, for one direction, are both given.
TEST_F(DemoDrive, GivesTheGuidanceOfTheDriveOnceEachAtItsFixWithSignAndPrompt) {
  const struct { std::string time, pos; int dir; std::string wav; } expected[] = {
      {"14:53:19", "SJ 78435 84540", 276, "RGI$S.WAV"},  {"14:53:52", "SJ 77431 84583", 276, "RGI$S.WAV"},
      {"14:57:20", "SJ 73324 84144", 212, "RGI$TL.WAV"}, {"14:59:57", "SJ 72759 81842", 194, "RGI$TR.WAV"},
      {"15:00:50", "SJ 72319 82215", 315, "RGI$B.WAV"},  {"15:06:58", "SJ 78991 84514", 90, "RGI$S.WAV"}};
  start("", false);
  ASSERT_FALSE(app->main.quit);
  waitstep = 0;
  const NavState& n = app->nav;
  EXPECT_EQ(std::tuple(n.rgiexists, n.rgifile, n.rgiindexed), std::tuple(1, "ASHLEY.RGI", 1));
  auto& rgi = app->win.get<RgiForm>();
  const IForm& instruments = app->win.get<IForm>();
  std::vector<std::string> given;
  std::string last;
  int behind = 0;  // ticks after which the instruments did not show the speed of the last fix
  while (app->gps.gpstimetxt != "15:07:10") {
    ticks(1);
    ASSERT_LT(app->timer(), 13 * 3600) << "the drive ends within the hour";
    const auto kmh = static_cast<float>(static_cast<int>(app->gps.ownspd));
    behind += instruments.instspdk.caption != text::str(kmh) + " kmph";
    const std::string now = app->gps.gpstimetxt + " " + n.rgilasttext + " " + std::to_string(n.rgilastidx);
    if (n.rgilasttext.empty() || now.substr(9) == last) continue;
    last = now.substr(9);
    given.push_back(now);
    const auto& w = wav->played;
    ASSERT_TRUE(w.size() >= 2 && given.size() <= std::size(expected)) << now;
    EXPECT_EQ(text::ucase(w[w.size() - 2].file) + " " + text::ucase(w.back().file),
              "ATTENTIO.WAV " + expected[given.size() - 1].wav)
        << now;
    EXPECT_TRUE(rgi.visible && !rgi.rgitxt.caption.empty() && rgi.rgitxt.caption == app->speech.msgtext) << now;
    EXPECT_TRUE(rgi.bmp.picture || !rgi.bmp.surface.ops().empty()) << "a sign is shown at " << now;
    ticks(5 * 4 + 2);
    EXPECT_FALSE(rgi.visible) << "hidden again after five seconds";
  }
  std::vector<std::string> want;
  for (const auto& e : expected) want.push_back(e.time + " " + e.pos + " " + std::to_string(e.dir));
  EXPECT_EQ(given, want);
  EXPECT_EQ(behind, 0) << "the instruments follow every fix";
}

// Typed as a user types, into the running program's main window: a town, a grid reference, a
// bad grid reference, and a population centre looked up at every key.
TEST_F(DemoDrive, TypedSearchesFindMarkShowAndSayWhatIsTyped) {
  start("", false);
  ASSERT_FALSE(app->main.quit);
  waitstep = 0;
  ticks(1);
  Shell shell(*app);
  shell.onend = [] {}, shell.start();
  auto& z = app->win.zarn;
  const MainState& m = app->main;
  auto type = [&](const QString& keys) {
    for (QChar c : keys) {
      QWidget* w = app->main.typingmode == 1 ? shell.ui().view(z)->widget(z.search) : shell.ui().view(z);
      const Qt::Key k = c == '\r' ? Qt::Key_Return : Qt::Key(c.toUpper().unicode());
      qttest::key(w, k, {}, c);
    }
  };
  type("`Knutsford\r");
  EXPECT_EQ(std::tuple(m.foundlabel, m.foundx, m.foundy, z.sym.visible),
            std::tuple("Knutsford", 375.128f, 378.48f, true));
  EXPECT_TRUE(app->map.mapxmin < m.foundx && m.foundx < app->map.mapxmax && app->map.mapymin < m.foundy &&
              m.foundy < app->map.mapymax)
      << "the map chosen shows it: " << app->map.maptitle;
  EXPECT_NE(app->speech.msgtext.find("Knutsford"), std::string::npos) << app->speech.msgtext;
  EXPECT_TRUE(played("knutsfor.wav") > 0 || std::count(tts->said.begin(), tts->said.end(), "Knutsford") > 0)
      << "and said";
  const std::string title = app->map.maptitle;
  type("`SJ767780\r");
  EXPECT_EQ(std::tuple(m.foundlabel, m.foundwav, app->map.maptitle), std::tuple("SJ767780", "destinat.wav", title))
      << "a grid reference is found where it is; the map stays";
  EXPECT_NEAR(m.foundx, 376.7f, 0.01);
  EXPECT_NEAR(m.foundy, 378.0f, 0.01);
  type("`ZZ123456\r");
  EXPECT_EQ(m.foundlabel, "SJ767780") << "not a square: searched for as a name, and not found";
  // The population centres, third list: each key looks the typed text up.
  type("++`");
  ASSERT_EQ(m.searchlists[m.searchidx], "$LPOP.PCD");
  Items shown;
  for (const char c : std::string("NEWP")) shown.push_back((type(QString(c)), z.searchdat.text));
  EXPECT_EQ(shown, (Items{"no match", "no match", "New Alresford in United Kingdom + 73", "Newport in Ireland + 8"}));
}

// The demo driven from the keyboard as its users drive it, key events sent to the windows'
// views: a stored place by its number, made the destination, home, help, the units from the
// instruments window, the key file's remapped key, the language, and the exit question.
// The main window takes the keys at the end of start-up: a search typed before the first tick
// is not wiped by that tick.
TEST_F(DemoDrive, ASearchTypedBeforeTheFirstTickIsKept) {
  start("", false);
  ASSERT_TRUE(started() && app->win.zarn.focusrequest > 0);
  waitstep = 0;
  for (char c : std::string("`SJ 77900 ")) {
    int k = c;
    keycmd(*app, k);
  }
  ticks(1);
  for (char c : std::string("84800\r")) {
    int k = c;
    keycmd(*app, k);
  }
  EXPECT_EQ(std::tuple(app->main.foundlabel, app->main.foundx, app->main.foundy, app->win.zarn.sym.visible),
            std::tuple("SJ 77900 84800", 377.9f, 384.8f, true));
}

TEST_F(DemoDrive, KeysDriveTheDemoWithoutAMouse) {
  start("", false);
  ASSERT_FALSE(app->main.quit);
  waitstep = 0;
  ticks(1);
  Shell shell(*app);
  int ends = 0;
  shell.onend = [&] { ++ends; }, shell.start();
  auto& z = app->win.zarn;
  const MainState& m = app->main;
  const NavState& n = app->nav;
  auto press = [&](ui::Form& f, const QString& keys, Qt::KeyboardModifiers mods = {}) {
    for (QChar c : keys) {
      const Qt::Key k = c == '\x1b' ? Qt::Key_Escape : Qt::Key(c.toUpper().unicode());
      qttest::key(shell.ui().view(f), k, mods, mods ? QString() : QString(c));
    }
  };
  press(z, "1");
  EXPECT_EQ(std::tuple(m.foundlabel, m.foundref, z.sym.visible), std::tuple("Knutsford", "SJ 75128 78480", true));
  EXPECT_EQ(app->speech.msgtext, "OK   1 Knutsford");
  press(z, "d");
  EXPECT_EQ(std::tuple(n.nodest, n.destlabel[n.curdest]), std::tuple(0, "Knutsford"));
  press(z, "H");
  EXPECT_EQ(std::tuple(n.nodest, n.destlabel[n.curdest], z.home.visible), std::tuple(0, "Home", true));
  press(z, "D", Qt::ControlModifier);
  EXPECT_EQ(std::tuple(n.nodest, z.dest.visible), std::tuple(1, false)) << "Ctrl+D clears it";
  press(z, "?");
  EXPECT_TRUE(z.Help.visible);
  press(z, "?");
  EXPECT_FALSE(z.Help.visible);
  IForm& i = app->win.get<IForm>();
  ASSERT_TRUE(i.visible) << "DIALS.CFG shows the instruments";
  press(i, "U");
  EXPECT_EQ(std::tuple(m.metric, z.showcmd.caption), std::tuple(1, "U")) << "a key pressed in another window";
  const int before = played("weare.wav");
  press(z, "=");
  EXPECT_EQ(std::tuple(z.showcmd.caption, played("weare.wav")), std::tuple("W", before + 1)) << "ZARN.KCF: = is W";
  press(z, "J");
  EXPECT_EQ(std::tuple(app->speech.langprefix, app->speech.syntaxmode, played("DEhello.wav")), std::tuple("DE", 1, 1))
      << "German, greeted in German";
  press(z, "J");
  EXPECT_EQ(std::tuple(app->speech.langprefix, app->speech.syntaxmode), std::tuple("", 0)) << "and back after the last";
  press(z, "JB");
  EXPECT_EQ(app->speech.langprefix, "") << "B: back at once";
  dialogs->answers = {platform::mb::idno};
  press(z, "\x1b");
  EXPECT_EQ(std::tuple(m.quit, dialogs->shown.back().title, ends), std::tuple(false, "Exit ZARN ?", 0)) << "No";
  dialogs->answers = {platform::mb::idyes};
  press(z, "\x1b");
  EXPECT_EQ(std::tuple(m.quit, ends, shell.timer().isActive()), std::tuple(true, 1, false)) << "Yes ends it";
  EXPECT_FALSE(has("ZARNLAST.DAT")) << "no live receiver: no position kept";
}

TEST_F(DemoDrive, FollowsTheDriveFromALiveReceiverOnTheSerialPort) {
  testing::Pty pty;
  ASSERT_FALSE(pty.path.empty());
  ::fcntl(pty.master, F_SETFL, ::fcntl(pty.master, F_GETFL) | O_NONBLOCK);
  ::setenv("ZARN_COM1", pty.path.c_str(), 1);
  make(std::make_unique<platform::TermiosSerial>(), std::make_unique<qt::QtImageStore>());
  start("", false);
  waitstep = 0;
  ::unsetenv("ZARN_COM1");
  ASSERT_TRUE(app->sys.serial->isopen() && !app->win.get<StartForm>().errmsg.visible)
      << "COM1 of ZARN.CFG is the pseudo-terminal";
  // About a second of the recorded output every four ticks, handed over a moment after writing.
  std::ifstream log(std::string(ZARN_TEST_DATA) + "/nmea/drive/cheshire-2020-10-26.nmea");
  std::string chunk, lastrmc;
  int n = 0;
  for (std::string l; n < 90 * 13 && std::getline(log, l); ++n) {
    chunk += l + "\r\n";
    if (l.starts_with("$GPRMC")) lastrmc = l;
    if ((n + 1) % 13 != 0) continue;
    (void)!::write(pty.master, chunk.data(), chunk.size());
    chunk.clear();
    for (int i = 0; i < 2000 && app->sys.serial->inbuffercount() <= 0; ++i) ::usleep(1000);
    ticks(4);
  }
  auto& z = app->win.zarn;
  EXPECT_EQ(std::tuple(z.modebox.caption, z.llbox.backcolor), std::tuple("GPS", ui::green));
  for (const std::string& t : tts->said) EXPECT_NE(t, "This is a real drive, recorded near Knutsford.") << "no demo";
  drive = fixes(lastrmc);  // the last position fed is where the car is
  ASSERT_EQ(drive.size(), 1u);
  expectonfix();
  EXPECT_EQ(app->map.maptitle, "Ashley drive (tiles)");
  EXPECT_TRUE(played("weare.wav") >= 1 && played("destinat.wav") >= 3);
  screenshot("e2e-live-drive.png");
}

TEST_F(DemoDrive, TheFleetDemoPlotsItsVehiclesAndListsThem) {
  put("ZARN.MCV", get("fleet/ZARN.MCV"));  // a base station
  start("", false);
  ASSERT_FALSE(app->main.quit);
  waitstep = 0;
  // Two minutes of the recorded link log, noting each alert as it pops up.
  std::vector<std::string> codes;
  for (int t = 0; t < 4 * 120; ++t) {
    const long seq = app->veh.alarmshown.seq;
    ticks(1);
    if (app->veh.alarmshown.seq != seq) codes.push_back(app->veh.alarmshown.code);
  }
  const VehicleTable& v = app->veh;
  auto& z = app->win.zarn;
  int shown = 0, lines = 0;
  for (int i = 1; i <= v.mvtotal; ++i) {
    shown += z.mvim.exists(i) && z.mvim[i].visible && v.mvloc[i] != "    ";
    lines += z.mvv.exists(i) && (z.mvv[i].x1 != z.mvv[i].x2 || z.mvv[i].y1 != z.mvv[i].y2);
  }
  EXPECT_TRUE(v.mvtotal == 7 && shown >= 5 && lines >= 3) << v.mvtotal << " " << shown << " " << lines;
  // Within the two minutes a coded message and an alarm have popped up.
  EXPECT_EQ(codes, (std::vector<std::string>{"12", "01"}));
  EXPECT_TRUE(app->win.get<MvAlarmForm>().visible);
  const auto& rows = app->win.get<MvForm>().mvdata;
  EXPECT_NE(rows[0].caption.find(text::trim(v.mvlabel[1])), std::string::npos) << rows[0].caption;
  EXPECT_EQ(app->map.maptitle, "Ashley drive (tiles)") << "the map follows the selected vehicle";
  const auto sel = static_cast<std::size_t>(v.mvsel);
  EXPECT_FIELDS(Fields()
                    .FIELD(app->gps.ownx, v.mvx[sel])
                    .FIELD(app->gps.ownhdg, v.mvhdg[sel])
                    .FIELD(app->gps.ownspd, v.mvspd[sel] * 1.61f))
      << "the selected vehicle is the own fix, its mph in km/h";
  screenshot("e2e-fleet.png");
  qt::QtUi ui([this] { return app->win.all(); });
  ui.refresh();
  EXPECT_TRUE(ui.view(app->win.get<MvForm>())->snapshot().save(QString::fromStdString(
      (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "e2e-fleet-list.png").string())));
}

// The fleet demo as scripts/start.sh sets it up starts with its dial panel shown, which holds the
// replay: the message line says so, and how to let it go on, for as long as the panel is up.
// Until a vehicle's position arrives there is nothing to measure the destination's distance from.
TEST_F(DemoDrive, TheFleetDemoSaysWhatHoldsItsReplayAndMeasuresNoDistanceBeforeAPosition) {
  for (const char* f : {"ZARN.MCV", "ZARNDIAL.CFG"}) put(f, get(std::string("fleet/") + f));
  start("", false);
  ASSERT_FALSE(app->main.quit);
  waitstep = 0;
  auto& z = app->win.zarn;
  const std::string hint = "The replay waits for the dial panel: Ctrl+P or Cancel puts it away";
  ASSERT_TRUE(app->win.get<DialForm>().visible);
  // Once the message line is free (the start's own messages go after 10 s), for as long as the
  // panel is up: beyond the 10 s a message is shown.
  for (int t = 0; t < 4 * 12 && z.saytxt.caption != hint; ++t) ticks(1);
  for (int t = 0; t < 4 * 25; ++t) {
    ASSERT_TRUE(z.saytxt.visible && z.saytxt.caption == hint) << t / 4.0 << " s: " << z.saytxt.caption;
    ticks(1);
  }
  const auto plotted = [&] {
    int n = 0;
    for (int v = 1; v <= app->veh.mvtotal; ++v) n += z.mvim.exists(v) && z.mvim[v].visible && app->veh.mvloc[v] != "    ";
    return n;
  };
  IForm& i = app->win.get<IForm>();
  EXPECT_EQ(std::tuple(plotted(), z.disbox.caption, z.dirbox.caption, i.visible, i.instdd.caption),
            std::tuple(0, "", "", true, ""));
  int key = 16;  // Ctrl+P
  keycmd(*app, key);
  ASSERT_FALSE(app->win.get<DialForm>().visible);
  ticks(4 * 20);
  EXPECT_GT(plotted(), 0);
  EXPECT_NE(z.saytxt.caption, hint);
  EXPECT_TRUE(!isnopos(app->gps.ownx, app->gps.owny) && !z.disbox.caption.empty() && !i.instdd.caption.empty())
      << z.disbox.caption << " / " << i.instdd.caption;
}

// The control panel's three demos play from the demo set: the direction-finding demo draws its
// bearing lines and takes a cross fix near the transmitter; the car demo, whatever destination
// that left, drives towards the drive's end with its guidance spoken; the cell demo moves the car
// from the centre of one 1 km cell to the next.
TEST_F(DemoDrive, TheControlPanelsDemosPlayTheirDrivesFromTheDemoSet) {
  start("", false);
  ASSERT_FALSE(app->main.quit);
  waitstep = 0;
  ticks(1);
  const NavState& n = app->nav;
  const GpsState& g = app->gps;
  auto& z = app->win.zarn;
  const auto demo = [&](ui::Button CForm::*button) {
    showcform(*app);
    (app->win.get<CForm>().*button).onClick();
  };

  demo(&CForm::dfdemo);
  ticks(5 * 125);  // two minutes: a bearing every 10 s
  int drawn = 0;
  for (int i = 0; i < n.dfn; ++i) drawn += z.brg.exists(i) && z.brg[i].visible;
  EXPECT_EQ(std::tuple(g.replayfile, n.dfn, drawn), std::tuple("DFDEMO.NME", 10, 10));
  float tx = 0, ty = 0;
  lltoosgb(app->geo, 53.35f, -2.335f, tx, ty);
  ASSERT_TRUE(n.dfprevt.has_value()) << "a cross fix was taken";
  const float off = std::hypot(n.destx[n.curdest] - tx, n.desty[n.curdest] - ty);
  EXPECT_LT(off, 1.0f) << "near the transmitter";
  std::cout << "the cross fix " << off * 1000 << " m from the transmitter\n";
  EXPECT_TRUE(n.curdest == n.adhocdest && n.nodest == 0 && z.dest.visible && z.destlab.visible)
      << "the fix is the destination";
  screenshot("e2e-dfdemo.png");

  demo(&CForm::democmd);
  const int guided = played("RGI$S.WAV");
  for (int i = 0; i < 5 * 60 && played("RGI$S.WAV") == guided; ++i) ticks(1);
  EXPECT_EQ(std::tuple(g.replayfile, n.destlabel[n.curdest], n.rgifile, app->win.get<RgiForm>().rgitxt.caption,
                       g.gpstimetxt),
            std::tuple("DEMO.NME", "End of the drive", "ASHLEY.RGI", "Straight on along the main road", "14:53:19"))
      << "the first instruction, at its fix";
  expectonfix();

  demo(&CForm::celldemocmd);
  const auto cell = [&] { return std::pair(std::floor(g.ownx), std::floor(g.owny)); };
  const auto centred = [&] {
    return std::abs(g.ownx - cell().first - 0.5f) < 0.002f && std::abs(g.owny - cell().second - 0.5f) < 0.002f;
  };
  ticks(5 * 10);
  EXPECT_TRUE(g.replayfile == "CELLDEMO.NME" && centred()) << g.ownx << " " << g.owny;
  const auto first = cell();
  ticks(5 * 120);
  EXPECT_TRUE(centred() && cell() != first) << g.ownx << " " << g.owny;
}

// "*" starts the chosen demo again from its beginning; "|" stops it and points the replay back at
// the plain drive, which a "*" after it starts.
TEST_F(DemoDrive, StarRestartsTheChosenDemoAndAfterABarThePlainDrive) {
  start("", false);
  ASSERT_FALSE(app->main.quit);
  waitstep = 0;
  ticks(1);
  Shell shell(*app);
  shell.start();
  const GpsState& g = app->gps;
  const auto press = [&](char c) { qttest::key(shell.ui().view(app->win.zarn), Qt::Key(c), {}, QString(QChar(c))); };
  const auto at = [&] { return std::pair(g.ownx, g.owny); };
  showcform(*app);
  app->win.get<CForm>().celldemocmd.onClick();
  ticks(5 * 10);
  const auto early = at();
  ticks(5 * 60);
  ASSERT_NE(at(), early) << "the cell demo moves on";
  press('*');
  EXPECT_EQ(std::tuple(g.replayfile, app->main.demoon, app->win.zarn.modebox.caption), std::tuple("CELLDEMO.NME", 1, "DEM"));
  ticks(5 * 10);
  EXPECT_EQ(at(), early) << "from its beginning again";
  press('|');
  EXPECT_EQ(std::tuple(g.replayfile, app->main.demoon), std::tuple("ZARN.NME", 0));
  press('*');
  ticks(5 * 10);
  EXPECT_EQ(std::tuple(g.replayfile, app->main.demoon), std::tuple("ZARN.NME", 1));
  expectonfix();  // on a fix of the plain drive
}

}  // namespace
}  // namespace zarn::test
