#include "navigation/wpform.h"

#include <algorithm>

#include "app/app.h"
#include "mapdisplay/overlays.h"
#include "navigation/routefiles.h"
#include "navigation/waypoints.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

WpForm::WpForm() : ui::Form(formname) {
  caption = "Route Following";
  width = 232;
  height = 260;
  add(nwps, "nwps");
  nwps.caption = "0 waypoints";
  nwps.move(8, 8, 216, 20);
  const std::pair<ui::Button*, const char*> buttons[] = {
      {&addestcmd, "addestcmd"}, {&delcmd, "delcmd"},       {&savecmd, "savecmd"},
      {&readcmd, "readcmd"},     {&importcmd, "importcmd"}, {&showcmd, "showcmd"},
      {&stylecmd, "stylecmd"}};
  const char* captions[] = {"Add Dest.", "Delete last Wp", "Save", "Read", "Import", "Route Shown", "Style"};
  for (std::size_t i = 0; i < std::size(buttons); ++i) {
    add(*buttons[i].first, buttons[i].second);
    buttons[i].first->caption = captions[i];
    const int row = static_cast<int>(i) / 2, col = static_cast<int>(i) % 2;
    buttons[i].first->move(8 + 112 * col, 34 + 32 * row, 104, 26);
  }
  add(wponcmd, "wponcmd");
  wponcmd.caption = "Route Following now OFF";
  wponcmd.move(8, 166, 216, 26);
  add(cancelcmd, "cancelcmd");
  cancelcmd.caption = "Cancel";
  cancelcmd.move(8, 200, 216, 26);
}

namespace {

NavState& nav(App& app) { return app.nav; }
std::size_t slot(int i) { return static_cast<std::size_t>(i); }

}  // namespace

WpForm& wpwindow(App& app) {
  const bool fresh = !app.win.loaded<WpForm>();
  WpForm& f = app.win.get<WpForm>();
  if (!f.wired) {
    f.wired = true;
    f.addestcmd.onClick = [&app] { addestcmd_Click(app); };
    f.delcmd.onClick = [&app] { delcmd_Click(app); };
    f.savecmd.onClick = [&app] { savecmd_Click(app); };
    f.readcmd.onClick = [&app] { readcmd_Click(app); };
    f.importcmd.onClick = [&app] { importcmd_Click(app); };
    f.showcmd.onClick = [&app] { showcmd_Click(app); };
    f.stylecmd.onClick = [&app] { stylecmd_Click(app); };
    f.wponcmd.onClick = [&app] { wponcmd_Click(app); };
    f.cancelcmd.onClick = [&f] { f.hide(); };
    // Single-key commands work while this window has the focus.
    f.onKeyPress = [&app](int& key) {
      app.main.lastclick = app.timer();
      callhook(app.hooks.keycmd, key);
    };
  }
  if (fresh) {  // the window's loading shows the route, and the count it already holds
    nav(app).routeshown = 1;
    drawwproute(app);
    f.nwps.set(text::str(nav(app).wpcount) + " waypoints");
  }
  return f;
}

void showwpform(App& app) { wpwindow(app).show(); }

void showwpcount(App& app) {
  wpwindow(app).nwps.set(text::str(nav(app).wpcount) + " waypoints");
}

void setfollowcaption(App& app) {
  WpForm& f = wpwindow(app);
  f.wponcmd.caption = nav(app).wpfollowon == 1 ? "Route Following now ON" : "Route Following now OFF";
  f.touch();
}

void addestcmd_Click(App& app) {
  NavState& n = nav(app);
  const bool dest = n.curdest >= 0 && n.curdest <= NavState::destmax;
  // The default radius of a route file's waypoint: one added with none could never be reached.
  if (!dest || !addwaypoint(n, n.destx[slot(n.curdest)], n.desty[slot(n.curdest)], NavState::wpradiusdefault)) {
    app.sys.wav->beep();
    return;
  }
  showwpcount(app);
  n.routeshown = 1;
  drawwproute(app);
}

void delcmd_Click(App& app) {
  NavState& n = nav(app);
  if (n.wpcount < 1) {
    app.sys.wav->beep();
    return;
  }
  n.wpcount = std::min(n.wpcount, NavState::wpmax) - 1;
  n.legcount = std::max(n.wpcount - 1, 0);
  drawwproute(app);
  showwpcount(app);
}

void savecmd_Click(App& app) {
  if (!writeroute(app, "ZARN.ROO")) return;
  // A planner being awaited answers in the same file: what the user saved is no answer of its.
  if (nav(app).krvwait == 1) nav(app).planner.krvroo = app.files.stamp("ZARN.ROO");
  const int count = std::clamp(nav(app).wpcount, 0, NavState::wpmax);
  showmsg(app.voice, "Route of" + text::str(count) + (count == 1 ? " waypoint" : " waypoints") + " saved in ZARN.ROO");
}

// Reading starts the route again at its first waypoint, also when the file is not there (after
// the beep).
void readcmd_Click(App& app) {
  readroute(app, "ZARN.ROO");
  nav(app).curwp = 1;
}

void importcmd_Click(App& app) {
  readroute(app, "rpoints.txt");
  nav(app).curwp = 1;
}

void showcmd_Click(App& app) {
  NavState& n = nav(app);
  n.routeshown = 1 - n.routeshown;
  WpForm& f = wpwindow(app);
  f.showcmd.caption = n.routeshown == 1 ? "Route Shown" : "Route Hidden";
  f.touch();
  drawwproute(app);
}

void stylecmd_Click(App& app) {
  NavState& n = nav(app);
  n.wpstyle = n.wpstyle < 1 ? 1 : 0;
  drawwproute(app);
}

void wponcmd_Click(App& app) {
  NavState& n = nav(app);
  n.wpfollowon = 1 - n.wpfollowon;
  if (n.wpfollowon == 1)
    routeon(app);  // sets the caption; an empty route leaves following off
  else
    setfollowcaption(app);
}

}  // namespace zarn
