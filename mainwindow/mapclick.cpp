#include "mainwindow/mapclick.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/logs.h"
#include "gpsinput/ownfix.h"
#include "mainwindow/demo.h"
#include "mainwindow/readouts.h"
#include "mapdisplay/landmarks.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/overlays.h"
#include "mapdisplay/owncar.h"
#include "navigation/destinations.h"
#include "navigation/rgiman.h"
#include "navigation/roadnet.h"
#include "navigation/waypoints.h"
#include "navigation/wpform.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/position.h"

namespace zarn {

namespace {

template <class F> bool showing(App& app) { return app.win.loaded<F>() && app.win.get<F>().visible; }

void appendto(App& app, const std::string& name, const std::string& line) {
  std::string error;
  auto f = platform::OutputFile::open(app.files, name, platform::OutputFile::Mode::Append, &error);
  if (!f || !f->print(line) || !f->close(&error)) showmsg(app.voice, name + " not written: " + error);
}

// The velocity (m/s) of a speed (km/h) on the own heading; none without a heading.
void headingvelocity(GpsState& g, float kmh) {
  if (g.ownhdg < 0) {
    g.ownve = g.ownvn = 0;
    return;
  }
  const double r = g.ownhdg * shortpi / 180;
  g.ownve = static_cast<float>(kmh * std::sin(r) / 3.6);
  g.ownvn = static_cast<float>(kmh * std::cos(r) / 3.6);
}

void showhdg(App& app) {
  if (app.gps.ownhdg >= 0) app.win.zarn.hdgbox.set(text::format(app.gps.ownhdg, "000"));
}

// NMEA recording: the car drives to the click at 45 km/h and the recording gets the position.
// The heading is measured from where the car was (the click before, or the fix); with no
// position yet it stays as it is.
void simdrive(App& app, float x, float y, const std::string& ll) {
  GpsState& g = app.gps;
  if (!isnopos(g.ownx, g.owny)) bearingdeg(x - g.ownx, y - g.owny, g.ownhdg);
  g.ownspd = 45.0f;
  showhdg(app);
  headingvelocity(g, g.ownspd);
  showspeed(g, app.main, app.win.zarn);
  setownpos(g, x, y);
  choosemap(app, g.ownx, g.owny);
  updatecar(app);
  writenmepos(app.files, *app.sys.clock, ll, text::format(std::max(g.ownhdg, 0), "000"));
}

void addwp(App& app, float x, float y) {
  NavState& n = app.nav;
  // A radius of the map's width over 213, and 120 m more.
  if (!addwaypoint(n, x, y, (app.map.mapxmax - app.map.mapxmin) / 213 + 0.12f)) {
    app.sys.wav->beep();
    return;
  }
  showwpcount(app);
  n.routeshown = 1;
  drawwproute(app);
}

void digclick(App& app, int button, const std::string& grid) {
  const MainState& m = app.main;
  appendto(app, "NEW.GTX", m.digclass + grid + "," + m.digname + ",");
  const std::string& name = m.digname;
  const std::string road = name.size() > 2 ? name.substr(1, name.size() - 2) : name;  // "#A34#": A34
  appendto(app, "newroad.dat", button == ui::button_left ? grid : "MOVE " + road);
}

// The left button: the click is the destination, marked and announced.
void clickdest(App& app, float x, float y, const std::string& grid, const std::string& ll) {
  NavState& n = app.nav;
  n.nodest = 0;  // a destination cleared by Ctrl+D is set again
  if (!putdest(n, grid, x, y, grid, "destinat.wav")) return;
  n.destll[static_cast<std::size_t>(n.curdest)] = ll;
  setdest(app, 0, x, y, grid);
  // Spoken only while speech is on: the click does not turn it on.
  const auto s = static_cast<std::size_t>(n.curdest);
  sayposition(app, n.destx[s], n.desty[s], n.destwav);
  app.main.destreptime = app.timer();
}

// The right button: the car is where the click is, and the fixes that follow are shifted by the
// same move so that they go on from there. With no position yet there is nothing to shift.
void clickcar(App& app, float x, float y) {
  GpsState& g = app.gps;
  if (!isnopos(g.ownx, g.owny)) {
    const float dx = x - g.ownx, dy = y - g.owny;
    setgpscorr(g, g.gpscorre + dx, g.gpscorrn + dy);
    bearingdeg(dx, dy, g.ownhdg);
  }
  setownpos(g, x, y);
  showhdg(app);
  headingvelocity(g, 50);  // toward the click; the speed itself is left as it is
  choosemap(app, g.ownx, g.owny);
  updatecar(app);
  addtrail(app.map, app.win.zarn, app.geo, g, g.ownx, g.owny);
}

}  // namespace

void mapclick(App& app, int button, int /*shift*/, float X, float Y) {
  app.main.lastclick = app.timer();
  // The click is taken at the pixel under the pointer, as the pointer read-out takes it.
  float x = 0, y = 0;
  if (!pixtoll(app.geo, app.map, X, Y, x, y)) return;
  std::string grid, ll;
  gridreftext(app.geo, x, y, grid);
  float lat = 0, lon = 0;
  osgbtoll(app.geo, x, y, lat, lon);
  latlongtext(lat, lon, ll);
  ZarnForm& z = app.win.zarn;
  showgridref(z, grid);
  z.llbox.set(ll);
  if (z.modebox.caption != "OLD") z.modebox.set("<-");
  setstatcol(z, ui::white);
  z.touch();

  const bool left = button == ui::button_left;
  if (showing<LinkmanForm>(app)) {
    roadclick(app, x, y, left);
  } else if (app.gps.nmealog == 1) {
    simdrive(app, x, y, ll);
  } else if (left && showing<WpForm>(app)) {
    addwp(app, x, y);
  } else if (app.map.geomanon == 1) {
    if (!geomanclick(app.win.get<GForm>(), app.geo, app.map.geofile, button, x, y)) app.sys.wav->beep();
  } else if (app.nav.rgimanon == 1) {
    RgimanForm& f = app.win.get<RgimanForm>();
    if (left) f.placed = true;
    if (!f.placed) {
      app.sys.wav->beep();  // a direction needs the position the left button gives
      return;
    }
    rgimanclick(f, app.geo, button, x, y);
    f.touch();
  } else if (app.main.digmode == 1) {
    digclick(app, button, grid);
  } else {
    if (app.main.demoon == 1) {
      demooff(app.main);
      z.modebox.set("SIM");
    }
    if (left)
      clickdest(app, x, y, grid, ll);
    else if (button == ui::button_right)
      clickcar(app, x, y);
  }
}

void wiremapclick(App& app) {
  ZarnForm& z = app.win.zarn;
  // Control handlers get the pointer relative to the control: its place on the window is added
  // when the event comes, wherever the control has moved since.
  const auto wire = [&app](ui::Control& c) {
    if (c.onMouseDown) return;
    c.onMouseDown = [&app, &c](const ui::MouseEvent& e) {
      mapclick(app, e.button, e.shift, static_cast<float>(e.x + c.left), static_cast<float>(e.y + c.top));
    };
    c.onMouseMove = [&app, &c](const ui::MouseEvent& e) {
      mousereadout(app, e.button, e.shift, static_cast<float>(e.x + c.left), static_cast<float>(e.y + c.top));
    };
  };
  for (ui::Control* c : std::initializer_list<ui::Control*>{
           &z.map, &z.tilenw, &z.tilene, &z.tilesw, &z.tilese, &z.car, &z.dest, &z.home, &z.iconmouse, &z.sym,
           &z.destlab, &z.destlabshad, &z.symlab, &z.symlabshad})
    wire(*c);
  // The waypoint icons: each element once it is made (element 0 is the hidden template that the
  // others are copied from, and must stay without a handler of its own). Moves over them read
  // out too, or the read-out would stop wherever an icon lies under the pointer.
  for (int i = 1; i <= z.wp.ubound(); ++i)
    if (ui::Image* w = z.wp.find(i)) wire(*w);
  if (!z.onMouseDown)
    z.onMouseDown = [&app](const ui::MouseEvent& e) {
      mapclick(app, e.button, e.shift, static_cast<float>(e.x), static_cast<float>(e.y));
    };
  if (!z.onMouseMove)
    z.onMouseMove = [&app](const ui::MouseEvent& e) {
      mousereadout(app, e.button, e.shift, static_cast<float>(e.x), static_cast<float>(e.y));
    };
}

}  // namespace zarn
