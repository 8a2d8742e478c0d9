#include "navigation/rgishow.h"

#include <cmath>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "navigation/rgifiles.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"

namespace zarn {

namespace {

// Where an instruction shows on the current map: false when it lies on or beyond its edges.
bool onmap(App& app, const std::string& pos, float& px, float& py) {
  const MapView& m = app.map;
  float x = 0, y = 0;
  parsepos(app.geo, pos, x, y);
  if (!(m.mapxmin < x && x < m.mapxmax && m.mapymin < y && y < m.mapymax)) return false;
  return worldtopix(app.geo, m, x, y, px, py);
}

// Turns stand out on the map: left green, right red, anything else yellow; s sizes the marker.
ui::Colour turncolour(const std::string& wav, int& s) {
  const std::string w = text::ucase(wav);
  if (text::instr(w, "$TL") > 0) return s = 1, ui::green;
  if (text::instr(w, "$TR") > 0) return s = 2, ui::red;
  return s = 0, ui::yellow;
}

// Plots the loaded instructions (circle and direction stroke) and every instruction of the
// guidance file (a dot) on the current map, and says how many are loaded.
void showrgi(App& app) {
  NavState& n = app.nav;
  using platform::writeitem;
  {
    TalkGuard talk(app.speech);
    talk.on();
    if (text::trim(n.rgifile).empty()) {
      showmsg(app.voice, "No linkage with RGI file");
      app.sys.wav->beep();
      return;
    }
    showmsg(app.voice, writeitem(n.rgicount) + " of " + writeitem(n.rgicells) + " in " + n.rgifile);
  }

  ui::DrawSurface& surface = app.win.zarn.surface;
  float px = 0, py = 0;
  int s = 0;
  // The loaded ones: a circle and a stroke pointing the way the instruction is meant for.
  for (int i = 1; i <= n.rgicount; ++i) {
    const RgiRecord& r = n.rgirec[static_cast<std::size_t>(i)];
    if (!onmap(app, r.pos, px, py)) continue;
    const ui::Colour c = turncolour(r.wav, s);
    surface.circle(px, py, 2 * s + 3, c);
    const double a = r.dir * shortpi / 180;
    surface.line(px + s, py, px + s + 16 * std::sin(a), py - 16 * std::cos(a), c);
  }
  // Every one of the file: a dot.
  if (app.files.exists(n.rgifile)) {
    n.rgicells = 0;
    if (auto f = platform::InputFile::open(app.files, n.rgifile, platform::Files::datalimit)) {
      RgiRecord r;
      while (readrgirecord(*f, r)) {
        ++n.rgicells;
        if (onmap(app, r.pos, px, py)) surface.pset(px, py, turncolour(r.wav, s));
      }
    }
  }
  app.win.zarn.touch();
}

}  // namespace

bool rgiword(App& app, const std::string& typed) {
  const std::string word = text::ucase(typed);
  if (word == "RGI+") {
    app.win.zarn.rgitrace.visible = true;
    showrgi(app);
  } else if (word == "RGI-") {
    app.win.zarn.rgitrace.visible = false;
  } else if (word == "RGI/") {
    savergi(app.nav, app.files);
  } else {
    return false;
  }
  app.win.zarn.touch();
  return true;
}

}  // namespace zarn
