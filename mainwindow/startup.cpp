#include "mainwindow/startup.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "gpsinput/gpseng.h"
#include "gpsinput/logs.h"
#include "gpsinput/modem.h"
#include "gpsinput/rxinit.h"
#include "gpsinput/serialpoll.h"
#include "mainwindow/cform.h"
#include "mainwindow/config.h"
#include "mainwindow/datafiles.h"
#include "mainwindow/flags.h"
#include "mainwindow/language.h"
#include "mainwindow/layout.h"
#include "mainwindow/popdata.h"
#include "mainwindow/smallservices.h"
#include "mainwindow/startwin.h"
#include "mainwindow/tick.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/mapload.h"
#include "mapdisplay/overlays.h"
#include "mapdisplay/symbols.h"
#include "mapdisplay/tiles.h"
#include "mapdisplay/toolroom.h"
#include "navigation/rgifiles.h"
#include "navigation/iform.h"
#include "navigation/moreinfo.h"
#include "navigation/waypoints.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"
#include "vehicles/dialforms.h"
#include "vehicles/dialpanel.h"
#include "vehicles/mcv.h"
#include "vehicles/mvforms.h"
#include "vehicles/mvwindow.h"

namespace zarn {

using text::trim;
using text::ucase;

namespace {

constexpr int infobox = platform::mb::information;

// A start-up stage's progress text and its pause.
void stage(App& app, const std::string& text, float pause = 0.5f) {
  setstatlabel(app.win.get<StartForm>(), *app.sys.events, text);
  if (pause > 0) delaysec(app, pause);
}

// The files start-up reads, each within the size limit its reader uses: a FIFO, a device or an
// oversized file there is named, with the reason, before the reader refuses it and goes on
// without it.
void checkfiles(App& app) {
  // Configuration and list files are small (1 MB at most); the population table a few MB.
  static constexpr const char* small[] = {
      "ZARN.CFG",     "COMPORT.CFG",  "ZARN.MCV",     "ZARN.LOC",     "SOUNDS.CFG",   "HISTORY.CFG",  "ZARNKEYS.CFG",
      "ZARNDIAL.CFG", "ADD2DIAL.CFG", "DFCOLOUR.CFG", "ZARN.CAT",     "ZARN.FND",     "ZARN.COM",     "CHASE.CFG",
      "UTM.CFG",      "ZARNDF.CFG",   "ZARNXYLL.CFG", "LANGUAGE.CFG", "MAPS.CCC",     "MAPS.DIR",     "FASTMAPS.DAT",
      "INITROCK.CFG", "ZARNTILE.CFG", "ROMSHELF.CFG", "CALLSIGN.CFG", "ZARNLOG.CFG",  "DIALTIME.CFG", "NEWTRIP.CFG",
      "ZARNLAST.CFG", "PULFIX.CFG"};
  std::vector<std::string> refused;
  for (const char* name : small) refused.push_back(app.files.refusal(name));
  refused.push_back(app.files.refusal("$LPOP.PCD", platform::Files::datalimit));
  for (const std::string& why : refused)
    if (!why.empty()) {
      setstatlabel(app.win.get<StartForm>(), *app.sys.events, why);
      app.sys.wav->beep();
      delaysec(app, 1.0f);
    }
}

// A start-up failure that cannot be gone round: the box, and the end of the program.
void fatal(App& app, const std::string& message) {
  app.msgbox(message, infobox, "ZARN");
  app.main.quit = true;
}

ui::PictureRef picture(App& app, const std::string& file) {
  if (!app.files.exists(file)) return nullptr;
  return app.sys.images->load(app.files.resolve(file));
}

// The port number of a port name such as "COM2" or "COM10": the number after "COM".
// Anything that is no port number gives 0, which names no port.
int portnumber(const std::string& port) {
  const double n = text::val(text::mid(port, 4));
  return n >= 1 && n <= 999 ? static_cast<int>(n) : 0;
}

bool openport(App& app, const std::string& settings) {
  return app.sys.serial->open("COM" + std::to_string(portnumber(app.main.gpsport)), settings);
}

void showstartwindow(App& app) {
  StartForm& s = app.win.get<StartForm>();
  // Centred on the screen, whatever size the map area takes later; on a screen smaller than the
  // window its top left corner stays on the screen.
  const MainState& m = app.main;
  s.left = m.screenleft + std::max(0, static_cast<int>((m.screenwidth - static_cast<float>(s.width)) / 2));
  s.top = m.screentop + std::max(0, static_cast<int>((m.screenheight - static_cast<float>(s.height)) / 2));
  s.title.set(app.win.zarn.caption);
  s.titleshad.set(app.win.zarn.caption);
  s.show();
  if (auto logo = picture(app, "$$$$LOGO.BMP")) s.picture = std::move(logo);
  startsplash(app.win.get<StartForm>());
  app.doevents();
}

// Waits, letting events run, until the dial-out set-up window is closed.
void dialsetupwait(App& app) {
  const auto lines = readadd2dial(app.files);
  CarbugForm& c = app.win.get<CarbugForm>();
  c.caption = lines[2];
  c.comprt.text = lines[3];
  c.telno.text = lines[4];
  c.timeout.text = lines[5];
  carbug::Form_Load(app);
  wirevehiclewindows(app);
  c.show();
  while (c.visible && !app.main.quit) {
    app.doevents();
    app.sys.events->idle();
  }
}

void language(App& app) {
  SpeechState& s = app.speech;
  s.langprefix = text::space(100);
  if (auto wanted = readlanguagecfg(app.files)) {
    s.langindex = static_cast<std::int16_t>(*wanted - 1);
    s.syntaxmode = 0;
    s.langprefix.clear();
    // Stepping once from the entry before lands on the entry the file names.
    TalkGuard quiet(s);
    quiet.off();
    nextlanguage(app);
    std::string key, icon, wav, text;
    readcontrol(app.files, app.speech, app.win, -1, key, icon, wav, text);
  } else {
    s.langindex = 0;
    s.syntaxmode = 0;
    s.langprefix.clear();
  }
  readcontrolcfg(app);
  app.main.ctlindex = 1;
}

void chase(App& app) {
  MainState& m = app.main;
  if (readchase(app.files, app.main)) {
    m.chaseon = 1;
    setstatlabel(app.win.get<StartForm>(), *app.sys.events,
                 "Configured for chase after " + m.chasename + " ident " + m.chasesent);
    if (!m.chaseicon.empty() && !app.files.confined(m.chaseicon))
      setstatlabel(app.win.get<StartForm>(), *app.sys.events,
                   "CHASE.CFG: " + m.chaseicon + " is outside the working folder");
    else if (!m.chaseicon.empty())
      if (auto p = picture(app, m.chaseicon)) app.win.zarn.dest.setpicture(std::move(p));
    m.refdest = 1;
    m.refname = "DESTINATION";
  } else {
    m.refdest = 0;
    m.refname = "OUR CAR";
    m.chaseon = 0;
    m.chasesent.clear();
  }
}

// The state every run starts from.
void resetstate(App& app) {
  MainState& m = app.main;
  GpsState& g = app.gps;
  g.rxstate = -1;
  g.rxseen = 0;
  g.ownhdg = -1;
  m.clickage = 20;
  m.lastclick = app.timer() - 20;
  g.csatstate = CallState::idle;
  g.minhdgspd = 16;
  g.lastfixx = 0;
  g.lastfixy = 0;
  m.starttime = app.timer();
  m.sentencemode = 0;
  m.demokey = 0;
  blankmsg(app.voice);
  g.commline = std::string(GpsState::commlinemax, ' ');
  g.commlinelen = 0;
  settalk(app.voice, 1);
  app.map.automaps = 1;
  g.velflag = 1;
  app.nav.tripkm = app.nav.tripmiles = app.nav.tripnm = 0;
  app.nav.triptimer = app.timer();
  g.ownx = noposx;
  g.owny = noposy;
  m.foundx = noposx;
  m.foundy = noposy;
  flushsay(app.voice);
}

void startbatch(App& app) {
  if (!app.files.exists("ZARNINIT.BAT")) return;
  setstatlabel(app.win.get<StartForm>(), *app.sys.events, "Running ZARNINIT.BAT ...");
  // Started by name with no arguments, never through a shell.
  std::string error;
  if (!app.sys.programs->start("ZARNINIT.BAT", {}, false, &error))
    setstatlabel(app.win.get<StartForm>(), *app.sys.events, "ZARNINIT.BAT: " + error);
  app.wait(5);
  setstatlabel(app.win.get<StartForm>(), *app.sys.events, " ");
}

void greet(App& app) {
  settalk(app.voice, 1);
  greeting(app.voice);
  queuesay(app.voice, "$$$start.wav");
  speakqueue(app.voice);
  playwav(app.voice, "$$$INTRO.WAV");
}

void vehiclemode(App& app) {
  MainState& m = app.main;
  GpsState& g = app.gps;
  app.gps.linkdata = 0;
  m.lastkey = 0;
  app.veh.alarmsound = 3;
  m.digmode = 0;
  sizetable(app.veh, VehicleTable::mvdefault);
  m.mvmode = flagfile(app.files, "ZARN.MCV");
  m.stepsecs = 1.0f;
  if (m.mvmode == 1) {
    g.mvdatamode = DataMode::position;
    g.reportmode = ReportMode::line1;
    g.protocode = 8;
    app.veh.mvautosel = 1;
    app.win.get<MvForm>().Label1.backcolor = ui::green;
    app.veh.alarmcount = 0;
  } else {
    g.gpstimeout = 10.0f;
  }
}

// Maps: the catalogue, the heading-up check. False when the program must end (a listed map's
// picture is missing).
bool maps(App& app) {
  MapView& mv = app.map;
  stage(app, "Checking Maps ...", 0);
  scanmaps(app.map, app.voice, app.win.get<StartForm>());
  if (auto p = picture(app, "$$$START.BMP")) {
    StartForm& s = app.win.get<StartForm>();
    for (ui::Label* l : {&s.errmsg, &s.title, &s.titleshad, &s.cpr, &s.cprshad}) l->visible = false;
    s.picture = std::move(p);
    s.surface.cls();
    s.touch();
  }
  mv.picwidth = 640;
  mv.picheight = 480;
  std::string why;
  if (!readmaplist(app, &why)) return false;
  if (!why.empty()) stage(app, why, 1.0f);
  if (mv.maxrotsect != 0) stage(app, text::str(mv.maxrotsect) + " map rotations");
  mv.headingup = flagfile(app.files, "ROTATION.CFG");
  if (mv.headingup == 1) {
    setstatlabel(app.win.get<StartForm>(), *app.sys.events, "Map Rotation ON");
    if (mv.rotsectors < 2) {
      setstatlabel(app.win.get<StartForm>(), *app.sys.events, "Error : No Rotated Maps");
      app.sys.wav->beep();
      delaysec(app, 3.0f);
      mv.headingup = 0;
    }
  }
  stage(app, "Maps are OK");
  return true;
}

void locations(App& app) {
  MainState& m = app.main;
  stage(app, "Checking Location file ...", 0);
  readloc(app.files, app.geo, app.nav, app.win.get<CForm>());
  m.homeloc = m.cfghome;
  m.homename = "Home";
  parsepos(app.geo, m.homeloc, m.homex, m.homey);
}

void inputoptions(App& app) {
  GpsState& g = app.gps;
  stage(app, "GPS input options ...", 0);
  g.filelink = flagfile(app.files, "ZARN.LLF");
  if (g.filelink != 1) return;
  stage(app, "Taking Data from ZARN.LLD", 1.0f);
  if (auto c = readzarncom(app.files, true); c && c->gpstimeout) {
    g.gpstimeout = *c->gpstimeout;
    stage(app, "Setting GPS timeout to " + text::str(g.gpstimeout) + " secs ...");
  }
}

void speechlibrary(App& app) {
  SpeechState& s = app.speech;
  if (s.ttsavail != 1) return;
  if (app.sys.tts->available()) {
    app.sys.tts->setsayglobals(0, 0, 6, 7, 5);
    return;
  }
  s.ttsavail = 0;
  app.msgbox(
      "This computer does not have Monolog for Windows in \\MONOLOGW. I will therefore continue without any "
      "Text-To-Speech, which means I will not be able to say everything. Edit ZARN.CFG to stop this message.",
      infobox, "ZARN");
}

// Route, categories, search lists and population centres: a file that cannot be read is named
// on the start window and start-up goes on without it.
void datastages(App& app) {
  stage(app, "Checking Route ...");
  makewpicons(app);
  readpicfile(app);
  app.win.get<StartForm>().startline.visible = false;
  stage(app, "Checking Data Categories ...");
  if (!readcat(app.files, app.main)) stage(app, "ZARN.CAT not found: no data categories", 1.0f);
  stage(app, "Checking Search files ...");
  if (!readfnd(app.files, app.main)) stage(app, "ZARN.FND not found or empty: no search lists", 1.0f);
  setstatlabel(app.win.get<StartForm>(), *app.sys.events, "Checking Population Centre data ...");
  std::string why;
  if (!readpopcd(app.files, app.main, app.win, &why)) stage(app, why, 1.0f);
}

// The COM port trap: the port is not available, and start-up goes on without it. The serial
// line's reason (no such device, permission denied, a bad setting) is shown with it.
void portunavailable(App& app, const std::string& why = "") {
  MainState& m = app.main;
  StartForm& s = app.win.get<StartForm>();
  const std::string reason = why.empty() ? "" : " (" + why + ")";
  std::string text = m.gpsport + " specified in file ZARN.CFG is not available" + reason + " so I am setting port to ";
  m.gpsport = "NULL";
  text += m.gpsport + ". Edit ZARN.CFG to stop this message.";
  s.errmsg.set(text);
  s.errmsg.visible = true;
  s.touch();
  app.gps.gpsoncom = 0;
}

void serialport(App& app) {
  MainState& m = app.main;
  GpsState& g = app.gps;
  stage(app, "Checking GPS COM port ...");
  if (g.gpsoncom != 1) return;
  app.win.get<GpsEngForm>().com.set("GPS data expected in NMEA 0183 format on " + m.gpsport);
  // With the file link the lines come from ZARN.LLD: the port is left to whoever else uses it.
  if (g.filelink != 0) return;
  std::string settings;
  if (auto c = readzarncom(app.files, false)) {
    stage(app, "Setting baud rate to " + c->settings + " ...");
    speakqueue(app.voice);
    settings = trim(c->settings);
    if (!app.sys.serial->setsettings(settings)) {
      portunavailable(app, app.sys.serial->lasterror());
      return;
    }
    if (c->gpstimeout) {
      g.gpstimeout = *c->gpstimeout;
      stage(app, "Setting GPS timeout to " + text::str(g.gpstimeout) + " secs ...");
    }
    if (c->fixmint) g.fixmint = *c->fixmint;
    if (c->fixminmove) g.fixminmove = *c->fixminmove / 1000.0f;
    if (c->minhdgspd) g.minhdgspd = *c->minhdgspd;
    speakqueue(app.voice);
    if (c->bad) {
      portunavailable(app);
      return;
    }
  }
  if (!openport(app, settings)) portunavailable(app, app.sys.serial->lasterror());
}

void receiverinit(App& app) {
  if (trim(app.files.readfirstline("ZARNLAST.CFG")) != "INITROCK") return;
  setstatlabel(app.win.get<StartForm>(), *app.sys.events, "Initiating GPS receiver ..");
  initrockwell(app.gps, app.voice);
  delaysec(app, 0.5f);
}

void checkscompleted(App& app) {
  NavState& n = app.nav;
  n.rgitest = flagfile(app.files, "RGITEST.CFG");
  if (n.rgitest == 1) app.win.zarn.rgitrace.visible = true;
  StartForm& s = app.win.get<StartForm>();
  s.startline.visible = false;
  startbar(app.win.get<StartForm>(), 1);
  stage(app, "Checks completed. Hit ? for Help.", 1.0f);
  setstatlabel(app.win.get<StartForm>(), *app.sys.events, " ");
}

// Trail, bearing lines, first map, dial buttons. False when the program must end.
bool displaystages(App& app) {
  MapView& mv = app.map;
  auto& z = app.win.zarn;
  GpsState& g = app.gps;
  g.ownx = noposx;
  g.owny = noposy;
  if (auto p = picture(app, "CARICON0.ICO")) z.car.setpicture(std::move(p));

  mv.ntrail = 100;
  if (const std::string why = readhistory(app.files, app.map, app.main.mvmode); !why.empty()) {
    // The box keeps the program's own words; the start window says what is wrong with the file.
    setstatlabel(app.win.get<StartForm>(), *app.sys.events, why);
    fatal(app, "HISTORY.CFG Error ?");
    return false;
  }
  z.scalelab.forecolor = mv.trailcolour;
  for (ui::Line* l : {&z.scalel1, &z.scalel2, &z.scalel3}) l->bordercolor = mv.trailcolour;
  showhistint(app.map, app.win.get<CForm>());
  mv.trailidx = 0;
  mv.trailcount = 0;
  for (int i = 1; i <= mv.ntrail; ++i) z.p.load(i);

  app.nav.dfn = 0;
  for (int i = 3; i <= 10; ++i) {
    ui::Line& b = z.brg.load(i);
    b.zorder(0);
    b.borderstyle = 1;
    b.borderwidth = 1;
    const auto c = static_cast<ui::Colour>(255 - 10 * (i - 3));
    b.bordercolor = c | (c << 8);
  }
  for (int i = 0; i <= 2; ++i) z.brg.load(i).bordercolor = ui::white;  // unless DFCOLOUR.CFG says otherwise
  if (!readdfcolour(app.files, app.win.zarn)) {
    fatal(app, "Error in bearing data ?");
    return false;
  }
  for (int i = 0; i <= 1; ++i) z.brg.load(i).zorder(0);
  z.sym.visible = false;
  loadmap(app, 1);
  if (app.main.quit) return false;

  if (app.files.exists("ZARNDIAL.CFG")) {
    if (!readzarndial(app.files, app.win)) {
      fatal(app, "Error in ZARNDIAL.CFG ?");
      return false;
    }
    app.win.get<DialForm>().show();
  }
  return true;
}

void firstdestination(App& app, bool configured) {
  MainState& m = app.main;
  NavState& n = app.nav;
  auto& z = app.win.zarn;
  m.prevmode = m.refname;
  app.map.minscale = 0;
  for (int i = 0; i <= 5; ++i) z.v.load(i).visible = false;
  n.curdest = n.adhocdest;
  const auto slot = static_cast<std::size_t>(n.curdest);
  if (configured) {
    n.destname[slot] = m.cfgdestpos;
    parsepos(app.geo, n.destname[slot], n.destx[slot], n.desty[slot]);
    n.destlabel[slot] = m.foundlabel;
    n.destwav = m.foundwav;
    showdest(app, n.destx[slot], n.desty[slot], n.curdest);
  } else {
    // No configuration: no destination to mark or report.
    n.nodest = 1;
    z.dest.visible = false;
  }
  n.prevdest = n.curdest;
  m.lastclick = app.timer() - 7;
}

void demostate(App& app) {
  MainState& m = app.main;
  m.demoreopen = 1;
  app.win.zarn.modebox.set("DEM");
  m.demoon = 1;
  m.demorestart = 1;
  m.destreptime = app.timer();
  m.dirreptime = app.timer();
  m.herereptime = app.timer() - 50;
}

void windowsup(App& app) {
  MainState& m = app.main;
  app.win.zarn.show();
  app.win.zarn.touch();
  app.win.get<StartForm>().hide();
  if (flagfile(app.files, "LOADMAPS.CFG")) {
    {
      TalkGuard quiet(app.speech);
      quiet.stopped();
      for (int i = 2; i <= app.map.mapcount && !m.quit; ++i) loadmap(app, i);
    }
    loadmap(app, 1);
  }
  app.gps.logopen = flagfile(app.files, "STARTLOG.CFG");
  app.gps.logall = 0;
  if (app.gps.logopen > 0) newtrip(app);

  NavState& n = app.nav;
  std::string wav, more;
  const std::string gridref = m.mvmode == 1 ? m.mcvlastpos : std::string();
  std::string why;
  moreinfo(app.nav, app.files, "", gridref, n.destlabel[static_cast<std::size_t>(n.curdest)], wav, more, &why);
  if (!why.empty()) showmsgsay(app.voice, why);
  if (more.empty()) {
    n.rgiexists = 0;
    n.rgiloadx = app.gps.ownx + 2;
  } else {
    n.rgifile = more;
    readrgb(app.nav, app.voice, app.geo, app.gps, app.win.zarn.rgitrace);
  }
  if (flagfile(app.files, "DIALS.CFG")) {
    app.win.get<IForm>().show();
    loadinstrpic(instruments(app), app.voice);
  }
}

void ontop(App& app) {
  MainState& m = app.main;
  if (m.mvmode == 1) {
    for (int k = 1; k <= m.repkinds; ++k) m.repint[k] = 0;
    m.repint[7] = 1;
    m.repint[8] = 1;
    MvForm& mv = app.win.get<MvForm>();
    mv.show();
    mv.topmost = true;
    app.win.get<MvEngForm>().topmost = true;
  }
  app.win.get<MvAlarmForm>().topmost = true;
  alltopmost(app);
  besidemap(app);
  // The windows up already (the instruments, a base station's dial panel) are kept on top from
  // now on: each takes a place among the others as one coming up would.
  for (ui::Form* f : app.win.all())
    if (f->visible) placetoolwindow(app, *f);
  if (auto p = picture(app, "INSTRUPA.BMP")) app.win.get<IForm>().Image1.setpicture(std::move(p));
}

// The one-shot fix mode of PULFIX.CFG: waits for a fix on the serial port, writes PULFIX.DAT and
// ends the program.
void pulfix(App& app) {
  MainState& m = app.main;
  m.pulfixtime = readpulfixtime(app.files);
  m.pulfixon = 1;
  setstatlabel(app.win.get<StartForm>(), *app.sys.events, "ZARN configured to PULFIX");
  if (auto problem = loadccc(app.geo, app.files)) showmsg(app.voice, *problem);
  readcfg(app);
  if (!openport(app, "")) {
    setstatlabel(app.win.get<StartForm>(), *app.sys.events, "PULFIX Error - COM Port in ZARN.CFG");
    app.sys.wav->beep();
    m.quit = true;
    return;
  }
  app.gps.gpsoncom = 1;
  m.pulfixstart = app.timer();
  m.starting = 0;
  std::string result = "NO DATA";
  app.waitfor(m.pulfixtime, [&] {
    readcomms(app);
    const float t = elapsed(app.timer(), m.pulfixstart);
    setstatlabel(app.win.get<StartForm>(), *app.sys.events,
                 "ZARN configured to PULFIX" + text::str(text::fixint(m.pulfixtime - t)));
    if (app.gps.owny < 0) return false;
    gridreftext(app.geo, app.gps.ownx, app.gps.owny, result);
    setstatlabel(app.win.get<StartForm>(), *app.sys.events, "ZARN configured to PULFIX  " + result);
    return true;
  });
  writepulfix(app.voice, result);
  m.quit = true;
}

}  // namespace

void Form_Load(App& app, const std::string& cmdline) {
  MainState& m = app.main;
  m.starting = 1;
  m.cmdline = cmdline;
  m.starttime = app.timer();
  measurescreen(app);
  showstartwindow(app);
  // Saves cut short by a kill or a full disk leave their temporary files behind.
  app.files.clearleftovers();

  m.pollint = 0;
  checkfiles(app);
  if (app.files.exists("ADD2DIAL.CFG") && !app.files.exists("ZARNDIAL.CFG")) dialsetupwait(app);
  if (m.quit) return;
  readlinkflags(app);
  readautomapflag(app.files, app.map);
  readfeatureflags(app);
  m.lastsent = app.timer();
  readsounds(app.files, app.main, app.speech);
  readinputflags(app);
  app.nav.zonecount = 0;
  app.nav.zonemonon = 0;
  readzarndf(app.files, app.nav);
  app.nav.dfprevt.reset();
  readmapflags(app.files, app.map, app.main);
  language(app);
  readxyll(app.files, app.geo);
  readlayoutflags(app.files, app.map, app.main);
  designlayout(app.win.zarn);
  autoreso(app);
  app.win.zarn.onResize = [&app](int w, int h) { relayout(app, w, h); };
  app.win.zarn.map.move(0, 0, 640, 480);
  app.win.zarn.map.zorder(1);

  app.gps.fixvalid = 1;
  readutmcfg(app.files, app.geo);
  app.gps.astral = 0;
  tileinit(app.win.zarn);
  app.main.ldron = 0;
  app.map.caricon = 0;
  app.nav.wpfollowon = 0;
  app.map.arrowmode = 0;
  app.map.pointermode = 1;
  app.gps.rxprefix = "\r\n";
  app.gps.cmdend = "\r";
  readparserflags(app.files, app.gps, app.main, app.win.get<CForm>());
  // The call-sign box written, the control panel exists: its load handler runs now, while its
  // lists are still empty; the destinations and the catalogue fill them later.
  cform::Form_Load(app);
  app.gps.switchstates = "........";
  app.gps.plotbusy = 0;
  m.playback = 0;
  readzarnkeys(app);
  app.nav.routeshown = 0;
  app.gps.datatrakseen = 0;
  app.map.geomanon = 0;
  app.nav.rgimanon = 0;
  app.gps.rawlog = flagfile(app.files, "RAWLOG.CFG");

  app.gps.replayfile = "ZARN.NME";
  const std::string cmd = ucase(cmdline);
  if (cmd.find(".NME") != std::string::npos) app.gps.replayfile = cmdline;
  if (cmd.find(".TRK") != std::string::npos) app.gps.replayfile = cmdline;
  app.map.placesfile = "ZARN.WAW";
  app.map.nofcache = flagfile(app.files, "ZARNNEAR.NOF");
  chase(app);
  resetstate(app);
  startbatch(app);

  if (app.files.exists("PULFIX.CFG")) {
    pulfix(app);
    return;
  }
  m.pulfixon = 0;
  greet(app);
  vehiclemode(app);

  stage(app, "Checking Grid system ...");
  if (auto problem = loadccc(app.geo, app.files)) showmsg(app.voice, *problem);
  setstatlabel(app.win.get<StartForm>(), *app.sys.events, "Checking Configuration ...");
  const bool configured = readcfg(app);
  delaysec(app, 0.5f);
  if (!configured) stage(app, "ZARN.CFG is missing or short: no destination and no serial GPS", 1.0f);
  if (!maps(app)) return;
  app.nav.zoilogon = 0;
  readzarnlog(app.files, app.nav);
  locations(app);
  inputoptions(app);
  speechlibrary(app);
  datastages(app);
  serialport(app);
  receiverinit(app);
  if (m.mvmode == 1) {
    std::string problem;
    std::optional<std::string> refused;
    if (!readmcv(app, &problem, &refused)) stage(app, problem, 1.0f);
    // Settings the line refuses are a port that cannot be used, as one that cannot be opened.
    if (refused && app.gps.gpsoncom == 1) portunavailable(app, *refused);
  }
  checkscompleted(app);
  if (!displaystages(app)) return;
  firstdestination(app, configured);
  demostate(app);
  windowsup(app);
  if (m.quit) return;
  ontop(app);
  // Keys typed at once go to the map window, not to one above it, and what they type is not
  // wiped by the first tick's set-up of the search box.
  searchsetup(app);
  app.win.zarn.takefocus(true);
  m.starting = 0;
  m.timer1 = 1;
}

std::optional<std::string> nomapfolder(const platform::Files& files) {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(files.workdir(), ec)) {
    const std::string name = text::ucase(e.path().filename().string());
    if (name == "MAPS.DIR" || (name.size() > 4 && name.ends_with(".DES"))) return std::nullopt;
  }
  if (ec) return "zarn cannot read the folder " + files.workdir().string() + ": " + ec.message() + ".";
  return "The folder " + files.workdir().string() +
         " holds no maps (no MAPS.DIR and no map description files), so zarn has nothing to show; it "
         "writes nothing there.\nStart zarn in a folder of maps, or run scripts/start.sh to start it on "
         "the demo maps.";
}

}  // namespace zarn
