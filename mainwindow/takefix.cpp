#include "mainwindow/takefix.h"

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "gpsinput/gpseng.h"
#include "gpsinput/logs.h"
#include "gpsinput/nmea.h"
#include "gpsinput/ownfix.h"
#include "gpsinput/rxbuffer.h"
#include "mainwindow/demo.h"
#include "mainwindow/readouts.h"
#include "mainwindow/smallservices.h"
#include "mainwindow/tick.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/redraw.h"
#include "mapdisplay/symbols.h"
#include "navigation/destinations.h"
#include "navigation/directionfinding.h"
#include "navigation/iform.h"
#include "navigation/tripmeter.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/position.h"
#include "speech/queue.h"
#include "speech/reports.h"
#include "vehicles/alerts.h"
#include "vehicles/mcv.h"
#include "vehicles/pager.h"

namespace zarn {

namespace {
// The car icon of multi-vehicle mode is decoration: a missing file leaves the one shown.
void caricon(App& app, const char* file) {
  if (auto pic = app.sys.images->load(app.files.resolve(file))) app.win.zarn.car.setpicture(std::move(pic));
}

void receptionstarts(App& app) {
  auto& g = app.gps;
  auto& z = app.win.zarn;
  auto& sp = app.speech;
  g.rxseen = 1;
  if (app.main.mvmode == 1) caricon(app, "$mv$gsel.ico");
  setstatcol(app.win.zarn, ui::green);
  setfillcol(app.main, app.win, ui::green);
  z.modebox.set("GPS");
  g.ownve = 0;
  g.ownvn = 0;
  g.ownhdg = -1;
  g.ownspd = 0;
  z.hdgbox.set(" ");
  z.spdbox.set(" ");
  {
    TalkGuard talk(sp);
    talk.on().unstopped();
    cleartrail(app.map, app.win.zarn);
    showmsg(app.voice, "I am receiving GPS data !");
    if (app.main.repint[8] > 0) queuewav(app.voice, "gotgps.wav");
    speakqueue(app.voice);
  }
  setgpscorr(g, app.main.cfgcorre, app.main.cfgcorrn);
  setownpos(g, g.prevx, g.prevy);
  resettrip(app.nav, instruments(app), app.timer());
}

void receptionlost(App& app) {
  auto& g = app.gps;
  auto& z = app.win.zarn;
  auto& sp = app.speech;
  if (app.main.mvmode == 1) caricon(app, "$mv$ysel.ico");
  setstatcol(app.win.zarn, ui::yellow);
  if (z.modebox.caption == "GPS") z.modebox.set("OLD");
  z.modebox.backcolor = ui::yellow;
  setfillcol(app.main, app.win, ui::red);
  g.ownhdg = -1;
  g.ownspd = 0;
  endsentence(app.voice);
  {
    TalkGuard talk(sp);
    talk.unstopped();
    showmsg(app.voice, "I'm not receiving any GPS data");
    talk.on();
    if (app.main.repint[8] > 0) queuewav(app.voice, "notgps.wav");
    speakqueue(app.voice);
  }
  if (app.main.mvmode == 1) g.reportmode = ReportMode::line1;  // a half-read report is abandoned
}
// The RMC of a chased unit becomes the moving destination; the own fix is not touched.
void chase(App& app, float gx, float gy) {
  auto& n = app.nav;
  std::string t;
  gridreftext(app.geo, gx, gy, t);
  if (t.size() == 14) t = text::mid(t, 1, 2) + text::mid(t, 4, 3) + text::mid(t, 10, 3);
  const bool slot = putdest(app.nav, t, gx, gy, app.main.chasename + " " + t, app.main.chasewav);
  showdest(app, gx, gy, n.curdest);
  addtrail(app.map, app.win.zarn, app.geo, app.gps, gx, gy);
  showdestdist(app);
  if (!followsdest(app)) {
    choosemap(app, app.gps.ownx, app.gps.owny);
  } else if (slot) {
    choosemap(app, gx, gy);
  }
  if (elapsed(app.timer(), app.main.destreptime) > 10) {
    restartreport(app.main, app.timer(), 2);
    saydestdist(app.voice, app.win.zarn.disbox.caption, app.gps.ownhdg, app.nav.clockbrg, app.nav.destwav);
  }
  app.doevents();
  if (elapsed(app.timer(), app.gps.chasesaid) > 60) {
    app.gps.chasesaid = app.timer();
    sayposition(app, gx, gy, n.destwav);
  }
  app.doevents();
}

// A TXT sentence of a remote unit: its message raises the unit's alert. True when the unit is
// in the table.
bool vehicletext(App& app, const std::string& line) {
  auto& v = app.veh;
  const int i = findvehicle(app.veh, app.gps, *app.sys.wav, text::mid(line, 2, 2));
  const auto slot = static_cast<std::size_t>(i);
  if (i <= 0 || slot >= v.mvx.size()) return false;
  const std::string message = text::mid(line, 8);
  std::string place;
  gridreftext(app.geo, v.mvx[slot], v.mvy[slot], place);
  v.mvstat[slot] = message.size() <= 2 ? "C" + message : text::mid(message, 1, 3);
  mvalertmsg(app, i, message, place, v.mvhhmm[slot]);
  return true;
}

// A coded status with the own fix (CMESSAGE.CFG): a new one raises the alert of unit 1.
void codedalert(App& app, const std::string& codedstatus) {
  if (codedstatus == "NULL") return;
  std::string st = codedstatus;
  st.resize(3, ' ');
  auto& v = app.veh;
  if (v.mvstat.size() > 1 && st != v.mvstat[1]) {
    v.mvstat[1] = st;
    const std::string now = text::timetext(app.sys.clock->now());
    mvalertmsg(app, 1, codedstatus, app.gps.owngrid, text::mid(now, 1, 2) + text::mid(now, 4, 2));
  }
}

// The map follows a direction-finding sector: wide enough to hold it, or any scale again.
void followsector(App& app) {
  const DfSector& d = app.gps.dfsector;
  if (d.dfsecmode == 1) {
    if (2 * d.dfsecrad > app.map.minscale) setminscale(app.map, 2 * d.dfsecrad);
  } else {
    setminscale(app.map, 0);
  }
  app.win.zarn.spdbox.set("");
  app.win.zarn.hdgbox.set("");
  zoomnextmap(app);
  drawdfsector(app.win.zarn, app.geo, app.map, app.gps.dfsector);
}

// The status lights and the read-outs of the own fix.
void showfix(App& app, const LineResult& r) {
  if (r.fill) setfillcol(app.main, app.win, *r.fill);
  if (r.voided) setstatcol(app.win.zarn, ui::yellow);
  if (r.position) showposition(app.gps, app.win.zarn);
  if (r.heading) showheading(app.gps, app.win.zarn);
  if (r.speed) showspeed(app.gps, app.main, app.win.zarn);
}

// How the line ends: a good fix moves the car (at most twice a second, and not while the
// playback window draws), a line without a position says so; then the engineering window.
void linetail(App& app, const LineResult& r, const std::string& line) {
  using Tail = LineResult::Tail;
  auto& g = app.gps;
  auto& z = app.win.zarn;
  Tail tail = r.tail;
  if (tail == Tail::GoodFix) {
    z.o.load(0).visible = true;
    z.o.load(1).visible = true;
    if (elapsed(app.timer(), g.carupdtime) > 0.5f && g.drawmode == 0) {
      updatecar(app);  // stamps carupdtime
    }
    tail = Tail::Engineering;
  } else if (tail == Tail::NoPosition) {
    z.llbox.set("No position yet");
    z.o.load(0).visible = false;
    z.o.load(1).visible = false;
    tail = Tail::Engineering;
  }
  if (tail == Tail::Engineering) {
    if (app.win.loaded<GpsEngForm>() && app.win.get<GpsEngForm>().visible)
      gpsengupdate(app.voice, app.gps, app.win.get<GpsEngForm>(), line, r.type, r.got, r.calc);
  }
}

}  // namespace

int applyline(App& app, const LineResult& r, std::string& line) {
  auto& g = app.gps;
  auto& z = app.win.zarn;
  int handled = r.handled;
  // The coded status of the sentence's talker, with its car icon.
  std::string codedstatus = "NULL";
  if (app.main.cmsgon > 0) {
    std::string id, icon;
    cmessage(app.files, text::mid(line, 2, 2), id, icon, codedstatus);
    if (icon != "NULL" && app.files.exists(icon)) z.car.setpicture(app.sys.images->load(app.files.resolve(icon)));
  }
  showfix(app, r);
  if (r.sector) followsector(app);
  if (r.dfline) {
    if (line.find('.') != std::string::npos) {
      dfinput(app, line);
    } else if (text::mid(line, 5, 1) == "/") {
      dfinput2(app, line);
    }
    writetriplog(app.gps, line);
  }
  if (r.dfbearing) dfbearing(app, static_cast<float>(*r.dfbearing), 8);
  if (r.vehicletext && vehicletext(app, line)) handled = 0;
  if (r.chase) chase(app, r.chase->first, r.chase->second);
  if (r.pager) {
    const std::string id = text::trim(g.callsign).empty() ? std::string("GP  ") : g.callsign;
    pagerreq(app.veh, app.files, *app.sys.clock, id, g.ownlat, g.ownlon, g.ownhdg, g.ownspd, "00");
  }
  if (r.codedfix) codedalert(app, codedstatus);

  linetail(app, r, line);
  clearrxbuf(g);
  z.showcmd.backcolor = 0x00FF00;
  app.doevents();
  return handled;
}

void applyrecord(App& app, const LineResult& r, const std::string& line) {
  showfix(app, r);
  linetail(app, r, line);
}

int applysentence(App& app, std::string& line) {
  const LineResult r = gpsparse(app, line);
  return applyline(app, r, line);
}

void followtrack(App& app) {
  const GpsState& g = app.gps;
  if (g.plotbusy != 1) addtrail(app.map, app.win.zarn, app.geo, app.gps, g.ownx, g.owny);
  updatecar(app);
}

void applyfilelink(App& app, std::string& line) {
  demooff(app.main);
  stripcall(app.gps, app.win, line);
  applysentence(app, line);
  app.gps.lastgpstime = app.timer();
  gpswatch(app);
}

void gpswatch(App& app) {
  if (app.main.starting == 1) return;
  auto& g = app.gps;
  g.gpsage = elapsed(app.timer(), g.lastgpstime);
  g.gpsrx = g.gpsage < g.gpstimeout ? 1 : 0;
  if (g.gpsrx != g.rxstate) {
    g.rxstate = g.gpsrx;
    if (g.gpsrx == 1) {
      receptionstarts(app);
    } else {
      receptionlost(app);
    }
  }
  if (g.dgpsfix != g.prevdgps) {
    g.prevdgps = g.dgpsfix;
    app.win.zarn.modebox.forecolor = g.dgpsfix == 1 ? ui::green : ui::black;
  }
}

}  // namespace zarn
