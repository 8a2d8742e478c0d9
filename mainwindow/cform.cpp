#include "mainwindow/cform.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/fform.h"
#include "gpsinput/logs.h"
#include "mainwindow/demo.h"
#include "mainwindow/exitseq.h"
#include "mainwindow/keys.h"
#include "mainwindow/layout.h"
#include "mainwindow/ldriver.h"
#include "mainwindow/mvdemo.h"
#include "mainwindow/secondary.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/landmarks.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/mapload.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/pictures.h"
#include "navigation/destinations.h"
#include "navigation/iform.h"
#include "navigation/rgiman.h"
#include "navigation/warnings.h"
#include "navigation/wpform.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/position.h"
#include "speech/queue.h"
#include "speech/rform.h"
#include "vehicles/chase.h"

namespace zarn {

namespace {

// The window a handler works on; it exists, as the click came from it.
CForm& panel(App& app) { return app.win.get<CForm>(); }

void setpicture(App& app, ui::Image& img, const std::string& file) {
  img.setpicture(loadpicture(app.files, *app.sys.images, file));
}

// A demo from the panel: whatever plays stops, the file is rewound from its start, and the
// panel goes out of the way.
void rundemo(App& app, const char* file) {
  stopdemo(app);
  setreplayfile(app.gps, file);
  startdemo(app);
  panel(app).hide();
}

void wire(App& app, CForm& c) {
  c.wired = true;
  using Handler = void (*)(App&);
  const std::pair<ui::Control*, Handler> clicks[] = {
      {&c.arrowcmd, cform::arrowcmd_Click},       {&c.celldemocmd, cform::celldemocmd_Click},
      {&c.chasecmd, cform::chasecmd_Click},       {&c.Command1, cform::Command1_Click},
      {&c.comspdcmd, cform::comspdcmd_Click},     {&c.democmd, cform::democmd_Click},
      {&c.desti, cform::desti_Click},             {&c.dfdemo, cform::dfdemo_Click},
      {&c.exit, cform::exit_Click},               {&c.geomancmd, cform::geomancmd_Click},
      {&c.hidecmd, cform::hide_Click},               {&c.hidezarn, cform::hidezarn_Click},
      {&c.histcmd, cform::histcmd_Click},         {&c.ldrivercmd, cform::ldrivercmd_Click},
      {&c.map, cform::map_Click},                 {&c.maxnopcmd, cform::maxnopcmd_Click},
      {&c.mv, cform::mv_Click},                   {&c.nochksumcmd, cform::nochksumcmd_Click},
      {&c.playbackcmd, cform::playbackcmd_Click}, {&c.pointercmd, cform::pointercmd_Click},
      {&c.rformon, cform::rformon_Click},         {&c.rgicmd, cform::rgicmd_Click},
      {&c.routecmd, cform::routecmd_Click},       {&c.scalebarcmd, cform::scalebarcmd_Click},
      {&c.showinst, cform::showinst_Click},       {&c.stopdemo, cform::stopdemo_Click},
      {&c.symbolcmd, cform::symbolcmd_Click},     {&c.zonemoncmd, cform::zonemoncmd_Click},
      {&c.zoomcmd, cform::zoomcmd_Click}};
  for (auto [control, handler] : clicks) control->onClick = [&app, handler = handler] { handler(app); };
  c.onKeyPress = [&app](int& key) { cform::Form_KeyPress(app, key); };
  c.onGotFocus = [&app] { cform::Form_GotFocus(app); };
  // Closed with its close box, the old panel was unloaded: it comes back with its lists read
  // again.
  c.onClose = [&c] { c.reload = true; };
  // The previews show what the map draws at start.
  setpicture(app, c.arrow, "VECTR0.ICO");
  c.arrow.visible = app.map.arrowmode != 0;
  c.pointer.visible = app.map.pointermode != 0;
  c.symbol.setpicture(app.win.zarn.car.picture);

  // The "+" at the left of the read-outs brings the panel up.
  app.win.zarn.showcmd.onClick = [&app] { showcform(app); };

  ZarnBgdForm& b = app.win.get<ZarnBgdForm>();
  b.Command1.onClick = [&app] { zarnbgd::Command1_Click(app); };
  b.onKeyPress = [&app](int& key) { cform::Form_KeyPress(app, key); };
}

}  // namespace

CForm& cformwindow(App& app) {
  CForm& c = panel(app);
  if (!c.wired) wire(app, c);
  return c;
}

void showcform(App& app) {
  CForm& c = cformwindow(app);
  if (c.reload) {
    c.reload = false;
    cform::Form_Load(app);
  }
  cform::Form_Paint(app);
  c.show();
  c.touch();
}

namespace cform {

void Form_Load(App& app) {
  CForm& c = panel(app);
  {
    TalkGuard talk(app.speech);
    talk.on();
    showmsg(app.voice, "the panel will reload faster if you use [Cancel] instead of x");
  }
  const MapView& m = app.map;
  c.map.clear();
  for (int i = 1; i <= m.mapcount; ++i) {
    // A description gone since start-up: the row keeps the map's name, so that the rows after
    // it still open their own maps.
    std::string title = readdesname(app.files, m, i);
    if (title.empty()) title = m.mapname[static_cast<std::size_t>(i)];
    c.map.additem(title);
  }
  const NavState& n = app.nav;
  c.desti.clear();
  for (int i = 1; i <= std::min(n.adhocdest, NavState::destmax); ++i) c.desti.additem(n.destlabel[static_cast<std::size_t>(i)]);
  c.touch();
}

void Form_Paint(App& app) {
  CForm& c = panel(app);
  c.Label3.caption = "List of" + text::str(static_cast<long long>(app.map.mapcount)) + " maps";
  // The rows of the map shown and of the current destination are the selected ones: a list
  // that takes the focus with no row selected would select its first row, which reads as a
  // click on it.
  const auto row = [](const ui::ListBox& l, int n) { return n >= 1 && n <= static_cast<int>(l.items.size()) ? n - 1 : -1; };
  c.map.listindex = row(c.map, app.map.curmap);
  c.desti.listindex = row(c.desti, app.nav.curdest);
}

void Form_GotFocus(App& app) { app.main.lastclick = app.timer(); }

void Form_KeyPress(App& app, int& key) {
  app.main.lastclick = app.timer();
  keycmd(app, key);
}

void arrowcmd_Click(App& app) {
  CForm& c = panel(app);
  MapView& m = app.map;
  m.arrowmode = m.arrowmode != 0 ? 0 : 1;
  c.arrow.visible = m.arrowmode == 1;
  c.arrowcmd.caption = m.arrowmode == 1 ? "ON" : "OFF";
  app.win.zarn.vecticon.visible = m.arrowmode == 1;
  app.win.zarn.touch();
  c.touch();
}

void pointercmd_Click(App& app) {
  CForm& c = panel(app);
  MapView& m = app.map;
  m.pointermode = m.pointermode != 0 ? 0 : 1;
  c.pointer.visible = m.pointermode == 1;
  c.pointercmd.caption = m.pointermode == 1 ? "ON" : "OFF";
  c.touch();
}

void symbolcmd_Click(App& app) {
  CForm& c = panel(app);
  MapView& m = app.map;
  if (++m.caricon > 9) m.caricon = -1;
  std::string file = "CARICON" + text::trim(text::str(static_cast<long long>(m.caricon))) + ".ICO";
  // CARICON-1.ICO is not looked for as such: minus one is the symbol switched off.
  if (m.caricon < 0 || !app.files.exists(file)) {
    m.caricon = -1;
    file = "NULLICON.ICO";
    c.symbolcmd.caption = "OFF";
  } else {
    c.symbolcmd.caption = text::trim(text::str(static_cast<long long>(m.caricon)));
  }
  auto& z = app.win.zarn;
  setpicture(app, z.car, file);
  c.symbol.setpicture(z.car.picture);
  z.car.visible = c.symbol.visible = true;
  z.touch();
  c.touch();
}

void Command1_Click(App& app) {
  MapView& m = app.map;
  m.automaps = 1 - m.automaps;
  panel(app).Command1.caption = m.automaps == 1 ? "ON" : "OFF";
  panel(app).touch();
}

void zoomcmd_Click(App& app) {
  if (app.map.minscale == 0) setminscale(app.map, 0.0001f);
  zoomnextmap(app);
}

void scalebarcmd_Click(App& app) {
  CForm& c = panel(app);
  auto& z = app.win.zarn;
  const bool show = c.scalebarcmd.caption == "Scale Bar OFF";
  c.scalebarcmd.caption = show ? "Scale Bar ON" : "Scale Bar OFF";
  for (ui::Control* s : std::initializer_list<ui::Control*>{&z.scalelab, &z.scalel1, &z.scalel2, &z.scalel3})
    s->visible = show;
  z.touch();
  c.touch();
}

void maxnopcmd_Click(App& app) {
  CForm& c = panel(app);
  MapView& m = app.map;
  int next = (m.ntrail / 10 + 1) * 10;
  if (next > 100) next = 10;
  // Cleared while the count still covers every dot shown: a shorter trail leaves none behind.
  cleartrail(m, app.win.zarn);
  m.ntrail = next;
  m.trailcount = 0;
  c.maxnopcmd.caption = "max" + text::str(static_cast<long long>(next));
  app.win.zarn.touch();
  c.touch();
}

void histcmd_Click(App& app) {
  MapView& m = app.map;
  if (++m.histint > 5) m.histint = -1;
  showhistint(m, panel(app));
}

void comspdcmd_Click(App& app) {
  CForm& c = panel(app);
  struct Step {
    const char* from;
    const char* to;
    const char* settings;
  };
  static constexpr Step steps[] = {{"COM 1200", "COM 4800", "4800,N,8,1"},
                                   {"COM 4800", "COM 9600", "9600,N,8,1"},
                                   {"COM 9600", "COM 1200", "1200,N,8,1"}};
  for (const Step& s : steps) {
    if (c.comspdcmd.caption != s.from) continue;
    c.comspdcmd.caption = s.to;
    // The port stays open: only its speed changes.
    app.sys.serial->setsettings(s.settings);
    break;
  }
  c.touch();
}

void nochksumcmd_Click(App& app) { app.gps.chksumoff = 1; }

void democmd_Click(App& app) { rundemo(app, "DEMO.NME"); }
void dfdemo_Click(App& app) { rundemo(app, "DFDEMO.NME"); }
void celldemocmd_Click(App& app) {
  if (!app.files.exists("CELLDEMO.NME")) {
    app.msgbox("You need CELLDEMO.NME", platform::mb::ok, "ZARN");
    return;
  }
  rundemo(app, "CELLDEMO.NME");
}
void stopdemo_Click(App& app) { stopdemo(app); }
void mv_Click(App& app) { mvdemo(app); }

void playbackcmd_Click(App& app) {
  showfform(app);
  app.main.playback = 1;
  panel(app).hide();
}

void chasecmd_Click(App& app) { chasetoggle(app); }
void ldrivercmd_Click(App& app) { ldriver(app); }

void geomancmd_Click(App& app) { showgform(app); }

void rgicmd_Click(App& app) { showrgiman(app); }
void routecmd_Click(App& app) { showwpform(app); }
void zonemoncmd_Click(App& app) { showzones(app); }
void rformon_Click(App& app) { app.win.get<RForm>().show(); }

void showinst_Click(App& app) {
  CForm& c = panel(app);
  IForm& i = instruments(app);
  if (i.visible) {
    i.hide();
    c.showinst.caption = "Instruments OFF";
  } else {
    i.show();
    loadinstrpic(i, app.voice);
    c.showinst.caption = "Instruments ON";
  }
  c.touch();
}

void hide_Click(App& app) { panel(app).hide(); }

void hidezarn_Click(App& app) {
  auto& z = app.win.zarn;
  z.hide();
  z.map.visible = false;
  panel(app).hide();
  app.win.get<ZarnBgdForm>().show();
}

void exit_Click(App& app) { exitprog(app); }

void desti_Click(App& app) {
  const CForm& c = panel(app);
  if (c.desti.listindex < 0) return;  // a list emptied under the pointer: nothing chosen
  NavState& n = app.nav;
  n.destwav = "destinat.wav";
  n.nodest = 0;
  const int i = c.desti.listindex + 1;
  if (i >= 1 && i <= std::min(n.adhocdest, NavState::destmax)) {
    const auto k = static_cast<std::size_t>(i);
    n.curdest = i;
    parsepos(app.geo, n.destname[k], n.destx[k], n.desty[k]);
    float lat = 0, lon = 0;
    osgbtoll(app.geo, n.destx[k], n.desty[k], lat, lon);
    latlongtext(lat, lon, n.destll[k]);
    // The table's own slots as arguments: setdest copies them before it writes the table.
    setdest(app, 0, n.destx[k], n.desty[k], n.destlabel[k]);
  }
  const auto cur = static_cast<std::size_t>(std::clamp(n.curdest, 0, NavState::destmax));
  choosemap(app, n.destx[cur], n.desty[cur]);
  app.main.destreptime = app.main.herereptime = app.timer();
  TalkGuard talk(app.speech);
  talk.on();
  sayposition(app, n.destx[cur], n.desty[cur], n.destwav);
}

void map_Click(App& app) {
  const int i = panel(app).map.listindex + 1;
  if (i < 1) return;
  if (i <= app.map.mapcount) loadmap(app, i);
  app.main.lastclick = app.timer() - 5;
}

}  // namespace cform

namespace zarnbgd {

void Command1_Click(App& app) {
  auto& z = app.win.zarn;
  z.show();
  z.map.visible = true;
  z.touch();
  app.win.get<ZarnBgdForm>().hide();
}

}  // namespace zarnbgd

}  // namespace zarn
