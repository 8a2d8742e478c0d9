#include "mainwindow/placesearch.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/distwords.h"
#include "geodesy/geofile.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "mainwindow/popsearch.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/overlays.h"
#include "mapdisplay/pictures.h"
#include "mapdisplay/symbols.h"
#include "navigation/moreinfo.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/phrases.h"
#include "speech/position.h"
#include "speech/queue.h"
#include "speech/reports.h"

namespace zarn {

GedList::GedList(std::string bytes) : data_(std::move(bytes)) {
  if (data_.size() < 4) return;
  const std::int32_t n = le32(0);
  // The position and offset tables must lie wholly inside the file; a count that does not fit
  // is no list at all rather than a reason to read past the end.
  if (n <= 0 || (data_.size() - 4) / 12 < static_cast<std::uint64_t>(n)) return;
  n_ = n;
  texts_ = 4 + 12 * static_cast<std::size_t>(n);
}

std::int32_t GedList::le32(std::size_t at) const {
  std::uint32_t v = 0;
  std::memcpy(&v, data_.data() + at, 4);  // the files and this machine are little-endian
  return static_cast<std::int32_t>(v);
}

bool GedList::position(int i, float& x, float& y) const {
  if (i < 0 || i >= n_) return false;
  const std::size_t at = 4 + 8 * static_cast<std::size_t>(i);
  std::memcpy(&x, data_.data() + at, 4);
  std::memcpy(&y, data_.data() + at + 4, 4);
  return std::isfinite(x) && std::isfinite(y);
}

void GedList::entry(int i, std::string& code, std::string& name) const {
  code.clear();
  name.clear();
  if (i < 0 || i >= n_) return;
  const std::int32_t off = le32(4 + 8 * static_cast<std::size_t>(n_) + 4 * static_cast<std::size_t>(i));
  const std::size_t room = data_.size() - texts_;
  if (off < 0 || room < 2 || static_cast<std::size_t>(off) > room - 2) return;
  const std::size_t at = texts_ + static_cast<std::size_t>(off);
  std::int16_t len = 0;
  std::memcpy(&len, data_.data() + at, 2);
  if (len < 0 || data_.size() - at - 2 < static_cast<std::size_t>(len)) return;  // a text past the end: none
  const std::string_view t(data_.data() + at + 2, static_cast<std::size_t>(len));
  const auto c1 = t.find(',');
  code = t.substr(0, c1);
  if (c1 != std::string_view::npos) {
    const auto c2 = t.find(',', c1 + 1);
    if (c2 != std::string_view::npos) name = t.substr(c1 + 1, c2 - c1 - 1);
  }
  // Stored substituted; a character without a substitute leaves its text as stored.
  (void)flipchars(code);
  (void)flipchars(name);
}

namespace {

constexpr float farther = 1e20f;

// A place of a list: where it is, its grid reference, kind code and name, and the reference the
// further-information table knows it by.
struct Place {
  float x = 0, y = 0;
  std::string ref, code, name, moreref;
};

unsigned char upper(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ? static_cast<unsigned char>(c - 32) : c;
}

// What a typed search looks for: the upper-cased text at the beginning of a name, or anywhere.
struct Wanted {
  std::string text;
  bool anywhere = false;
  bool matches(std::string_view name) const {
    if (text.size() > name.size()) return false;
    const std::size_t last = anywhere ? name.size() - text.size() : 0;
    for (std::size_t at = 0; at <= last; ++at) {
      std::size_t k = 0;
      while (k < text.size() && upper(name[at + k]) == static_cast<unsigned char>(text[k])) ++k;
      if (k == text.size()) return true;
    }
    return false;
  }
};

// The next line of a text, its end (CR, LF or CR LF) removed.
std::string_view nextline(std::string_view& rest) {
  const auto e = rest.find_first_of("\r\n");
  const std::string_view line = rest.substr(0, e);
  if (e == std::string_view::npos)
    rest = {};
  else
    rest.remove_prefix(e + (rest[e] == '\r' && e + 1 < rest.size() && rest[e + 1] == '\n' ? 2 : 1));
  return line;
}

// The next field of a record as the list input reads it: leading blanks skipped; a quoted field
// runs to its closing quote, any other to the next comma, trailing blanks dropped.
std::string_view nextfield(std::string_view& rest) {
  const auto start = rest.find_first_not_of(' ');
  if (start == std::string_view::npos) return rest = {};
  rest.remove_prefix(start);
  std::string_view f;
  if (rest[0] == '"') {
    const auto q = rest.find('"', 1);
    f = rest.substr(1, q == std::string_view::npos ? q : q - 1);
    rest.remove_prefix(q == std::string_view::npos ? rest.size() : q + 1);
  } else {
    f = rest.substr(0, rest.find(','));
    while (!f.empty() && f.back() == ' ') f.remove_suffix(1);
  }
  const auto c = rest.find(',');
  rest.remove_prefix(c == std::string_view::npos ? rest.size() : c + 1);
  return f;
}

bool binarylist(const std::string& list) { return text::ucase(list).find(".GED") != std::string::npos; }

bool poplist(const std::string& list) { return list == "$LPOP.PCD"; }

std::string currentlist(const MainState& m) {
  return m.searchidx >= 1 && m.searchidx <= m.fndcount ? m.searchlists[static_cast<std::size_t>(m.searchidx)]
                                                        : std::string();
}

std::string currentprompt(const MainState& m) {
  return m.searchidx >= 1 && m.searchidx <= m.fndcount ? m.searchprompts[static_cast<std::size_t>(m.searchidx)]
                                                        : std::string();
}

bool reported(const MainState& m, const std::string& ref) {
  for (int k = 1; k < m.hitcount && k <= MainState::hitmax; ++k)
    if (m.hitlist[static_cast<std::size_t>(k)] == ref) return true;
  return false;
}

// The last entry of the hit list has been filled: a further search could only report the same
// place again.
bool hitsfull(const MainState& m) {
  return m.hitcount >= MainState::hitmax && !m.hitlist[MainState::hitmax].empty();
}

void resethits(MainState& m) {
  m.hitcount = 0;
  for (auto& h : m.hitlist) h.clear();
}

void remember(MainState& m, const std::string& ref) {
  if (m.hitcount >= 0 && m.hitcount <= MainState::hitmax) m.hitlist[static_cast<std::size_t>(m.hitcount)] = ref;
}

// The place of the list nearest (rx, ry) (planar; of equals the first in the file) that is not
// in the hit list and, with a wanted text (text lists only), whose name matches. Records without
// a readable position are never candidates: they would put the found place off every map. A
// list that is there but cannot be read gives nothing, and `why` names it and the reason.
std::optional<Place> nearestplace(App& app, const std::string& list, float rx, float ry, const Wanted* want,
                                  std::string& why) {
  std::optional<Place> best;
  float bestd2 = farther;
  const MainState& m = app.main;
  auto closer = [&](float x, float y) {
    const float dx = x - rx, dy = y - ry, d2 = dx * dx + dy * dy;
    return d2 < bestd2 ? std::optional<float>(d2) : std::nullopt;
  };
  if (binarylist(list)) {
    const auto data = app.files.read(list, platform::Files::datalimit, &why);
    if (!data) return best;
    const GedList ged(*data);
    std::string code, name;
    for (int i = 0; i < ged.count(); ++i) {
      float x = 0, y = 0;
      if (!ged.position(i, x, y)) continue;
      const auto d2 = closer(x, y);
      if (!d2) continue;
      std::string ref;
      gridreftext(app.geo, x, y, ref);
      if (reported(m, ref)) continue;
      ged.entry(i, code, name);  // the text is read only for a candidate
      bestd2 = *d2;
      best = Place{x, y, ref, code, name, ""};
    }
    return best;
  }
  const auto data = app.files.read(list, platform::Files::datalimit, &why);
  if (!data) return best;
  std::string_view rest = *data;
  nextline(rest);  // the two header lines
  nextline(rest);
  while (!rest.empty()) {
    std::string_view rec = nextline(rest);
    const auto code = nextfield(rec), east = nextfield(rec), north = nextfield(rec), name = nextfield(rec);
    if (want && !want->matches(name)) continue;
    float x = 0, y = 0;
    if (east.empty()) {
      parsepos(app.geo, std::string(north), x, y);
      if (x == parsefailx && y == parsefaily) continue;
    } else {
      x = static_cast<float>(text::val(east));
      y = static_cast<float>(text::val(north));
    }
    const auto d2 = closer(x, y);
    if (!d2) continue;
    // A name typed is known by its grid reference; the walk outward knows a place written as a
    // position text by that text, as the file writes it.
    std::string ref;
    if (!want && east.empty())
      ref = north;
    else
      gridreftext(app.geo, x, y, ref);
    if (reported(m, ref)) continue;
    bestd2 = *d2;
    best = Place{x, y, ref, std::string(code), std::string(name), east.empty() ? std::string(north) : ref};
  }
  return best;
}

void topix(App& app, float x, float y, float& px, float& py) {
  px = py = -9999;
  worldtopix(app.geo, app.map, x, y, px, py);
}

// Further information about the found place: told when the table or a file names some.
void morecheck(App& app, const std::string& moreref) {
  std::string wav, text, why;
  moreinfo(app.nav, app.files, "", moreref, app.main.foundlabel, wav, text, &why);
  if (!why.empty()) showmsg(app.voice, why);
  if (wav.empty()) return;
  showmsg(app.voice, "more information is available");
  queuewav(app.voice, "moreinfo.wav");
  speakqueue(app.voice);
}

// Nothing left to report: said so, and the next request starts the list again. The found place
// and the map stay as they are.
void nomore(App& app, const std::string& what) {
  MainState& m = app.main;
  const std::string msg = "There are no more" + (what.empty() ? std::string() : " " + what);
  showmsg(app.voice, msg);
  queuewav(app.voice, msg);
  speakqueue(app.voice);
  resethits(m);
  m.searchtime = app.timer();
}

void cantfind(App& app, const std::string& text) {
  MainState& m = app.main;
  ZarnForm& z = app.win.zarn;
  // Also when earlier matches of the same text ran out: the search starts afresh.
  z.sym.visible = z.symlab.visible = z.symlabshad.visible = false;
  showmsg(app.voice, "I can't find " + text);
  queuewav(app.voice, "icantfin.wav");
  queuewav(app.voice, text);
  speakqueue(app.voice);
  m.typedcmd = 0;
  resethits(m);
  m.searchtime = app.timer();
}

// The list searched is there but cannot be read: that is said, not that the place is missing.
void unreadable(App& app, const std::string& why) {
  showmsgsay(app.voice, why);
  app.main.typedcmd = 0;
  resethits(app.main);
  app.main.searchtime = app.timer();
}

// The category text of a kind code for the shown report: "a filling station".
std::string categorytext(const MainState& m, const std::string& code) {
  for (int k = 1; k <= m.catcount && k <= MainState::catmax; ++k)
    if (text::ucase(m.catcode[static_cast<std::size_t>(k)]) == text::ucase(code)) {
      const std::string n = text::lcase(m.catname[static_cast<std::size_t>(k)]);
      return (std::strchr("aeiou", n.empty() ? 'x' : n[0]) ? "an " : "a ") + n;
    }
  return code;
}

void setfound(App& app, const Place& p, const std::string& label) {
  MainState& m = app.main;
  m.foundx = p.x;
  m.foundy = p.y;
  m.foundref = p.ref;
  m.foundlabel = label;
  m.foundwav.clear();  // no prompt of the place before its list gives it one
  app.nav.foundfile = p.code;
}

// The spoken name of a nearest place (step "the name" of the report).
void sayname(App& app, const std::string& code, const std::string& name, const std::string& namewav) {
  const MainState& m = app.main;
  const int syntax = app.speech.syntaxmode;
  if (name.starts_with("on ")) {  // a road: "on A3/M25" letter by letter, "/" as "and"
    if (syntax == 0) queuewav(app.voice, "on.wav");
    for (std::size_t k = 3; k < name.size(); ++k)
      queuewav(app.voice, name[k] == '/' ? std::string("and.wav") : std::string(1, name[k]) + ".wav");
    if (syntax == 1) queuewav(app.voice, "on.wav");
    queuewav(app.voice, "1sec$$$.wav");
  } else if (code == "LPOP" && m.foundlabel.find(" in ") != std::string::npos) {
    sayplacename(app.voice, m.foundlabel);
  } else if (!namewav.empty() && app.files.exists(namewav)) {
    queuewav(app.voice, namewav);
  } else {
    queuewav(app.voice, m.foundlabel);
  }
}

}  // namespace

void typedsearch(App& app) {
  MainState& m = app.main;
  ZarnForm& z = app.win.zarn;
  const std::string text = z.search.text;
  const std::string list = currentlist(m);
  Place p;
  std::string moreref;
  if (poplist(list)) {
    std::string name = "-", area;
    float x = 0, y = 0;
    int more = 0;
    pcsearch(app.files, app.main, text, name, area, x, y, more);
    if (name == "-") return cantfind(app, text);
    p.x = x;
    p.y = y;
    gridreftext(app.geo, x, y, p.ref);
    p.code = "LPOP";
    setfound(app, p, name + " in " + area);
    m.foundwav = "$LPOP.WAV";
    z.sym.setpicture(loadicon(app.map, app.files, *app.sys.images, "$lpop.ico"));
    z.symlab.set("");
    z.symlabshad.set("");
    z.sym.visible = true;
    showmsg(app.voice, m.foundlabel);
    choosemap(app, m.foundx, m.foundy);
    sayplacename(app.voice, m.foundlabel);
    speakqueue(app.voice);
  } else {
    // A binary list is only walked outward from the car: a name typed finds nothing in it.
    if (binarylist(list) || hitsfull(m)) return cantfind(app, text);
    Wanted want{text::ucase(text.starts_with('*') ? text.substr(1) : text), text.starts_with('*')};
    // The population centres' overlay is matched by beginnings only.
    if (text::ucase(list) == "$LPOP.GTX") want.anywhere = false;
    std::string why;
    const auto best = list.empty() ? std::nullopt : nearestplace(app, list, app.gps.ownx, app.gps.owny, &want, why);
    if (!best && !why.empty()) return unreadable(app, why);
    if (!best) return cantfind(app, text);
    p = *best;
    setfound(app, p, p.name);
    remember(m, p.ref);
    moreref = p.moreref;
  }

  // Found: marked on the map that shows it, and told where it lies.
  z.sym.setpicture(loadicon(app.map, app.files, *app.sys.images, "$L.ICO"));
  choosemap(app, m.foundx, m.foundy);
  float fx = 0, fy = 0, cx = 0, cy = 0;
  topix(app, m.foundx, m.foundy, fx, fy);
  topix(app, app.gps.ownx, app.gps.owny, cx, cy);
  speakqueue(app.voice);
  z.search.visible = z.searchdat.visible = false;
  placesymbol(app, p.code, fx, fy, cx, cy);
  showsymbol(app.win.zarn, fx, fy, m.foundlabel, !isnopos(app.main.foundx, app.main.foundy));
  z.searchdat.text = m.foundlabel;
  if (!poplist(text::ucase(list))) {
    // A name typed and found has no prompt of its own: the report opens with its label.
    sayposition(app, m.foundx, m.foundy, m.foundwav);
    if (app.speech.ttsavail == 1) {
      showmsg(app.voice, text + " is in " + m.foundlabel);
      for (const std::string& item : {text, std::string("is.wav"), std::string("in.wav"), m.foundlabel})
        queuewav(app.voice, item);
      speakqueue(app.voice);
    }
  }
  m.searchtime = app.timer();
  z.vecto.visible = false;
  morecheck(app, moreref);
}

void nearestsearch(App& app) {
  MainState& m = app.main;
  ZarnForm& z = app.win.zarn;
  const NavState& n = app.nav;
  float rx = app.gps.ownx, ry = app.gps.owny;
  if (m.refname == "DESTINATION" && n.curdest >= 0 && n.curdest <= NavState::destmax) {
    rx = n.destx[static_cast<std::size_t>(n.curdest)];
    ry = n.desty[static_cast<std::size_t>(n.curdest)];
  }
  // The new entry starts empty: a full hit list is then told apart from one about to be filled.
  if (m.hitcount < MainState::hitmax) m.hitlist[static_cast<std::size_t>(++m.hitcount)].clear();
  if (m.searchidx <= 0) return morecheck(app, "");
  saynow(app.voice, "OK", "ok.wav");
  m.searchtime = app.timer();
  const std::string list = currentlist(m), prompt = currentprompt(m);
  if (list.empty() || hitsfull(m)) return nomore(app, prompt);

  Place p;
  std::string namewav, moreref;
  bool drawn = false;
  if (poplist(list)) {
    std::string name = "-", area;
    pcrecord(app.files, app.geo, app.main, rx, ry, p.x, p.y, name, area, m.hitcount);
    if (name == "-") return nomore(app, prompt);
    gridreftext(app.geo, p.x, p.y, p.ref);
    p.code = "LPOP";
    setfound(app, p, name + " in " + area);
    choosemap(app, m.foundx, m.foundy);
    std::string letters;
    for (char c : text::ucase(name))
      if (c >= 'A' && c <= 'Z' && letters.size() < 8) letters += c;
    m.foundwav = app.files.exists(letters + ".WAV") ? letters + ".WAV" : "$LPOP.WAV";
    p.name.clear();
  } else {
    std::string why;
    const auto best = nearestplace(app, list, rx, ry, nullptr, why);
    if (!best && !why.empty()) return unreadable(app, why);
    if (!best) return nomore(app, prompt);
    p = *best;
    remember(m, p.ref);
    moreref = p.moreref;
    setfound(app, p, p.name.empty() ? prompt : p.name);
    if (p.ref.size() == 14) {  // a national-grid reference: the square's recordings
      std::string geo;
      geofilename(p.ref, geo);
      if (geo.size() > 4) {
        const std::string base = geo.substr(0, geo.size() - 4);
        namewav = base + "." + p.ref[6] + p.ref[12] + "$";
        if (app.files.exists(base + ".WAV")) m.foundwav = base + ".WAV";
      }
    }
    choosemap(app, m.foundx, m.foundy);
    z.sym.visible = z.symlab.visible = z.symlabshad.visible = z.vecto.visible = false;
    // The whole list on the map, the found place among its neighbours.
    if (binarylist(list)) {
      if (const auto data = app.files.read(list, platform::Files::datalimit)) {
        const GedList ged(*data);
        for (int i = 0; i < ged.count(); ++i)
          if (float x = 0, y = 0; ged.position(i, x, y)) drawoverlay(app.win.zarn, app.geo, app.map, x, y, "FS");
      }
    } else {
      readoverlay(app.win.zarn, app.geo, app.map, app.files, list);
    }
    drawn = true;
  }
  m.foundwav = findwav(app.files, m.foundref, m.foundlabel, app.nav.foundfile, app.map.geofile);
  z.searchdat.text = m.foundlabel;
  const bool wholekm = m.foundx == std::floor(m.foundx) && m.foundy == std::floor(m.foundy);

  float fx = 0, fy = 0, rpx = 0, rpy = 0;
  topix(app, m.foundx, m.foundy, fx, fy);
  topix(app, rx, ry, rpx, rpy);
  showsymbol(app.win.zarn, fx, fy, m.foundlabel, !isnopos(app.main.foundx, app.main.foundy));
  placesymbol(app, p.code, fx, fy, rpx, rpy);

  const bool first = m.hitcount == 1;
  const std::string head = first ? "The nearest " + prompt : std::string("The next nearest");
  const bool plainname = p.code == "EFFLC" || p.code == "EFFHE";
  if (drawn) {
    const std::string cat = categorytext(m, p.code);
    showmsg(app.voice, m.foundlabel.empty()  ? head + " is " + cat
                 : plainname           ? head + " is " + cat + " " + m.foundlabel
                                       : head + " is " + cat + " called " + m.foundlabel);
  } else {
    showmsg(app.voice, head + " is " + m.foundlabel);
  }

  const int syntax = app.speech.syntaxmode;
  if (first) {
    if (syntax != 5) queuewav(app.voice, "theneare.wav");
    if (p.code != "LPOP") {
      const std::string listwav = list.substr(0, list.size() >= 4 ? list.size() - 4 : 0) + ".wav";
      queuewav(app.voice, app.files.exists(listwav) ? listwav : prompt);
    }
    if (syntax == 5) queuewav(app.voice, "theneare.wav");
    if (syntax == 0) queuewav(app.voice, "is.wav");
  } else {
    queuewav(app.voice, "nextnear.wav");
  }
  if (drawn && p.code != "L" && p.code != "LPOP") {
    queuewav(app.voice, m.foundwav);
    if (!m.foundlabel.empty() && !plainname && app.speech.ttsavail > 0) queuewav(app.voice, "called.wav");
  }
  sayname(app, p.code, p.name, namewav);
  speakqueue(app.voice);
  app.doevents();

  float d = 0;
  int brg = 0;
  distbearing(app.geo, rx, ry, m.foundx, m.foundy, d, brg);
  std::string dtext, dshort, phrase, diritem, clockitem;
  distext(m.metric, m.nautical, d, dtext, dshort);
  app.nav.clockbrg = clockposition(brg, app.gps.ownhdg);
  clockphrase(app.voice, app.nav.clockbrg, phrase, diritem, clockitem);
  if (app.gps.ownhdg == -1) phrase.clear();
  // Whole kilometres are a rough position: near ones are only probably there.
  const bool probably = wholekm && d < 10;
  speakqueue(app.voice);
  showmsg(app.voice, dtext + " " + phrase + (probably ? " - probably" : ""));
  saydistance(app.voice, dshort);
  saydirection(app.voice, app.nav.clockbrg, app.gps.ownhdg != -1);
  if (syntax == 1) queuewav(app.voice, "is.wav");
  if (probably) queuewav(app.voice, "probably.wav");
  speakqueue(app.voice);
  z.vecto.visible = false;
  m.searchtime = app.timer();
  morecheck(app, moreref);
}

}  // namespace zarn
