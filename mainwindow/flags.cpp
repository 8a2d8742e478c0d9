#include "mainwindow/flags.h"

#include "app/app.h"
#include "geodesy/helpers.h"
#include "mainwindow/cform.h"
#include "platform/textrules.h"
#include "vehicles/mvforms.h"

namespace zarn {

int flagfile(const platform::Files& files, std::string_view name) { return fileexists(files, name); }

void readlinkflags(App& app) {
  app.speech.talkext = static_cast<std::int16_t>(flagfile(app.files, "ZARNTALK.CFG"));
  app.main.poweroff = flagfile(app.files, "POWEROFF.CFG");
  app.veh.pageron = flagfile(app.files, "PAGERON.CFG");
  app.gps.ringstop = flagfile(app.files, "RINGSTOP.CFG");
  app.gps.taipon = flagfile(app.files, "TAIP.CFG");
  app.gps.datatrakon = flagfile(app.files, "DATATRAK.CFG");
}

void readautomapflag(const platform::Files& files, MapView& m) {
  m.automapdist = readfirstnum(files, "ROMSHELF.CFG").value_or(0);
  m.automapon = 0;
  if (m.automapdist == 0)
    m.automapdist = 5.0f;
  else
    m.automapon = 1;
}

void readfeatureflags(App& app) {
  app.speech.nosound = static_cast<std::int16_t>(flagfile(app.files, "NOSOUND.CFG"));
  app.nav.speedwarnon = flagfile(app.files, "SPEEDWAR.CFG");
  app.veh.nonewmv = flagfile(app.files, "MVNONEW.CFG");
  if (app.veh.nonewmv > 0) app.win.get<MvForm>().nonewl.set("ignore new vehicles");
  app.gps.autohangup = text::fixint(readfirstnum(app.files, "DIALTIME.CFG").value_or(0));
  if (flagfile(app.files, "SENDACKC.CFG")) {
    MvAlarmForm& a = app.win.get<MvAlarmForm>();
    a.cancel.left = a.ack.left;
    a.ack.visible = false;
  }
}

void readinputflags(App& app) {
  app.gps.onlyrmc = flagfile(app.files, "ONLYRMC.CFG");
  app.main.cmsgon = flagfile(app.files, "CMESSAGE.CFG");
  if (flagfile(app.files, "MOUSEPTR.ICO")) {
    ui::Image& icon = app.win.zarn.iconmouse;
    icon.setpicture(app.sys.images->load(app.files.resolve("MOUSEPTR.ICO")));
    icon.visible = true;
    app.win.zarn.mousepointer = ui::Form::Pointer::cross;
  }
}

void readmapflags(const platform::Files& files, MapView& map, MainState& m) {
  const float d = readfirstnum(files, "ZARNTILE.CFG").value_or(0);
  map.recentredist = d == 0 ? 40.0f : d;
  m.metric = flagfile(files, "METRIC.CFG");
  m.nautical = flagfile(files, "NAUTICAL.CFG");
  m.mapmatch = flagfile(files, "MAPMATCH.CFG");
}

void readlayoutflags(const platform::Files& files, MapView& map, MainState& m) {
  map.mapzoom = flagfile(files, "MAPZOOM.CFG");
  m.scalelayout = flagfile(files, "800600.CFG");
}

void readparserflags(const platform::Files& files, GpsState& g, MainState& m, CForm& cf) {
  g.chksumoff = flagfile(files, "NOCHKSUM.CFG");
  g.logprefix = readfirstline(files, "ZARNLOG.CFG").value_or("");
  g.callsep = readfirstline(files, "CALLSIGN.CFG").value_or("");
  if (g.callsep.empty()) g.callsep = ">ZARN";
  cf.csgn.text = g.callsep;
  m.kcfon = flagfile(files, "ZARN.KCF");
}

}  // namespace zarn
