#include "mainwindow/tick.h"

#include "app/app.h"
#include "geodesy/distwords.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "vehicles/dialout.h"
#include "mainwindow/takefix.h"
#include "gpsinput/modem.h"
#include "gpsinput/serialpoll.h"
#include "mainwindow/keys.h"
#include "mainwindow/readouts.h"
#include "mainwindow/replay.h"
#include "mainwindow/smallservices.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/owncar.h"
#include "navigation/guidance.h"
#include "navigation/warnings.h"
#include "navigation/waypoints.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/position.h"
#include "speech/queue.h"
#include "speech/reports.h"
#include "speech/whereweare.h"

namespace zarn {

namespace {
// The speed read-out's colour, repainted only when it changes.
void setspdcol(ui::Label& s, ui::Colour colour) {
  if (s.backcolor != colour) s.backcolor = colour;
}

struct TickGuard {
  explicit TickGuard(bool& f) : flag(f) { flag = true; }
  ~TickGuard() { flag = false; }
  bool& flag;
};

bool shown(App& app, const char* form) {
  const ui::Form* f = app.win.find(form);
  return f && f->visible;
}

// Whether the user is typing into a text box of another window than the main one: the keys stay
// there however long the pause between two of them.
bool typingelsewhere(App& app) {
  for (const ui::Form* f : app.win.all())
    if (f != &app.win.zarn && f->visible && f->boxfocus) return true;
  return false;
}

// Seconds of each trail interval code 0..5 ("ALL", 10 s .. 1 hour).
float trailinterval(int histint) {
  static constexpr float secs[] = {0, 10, 60, 300, 900, 3600};
  return histint >= 0 && histint <= 5 ? secs[histint] : 0;
}

// The replay does not step while the dial panel is shown, and the fleet demo starts with it up:
// without a word, its user would wait for vehicles that never come. While the message line is
// free and there is a replay to hold, it says how to let the replay go on.
void replayheldhint(App& app) {
  if (app.gps.linkdata != 0 || app.voice.msgline.visible || !app.files.exists(app.gps.replayfile)) return;
  showmsg(app.voice, "The replay waits for the dial panel: Ctrl+P or Cancel puts it away");
}

// The replay branch: one due step of the replay file, or the old read-outs once only link data
// arrives. False when the tick must go straight to its focus step.
bool nogps(App& app, int& posupdated, bool& speedcolour, bool& replayed) {
  MainState& m = app.main;
  auto& z = app.win.zarn;
  if (z.modebox.caption == "OLD") {
    posupdated = 1;
    speedcolour = false;
    return true;
  }
  if (shown(app, "dialform")) {
    replayheldhint(app);
    return false;
  }
  if (app.timer() - m.laststep <= m.stepsecs || m.clickage <= 3) return true;
  m.laststep = app.timer();
  if (app.gps.linkdata == 0) {
    replayed = true;
    if (!replaystep(app)) return false;
    posupdated = 1;
    return true;
  }
  z.modebox.set("OLD");
  setstatcol(app.win.zarn, ui::yellow);
  ownreadouts(app);
  return true;
}

}  // namespace

void restartreport(MainState& m, float now, int kind) {
  if (kind == 1) m.herereptime = now;
  if (kind == 2) m.destreptime = now;
  if (kind == 3) m.dirreptime = now;
}

namespace {

void spokenreports(App& app) {
  MainState& m = app.main;
  GpsState& g = app.gps;
  const auto& rep = m.repint;
  if (rep[3] != 0 && elapsed(app.timer(), m.dirreptime) > static_cast<float>(rep[3]) && g.ownhdg >= 0) {
    m.dirreptime = app.timer();
    saymoving(app.voice, app.win.zarn.spdbox.caption, g.ownhdg, m.nautical == 1);
    speakqueue(app.voice);
  }
  if (rep[9] != 0 && elapsed(app.timer(), m.etareptime) >= static_cast<float>(rep[9]))
    sayeta(app.voice, app.win.find("iform"), app.nav.etaclock, app.nav.timetogo, m.etareptime);
  if (rep[2] != 0 && elapsed(app.timer(), m.destreptime) >= static_cast<float>(rep[2])) {
    m.destreptime = app.timer();
    if (app.nav.nodest == 0) saydestdist(app.voice, app.win.zarn.disbox.caption, g.ownhdg, app.nav.clockbrg, app.nav.destwav);
    speakqueue(app.voice);
  }
  if (rep[1] != 0 && elapsed(app.timer(), m.herereptime) > static_cast<float>(rep[1])) {
    m.herereptime = app.timer();
    readcomms(app);
    gpswatch(app);
    sayposition(app, g.ownx, g.owny, "weare.wav");
    if (m.platformkind != 0) sayaltitude(app.voice, g.altseen, g.ownaltft, g.climbrate);
    speakqueue(app.voice);
  }
}

// Everything between the guards and the focus step.
void services(App& app) {
  MainState& m = app.main;
  GpsState& g = app.gps;
  auto& z = app.win.zarn;
  int posupdated = 0;

  readcomms(app);
  gpswatch(app);
  speakqueue(app.voice);
  showdestdist(app);
  centreonveh(app);
  dialmon(app);
  updatecar(app);
  speedwarn(app.nav, app.gps, app.voice);
  krvcheck(app);
  wpfollow(app);
  zonecheck(app);
  automapmove(app);

  bool speedcolour = true, replayed = false;
  if (g.gpsrx == 1) {
    if (m.clickage > 10) {
      z.modebox.backcolor = ui::green;
      setstatcol(app.win.zarn, ui::green);
      z.modebox.set("GPS");
    }
    lltoosgb(app.geo, g.ownlat, g.ownlon, g.ownx, g.owny);
    gridreftext(app.geo, g.ownx, g.owny, g.owngrid);
    posupdated = 1;
  } else if (!nogps(app, posupdated, speedcolour, replayed)) {
    return;
  }

  if (speedcolour) {
    const float mph = g.ownspd / 1.61f;
    setspdcol(app.win.zarn.spdbox, mph <= 30 ? ui::green : mph <= 70 ? ui::yellow : ui::red);
  }
  if (elapsed(app.timer(), app.nav.rgishown) > 5)
    if (ui::Form* rgi = app.win.find("rgi")) rgi->hide();
  if (elapsed(app.timer(), m.searchtime) > 180 && m.clickage > 180) {
    z.search.visible = false;
    z.searchdat.visible = false;
    // Only an open typed entry has a label to give back: otherwise the label may have changed
    // since (the reference swapped between car and destination).
    if (m.typingmode == 1) m.refname = m.prevmode;
    m.typingmode = 0;
    m.typedcmd = 0;
    m.searchidx = 1;
  }
  if (app.timer() < m.laststep) m.laststep = app.timer();
  // A second time, on purpose: the position this tick produced (a fix read above, a replay
  // step) is drawn, with its destination read-outs, before the reports below speak of it.
  if (posupdated == 1) {
    showdestdist(app);
    centreonveh(app);
    updatecar(app);
  }

  whereupdate(app);
  saywhereweare(app);
  speakqueue(app.voice);
  zoicheck(app);
  rgistep(app);
  speakqueue(app.voice);

  const NavState& n = app.nav;
  if (n.rgitest == 1)
    z.rgitrace.set(std::to_string(n.rgicount) + " RGI from" + std::to_string(n.rgicells) + " in " + n.rgifile + " at " +
                   text::timetext(app.sys.clock->now()));

  const int hi = app.map.histint;
  if (hi >= -1 && (elapsed(app.timer(), m.lasttrail) >= trailinterval(hi) || m.trailperline == 1)) {
    m.lasttrail = app.timer();
    const bool agd = replayed && text::ucase(text::right(g.replayfile, 4)) == ".AGD";
    if (!agd && m.mvmode != 1) addtrail(app.map, app.win.zarn, app.geo, app.gps, g.ownx, g.owny);
  }

  if (g.ownlat == 0 && g.ownlon == 0) return;  // no fix yet: nothing to report
  if (z.Help.visible) return;
  spokenreports(app);
}

}  // namespace

void searchsetup(App& app) {
  MainState& m = app.main;
  if (m.initmark == 1234) return;
  m.searchidx = 1;
  app.win.zarn.search.text = m.searchprompts[1];
  m.askstate = 0;
  m.initmark = 1234;
}

void Timer1_Timer(App& app) {
  if (app.main.tickbusy_guard) return;
  TickGuard guard(app.main.tickbusy_guard);
  ++app.main.ticks;
  MainState& m = app.main;
  auto& z = app.win.zarn;
  if (app.geo.unsettled > 0) {  // a position converted since the last tick is doubtful
    app.geo.unsettled = 0;
    app.sys.wav->beep();
  }
  settleprinter(app.voice, app.gps, app.win);

  z.showcmd.backcolor = ui::lightgrey;
  if (m.pollint > 0 && !m.pollcmd.empty() && elapsed(app.timer(), m.lastsent) >= static_cast<float>(m.pollint)) {
    m.lastsent = app.timer();
    {
      TalkGuard talk(app.speech);
      talk.on();
      showmsg(app.voice, m.pollmsg);
    }
    commsend(*app.sys.serial, m.pollcmd);
  }
  m.clickage = elapsed(app.timer(), m.lastclick);
  if (elapsed(app.timer(), app.speech.msgtime) > 10) clearmsg(app.voice);
  // The symbol's leader line stays 3 s after the symbol was placed.
  if (z.vecto.visible && elapsed(app.timer(), app.map.vectotime) > 3) z.vecto.visible = false;
  searchsetup(app);
  if (m.lastkey != 0) {
    int k = m.lastkey;
    m.lastkey = 0;
    keycmd(app, k);
  }
  if (elapsed(app.timer(), app.map.cprtime) > 3) {
    z.mapcopy.visible = false;
    z.cpytext.visible = false;
    z.cpyring.visible = false;
  }

  const bool modal = m.playback == 1 || shown(app, "fform") || m.sentencemode == 1 || shown(app, "makdes") ||
                     z.Help.visible || shown(app, "cform");
  if (!modal) services(app);

  // Focus: the main window takes the keys again 10 s after the last click, unless a window that
  // takes typing or clicks of its own is in use, or the keys are in another window's text box (a
  // key typed there after a pause must not run as a map command).
  if (m.clickage > 10 && !shown(app, "fform") && app.map.geomanon == 0 && !shown(app, "controls") &&
      app.nav.rgimanon == 0 && !shown(app, "linkman") && !typingelsewhere(app))
    z.takefocus();
  app.doevents();
}

}  // namespace zarn
