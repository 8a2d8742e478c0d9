#include "navigation/waypoints.h"

#include <algorithm>
#include <tuple>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "mapdisplay/pictures.h"
#include "navigation/destinations.h"
#include "navigation/iform.h"
#include "speech/msgline.h"
#include "speech/phrases.h"
#include "speech/queue.h"
#include "speech/reports.h"

namespace zarn {

namespace {

std::size_t slot(int i) { return static_cast<std::size_t>(i); }

ui::PictureRef icon(App& app, const std::string& name) {
  return loadicon(app.map, app.files, *app.sys.images, name);
}

// Waypoint k reached: announced, and the one after it steered to (the last: only announced).
void arrive(App& app, int k) {
  NavState& n = app.nav;
  Voice& v = app.voice;
  n.curwp = k + 1;
  if (k == n.wpcount) {
    showmsg(v, "We are near final Destination");
    flushsay(v);
    queuesay(v, "FINALDES.WAV");
    speakqueue(v);
    return;
  }
  showmsg(v, "We are near Waypoint " + std::to_string(k));
  flushsay(v);
  queuesay(v, "wenearwp.wav");
  saynumber(v, std::to_string(k));
  speakqueue(v);
  showmsg(v, "Changing Destination to Next Waypoint");
  flushsay(v);
  queuesay(v, "NEXTDEST.WAV");
  speakqueue(v);
  // A waypoint passed shows the route's plain mark, whatever picture the map drawing gave it.
  if (ui::Image* w = app.win.zarn.wp.find(k)) w->setpicture(icon(app, n.wpdefaulticon));
  steertowp(app, k + 1);
  updateinstr(app);
  saydestdist(v, app.win.zarn.disbox.caption, app.gps.ownhdg, n.clockbrg, n.destwav);
  callhook(app.hooks.restartreport, 2);
}

}  // namespace

void makewpicons(App& app) {
  NavState& n = app.nav;
  ZarnForm& z = app.win.zarn;
  n.wpdefaulticon = app.files.exists("WP.ICO") ? "WP.ICO" : "$L.ICO";
  const ui::PictureRef pic = loadpicture(app.files, *app.sys.images, n.wpdefaulticon);
  for (int i = 1; i <= NavState::wpmax; ++i) {
    ui::Image& w = z.wp.load(i);
    w.zorder(0);
    w.visible = false;
    w.setpicture(pic);
    n.wpicon[slot(i)] = n.wpdefaulticon;
  }
  for (int i = 1; i <= NavState::wpmax; ++i) {
    ui::Line& l = z.leg.load(i);
    l.zorder(0);
    l.visible = false;
  }
  n.wpcount = 0;
  n.legcount = 0;
}

void wpfollow(App& app) {
  NavState& n = app.nav;
  if (n.wpfollowon != 1) return;
  const int count = std::clamp(n.wpcount, 0, NavState::wpmax);
  float best = 9999999;
  int nearest = 0;
  for (int i = 1; i <= count; ++i) {
    float d = 0;
    int b = 0;
    distbearing(app.geo, app.gps.ownx, app.gps.owny, n.wpx[slot(i)], n.wpy[slot(i)], d, b);
    if (d < best) best = d, nearest = i;
  }
  if (nearest > 0 && best <= n.wpradius[slot(nearest)] && nearest != n.curwp - 1) arrive(app, nearest);
  if (elapsed(app.timer(), app.main.destreptime) > 15 && !app.win.zarn.Help.visible) {
    callhook(app.hooks.restartreport, 2);
    updateinstr(app);
    saydestdist(app.voice, app.win.zarn.disbox.caption, app.gps.ownhdg, n.clockbrg, n.destwav);
    speakqueue(app.voice);
  }
}

bool addwaypoint(NavState& n, float x, float y, float radius) {
  if (n.wpcount < 0 || n.wpcount >= NavState::wpmax) return false;
  const auto k = slot(++n.wpcount);
  std::tie(n.wpx[k], n.wpy[k], n.wpradius[k]) = std::tuple(x, y, radius);
  n.wpicon[k] = n.wpdefaulticon;
  if (n.wpcount == 1) {
    std::tie(n.legx[0], n.legy[0]) = std::pair(x, y);
  } else {
    n.legcount = n.wpcount - 1;
    std::tie(n.legx[slot(n.legcount)], n.legy[slot(n.legcount)]) = std::pair(x, y);
  }
  return true;
}

void resetwpicons(App& app) {
  const NavState& n = app.nav;
  for (int i = 1; i <= NavState::wpmax; ++i)
    if (ui::Image* w = app.win.zarn.wp.find(i)) w->setpicture(icon(app, n.wpicon[slot(i)]));
  app.win.zarn.touch();
}

void steertowp(App& app, int k) {
  NavState& n = app.nav;
  if (k < 1 || k > std::min(n.wpcount, NavState::wpmax)) return;
  const auto s = slot(k);
  if (ui::Image* w = app.win.zarn.wp.find(k)) w->setpicture(icon(app, "WPNEXT.ICO"));
  std::string ref;
  gridreftext(app.geo, n.wpx[s], n.wpy[s], ref);
  const float x = n.wpx[s], y = n.wpy[s];
  // A destination the user hid (Ctrl+D) stays hidden: only its place changes.
  if (!putdest(n, ref, x, y, "wp" + std::to_string(k), "destinat.wav")) return;
  showdestdist(app);
  app.win.zarn.touch();
}

}  // namespace zarn
