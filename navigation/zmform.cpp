#include "navigation/zmform.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/postext.h"
#include "gpsinput/ownfix.h"
#include "mapdisplay/overlays.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

ZmForm::ZmForm() : ui::Form(formname) {
  caption = "Zone Warnings";
  width = 232;
  height = 176;
  const std::pair<ui::Button*, const char*> buttons[] = {{&zmread, "zmread"},       {&zmsave, "zmsave"},
                                                         {&zmhide, "zmhide"},       {&zmdispcmd, "zmdispcmd"},
                                                         {&zmoncmd, "zmoncmd"},     {&delzm, "delzm"},
                                                         {&addzm, "addzm"}};
  const char* captions[] = {"Read", "Save", "X", "Display", "Warn", "Delete", "Add Zone"};
  for (std::size_t i = 0; i < std::size(buttons); ++i) {
    add(*buttons[i].first, buttons[i].second);
    buttons[i].first->caption = captions[i];
  }
  zmread.move(8, 8, 64, 24);
  zmsave.move(80, 8, 64, 24);
  zmhide.move(200, 8, 24, 24);
  zmdispcmd.move(8, 40, 64, 24);
  zmoncmd.move(8, 72, 64, 24);
  delzm.move(8, 104, 64, 24);
  addzm.move(80, 104, 144, 24);
  add(zmonlab, "zmonlab");
  zmonlab.caption = "OFF";
  zmonlab.move(80, 76, 40, 20);
  add(zmdisp, "zmdisp");
  zmdisp.move(80, 44, 40, 20);
  add(Label1, "Label1");
  Label1.caption = "centre at car and edge at destination";
  Label1.move(8, 136, 216, 32);
}

namespace {
std::size_t slot(int i) { return static_cast<std::size_t>(i); }
}  // namespace

bool readzonefile(const platform::Files& files, GeoState& geo, NavState& nav, const std::string& name) {
  auto f = platform::InputFile::open(files, name);
  if (!f) return false;
  // The count may be anything in a hand-edited file; the slots hold three.
  const double want = f->eof() ? 0 : text::val(f->field());
  const int count = std::isfinite(want) ? static_cast<int>(std::clamp(want, 0.0, double{NavState::zonemax})) : 0;
  int got = 0;
  while (got < count && !f->eof()) {
    const std::string pos = f->field();
    const float rad = static_cast<float>(text::val(f->field()));
    const auto k = slot(++got);
    parsepos(geo, pos, nav.zonex[k], nav.zoney[k]);
    nav.zonerad[k] = rad;
  }
  nav.zonecount = got;
  // A zone read is judged afresh: a car inside hears "Entering Zone", one outside hears nothing.
  nav.zonein.fill(0);
  return true;
}

bool writezonefile(const platform::Files& files, GeoState& geo, const NavState& nav, const std::string& name,
                   std::string* error) {
  const int count = std::clamp(nav.zonecount, 0, NavState::zonemax);
  // Numbers as Print writes them: Str's form and one blank after (" 2 ", " .5 ").
  std::vector<std::string> lines{text::str(count) + " "};
  for (int i = 1; i <= count; ++i) {
    std::string ref;
    gridreftext(geo, nav.zonex[slot(i)], nav.zoney[slot(i)], ref);
    lines.push_back(ref + "," + text::str(nav.zonerad[slot(i)]) + " ");
  }
  return files.writelines(name, lines, error);
}

ZmForm& zmwindow(App& app) {
  ZmForm& f = app.win.get<ZmForm>();
  if (!f.wired) {
    f.wired = true;
    f.zmread.onClick = [&app] { zmread_Click(app); };
    f.zmsave.onClick = [&app] { zmsave_Click(app); };
    f.zmhide.onClick = [&app] { zmhide_Click(app); };
    f.zmdispcmd.onClick = [&app] { zmdispcmd_Click(app); };
    f.zmoncmd.onClick = [&app] { zmoncmd_Click(app); };
    f.delzm.onClick = [&app] { delzm_Click(app); };
    f.addzm.onClick = [&app] { addzm_Click(app); };
    // Single-key commands work while this window has the focus.
    f.onKeyPress = [&app](int& key) {
      app.main.lastclick = app.timer();
      callhook(app.hooks.keycmd, key);
    };
  }
  return f;
}

void zmupdate(App& app) {
  const NavState& n = app.nav;
  ZmForm& f = zmwindow(app);
  f.caption = text::str(n.zonecount) + " Zone Warnings";
  f.zmonlab.set(n.zonemonon == 1 ? "ON" : "OFF");
  f.zmdisp.set(n.zonedispon == 1 ? "ON" : "OFF");
  f.touch();
  drawzones(app);
}

void addzm_Click(App& app) {
  NavState& n = app.nav;
  n.zonedispon = 1;
  // A zone round the no-position value, or with no destination slot to size it, would be no zone.
  const bool dest = n.curdest >= 0 && n.curdest <= NavState::destmax;
  if (n.zonecount < 0 || n.zonecount >= NavState::zonemax || noposition(app.gps) || !dest) {
    app.sys.wav->beep();
    return;
  }
  const auto k = slot(++n.zonecount);
  n.zonex[k] = app.gps.ownx;
  n.zoney[k] = app.gps.owny;
  int brg = 0;
  distbearing(app.geo, app.gps.ownx, app.gps.owny, n.destx[slot(n.curdest)], n.desty[slot(n.curdest)], n.zonerad[k], brg);
  n.zonein[k] = 1;  // the car stands at its centre
  zmupdate(app);
}

void delzm_Click(App& app) {
  NavState& n = app.nav;
  n.zonedispon = 1;
  if (n.zonecount < 1) {
    app.sys.wav->beep();
    return;
  }
  n.zonecount = std::min(n.zonecount, NavState::zonemax) - 1;
  zmupdate(app);
}

void zmdispcmd_Click(App& app) {
  app.nav.zonedispon = 1 - app.nav.zonedispon;
  zmupdate(app);
}

void zmhide_Click(App& app) { zmwindow(app).hide(); }

void zmoncmd_Click(App& app) {
  app.nav.zonemonon = 1;
  zmupdate(app);
}

void zmread_Click(App& app) {
  if (!app.files.exists(zonefile) || !readzonefile(app.files, app.geo, app.nav, zonefile)) {
    app.sys.wav->beep();
    return;
  }
  app.nav.zonedispon = 1;
  app.nav.zonemonon = 1;
  zmupdate(app);
}

void zmsave_Click(App& app) {
  std::string error;
  if (writezonefile(app.files, app.geo, app.nav, zonefile, &error)) return;
  app.sys.wav->beep();
  showmsgsay(app.voice, "Zones not saved: " + error);
}

}  // namespace zarn
