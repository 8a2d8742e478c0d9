// The replay player, the main tick's rules, small services, the read-outs, demo start and stop.
#include <cmath>
#include <map>

#include "gpsinput/fform.h"
#include "gpsinput/logs.h"
#include "mainwindow/cform.h"
#include "mainwindow/demo.h"
#include "mainwindow/keys.h"
#include "mainwindow/readouts.h"
#include "mainwindow/replay.h"
#include "mainwindow/secondary.h"
#include "mainwindow/smallservices.h"
#include "mainwindow/tick.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/symbols.h"
#include "platform/printer.h"
#include "navigation/destinations.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "vehicles/alerts.h"
#include "support//app_fixture.h"
#include "support/builders.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

// Sentences near Ashley, with their checksums.
const std::string gga = "$GPGGA,145239.00,5321.4874,N,00218.3697,W,2,14,,62.60,M,50.137,M,,*56";
const std::string rmc = "$GPRMC,145240.00,A,5321.4835,N,00218.3930,W,52.2778,253.784,261020,-1.2,W*78";
const std::string gsv = "$GPGSV,3,1,12,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75";
const std::string gsa = "$GPGSA,A,3,,,,,,,,,,,,,1.4,0.8,1.1*3F";
const std::string intro = "Let me show you something I did earlier ..";

class Replay : public AppTest {
 protected:
  void ready() override {
    std::tie(app->gps.replayfile, app->speech.ttsavail, waitstep) = std::tuple("TEST.NME", 1, 0.0);
    squares({{"SJ", 300, 300}});
  }
  // A replay file of the lines, read from its start; then one step of it.
  bool step(const Items& lines, const std::string& name = "TEST.NME") {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    put(name, s);
    app->gps.replay.reset();
    return replaystep(*app);
  }
  // Bytes of the replay file read so far.
  std::size_t readpos() const { return app->gps.replay ? app->gps.replay->position() : 0; }
};

TEST_F(Replay, OneStepTakesInOneFix) {
  step({gga, gsv, rmc, gsv, gsv, "", rmc});
  EXPECT_EQ(app->main.steptype, "GGA") << "GGA ends the first step";
  for (const auto& [type, guards] : {std::pair{"RMC", "GSV is read with the RMC"}, {"GSV", "a repeated type ends it"},
                                     {"", "an empty line read first ends it at once"}}) {
    const std::size_t before = readpos();
    EXPECT_TRUE(replaystep(*app));
    EXPECT_EQ(app->main.steptype, type) << guards;
    EXPECT_TRUE(*type || readpos() == before + 2) << guards;
  }
  EXPECT_EQ(app->gps.gpstimetxt, "14:52:40");
  EXPECT_FLOAT_EQ(app->gps.ownlat, 53 + 21.4835f / 60);
  app->gps.replayfile = "TEST.AGD";  // every line of a receiver log is a step
  step({"first line", "second line"}, "TEST.AGD");
  EXPECT_EQ(readpos(), std::string("first line\r\n").size());
}

TEST_F(Replay, ScriptCommandsInTheDemoOnlyAndMarkerLines) {
  EXPECT_TRUE(step({"SAY Not spoken", "TXT Not shown", "KEY \"`abc\"", rmc}));
  EXPECT_EQ(std::tuple(tts->said.empty(), app->speech.msgtext == "Not shown", app->main.typingmode),
            std::tuple(true, false, 0))
      << "outside the demo script lines only reach the parser";
  app->main.demoon = 1;
  EXPECT_TRUE(step({"SAY This is spoken", "TXT This is shown", "XTO-1000 metres west", "YTO 500", "CHA", rmc}));
  EXPECT_EQ(std::tuple(tts->said, app->speech.msgtext, app->gps.gpscorre, app->gps.gpscorrn),
            std::tuple(Items{"This is spoken"}, "This is shown", -1.0f, 0.5f));
  EXPECT_EQ(std::tuple(app->main.steptype, app->main.chaseon), std::tuple("RMC", 0))
      << "script lines do not end the step; CHA alone is no command";
  wavfile("spoken.wav");
  app->speech.talkon = 0;
  EXPECT_TRUE(step({"SAY spoken.wav", "SAY more", rmc}));
  EXPECT_EQ(std::tuple(played(), app->main.steptype, app->speech.talkon), std::tuple(Items{"spoken.wav"}, "RMC", 0))
      << "SAY lines do not use up a step; sound left as it was";
  step({"KEY \"`KNUTSF\"", rmc});
  EXPECT_EQ(std::tuple(app->win.zarn.search.visible, app->main.typingmode), std::tuple(false, 0))
      << "the grave accent starts typed entry, ended by running the typed command, which closes the box";
  std::tie(app->win.zarn.home.visible, app->speech.talkon, app->speech.wavcount) = std::tuple(true, 1, 2);
  step({"nohome", "Silent", rmc});  // marker lines
  EXPECT_EQ(std::tuple(app->win.zarn.home.visible, app->main.nohome, app->main.trailperline, app->speech.talkon,
                       app->speech.talkstop, app->speech.wavcount),
            std::tuple(false, 1, 0, 0, 1, 0));
  step({"DEM trail", rmc});
  EXPECT_EQ(app->main.trailperline, 1);
}

