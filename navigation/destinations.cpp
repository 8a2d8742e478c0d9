#include "navigation/destinations.h"

#include <limits>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/distwords.h"
#include "geodesy/geofile.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "mapdisplay/symbols.h"
#include "navigation/moreinfo.h"
#include "navigation/directionfinding.h"
#include "navigation/rgifiles.h"
#include "navigation/waypoints.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/position.h"
#include "speech/queue.h"

namespace zarn {

namespace {

std::size_t slot(int i) { return static_cast<std::size_t>(i); }

// The nearest place of the places file within its own reach of (x, y); of equally near
// places the first in the file. False when none is near enough or the file cannot be read.
bool nearestplace(App& app, float x, float y, std::string& name, std::string& wav) {
  if (!knownplaces(app.speech, app.files, app.geo, app.map.placesfile)) return false;
  const FramePoint at = framepoint(app.geo, x, y);
  float best = 1e20f;
  bool found = false;
  for (const SpeechState::KnownPlace& p : app.speech.places) {
    float d = 0;
    int b = 0;
    distbearing(p.at, at, d, b);
    if (d < best && d < p.radius) {
      best = d;
      name = p.text;
      wav = p.wav;
      found = true;
    }
  }
  return found;
}

// The prompt and label of the destination just put in the ad-hoc slot, unless the caller chose
// the prompt already: home, a stored destination of the same position (which then becomes the
// current one), or the nearest place.
void namedest(App& app, const std::string& ref) {
  NavState& n = app.nav;
  if (n.destwav != "destinat.wav") return;
  if (ref == app.main.homeloc) {
    n.destwav = "home.wav";
    n.destlabel[slot(n.curdest)] = "Home";
    return;
  }
  for (int i = 1; i < n.adhocdest && i <= NavState::destmax; ++i) {
    if (text::ucase(n.destname[slot(i)]) != ref) continue;
    // A text that names no cell must not take the name of the square looked at last.
    std::string geo;
    geofilename(ref, geo);
    if (!geo.empty()) {
      app.map.geofile = geo;
      const std::string wav = geo.substr(0, geo.size() - 3) + "WAV";
      if (app.files.exists(wav)) n.destwav = wav;
    }
    n.curdest = i;
    return;
  }
  std::string name, wav;
  app.speech.placefound = nearestplace(app, n.destx[slot(n.curdest)], n.desty[slot(n.curdest)], name, wav);
  if (app.speech.placefound) {
    n.destlabel[slot(n.curdest)] = name;
    n.destwav = wav;
  }
}

// The guidance and information files of the current destination, from the more-information
// table.
void destinfo(App& app, std::string& info, std::string& guide) {
  const NavState& n = app.nav;
  std::string why;
  moreinfo(app.nav, app.files, "", n.destname[slot(n.curdest)], n.destlabel[slot(n.curdest)], info, guide, &why);
  if (!why.empty()) showmsgsay(app.voice, why);
}

}  // namespace

bool putdest(NavState& n, const std::string& name, float x, float y, const std::string& label,
             const std::optional<std::string>& wav) {
  if (n.adhocdest < 0 || n.adhocdest > NavState::destmax) return false;
  n.curdest = n.adhocdest;
  const auto s = slot(n.curdest);
  n.destname[s] = name;
  n.destx[s] = x;
  n.desty[s] = y;
  n.destlabel[s] = label;
  if (wav) n.destwav = *wav;
  return true;
}

void setdest(App& app, int markonly, float x, float y, const std::string& area) {
  NavState& n = app.nav;
  std::string ref;
  gridreftext(app.geo, x, y, ref);
  // The arguments may be the table's own slots, which the next steps overwrite.
  const float dx = x, dy = y;
  const std::string label = area;
  autocancel(n);  // what the automatic planner leaves for an earlier destination is not taken
  if (!putdest(n, ref, dx, dy, label)) return;
  namedest(app, ref);
  showdest(app, dx, dy, n.curdest);
  if (markonly == 0) {
    n.rgifile.clear();
    n.rgicount = 0;
    std::string info, guide;
    destinfo(app, info, guide);
    if (guide.empty()) {
      n.rgiexists = 0;
      if (app.files.exists("ZARNAUTO.CFG")) autoplanner(app, dx, dy, label);
    } else {
      n.rgifile = guide;
      readrgb(n, app.voice, app.geo, app.gps, app.win.zarn.rgitrace);
    }
  }
  showdestdist(app);
}

void destfound(App& app) {
  NavState& n = app.nav;
  const MainState& m = app.main;
  n.nodest = 0;
  app.win.zarn.symlab.visible = false;
  app.win.zarn.symlabshad.visible = false;
  if (!putdest(n, m.foundref, n.destx[slot(n.adhocdest)], n.desty[slot(n.adhocdest)], m.foundlabel, m.foundwav))
    return;
  saydest(app);
}

void desthome(NavState& n, const std::string& homeloc, const std::string& homename) {
  if (n.adhocdest < 0 || n.adhocdest > NavState::destmax) return;
  putdest(n, homeloc, n.destx[slot(n.adhocdest)], n.desty[slot(n.adhocdest)], homename, "home.wav");
}

void togglecardest(Voice& v, std::string& refname, int& refdest, bool fleet) {
  if (refname == "OUR CAR" && !fleet) {
    refname = "DESTINATION";
    refdest = 1;
    saynow(v, "Destination", "destinat.wav");
  } else {
    refname = "OUR CAR";
    refdest = 0;
    saynow(v, "Our car", "ourcar.wav");
  }
}

void saydest(App& app) {
  NavState& n = app.nav;
  if (n.nodest != 0) return;
  if (n.curdest < 0 || n.curdest > NavState::destmax) return;
  if (n.destwav.empty()) n.destwav = "destinat.wav";
  float x = 0, y = 0;
  parsepos(app.geo, n.destname[slot(n.curdest)], x, y);
  n.destx[slot(n.curdest)] = x;
  n.desty[slot(n.curdest)] = y;
  setdest(app, 0, x, y, n.destlabel[slot(n.curdest)]);
  {
    TalkGuard talk(app.speech);
    talk.on();
    sayposition(app, n.destx[slot(n.curdest)], n.desty[slot(n.curdest)], n.destwav);
    app.doevents();
    // The guidance setdest has just taken up (or the planner left) stays as it is: only the
    // hint that there is more to read about the place is given here.
    std::string info, guide;
    destinfo(app, info, guide);
    if (!info.empty()) {
      showmsg(app.voice, "more information is available");
      queuewav(app.voice, "moreinfo.wav");
    }
  }
  callhook(app.hooks.restartreport, 2);
}

void showdestdist(App& app) {
  NavState& nav = app.nav;
  if (nav.curdest < 0 || nav.curdest > NavState::destmax) return;
  int b = 0;
  distbearing(app.geo, app.gps.ownx, app.gps.owny, nav.destx[nav.curdest],
              nav.desty[nav.curdest], nav.destdist, b);

  std::string t, label;
  distext(app.main.metric, app.main.nautical, nav.destdist, t, label);
  ZarnForm& z = app.win.zarn;
  const int c = clockposition(b, app.gps.ownhdg);
  nav.clockbrg = c;
  // Before the first position there is nothing to measure from: no distance, no direction.
  const bool placed = !isnopos(app.gps.ownx, app.gps.owny);
  z.disbox.set(placed ? label : "");
  z.dirbox.set(placed ? text::str(c) + "oc" : "");

  // The stand-by window shows both while the map window is hidden.
  if (ui::Form* bgd = app.win.find("zarnbgd")) bgd->caption = z.disbox.caption + "@" + z.dirbox.caption;
}

void redrawdest(App& app) {
  drawdflines(app.win.zarn, app.geo, app.map, app.nav);
  const NavState& n = app.nav;
  if (n.curdest >= 0 && n.curdest <= NavState::destmax)
    setdest(app, 1, n.destx[slot(n.curdest)], n.desty[slot(n.curdest)], app.win.zarn.destlab.caption);
}

}  // namespace zarn
