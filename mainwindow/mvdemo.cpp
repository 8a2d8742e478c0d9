#include "mainwindow/mvdemo.h"

#include "app/app.h"
#include "gpsinput/logs.h"
#include "mainwindow/cform.h"
#include "mainwindow/demo.h"
#include "mainwindow/keys.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/pictures.h"
#include "platform/textrules.h"
#include "vehicles/mcv.h"
#include "vehicles/mvforms.h"

namespace zarn {

namespace {

// "$mv$01.ICO" .. "$mv$27.ICO": the picture of each vehicle slot.
std::string slotpicture(int i) { return "$mv$" + text::padleft(std::to_string(i), 2, '0') + ".ICO"; }

}  // namespace

void mvdemo(App& app) {
  MainState& m = app.main;
  GpsState& g = app.gps;
  VehicleTable& v = app.veh;
  auto& z = app.win.zarn;

  stopdemo(app);
  g.chksumoff = 1;
  sizetable(v, VehicleTable::mvdefault);
  if (auto car = loadpicture(app.files, *app.sys.images, "CARICON3.ICO")) z.car.setpicture(std::move(car));
  m.mvmode = 1;
  v.mvsel = 1;
  g.rawlog = true;
  v.nonewmv = false;

  MvForm& mv = app.win.get<MvForm>();
  mv.show();
  if (app.files.exists("ZARN.MVD")) setreplayfile(g, "ZARN.MVD");
  // The alert and engineering windows are made, hidden, so that they too stay above the map.
  mv.topmost = app.win.get<MvEngForm>().topmost = app.win.get<MvAlarmForm>().topmost = true;
  m.demoreopen = 1;

  // Every slot gets its icon and heading line, in front of the map; they show once the slot
  // reports. A slot made here is a copy of element 0, to which a base station's start-up gave
  // the vehicles' picture ($mv$.ICO); on a single car's it gets that picture now. A slot's own
  // picture replaces what it has; without one it keeps its picture, which may be the one its
  // label gave it at start-up.
  if (ui::Image& icon = z.mvim.load(0); !icon.picture) {
    if (auto common = loadpicture(app.files, *app.sys.images, "$mv$.ICO")) icon.setpicture(std::move(common));
  }
  for (int i = 1; i <= v.mvsize; ++i) {
    ui::Image& im = z.mvim.load(i);
    ui::Line& ln = z.mvv.load(i);
    im.zorder(0);
    ln.zorder(0);
    if (auto own = loadpicture(app.files, *app.sys.images, slotpicture(i))) im.setpicture(std::move(own));
  }

  m.stepsecs = 1.0f;
  g.mvdatamode = DataMode::position;
  g.reportmode = ReportMode::line1;
  g.protocode = 8;
  v.mvautosel = true;
  mv.autoselab.backcolor = ui::green;
  mv.touch();

  v.alarmcount = 0;
  app.speech.talkstop = 0;
  m.playback = 0;
  cleartrail(app.map, z);
  z.modebox.set("DEM");
  m.demoon = 1;
  v.mvtotal = 0;
  z.touch();
  app.win.get<CForm>().hide();
  // The vehicle windows and icons made here take their keys and clicks as start-up's would.
  wirekeys(app);
}

}  // namespace zarn