TEST_F(Replay, TheFileLoopsAndTheIntroductionComesOnlyWithADemoStart) {
  std::tie(app->main.demorestart, app->main.demoon, app->win.zarn.modebox.caption) = std::tuple(1, 1, "<-");
  EXPECT_TRUE(step({rmc}));
  EXPECT_EQ(std::tuple(app->win.zarn.modebox.caption, app->speech.msgtext), std::tuple("DEM", intro))
      << "the pointer read-out gives way";
  app->speech.msgtext.clear();
  EXPECT_TRUE(replaystep(*app)) << "the end: the file starts again";
  EXPECT_EQ(std::tuple(app->gps.gpstimetxt, app->speech.msgtext), std::tuple("14:52:40", "")) << "silently";
  app->main.demoreopen = 1;
  EXPECT_TRUE(replaystep(*app));
  EXPECT_EQ(std::tuple(app->speech.msgtext, app->main.demoreopen), std::tuple(intro, 0));
}

TEST_F(Replay, AStepEndsInsideItsTickWhateverTheFileHolds) {
  app->main.demoon = 1;
  for (const auto& [guards, lines, file] :
       {std::tuple{"only spoken and shown lines", Items{"SAY one", "TXT two", "SAY three"}, "TEST.NME"},
        {"sentences that never end a step", Items{gsa, gsv, gsa, gsv}, "TEST.NME"},
        {"an empty file", Items{}, "TEST.NME"}, {"no file at all", Items{}, "NONE.NME"}}) {
    app->gps.replayfile = file;
    const long before = events->calls;
    EXPECT_TRUE(step(lines)) << guards;
    EXPECT_LE(events->calls - before, 2 * MainState::steplinemax + 2) << guards << ": a bounded number of lines";
  }
  app->gps.replayfile = "TEST.NME";
  tts->said.clear();
  step({"SAY one", "TXT two"});
  EXPECT_LE(tts->said.size(), 2u) << "at most one rewind in a step";
}

TEST_F(Replay, FastReplayCatchesUpSlowReplayNever) {
  std::tie(waitstep, app->main.stepsecs) = std::tuple(0.6, 0.5f);  // each pass of events longer than a step
  step({rmc, gga, rmc, gga, rmc, gga});
  EXPECT_GT(readpos(), rmc.size() + 2) << "more than one fix in the tick";
  std::tie(waitstep, app->main.stepsecs) = std::tuple(2.0, 1.0f);
  app->gps.replay.reset();
  replaystep(*app);
  EXPECT_EQ(readpos(), rmc.size() + 2) << "one fix per tick above half a second";
}

class Tick : public AppTest {
 protected:
  void ready() override {
    std::tie(waitstep, app->main.stepsecs, app->main.initmark) = std::tuple(0.0, 1e9f, 1234);  // no replay step
    app->main.lastclick = app->timer() - 60;
    app->speech.msgtime = app->main.searchtime = app->timer();
  }
  void tick(double after = 0.25) {
    clock->advance(after);
    Timer1_Timer(*app);
  }
  // Replay steps due on every tick, from a file that does not exist.
  void stepping() { std::tie(app->main.stepsecs, app->gps.replayfile) = std::tuple(1.0f, "NONE.NME"); }
};

