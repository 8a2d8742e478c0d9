#include "mapdisplay/nearest.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/distwords.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "mapdisplay/symbols.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/phrases.h"
#include "speech/queue.h"

namespace zarn {

namespace {

constexpr const char* objectfile = "ZARN.NOF";
constexpr const char* cachefile = "ZARNNEAR.NOF";

// One object: shape code ("C" circle, "P" polygon, anything else no shape), reference
// position text, radius (km, as text) and name.
struct NofRecord {
  std::string code, pos, radius, name;
};

// The next record's four fields; false at the end of the file or at an "END" record.
bool readrecord(platform::InputFile& f, NofRecord& r) {
  if (f.eof()) return false;
  r.code = f.field();
  r.pos = f.field();
  r.radius = f.field();
  r.name = f.field();
  return r.code != "END";
}

// A cache field: quoted, without quotes of its own, which would end it early when read back.
std::string quoted(std::string s) {
  std::erase(s, '"');
  return "\"" + s + "\"";
}

// A polygon's point line as used: blanks trimmed at both ends, control characters dropped.
std::string cleanpoints(const std::string& s) {
  std::string out;
  for (char c : text::trim(s))
    if (static_cast<unsigned char>(c) > 13) out += c;
  return out;
}

// A shape is drawn only when its square of half-size r lies inside the map widened by 5 km.
bool drawable(const MapView& m, float x, float y, float r) {
  return x - r > m.mapxmin - 5 && x + r < m.mapxmax + 5 && y - r > m.mapymin - 5 && y + r < m.mapymax + 5;
}

// A circle: red with a black shadow to the right and below.
void drawcircle(App& app, float x, float y, float r) {
  float px = 0, py = 0;
  worldtopix(app.geo, app.map, x, y, px, py);
  const double rx = kmtopix(app.map, r), ry = kmtopixdown(app.map, r);
  ui::DrawSurface& s = app.win.zarn.surface;
  s.ellipse(px + 2, py, rx, ry, ui::black);
  s.ellipse(px, py + 2, rx, ry, ui::black);
  s.ellipse(px, py, rx, ry, ui::red);
}

// A closed polygon from a point line "n p1 p2 ... pn": red with the same black shadow. Only the
// points the line holds are used, and nothing for a count of 0 or less.
void drawpolygon(App& app, const std::string& line) {
  std::vector<std::string> tok;
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    if (end > at) tok.push_back(line.substr(at, end - at));
    at = end + 1;
  }
  if (tok.empty()) return;
  const double n = std::min(text::val(tok[0]), static_cast<double>(tok.size() - 1));
  if (!(n >= 1)) return;
  std::vector<std::pair<float, float>> p(static_cast<std::size_t>(n));
  for (std::size_t i = 0; i < p.size(); ++i) {
    float x = 0, y = 0, px = 0, py = 0;
    parsepos(app.geo, tok[i + 1], x, y);
    worldtopix(app.geo, app.map, x, y, px, py);
    p[i] = {px, py};
  }
  ui::DrawSurface& s = app.win.zarn.surface;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const auto [x1, y1] = p[i];
    const auto [x2, y2] = p[(i + 1) % p.size()];
    s.line(x1 + 2, y1, x2 + 2, y2, ui::black);
    s.line(x1, y1 + 2, x2, y2 + 2, ui::black);
  }
  for (std::size_t i = 0; i < p.size(); ++i) {
    const auto [x1, y1] = p[i];
    const auto [x2, y2] = p[(i + 1) % p.size()];
    s.line(x1, y1, x2, y2, ui::red);
  }
}

// The prompt of a name in ZARN.TTW: the last line whose text is the name (ignoring case), else
// the last whose text occurs in it; empty without one.
std::string spokenname(const App& app, const std::string& name) {
  auto f = platform::InputFile::open(app.files, "ZARN.TTW");
  if (!f) return {};
  const std::string uname = text::ucase(name);
  std::string whole, part;
  while (!f->eof()) {
    const std::string t = text::ucase(f->field());
    const std::string wav = f->field();
    if (t.empty()) continue;
    if (t == uname) whole = wav;
    if (uname.find(t) != std::string::npos) part = wav;
  }
  return whole.empty() ? part : whole;
}

// Where the search reads its records from: the cache, or the object file while the cache is
// written again around the car.
struct Source {
  std::optional<platform::InputFile> in;
  std::unique_ptr<platform::OutputFile> cache;  // set while rebuilding
  float radius = 0;
};

Source opensource(App& app) {
  Source src;
  const GpsState& g = app.gps;
  auto cache = platform::InputFile::open(app.files, cachefile, platform::Files::datalimit);
  if (cache) {
    float cx = 0, cy = 0;
    parsepos(app.geo, cache->field(), cx, cy);
    src.radius = static_cast<float>(cache->number());
    if (std::hypot(g.ownx - cx, g.owny - cy) <= src.radius / 2) {
      src.in = std::move(cache);
      return src;
    }
  }
  auto objects = platform::InputFile::open(app.files, objectfile, platform::Files::datalimit);
  // Without the object file the cache is all there is: it is searched as it stands, never
  // written again empty.
  if (!objects) {
    if (cache) src.in = std::move(cache);
    return src;
  }
  src.in = std::move(objects);
  if (!cache) return src;  // no cache file to keep up: the object file alone
  showmsg(app.voice, "Please be patient while I check my data..");
  queuesay(app.voice, "pleasebe.wav");
  speakqueue(app.voice);
  src.cache = platform::OutputFile::open(app.files, cachefile, platform::OutputFile::Mode::Output);
  if (src.cache) {
    std::string centre;
    gridreftext(app.geo, g.ownx, g.owny, centre);
    src.cache->print(centre + "," + text::str(src.radius) + " ");
  }
  return src;
}

