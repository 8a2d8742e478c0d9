#include "speech/whereami.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/geofile.h"
#include "geodesy/postext.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/rform.h"

namespace zarn {

namespace {

constexpr std::size_t maxcandidates = 200;

struct Candidate {
  std::string code, pos, text;
  std::string name;  // characters 2 up to the "#"
  float dx = 0, dy = 0;
  int brg = 0;
  bool same(const Candidate& o) const { return code == o.code && pos == o.pos && text == o.text; }
};

// The name of a landmark text: from character 2 up to the first "#" at or after it; nullopt
// when there is no such "#" (the record is not one we can read).
std::optional<std::string> landmarkname(const std::string& text) {
  if (text.size() < 2) return std::nullopt;
  const auto p = text.find('#', 1);
  if (p == std::string::npos) return std::nullopt;
  return text.substr(1, p - 1);
}

// The cells of ring r around the position's own cell: the cell itself for r = 0, else the
// top row and the bottom row west to east, then the west and east columns south to north.
std::vector<std::pair<int, int>> ringcells(int r) {
  if (r == 0) return {{0, 0}};
  std::vector<std::pair<int, int>> cells;
  for (int dx = -r; dx <= r; ++dx) cells.emplace_back(dx, r);
  for (int dx = -r; dx <= r; ++dx) cells.emplace_back(dx, -r);
  for (int dy = -r + 1; dy <= r - 1; ++dy) cells.emplace_back(-r, dy);
  for (int dy = -r + 1; dy <= r - 1; ++dy) cells.emplace_back(r, dy);
  return cells;
}

void readcell(App& app, const std::string& file, std::vector<Candidate>& out) {
  auto in = platform::InputFile::open(app.files, file, platform::Files::datalimit);  // a landmark cell
  if (!in) return;
  while (!in->eof() && out.size() < maxcandidates) {
    platform::InputFile rec(in->lineinput());
    Candidate c;
    c.code = rec.field();
    c.pos = rec.field();
    c.text = rec.field();
    const auto name = landmarkname(c.text);
    if (!name) continue;
    c.name = *name;
    // The road we are on is not a place to tell us about.
    if (!c.code.empty() && c.code[0] == 'R' && c.name == app.speech.roadtext) continue;
    out.push_back(std::move(c));
  }
}

// Up to n nearest candidates on one side (north: bearings below 90 or above 270; south:
// strictly between 90 and 270), nearest first, each chosen once.
std::vector<const Candidate*> choose(const std::vector<Candidate>& cands, int n, bool north) {
  std::vector<const Candidate*> chosen;
  n = std::min<int>(n, static_cast<int>(cands.size()));
  for (int k = 0; k < n; ++k) {
    const Candidate* pick = nullptr;
    float best = 1e20f;
    for (const Candidate& c : cands) {
      const bool side = north ? (c.brg < 90 || c.brg > 270) : (c.brg > 90 && c.brg < 270);
      if (!side) continue;
      const float d2 = c.dx * c.dx + c.dy * c.dy;
      if (!(d2 < best)) continue;
      const bool taken = std::any_of(chosen.begin(), chosen.end(), [&](const Candidate* o) { return o->same(c); });
      if (taken) continue;
      pick = &c;
      best = d2;
    }
    if (!pick) break;
    chosen.push_back(pick);
  }
  return chosen;
}

std::string categoryname(const MainState& m, const std::string& code) {
  std::string name = " ";
  for (int i = 1; i <= std::min(m.catcount, MainState::catmax); ++i)
    if (m.catcode[static_cast<std::size_t>(i)] == code) name = m.catname[static_cast<std::size_t>(i)];
  return name;
}

// The line shown for a chosen place, and its summary word (its name, else its category).
std::string label(const MainState& m, const Candidate& c, std::string* word) {
  const std::string cat = categoryname(m, c.code);
  if (word) *word = c.name.empty() ? cat : c.name;
  if (c.name.empty()) return cat;
  if (c.code == "L") return c.name;
  return cat + " called \"" + c.name + "\"";
}

}  // namespace

void whereami(App& app, float x, float y, int n, double rings) {
  n = std::clamp(n, 1, 5);  // the labels above the summary line hold five
  const int nrings = std::max(0, text::cint(rings));
  std::vector<Candidate> cands;
  for (int r = 0; r <= nrings && cands.size() < maxcandidates; ++r) {
    for (const auto& [dx, dy] : ringcells(r)) {
      const float cx = static_cast<float>(std::floor(x)) + static_cast<float>(dx) + 0.5f;
      const float cy = static_cast<float>(std::floor(y)) + static_cast<float>(dy) + 0.5f;
      std::string ref, file;
      gridreftext(app.geo, cx, cy, ref);
      geofilename(ref, file);
      if (file.empty()) continue;
      app.map.geofile = file;
      if (app.files.exists(file)) readcell(app, file, cands);
    }
  }
  for (Candidate& c : cands) {
    float px = 0, py = 0;
    parsepos(app.geo, c.pos, px, py);
    c.dx = px - x;
    c.dy = py - y;
    bearingdeg(c.dx, c.dy, c.brg);
  }

  RForm& rf = app.win.get<RForm>();
  for (int i = 0; i < RForm::poscount; ++i) rf.pos[i].set("");
  const auto north = choose(cands, n, true);
  const auto south = choose(cands, 3, false);
  std::string northword, southword;
  for (std::size_t k = 0; k < north.size(); ++k)
    rf.pos[4 - static_cast<int>(k)].set(label(app.main, *north[k], k == 0 ? &northword : nullptr));
  for (std::size_t k = 0; k < south.size(); ++k)
    rf.pos[6 + static_cast<int>(k)].set(label(app.main, *south[k], k == 0 ? &southword : nullptr));

  std::string summary;
  if (northword.empty()) {
    // Nothing to the north: the second half of our last position report.
    summary = rf.waw.caption;
    if (const auto p = summary.find(" and "); p != std::string::npos) summary = summary.substr(p + 5);
  } else if (!southword.empty() && southword != northword) {
    summary = "between " + southword + " and " + northword;
  } else {
    summary = "near " + northword;
  }
  if (!northword.empty() && !north.empty()) {
    const Candidate& c = *north.front();
    if (std::sqrt(c.dx * c.dx + c.dy * c.dy) < 0.04f)
      summary = "near " + (c.name.empty() ? categoryname(app.main, c.code) : c.name);
  }
  rf.pos[5].set(summary);
  if (app.main.ldron == 1) showmsg(app.voice, summary + " " + rf.rd.caption);
}

}  // namespace zarn