TEST_F(Tick, NeverRunsInsideItselfThroughTheWaitsOfItsSteps) {
  // A replay step and the reports let events run; the timer may fire meanwhile.
  put("ZARN.NME", "SAY one\r\n" + rmc + "\r\n");
  std::tie(app->gps.replayfile, app->main.stepsecs, app->main.demoon) = std::tuple("ZARN.NME", 1.0f, 1);
  long inner = 0;
  events->hook = [&] {
    ++inner;
    Timer1_Timer(*app);
  };
  for (int i = 0; i < 12; ++i) tick(0.5);
  EXPECT_EQ(std::tuple(app->main.ticks, app->main.tickbusy_guard), std::tuple(12, false));
  EXPECT_GT(inner, 12) << "events did run inside the ticks";
}

// Things the tick ends after their time: a placed symbol's leader line after 3 s, an open
// search box after 3 minutes, and the periodic command every pollint seconds (shown even with
// sound off).
TEST_F(Tick, TimedHousekeeping) {
  MainState& m = app->main;
  ZarnForm& z = app->win.zarn;
  copydemo();
  std::tie(m.foundx, m.foundy, m.pollint, m.pollcmd, m.pollmsg, m.lastsent) =
      std::tuple(375.0f, 378.0f, 5, "AT\r", "Polling", app->timer());
  std::tie(z.search.visible, m.typingmode, m.refname, m.prevmode) = std::tuple(true, 1, "TEXT", "OUR CAR");
  app->speech.talkon = 0;
  placesymbol(*app, "L", 100, 100, 200, 200);
  tick(2.5);
  EXPECT_EQ(std::tuple(z.vecto.visible, serial->sent), std::tuple(true, "")) << "2.5 s";
  tick(2.5);
  EXPECT_EQ(std::tuple(z.vecto.visible, serial->sent, app->speech.msgtext), std::tuple(false, "AT\r", "Polling"));
  tick(170);
  EXPECT_TRUE(z.search.visible) << "175 s";
  tick(10);
  EXPECT_EQ(std::tuple(z.search.visible, m.typingmode, m.refname), std::tuple(false, 0, "OUR CAR")) << "185 s";
  // With no typed entry open (the list shown by "+", then the reference swapped by "/"), the
  // label stays what it is now.
  std::tie(z.search.visible, m.refname, m.prevmode) = std::tuple(true, "DESTINATION", "OUR CAR");
  m.searchtime = app->timer();
  tick(185);
  EXPECT_EQ(std::tuple(z.search.visible, m.refname), std::tuple(false, "DESTINATION"));
  // The guidance trace joins its numbers with nothing between.
  std::tie(app->nav.rgitest, app->nav.rgicount, app->nav.rgicells, app->nav.rgifile) = std::tuple(1, 4, 6, "D.RGI");
  at(*clock, "12:00:00");
  tick(1);
  EXPECT_EQ(z.rgitrace.caption, "4 RGI from6 in D.RGI at 12:00:01");
}

TEST_F(Tick, SpeedColourBoundaries) {
  stepping();  // no data, but a finished step each time
  for (const auto& [mph, colour] : {std::pair{0.0f, ui::green}, {30.0f, ui::green}, {30.5f, ui::yellow},
                                    {70.0f, ui::yellow}, {71.0f, ui::red}}) {
    ownspeed(*app, mph * 1.61f);
    tick(1.5);
    EXPECT_EQ(app->win.zarn.spdbox.backcolor, colour) << mph;
  }
}

TEST_F(Tick, ModalWindowsStopTheServicesButNotTheHousekeepingAndAClickHoldsTheReplay) {
  serial->chunks.push_back("$GPRMC\r\n");
  app->gps.gpsoncom = 1;
  app->win.zarn.saytxt.visible = app->win.zarn.Help.visible = true;
  tick(11);
  EXPECT_EQ(std::tuple(serial->chunks.size(), app->win.zarn.saytxt.visible), std::tuple(1u, false))
      << "no serial poll while help shows; the message line still goes after 10 s";
  app->win.zarn.Help.visible = false;
  tick();
  EXPECT_TRUE(serial->chunks.empty());
  stepping();
  app->main.lastclick = app->timer();
  tick(2);
  EXPECT_EQ(app->main.laststep, 0) << "clicked 2 s ago: no replay step";
  tick(2);
  EXPECT_GT(app->main.laststep, 0);
}

