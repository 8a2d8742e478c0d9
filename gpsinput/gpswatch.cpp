#include "gpsinput/gpswatch.h"

#include "app/app.h"
#include "geodesy/helpers.h"
#include "gpsinput/ownfix.h"
#include "mainwindow/readouts.h"
#include "mainwindow/smallservices.h"
#include "mapdisplay/owncar.h"
#include "navigation/tripmeter.h"
#include "speech/msgline.h"
#include "speech/queue.h"

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
  setstatcol(app, ui::green);
  setfillcol(app, ui::green);
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
    cleartrail(app);
    showmsg(app, "I am receiving GPS data !");
    if (app.main.repint[8] > 0) queuewav(app, "gotgps.wav");
    speakqueue(app);
  }
  setgpscorr(g, app.main.cfgcorre, app.main.cfgcorrn);
  g.ownx = g.prevx;
  g.owny = g.prevy;
  resettrip(app);
}

void receptionlost(App& app) {
  auto& g = app.gps;
  auto& z = app.win.zarn;
  auto& sp = app.speech;
  if (app.main.mvmode == 1) caricon(app, "$mv$ysel.ico");
  setstatcol(app, ui::yellow);
  if (z.modebox.caption == "GPS") z.modebox.set("OLD");
  z.modebox.backcolor = ui::yellow;
  setfillcol(app, ui::red);
  g.ownhdg = -1;
  g.ownspd = 0;
  endsentence(app);
  {
    TalkGuard talk(sp);
    talk.unstopped();
    showmsg(app, "I'm not receiving any GPS data");
    talk.on();
    if (app.main.repint[8] > 0) queuewav(app, "notgps.wav");
    speakqueue(app);
  }
  if (app.main.mvmode == 1) g.reportmode = 0;  // a half-read report is abandoned
}
}  // namespace

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
