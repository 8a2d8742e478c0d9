#include "mainwindow/onekey.h"

#include <algorithm>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/fform.h"
#include "gpsinput/gpseng.h"
#include "gpsinput/logs.h"
#include "gpsinput/ownfix.h"
#include "gpsinput/rxinit.h"
#include "mainwindow/askdialog.h"
#include "mainwindow/cform.h"
#include "mainwindow/demo.h"
#include "mainwindow/exitseq.h"
#include "mainwindow/config.h"
#include "mainwindow/help.h"
#include "mainwindow/keys.h"
#include "mainwindow/language.h"
#include "mainwindow/layout.h"
#include "mainwindow/ldriver.h"
#include "mainwindow/placekeys.h"
#include "mainwindow/posreadouts.h"
#include "mainwindow/readouts.h"
#include "mainwindow/smallservices.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/mapload.h"
#include "mapdisplay/mapmaker.h"
#include "mapdisplay/owncar.h"
#include "navigation/destinations.h"
#include "navigation/iform.h"
#include "navigation/tripmeter.h"
#include "navigation/warnings.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/phrases.h"
#include "speech/queue.h"
#include "speech/reports.h"
#include "vehicles/dialforms.h"
#include "vehicles/mvforms.h"

namespace zarn {

namespace {

constexpr char ctrl(char c) { return static_cast<char>(c - '@'); }
constexpr char enter = 13, escape = 27, tab = 9, grave = 96, bar = 124;

void toggle(ui::Form& f) {
  if (f.visible)
    f.hide();
  else
    f.show();
}

// V: the car is where the last found place is; the difference goes into the correction, so
// the fixes that follow land there too. Only a readable place and a real own position move
// anything: otherwise the correction would take the distance from nowhere.
void movecartofound(App& app) {
  GpsState& g = app.gps;
  float x = 0, y = 0;
  parsepos(app.geo, app.main.foundref, x, y);
  const bool readable = !(x == parsefailx && y == parsefaily) && !isnopos(x, y);
  if (!readable || noposition(g)) {
    app.sys.wav->beep();
    return;
  }
  saynow(app.voice, "OK", "ok.wav");
  setgpscorr(g, g.gpscorre + (x - g.ownx), g.gpscorrn + (y - g.owny));
  setownpos(g, x, y);
  updatecar(app);
}

// K: back to the configured correction and the last position a sentence gave.
void undocarmove(App& app) {
  GpsState& g = app.gps;
  saynow(app.voice, "OK", "ok.wav");
  setgpscorr(g, app.main.cfgcorre, app.main.cfgcorrn);
  setownpos(g, g.prevx, g.prevy);
  updatecar(app);
}

void cleardest(App& app) {
  auto& z = app.win.zarn;
  app.nav.nodest = 1;
  z.dest.visible = z.destlab.visible = z.destlabshad.visible = false;
  app.main.foundx = noposx;
  app.main.foundy = noposy;
  z.sym.visible = z.symlab.visible = z.symlabshad.visible = false;
  IForm& i = app.win.get<IForm>();
  i.etalab.set("?");
  i.timetil.set("?");
  z.touch();
  i.touch();
}

// The keys tested before the repeatable part. True when the key was one of them.
bool placekey(App& app, char k) {
  MainState& m = app.main;
  if (k == 'V') {
    m.locnum = 0;
    movecartofound(app);
  } else if (k == 'K') {
    m.locnum = 0;
    undocarmove(app);
  } else if (k == 'D' && !m.foundref.empty()) {
    m.locnum = 0;
    app.nav.nodest = 0;
    app.win.zarn.symlab.set("");
    app.win.zarn.symlabshad.set("");
    destfound(app);
  } else if (k == ctrl('D')) {
    cleardest(app);
  } else if (k >= '0' && k <= '9') {
    lockey(app, k - '0');
  } else {
    return false;
  }
  return true;
}

// "!": heading-up rotation steps through the sector counts of the rotated pictures, down to
// off. A map set with a count other than 8, 4 or 2 steps to the next of them below it.
void steprotation(App& app) {
  MapView& v = app.map;
  if (v.headingup == 0) {
    if (v.maxrotsect < 2) {
      showmsg(app.voice, "No rotated Maps");
      app.sys.wav->beep();
    } else {
      v.headingup = 1;
      v.rotsectors = v.maxrotsect;
    }
  } else {
    v.rotsectors = v.rotsectors > 4 ? 4 : v.rotsectors > 2 ? 2 : 1;
    if (v.rotsectors == 1) v.headingup = 0;
  }
  choosemap(app, app.gps.ownx, app.gps.owny);
  loadmap(app, v.curmap);
  TalkGuard talk(app.speech);
  talk.on();
  showmsgsay(app.voice, v.headingup == 1 ? "Map Rotation ON  " + text::str(v.rotsectors) : "Map Rotation OFF");
  speakqueue(app.voice);
}

// Control keys and the first symbol keys. True when the key was one of them.
bool controlkey(App& app, char k) {
  MainState& m = app.main;
  switch (k) {
    case '_': {
      IForm& i = app.win.get<IForm>();
      if (i.visible) {
        i.hide();
      } else {
        i.show();
        loadinstrpic(instruments(app), app.voice);
      }
      break;
    }
    case ctrl('A'): {
      showfform(app);
      m.playback = 1;
      break;
    }
    case ctrl('W'): showzones(app); break;
    case '!': steprotation(app); break;
    case '$':
      if (app.map.automapon == 0) {
        app.map.automapon = 1;
        makecdmap(app);
      } else {
        app.map.automapon = 0;
        showmsg(app.voice, "Not using CD-ROM via RomShelf");
      }
      break;
    case ctrl('C'): {
      CForm& c = app.win.get<CForm>();
      if (c.visible)
        c.hide();
      else
        showcform(app);
      break;
    }
    case ctrl('E'): m.playback = 1; break;
    case ctrl('V'):
      m.scalelayout = 1 - m.scalelayout;
      autoreso(app);
      break;
    case ctrl('Z'):
      app.map.mapzoom = 1 - app.map.mapzoom;
      loadmap(app, app.map.curmap);
      break;
    case ctrl('U'): {
      GeoState& g = app.geo;
      g.utmmode = (g.utmmode + 1) % 3;
      std::string t;
      gridreftext(g, app.map.mousex, app.map.mousey, t);
      showgridref(app.win.zarn, t);
      break;
    }
    case tab: initrockwell(app.gps, app.voice); break;
    case ctrl('P'): toggle(app.win.get<DialForm>()); break;
    case escape: exitprog(app); break;
    case ctrl('L'): ldriver(app); break;
    default: return false;
  }
  return true;
}

void sayforced(App& app, const std::string& item) {
  TalkGuard talk(app.speech);
  talk.on();
  queuewav(app.voice, item);
  speakqueue(app.voice);
}

void stepunits(App& app) {
  MainState& m = app.main;
  if (m.metric == 0 && m.nautical == 0) {
    m.metric = 1;
  } else if (m.metric == 1) {
    m.metric = 0;
    m.nautical = 1;
  } else {
    m.metric = 0;
    m.nautical = 0;
  }
  showdestdist(app);
  TalkGuard talk(app.speech);
  talk.on();
  if (m.metric == 1)
    showmsg(app.voice, "Kilometres"), queuewav(app.voice, "kilomets.wav");
  else if (m.nautical == 1)
    showmsg(app.voice, "Nautical Miles"), queuewav(app.voice, "nautical.wav");
  else
    showmsg(app.voice, "Miles"), queuewav(app.voice, "miles.wav");
  speakqueue(app.voice);
}

void triprecording(App& app) {
  if (app.gps.logopen == 0) {
    newtrip(app);
    return;
  }
  closetriplog(app.gps);
  saytext(app.voice, "I have stopped recording GPS data.");
  if (app.main.mvmode == 1) app.win.get<MvForm>().loglab.set("No logging.");
}

void bequiet(App& app) {
  settalk(app.voice, 1);
  showmsg(app.voice, "OK I'll be quiet");
  queuewav(app.voice, "okquiet.wav");
  speakqueue(app.voice);
  settalk(app.voice, 0);
}

void language(App& app, bool next) {
  SpeechState& s = app.speech;
  if (next) {
    nextlanguage(app);
  } else {
    s.langindex = 0;
    s.syntaxmode = 0;
    s.langprefix.clear();
  }
  std::string key, icon, wav, title;
  readcontrol(app.files, app.speech, app.win, -1, key, icon, wav, title);
  hello(app);
}

// The replay speed, kept where a step still reads a line in reasonable time.
void replayspeed(App& app, float factor) {
  MainState& m = app.main;
  m.stepsecs = std::clamp(m.stepsecs * factor, 1.0f / 64, 3600.0f);
}

// The printable command keys, in the order they are tested. False when none matched.
bool commandkey(App& app, char k) {
  MainState& m = app.main;
  auto& z = app.win.zarn;
  switch (k) {
    case '?':
      if (!z.Image2.visible)
        showhelp(app);
      else
        hidehelp(app.win.zarn);
      return true;
    case '\\': {
      static constexpr const char* prompts[] = {"car.wav", "balloon.wav", "aircraft.wav"};
      m.platformkind = (std::clamp(m.platformkind, 0, 2) + 1) % 3;
      sayforced(app, prompts[m.platformkind]);
      return true;
    }
    case '\'': {
      TalkGuard talk(app.speech);
      talk.on();
      sayaltitude(app.voice, app.gps.altseen, app.gps.ownaltft, app.gps.climbrate);
      speakqueue(app.voice);
      return true;
    }
    case 'L': sayownlatlong(app.voice, app.geo, app.gps); return true;
    case 'O': askopen(app.voice, app.main); return true;
    case 'Y': askanswer(app.voice, app.main, true); return true;
    case 'N': askanswer(app.voice, app.main, false); return true;
    default: break;
  }
  // While a question waits, no later key is carried out; but Enter still ends a typed entry (a
  // question asked while typing, from the key pad), so that the typing is never held.
  if (k == enter && m.typingmode == 1) {
    runtypedcmd(app);
    return true;
  }
  if (asknonanswer(app.voice, app.main)) return true;
  switch (k) {
    case 'U': stepunits(app); break;
    case 'H':
      z.home.visible = true;
      m.nohome = 0;
      app.nav.nodest = 0;
      desthome(app.nav, app.main.homeloc, app.main.homename);
      saydest(app);
      break;
    case '&':
      showmsg(app.voice, "Test Run PICVIEWR.EXE");
      runpicviewr(app.voice, "");
      break;
    case '%': triprecording(app); break;
    case '^': {
      GpsEngForm& e = app.win.get<GpsEngForm>();
      toggle(e);
      if (e.visible) e.topmost = true;
      break;
    }
    case ')': app.map.automaps = 1 - app.map.automaps; break;
    case 'Z':
      if (app.map.minscale == 0) setminscale(app.map, 0.0001f);
      zoomnextmap(app);
      break;
    case 'X':
      setminscale(app.map, 0);
      zoomnextmap(app);
      break;
    case '/':
      m.hitcount = 0;
      togglecardest(app.voice, app.main.refname, app.main.refdest, app.main.mvmode == 1);
      break;
    case '+': nextlist(app.voice, app.main, app.win.zarn); break;
    case '-': prevlist(app.voice, app.main, app.win.zarn); break;
    case enter: runtypedcmd(app); break;
    case '(':
      settalk(app.voice, 1);
      showmsg(app.voice, "OK Saving Configuration in ZARN.CFG");
      queuewav(app.voice, "ok.wav");
      savecfg(app);
      break;
    case '.': resettrip(app.nav, instruments(app), app.timer()); break;
    case '*': startdemo(app); break;
    case bar: stopdemo(app); break;
    case 'Q': bequiet(app); break;
    case 'J': language(app, true); break;
    case 'B': language(app, false); break;
    case 'C': {
      TalkGuard talk(app.speech);
      talk.on();
      saytime(app.voice, "the time is ", "THETIMEI.WAV", text::timetext(app.sys.clock->now()));
      sayeta(app.voice, app.win.find("iform"), app.nav.etaclock, app.nav.timetogo, app.main.etareptime);
      speakqueue(app.voice);
      break;
    }
    case '>': replayspeed(app, 0.5f); break;
    case '<': replayspeed(app, 2.0f); break;
    case 'M': morekey(app); break;
    case ctrl('X'):
      app.sys.wav->beep();
      app.sys.wav->beep();
      break;
    case 'W': saywherekey(app); break;
    case 'G': sayowngrid(app.voice, app.geo, app.gps); break;
    case 'F': case 'E': case 'S': case 'R': case 'P': case 'I': case '#': case ']':
      findnearestkey(app, std::string(1, k));
      break;
    default: return false;
  }
  return true;
}

// Steps 6 on: the command itself, ending in the speech queue and the flags cleared however it
// ends.
void runkey(App& app, std::string key) {
  MainState& m = app.main;
  auto& z = app.win.zarn;
  struct Last {
    App& app;
    ~Last() {
      if (app.main.quit) return;  // the exit: nothing more runs
      speakqueue(app.voice);
      app.main.sentencemode = 0;
      app.main.demokey = 0;
    }
  } last{app};
  m.sentencemode = 1;
  endsentence(app.voice);
  char k = key.empty() ? '\0' : key[0];
  if (placekey(app, k)) return;
  m.locnum = 0;
  if (k == 'A') {
    sayagain(app.voice);
    return;
  }
  endsentence(app.voice);
  if (k == ' ') {
    if (app.gps.nmealog == 0) {
      key = m.prevcmdkey;
      k = key.empty() ? '\0' : key[0];
    } else if (!noposition(app.gps)) {
      float lat = 0, lon = 0;
      osgbtoll(app.geo, app.gps.ownx, app.gps.owny, lat, lon);
      std::string ll;
      latlongtext(lat, lon, ll);
      writenmepos(app.files, *app.sys.clock, ll, text::format(std::max(app.gps.ownhdg, 0), "000"));
    }
  }
  m.prevcmdkey = key;
  if (controlkey(app, k)) return;
  z.showcmd.set(key);
  z.touch();
  commandkey(app, k);
}

}  // namespace

void onekeycmd(App& app, const std::string& keyin) {
  MainState& m = app.main;
  auto& z = app.win.zarn;
  z.mapcopy.visible = z.cpytext.visible = z.cpyring.visible = false;
  app.speech.talkstop = 0;
  std::string key = text::ucase(keyin);
  if (m.kcfon == 1) key = kcfkey(app, key);
  // A key arriving while another command runs (waiting on its speech): only Q and the grave
  // accent are carried out; any other goes straight to the last step. Either way the queue is
  // played and the flags are cleared, so the interrupted command finishes with them at 0.
  if (m.sentencemode == 1 && key != "Q" && key != std::string(1, grave)) {
    speakqueue(app.voice);
    m.sentencemode = 0;
    m.demokey = 0;
    return;
  }
  runkey(app, key);
}

}  // namespace zarn