// The focus step gives the main window the keys back 10 s after the user's last action, and a
// window used from the keyboard alone is in use: a key passed on, a key typed into one of its
// boxes, or its taking the keys.
TEST_F(Tick, AWindowUsedFromTheKeyboardKeepsTheKeysForTenSeconds) {
  MvForm& mv = app->win.get<MvForm>();
  CForm& c = cformwindow(*app);
  FForm& f = app->win.get<FForm>();
  wirekeys(*app);
  showfform(*app);
  f.hide();
  c.show();
  app->main.lastclick = app->timer() - 60;
  ZarnForm& z = app->win.zarn;
  const auto takes = [&](double after) {
    const long before = z.focusrequest;
    tick(after);
    return z.focusrequest != before;
  };
  EXPECT_TRUE(takes(1)) << "a minute without use";
  const std::pair<const char*, std::function<void()>> uses[] = {
      {"a key passed on by the control panel", [&] { int k = '['; c.onKeyPress(k); }},
      {"a key typed into the control panel's call-sign box", [&] { c.onBoxKey(); }},
      {"the control panel taking the keys", [&] { c.onGotFocus(); }},
      {"a key typed into the vehicle window's code box", [&] { mv.onBoxKey(); }},
      {"the playback window taking the keys", [&] { f.onGotFocus(); }},
  };
  for (const auto& [use, act] : uses) {
    clock->advance(20);
    act();
    EXPECT_FALSE(takes(9.5)) << use;
    EXPECT_TRUE(takes(1)) << use << ", 10.5 s after";
  }
  // A key left for the tick by another window goes once a code is typed into the box.
  app->main.lastkey = 'M';
  int down = 'M';
  mv.mtx.onKeyDown(down, 0);
  EXPECT_EQ(app->main.lastkey, 0);
}

// Keys the user put into a text box of another window stay there however long the pause between
// two of them; once they are not in such a box, the focus step takes them back as before.
TEST_F(Tick, TheKeysInAnotherWindowsTextBoxStayThereAfterAnyPause) {
  MvForm& mv = app->win.get<MvForm>();
  ZarnForm& z = app->win.zarn;
  mv.show();
  app->main.lastclick = app->timer() - 60;
  const auto takes = [&] {
    const long before = z.focusrequest;
    tick(1);
    return z.focusrequest != before;
  };
  const std::tuple<const char*, bool, bool, bool, bool> cases[] = {
      // case, the vehicle window shown, its box has the keys, the main window's has, taken back
      {"the vehicle window shown, its Send box not in use", true, false, false, true},
      {"the keys in the Send box a minute after the last key", true, true, false, false},
      {"the vehicle window hidden", false, true, false, true},
      {"the main window's own box", true, false, true, true},
  };
  for (const auto& [guards, shown, box, ownbox, taken] : cases) {
    std::tie(mv.visible, mv.boxfocus, z.boxfocus) = std::tuple(shown, box, ownbox);
    EXPECT_EQ(takes(), taken) << guards;
  }
}

TEST_F(Tick, ReportsByTheirIntervals) {
  MainState& m = app->main;
  m.repint = {0, 60, 20, 60};  // where we are, the destination, the direction
  const float t0 = app->timer();
  m.herereptime = m.destreptime = m.dirreptime = t0;
  tick(100);
  EXPECT_EQ(m.herereptime, t0) << "no fix yet: no reports";
  ownfix(*app, 53.3f, -2.3f);
  tick(1);
  EXPECT_EQ(std::tuple(m.herereptime > t0, m.destreptime > t0, m.dirreptime), std::tuple(true, true, t0))
      << "the direction report waits for a heading";
  ownheading(*app, 90);
  const float here = m.herereptime, dest = m.destreptime;
  tick(20);
  EXPECT_EQ(std::tuple(m.dirreptime > t0, m.destreptime > dest, m.herereptime), std::tuple(true, true, here))
      << "20 s: at least the destination's interval, not more than 60";
  m.repint[2] = 0;
  const float dest2 = m.destreptime;
  tick(100);
  EXPECT_EQ(m.destreptime, dest2) << "interval 0: off";
}

