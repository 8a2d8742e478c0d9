#include "mainwindow/demo.h"

#include "app/app.h"
#include "gpsinput/logs.h"
#include "gpsinput/ownfix.h"
#include "gpsinput/serialpoll.h"
#include "mainwindow/cform.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/owncar.h"
#include "navigation/directionfinding.h"
#include "navigation/iform.h"
#include "speech/queue.h"
#include "vehicles/mvforms.h"

namespace zarn {

void startdemo(App& app) {
  MainState& m = app.main;
  settalk(app.voice, 1);
  m.demoreopen = 1;
  m.playback = 0;
  // A file that could not be opened is tried afresh, and named again if it still cannot.
  setreplayfile(app.gps, app.gps.replayfile);
  cleartrail(app.map, app.win.zarn);
  app.win.zarn.modebox.set("DEM");
  m.demoon = 1;
  resetlink(app.gps);
}

void stopdemo(App& app) {
  MainState& m = app.main;
  auto& z = app.win.zarn;
  z.modebox.set("OLD");
  app.gps.chksumoff = 0;
  setminscale(app.map, 0);
  z.touch();
  setgpscorr(app.gps, m.cfgcorre, m.cfgcorrn);
  settalk(app.voice, 0);
  dfbearing(app, 999, 0);  // any bearing above 360 but 888 clears the lines
  app.win.get<MvAlarmForm>().hide();
  app.win.get<IForm>().hide();
  if (m.mvmode > 0) {
    for (int i = 1; i <= app.veh.mvsize; ++i) {
      if (z.mvim.exists(i)) z.mvim[i].visible = false;
      if (z.mvv.exists(i)) z.mvv[i].visible = false;
    }
    m.mvmode = 0;
    app.win.get<MvForm>().hide();
    z.car.setpicture(app.sys.images->load(app.files.resolve("CARICON0.ICO")));
  }
  setreplayfile(app.gps, "ZARN.NME");
  m.demoon = 0;
  app.win.get<CForm>().hide();
}

void demooff(MainState& m) { m.demoon = 0; }

}  // namespace zarn
