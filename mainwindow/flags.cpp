#include "mainwindow/flags.h"

#include "app/app.h"
#include "geodesy/helpers.h"
#include "mainwindow/cform.h"
#include "vehicles/mvforms.h"

namespace zarn {

int flagfile(const App& app, std::string_view name) { return fileexists(app.files, name); }

void readlinkflags(App& app) {
  app.speech.talkext = static_cast<std::int16_t>(flagfile(app, "ZARNTALK.CFG"));
  app.main.poweroff = flagfile(app, "POWEROFF.CFG");
  app.veh.pageron = flagfile(app, "PAGERON.CFG");
  app.gps.ringstop = flagfile(app, "RINGSTOP.CFG");
  app.gps.taipon = flagfile(app, "TAIP.CFG");
  app.gps.datatrakon = flagfile(app, "DATATRAK.CFG");
}

void readautomapflag(App& app) {
  MapView& m = app.map;
  m.automapdist = readfirstnum(app.files, "ROMSHELF.CFG").value_or(0);
  m.automapon = 0;
  if (m.automapdist == 0)
    m.automapdist = 5.0f;
  else
    m.automapon = 1;
}

void readfeatureflags(App& app) {
  app.speech.nosound = static_cast<std::int16_t>(flagfile(app, "NOSOUND.CFG"));
  app.nav.speedwarnon = flagfile(app, "SPEEDWAR.CFG");
  app.veh.nonewmv = flagfile(app, "MVNONEW.CFG");
  if (app.veh.nonewmv > 0) app.win.get<MvForm>().nonewl.set("ignore new vehicles");
  app.gps.autohangup = static_cast<int>(readfirstnum(app.files, "DIALTIME.CFG").value_or(0));
  if (flagfile(app, "SENDACKC.CFG")) {
    MvAlarmForm& a = app.win.get<MvAlarmForm>();
    a.cancel.left = a.ack.left;
    a.ack.visible = false;
  }
}

void readinputflags(App& app) {
  app.gps.onlyrmc = flagfile(app, "ONLYRMC.CFG");
  app.main.cmsgon = flagfile(app, "CMESSAGE.CFG");
  if (flagfile(app, "MOUSEPTR.ICO")) {
    ui::Image& icon = app.win.zarn.iconmouse;
    icon.setpicture(app.sys.images->load(app.files.resolve("MOUSEPTR.ICO")));
    icon.visible = true;
  }
}

void readmapflags(App& app) {
  const float d = readfirstnum(app.files, "ZARNTILE.CFG").value_or(0);
  app.map.recentredist = d == 0 ? 40.0f : d;
  app.main.metric = flagfile(app, "METRIC.CFG");
  app.main.nautical = flagfile(app, "NAUTICAL.CFG");
  app.main.mapmatch = flagfile(app, "MAPMATCH.CFG");
}

void readlayoutflags(App& app) {
  app.map.mapzoom = flagfile(app, "MAPZOOM.CFG");
  app.main.scalelayout = flagfile(app, "800600.CFG");
}

void readparserflags(App& app) {
  app.gps.chksumoff = flagfile(app, "NOCHKSUM.CFG");
  app.gps.logprefix = readfirstline(app.files, "ZARNLOG.CFG").value_or("");
  app.gps.callsep = readfirstline(app.files, "CALLSIGN.CFG").value_or("");
  if (app.gps.callsep.empty()) app.gps.callsep = ">ZARN";
  app.win.get<CForm>().csgn.text = app.gps.callsep;
  app.main.kcfon = flagfile(app, "ZARN.KCF");
}

}  // namespace zarn