TEST_F(Tick, TrailDotsByTheIntervalAndMidnightPullsTheLastStepBack) {
  MainState& m = app->main;
  app->map.histint = 2;  // 60 s
  const float t0 = m.lasttrail = app->timer();
  tick(30);
  EXPECT_EQ(m.lasttrail, t0);
  tick(31);
  const float t1 = m.lasttrail;
  EXPECT_GT(t1, t0);
  m.trailperline = 1;
  tick();
  EXPECT_GT(m.lasttrail, t1) << "the demo's DEM line: every tick";
  m.laststep = 86399;
  at(*clock, "23:59:59.5");
  tick(1);
  EXPECT_LT(m.laststep, 10);
}

// A replay file that cannot be opened is named on the message line with the reason (even with
// sound off), once, though every step tries it again; a demo start names it afresh, and once the
// file is there the next step plays it.
TEST_F(Tick, AReplayThatCannotBeOpenedIsNamedOnceUntilTheDemoStartsAgain) {
  stepping();
  app->speech.talkon = 0;
  std::map<std::string, int> named;
  const auto ticks = [&](int n) {
    for (int i = 0; i < n; ++i) {
      tick(1.5);
      if (!app->speech.msgtext.empty()) ++named[app->speech.msgtext];
      app->speech.msgtext.clear();
    }
  };
  ticks(8);
  EXPECT_EQ(named, (std::map<std::string, int>{{"Cannot replay NONE.NME: no such file", 1}}));
  std::filesystem::create_directory(dir / "DIR.NME");
  setreplayfile(app->gps, "DIR.NME");
  ticks(8);
  startdemo(*app);
  ticks(8);
  EXPECT_EQ(named["Cannot replay DIR.NME: not a regular file"], 2) << "chosen, then the demo started again";
  std::filesystem::remove(dir / "DIR.NME");
  put("DIR.NME", rmc + "\r\n");
  ticks(2);
  EXPECT_EQ(std::tuple(app->gps.gpstimetxt, named["Cannot replay NONE.NME: no such file"],
                       named["Cannot replay DIR.NME: not a regular file"]),
            std::tuple("14:52:40", 1, 2))
      << "played, and nothing more named";
}


// "Z" then "/" on the demo with the maps stretched to a screen of 1280 x 1024: the tiled map
// follows the destination. Its load redraws the map and the redraw marks the destination, which
// once chose the map again, found it off the centre of a 640 x 480 picture, loaded it again, and
// so on until the stack ran out.
TEST_F(Tick, TheTiledMapFollowsTheDestinationWithoutAMapChangeInsideAnother) {
  MapView& v = app->map;
  NavState& n = app->nav;
  std::tie(v.scrwidth, v.scrheight, v.mapzoom) = std::tuple(1280.0f, 1024.0f, 1);
  demomaps(*app);
  const auto current = [&] { return v.mapname[static_cast<std::size_t>(v.curmap)]; };
  ownfixat(*app, "SJ 75300 84700");
  float dx = 0, dy = 0;
  parsepos(app->geo, "SJ 79227 84523", dx, dy);
  ASSERT_TRUE(putdest(n, "SJ 79227 84523", dx, dy, "End of the drive"));
  n.nodest = 0;
  onemap(*app, "0LOCAL");
  v.minscale = 0.0001f;
  zoomnextmap(*app);
  ASSERT_EQ(current(), "DRIVE");
  app->main.refdest = 1;
  tick();
  EXPECT_NEAR((v.mapxmin + v.mapxmax) / 2, dx, 1e-3) << "centred on the destination";
  EXPECT_FALSE(v.mapbusy());
  // 100 pixels a km: 39 pixels off the centre of the screen keeps the view, 41 moves it.
  const float xmin = v.mapxmin;
  n.destx[static_cast<std::size_t>(n.curdest)] = dx + 0.39f;
  tick();
  EXPECT_EQ(v.mapxmin, xmin);
  n.destx[static_cast<std::size_t>(n.curdest)] = dx + 0.41f;
  tick();
  EXPECT_NEAR((v.mapxmin + v.mapxmax) / 2, dx + 0.41f, 1e-3);

  // A map loaded by its number (the control panel's list) stays through its own redraw, though
  // the map follows a destination it is not chosen for; the next tick chooses that map.
  onemap(*app, "GBIRL");
  EXPECT_EQ(current(), "GBIRL");
  tick();
  EXPECT_EQ(current(), "DRIVE");
}

using Services = AppTest;