void report(App& app, int kind, bool found, const std::string& prompt) {
  ZarnForm& z = app.win.zarn;
  MainState& m = app.main;
  const GpsState& g = app.gps;
  TalkGuard talk(app.speech);
  talk.on();
  if (!found) {
    // Nothing (more) to report: the found place and the map stay as they are.
    const std::string t = kind == 0 ? "there is none near" : "there are no more";
    queuesay(app.voice, t);
    showmsg(app.voice, t);
    return;
  }
  for (ui::Control* c : std::initializer_list<ui::Control*>{&z.sym, &z.symlab, &z.symlabshad, &z.vecto})
    c->visible = false;
  m.foundwav = "$AN.WAV";
  gridreftext(app.geo, m.foundx, m.foundy, m.foundref);
  float px = 0, py = 0, cx = 0, cy = 0;
  worldtopix(app.geo, app.map, m.foundx, m.foundy, px, py);
  worldtopix(app.geo, app.map, g.ownx, g.owny, cx, cy);
  showsymbol(app.win.zarn, px, py, m.foundlabel, !isnopos(app.main.foundx, app.main.foundy));
  z.surface.line(px, py, cx, cy, ui::red);
  placesymbol(app, "AN", px, py, px, py);
  z.touch();

  float dist = 0;
  int brg = 0;
  distbearing(app.geo, g.ownx, g.owny, m.foundx, m.foundy, dist, brg);
  std::string dtext, dlabel;
  distext(m.metric, m.nautical, dist, dtext, dlabel);
  int hour = clockposition(brg, g.ownhdg);
  app.nav.clockbrg = hour;
  std::string dir, diritem, clockitem;
  clockphrase(app.voice, hour, dir, diritem, clockitem);
  if (g.ownhdg == -1) dir.clear();
  showmsg(app.voice, (kind == 0 ? "the nearest is " : "the next nearest is ") + m.foundlabel + " " + text::trim(dtext) + " " + dir);

  const bool verblast = app.speech.syntaxmode == 1;
  if (kind == 0) {
    queuesay(app.voice, "theneare.wav");
    queuesay(app.voice, "$AN.WAV");
    if (!verblast) queuesay(app.voice, "is.wav");
  } else {
    queuesay(app.voice, "nextnear.wav");
  }
  if (!prompt.empty()) queuesay(app.voice, prompt);
  saydistance(app.voice, dlabel);
  saydirection(app.voice, app.nav.clockbrg, app.gps.ownhdg != -1);
  if (verblast) queuesay(app.voice, "is.wav");
  speakqueue(app.voice);
}

}  // namespace

void saynearest(App& app, int kind) {
  if (app.map.nofcache != 1) return;
  MainState& m = app.main;
  const GpsState& g = app.gps;
  Source src = opensource(app);
  if (kind == 0) m.hitcount = 1;
  m.hitcount = std::clamp(m.hitcount, 1, MainState::hitmax);
  const auto hits = m.hitlist.begin();
  double best = 1e20;
  bool found = false;
  auto keep = [&](const std::string& line, double d2) {
    if (src.cache && d2 < static_cast<double>(src.radius) * src.radius) src.cache->print(line);
  };
  NofRecord r;
  while (src.in && readrecord(*src.in, r)) {
    float x = 0, y = 0;
    parsepos(app.geo, r.pos, x, y);
    const float rad = static_cast<float>(text::val(r.radius));
    const double d2 = std::pow(double{x} - g.ownx, 2) + std::pow(double{y} - g.owny, 2);
    keep(quoted(r.code) + "," + quoted(r.pos) + "," + quoted(r.radius) + "," + quoted(r.name), d2);
    const bool excluded = kind != 0 && std::find(hits + 1, hits + m.hitcount, r.pos) != hits + m.hitcount;
    if (d2 < best && !excluded) {
      best = d2;
      found = true;
      m.hitlist[static_cast<std::size_t>(m.hitcount)] = r.pos;
      m.foundx = x;
      m.foundy = y;
      m.foundlabel = r.name;
    }
    if (r.code == "C" && drawable(app.map, x, y, rad)) drawcircle(app, x, y, rad);
    if (r.code == "P") {
      const std::string line = src.in->field();
      keep(quoted(line), d2);
      const std::string points = cleanpoints(line);
      if (points == "END") break;
      if (drawable(app.map, x, y, rad)) drawpolygon(app, points);
    }
  }
  if (src.cache) {
    src.cache->print("END,,,,");
    src.cache->close();
  }
  // A failed search must not leave an older place in the list as if just reported.
  if (!found) m.hitlist[static_cast<std::size_t>(m.hitcount)].clear();
  report(app, kind, found, found ? spokenname(app, m.foundlabel) : "");
}

}  // namespace zarn