TEST_F(Services, GreetingByTheTimeOfDayAndCodedMessages) {
  for (const auto& [hour, seconds, name] : {std::tuple{5, 0, "hello"}, {5, 1, "goodmorn"}, {12, 0, "goodmorn"},
                                            {12, 1, "goodafte"}, {18, 1, "goodeven"}, {22, 0, "goodeven"},
                                            {22, 1, "hello"}})
    EXPECT_EQ(greetingname(static_cast<float>(hour * 3600 + seconds)), name) << hour << " h " << seconds << " s";
  put("CMESSAGE.CFG", "4\r\n\"a1\",\"lower\",x.ico,1\r\nA1,\"Help, now\",alarm.ico,NULL\r\nA1,2nd,y.ico,2\r\nB2,cut");
  std::string code = "A1", icon, extra;
  cmessage(app->files, code, code, icon, extra);
  EXPECT_EQ(std::tuple(code, icon), std::tuple("Help, now", "alarm.ico")) << "in place; the first of two; case matters";
  cmessage(app->files, "B2", code, icon, extra);
  EXPECT_EQ(std::tuple(code, icon, extra), std::tuple("B2", "NULL", "NULL")) << "a record the file's end cuts short";
  put("CMESSAGE.CFG", "3\r\nC3,up,..\\..\\out.ico,1\r\nD4,abs,/etc/passwd,2\r\nE5,in,ICONS\\E.ICO,3\r\n");
  for (const auto& [key, want] : {std::pair{"C3", "NULL"}, {"D4", "NULL"}, {"E5", "ICONS\\E.ICO"}}) {
    cmessage(app->files, key, code, icon, extra);
    EXPECT_EQ(icon, want) << key << ": an icon name stays in the working folder";
  }
}

TEST_F(Services, PictureViewerGetsItsNameThroughItsFileNeverACommandLine) {
  runpicviewr(app->voice, "clip.avi; rm -rf / $(reboot)");
  EXPECT_EQ(get("PICVIEWR.CFG"), "clip.avi; rm -rf / $(reboot)\r\n");
  ASSERT_EQ(programs->started.size(), 1u);
  const auto& p = programs->started[0];
  EXPECT_EQ(std::tuple(p.program, p.args.empty(), p.wait), std::tuple("PICVIEWR.EXE", true, false));
  runpicviewr(app->voice, "");
  EXPECT_EQ(get("PICVIEWR.CFG"), "clip.avi; rm -rf / $(reboot)\r\n") << "an empty name leaves the old file";
  programs->succeed = false;
  runpicviewr(app->voice, "");
  EXPECT_NE(app->speech.msgtext.find("PICVIEWR.EXE"), std::string::npos) << "a failed start is reported";
}

TEST_F(Services, APrinterFailureSwitchesPrintingOff) {
  app->gps.printon = 1;
  printline(app->voice, app->gps, app->win, "LOG one");
  EXPECT_EQ(printer->lines, Items{"LOG one"});
  printer->works = false;
  printline(app->voice, app->gps, app->win, "LOG two");
  EXPECT_EQ(std::tuple(app->gps.printon, app->win.get<MvForm>().printlab.caption), std::tuple(0, "Printing OFF"));
  EXPECT_TRUE(dialogs->shown.size() == 1 && dialogs->shown[0].title == "Printer Error");
}

// The log's lines printed close together go to the printer as one job, handed over by the tick
// once they have paused 5 s; a job refused then is said, and printing switched off, as a line
// refused is.
TEST_F(Services, LogLinesCloseTogetherArePrintedAsOneJobOnceTheyPause) {
  app->gps.printon = 1;
  const auto print = [&](const char* when, Items lines) {
    at(*clock, when);
    for (const auto& l : lines) printline(app->voice, app->gps, app->win, l);
    Timer1_Timer(*app);
  };
  print("11:00:00", {"", "$V1RMC,1", "LOG: 11:00:00"});
  print("11:00:03", {"", "$V2RMC,1"});
  print("11:00:07", {});
  EXPECT_TRUE(printer->jobs.empty()) << "4 s after the last line";
  print("11:00:08.5", {});
  EXPECT_EQ(printer->jobs, (std::vector<Items>{{"", "$V1RMC,1", "LOG: 11:00:00", "", "$V2RMC,1"}}));
  print("11:00:20", {"LOG three"});
  printer->works = false;
  print("11:00:30", {});
  EXPECT_EQ(std::tuple(app->gps.printon, app->win.get<MvForm>().printlab.caption), std::tuple(0, "Printing OFF"));
  EXPECT_TRUE(dialogs->shown.size() == 1 && dialogs->shown[0].title == "Printer Error");
}

// The tick hands a burst to a spooler client that never ends and goes on; past its time limit
// the client is ended, and the user told why, as for a client that refuses the job.
TEST_F(Services, APrinterThatNeverEndsHoldsNoTickAndWhyAPrintFailedIsShown) {
  const auto burst = [&](const char* when, const char* later, bool hangs) {
    app->gps.printon = 1;
    at(*clock, when);
    printline(app->voice, app->gps, app->win, "LOG one");
    Timer1_Timer(*app);
    at(*clock, later);
    const std::size_t before = dialogs->shown.size();
    Timer1_Timer(*app);  // hands the burst over
    if (hangs) {
      EXPECT_TRUE(app->sys.printer->busy() && dialogs->shown.size() == before) << "the tick went on";
    }
    for (int i = 0; i < 3000 && dialogs->shown.size() == before; ++i) ::usleep(10000), Timer1_Timer(*app);
    EXPECT_EQ(app->gps.printon, 0);
    return dialogs->shown.size() == before + 1 ? dialogs->shown.back().prompt : "";
  };
  const std::string lp = (dir / "lp").string();
  put("lp", "#!/bin/sh\ncat > /dev/null\nexec sleep 3600\n");
  std::filesystem::permissions(lp, std::filesystem::perms(0755));
  app->sys.printer = std::make_unique<platform::LpPrinter>(lp, Items{}, 1);
  std::string why = " (" + lp + " did not finish the job within 1 s and was ended)";
  EXPECT_TRUE(burst("11:00:00", "11:00:06", true).ends_with("switch it back on." + why));
  EXPECT_EQ(app->speech.msgtext, "Please check the Printer. It may have run out of paper." + why);

  app->sys.printer = std::make_unique<platform::LpPrinter>(ZARN_SOURCE_DIR "/tools/lp_standin.py", Items{"--fail"});
  why = " (lp: Error - The printer or class does not exist.)";
  EXPECT_TRUE(burst("11:01:00", "11:01:06", false).ends_with("switch it back on." + why));
  EXPECT_EQ(app->speech.msgtext, "Please check the Printer. It may have run out of paper." + why);
}

// A position far off every chart cannot be converted back: the next tick beeps once for the
// conversions of the moment, the one after it stays quiet.
TEST_F(Services, ADoubtfulConversionBeepsAtTheNextTick) {
  float lat = 0, lon = 0;
  std::string t;
  EXPECT_FALSE(osgbtoll(app->geo, 9e6f, -9e6f, lat, lon));
  gridreftext(app->geo, 9e6f, -9e6f, t);
  std::vector<int> beeps;
  for (int i = 0; i < 2; ++i) Timer1_Timer(*app), beeps.push_back(wav->beeps);
  EXPECT_EQ(beeps, (std::vector<int>{1, 1}));
}

TEST_F(Services, PointerReadoutShowsWhatLiesUnderThePointer) {
  squares({{"TQ", 500, 100}});
  clock->settimer(1000);
  ZarnForm& z = app->win.zarn;
  gridview(*app, 500, 150, 564, 198);  // 100 m a pixel
  mousereadout(*app, 0, 0, 320, 240);
  EXPECT_EQ(std::tuple(app->main.lastclick, z.modebox.caption, z.iconmouse.left, z.iconmouse.top),
            std::tuple(1000.0f, "<-", 320, 240));
  EXPECT_EQ(std::tuple(z.gridbox.caption, z.llbox.caption), std::tuple("TQ 32050 73950", "51  26.948'N 000  06.058'W"))
      << "cs2cs puts the two within a metre";
  std::tie(z.modebox.caption, app->main.displayxy) = std::pair("SIM", 1);
  clock->settimer(2000);
  mousereadout(*app, 0, 0, 320, 240.3f);
  EXPECT_EQ(std::tuple(z.modebox.caption, app->main.lastclick), std::tuple("SIM", 1000.0f))
      << "only the fraction of Y changed: nothing happens";
  z.modebox.caption = "OLD";
  mousereadout(*app, 0, 0, 320.5f, 240.3f);
  EXPECT_EQ(std::tuple(z.modebox.caption, z.gridbox.caption, app->main.lastclick),
            std::tuple("OLD", " 320 240", 2000.0f))
      << "any change of X counts; \"OLD\" is kept; the pixel position, each number with its blank";
}

TEST_F(Services, DestinationReadoutClockPositions) {
  std::tie(app->main.metric, app->nav.curdest) = std::tuple(1, 3);
  ownfixat(*app, 400, 400);
  // Places the destination 10 km away at a bearing whose whole degree is brg.
  const auto dest = [&](int brg) {
    app->nav.destx[3] = static_cast<float>(400 + 10 * std::sin(degtorad(brg - 0.2)));
    app->nav.desty[3] = static_cast<float>(400 + 10 * std::cos(degtorad(brg - 0.2)));
  };
  for (const auto& [brg, hdg, clock] : {std::tuple{10, 350, 1}, {0, 0, 12}, {0, 359, 12},  // -344 / 30 floors to -12
                                        {180, 0, 6}, {90, -1, 3}, {345, -1, 12}, {343, -1, 11}, {344, -1, 12},
                                        {100, 10, 3}}) {
    dest(brg);
    ownheading(*app, hdg);
    showdestdist(*app);
    EXPECT_EQ(std::tuple(app->nav.clockbrg, app->win.zarn.dirbox.caption, app->win.zarn.disbox.caption),
              std::tuple(clock, " " + std::to_string(clock) + "oc", " 10k"))
        << brg << " " << hdg;
    EXPECT_NEAR(app->nav.destdist, 10, 1e-4);
  }
  app->nav.curdest = 201;  // a slot beyond the table reads nothing
  showdestdist(*app);
  EXPECT_EQ(app->nav.clockbrg, 3);
}

TEST_F(Services, DemoStopSilencesAndResetsStartTurnsSoundBackOnTheControlsEndIt) {
  MainState& m = app->main;
  std::tie(m.cfgcorre, app->gps.gpscorre, m.demoon, app->gps.replayfile, app->speech.wavcount, app->gps.chksumoff) =
      std::tuple(0.1f, 0.5f, 1, "OTHER.NME", 3, 1);
  stopdemo(*app);
  EXPECT_EQ(std::tuple(app->win.zarn.modebox.caption, app->speech.talkon, app->speech.talkstop, app->speech.wavcount),
            std::tuple("OLD", 0, 1, 0));
  EXPECT_EQ(std::tuple(app->gps.gpscorre, app->gps.chksumoff, app->gps.replayfile), std::tuple(0.1f, 0, "ZARN.NME"));
  EXPECT_FALSE(app->win.loaded<MvForm>()) << "single-vehicle mode leaves the vehicle window alone";
  app->gps.linkdata = 1;
  startdemo(*app);
  EXPECT_EQ(std::tuple(app->win.zarn.modebox.caption, app->speech.talkon, app->speech.talkstop, m.demoreopen,
                       app->gps.linkdata),
            std::tuple("DEM", 1, 0, 1, 0));
  std::tie(m.mvmode, app->veh.mvsize, app->win.zarn.mvim.load(27).visible) = std::tuple(1, 27, true);
  app->win.get<MvForm>().show();
  stopdemo(*app);
  EXPECT_EQ(std::tuple(m.mvmode, app->win.zarn.mvim[27].visible, app->win.get<MvForm>().visible),
            std::tuple(0, false, false));
  app->win.zarn.modebox.caption = "GPS";
  showcontrols(app->win.get<ControlsForm>(), app->main, app->win.zarn);
  EXPECT_EQ(std::tuple(controlsvis(app->win.get<ControlsForm>()), app->win.zarn.modebox.caption), std::tuple(true, "GPS"))
      << "no demo running: unchanged";
  hidecontrols(app->win.get<ControlsForm>());
  EXPECT_FALSE(controlsvis(app->win.get<ControlsForm>()));
  m.demoon = 1;
  showcontrols(app->win.get<ControlsForm>(), app->main, app->win.zarn);
  EXPECT_EQ(std::tuple(m.demoon, app->win.zarn.modebox.caption), std::tuple(0, "SIM"));
}

}  // namespace
}  // namespace zarn::test
