#include "mainwindow/search.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "mainwindow/placesearch.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/mapload.h"
#include "mapdisplay/mapoutlines.h"
#include "mapdisplay/nearest.h"
#include "mapdisplay/overlays.h"
#include "mapdisplay/symbols.h"
#include "navigation/directionfinding.h"
#include "navigation/moreinfo.h"
#include "navigation/rgishow.h"
#include "navigation/roadnet.h"
#include "navigation/waypoints.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"

namespace zarn {

namespace {

using text::isdigit;
// Digits and letters, the Latin-1 ones included (not the multiplication and division signs).
bool isalnum(char c) {
  const auto u = static_cast<unsigned char>(c);
  return isdigit(c) || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= 0xC0 && u != 0xD7 && u != 0xF7);
}

// Characters from..to (1-based, inclusive) of t are all digits.
bool digitsat(const std::string& t, std::size_t from, std::size_t to) {
  if (to > t.size()) return false;
  return from >= 1 && from <= to + 1 && text::alldigits(std::string_view(t).substr(from - 1, to - from + 1));
}

void raisehits(MainState& m) { m.hitcount = std::min(m.hitcount + 1, MainState::hitmax); }

// Typed text as a file keeps it: no control character (a CR, LF or Ctrl+Z would end, split or
// cut the file's lines), each of the file's separators a blank, and at most max characters.
std::string filetext(std::string_view typed, std::string_view separators, std::size_t max) {
  std::string t;
  for (char c : typed) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || (u >= 127 && u < 160)) continue;
    t += separators.find(c) == std::string_view::npos ? c : ' ';
    if (t.size() == max) break;
  }
  return t;
}

// A destination label: ZARN.LOC holds at most destmax slots and is read whole only up to the
// readers' limit for a list file; a label is cut so that a file of full slots stays readable.
constexpr std::size_t locmax = platform::Files::smalllimit / (NavState::destmax + 1) - 64;
// A place's name: a label on the map and a field of the place files; a long one is cut.
constexpr std::size_t placemax = 255;
// A text logged as "$GPTXT," stays one sentence that the serial poll's line (200 characters,
// its CR among them) takes whole.
constexpr std::size_t txtmax = GpsState::commlinemax - 1 - 7;

// A line added to a file the user collects entries in; a failure is said, not hidden.
bool appendline(App& app, const std::string& name, const std::string& line) {
  std::string error;
  auto f = platform::OutputFile::open(app.files, name, platform::OutputFile::Mode::Append, &error);
  if (f && f->print(line) && f->close(&error)) return true;
  showmsg(app.voice, name + " not written: " + error);
  return false;
}

// The list named in ZARN.FND is not there: name its category (or the file) and stop.
void missinglist(App& app, const std::string& listfile) {
  const MainState& m = app.main;
  std::string say = listfile, wav = listfile;
  if (text::left(listfile, 1) == "$") {
    const std::string code = text::mid(listfile, 2, std::max(0L, static_cast<long>(listfile.size()) - 5));
    say.clear();
    wav.clear();
    for (int i = 1; i <= std::min(m.catcount, MainState::catmax); ++i)
      if (m.catcode[static_cast<std::size_t>(i)] == code) {
        say = m.catname[static_cast<std::size_t>(i)];
        wav = "$" + code + ".WAV";
      }
  }
  showmsg(app.voice, "I can't find " + say);
  queuewav(app.voice, "icantfin.wav");
  if (!wav.empty()) queuewav(app.voice, wav);
}

// Draws each place of the current map's place file as a circle of its radius: red, then white
// over it when its WAV exists; a place without its WAV beeps.
void drawplaces(App& app) {
  auto f = platform::InputFile::open(app.files, app.map.placesfile, platform::Files::datalimit);
  if (!f) return;
  ZarnForm& z = app.win.zarn;
  z.surface.cls();  // a repaint wipes what was drawn on the window before
  const MapView& v = app.map;
  while (!f->eof()) {
    const std::string pos = f->field();
    f->field();  // the name
    const std::string wav = f->field();
    const auto radius = static_cast<float>(f->number());
    float x = 0, y = 0, px = 0, py = 0;
    parsepos(app.geo, pos, x, y);
    if (!(v.mapxmin <= x && x <= v.mapxmax && v.mapymin <= y && y <= v.mapymax)) continue;
    worldtopix(app.geo, v, x, y, px, py);
    const float rx = kmtopix(v, radius), ry = kmtopixdown(v, radius);
    z.surface.ellipse(px, py, rx, ry, ui::red);
    if (app.files.confined(wav) && app.files.exists(wav))
      z.surface.ellipse(px, py, rx, ry, ui::white);
    else
      app.sys.wav->beep();
  }
  z.touch();
}

// The radius of a new place: km cut (not rounded) to tenths, at least .1, written as the
// shortest text ("2.4", ".1", "12").
std::string radiustext(float km) {
  const float tenths = std::max(1.0f, std::trunc(km * 10.0f));
  return text::trim(text::str(tenths / 10.0f));
}

// The WAV that will speak a new place: its letters and digits (nothing that could break a
// file name or a list field), cut to 8, in capitals.
std::string wavname(const std::string& name) {
  std::string w;
  for (char c : name)
    if (isalnum(c)) w += c;
  return text::ucase(text::left(w, 8));
}

// A place named after the "/" at the current destination, for the place file and the overlay.
void addplace(App& app, const std::string& typed) {
  const std::string name = filetext(typed, "", placemax);
  if (name.find_first_of(",\"") != std::string::npos) {
    showmsg(app.voice, "A place name may not hold a comma or a quote");
    return;
  }
  const NavState& n = app.nav;
  const auto d = static_cast<std::size_t>(std::clamp(n.curdest, 0, NavState::destmax));
  std::string grid;
  gridreftext(app.geo, n.destx[d], n.desty[d], grid);
  float dist = 0;
  int brg = 0;
  distbearing(app.geo, app.gps.ownx, app.gps.owny, n.destx[d], n.desty[d], dist, brg);
  if (appendline(app, "NEW.WAW", grid + "," + name + "," + wavname(name) + ".WAV," + radiustext(dist)))
    appendline(app, "NEW.GTX", "LPOP,," + grid + "," + name + ",");
}

// Every catalogued map loaded once more (map 1 is the base map) and the cache written; the map
// on screen is then the one it was.
void rebuildmaps(App& app) {
  MapView& v = app.map;
  const int current = v.curmap;
  {
    TalkGuard quiet(app.speech);
    quiet.stopped();
    for (int i = 2; i <= std::min(v.mapcount, MapView::mapmax); ++i) loadmap(app, i);
  }
  savefastmaps(app.map, app.voice);
  if (current >= 1 && current <= v.mapcount) loadmap(app, current);
}

// "#" and a road name ("#A34" names the road "#A34#") or a class (text holding ",,"): the map
// click records road points with them.
void digroad(App& app, const std::string& typed) {
  MainState& m = app.main;
  m.digmode = 1;
  if (typed.find(",,") != std::string::npos)
    m.digclass = text::ucase(typed.substr(1));
  else
    m.digname = typed + "#";
}

// The own position stored in destination slot d (1..9), labelled by the digit or by the text
// after "d ". The location file keeps the slots read from it, and the ad-hoc slot only when
// that is the one typed; a slot beyond the file's is kept until the program ends.
void storeslot(App& app, int d, const std::string& typed) {
  NavState& n = app.nav;
  const auto s = static_cast<std::size_t>(d);
  n.destx[s] = app.gps.ownx;
  n.desty[s] = app.gps.owny;
  gridreftext(app.geo, n.destx[s], n.desty[s], n.destname[s]);
  n.destlabel[s] = typed.size() == 1 ? typed : filetext(typed.substr(2), ",", locmax);
  if (d > n.adhocdest) {
    showmsg(app.voice, "Destination " + typed.substr(0, 1) + " is not saved");
    return;
  }
  std::vector<std::string> lines;
  const int last = d == n.adhocdest ? n.adhocdest : n.adhocdest - 1;
  for (int i = 1; i <= last; ++i)
    lines.push_back(n.destname[static_cast<std::size_t>(i)] + "," + n.destlabel[static_cast<std::size_t>(i)]);
  std::string error;
  if (!app.files.writelines("ZARN.LOC", lines, &error)) showmsg(app.voice, "ZARN.LOC not written: " + error);
}

// A typed position (upper case) made the found place, marked but not moved to. False when the
// text is no position: the readers' failure values, or -1 km east or north.
bool typedposition(App& app, const std::string& pos) {
  float x = 0, y = 0;
  parsepos(app.geo, pos, x, y);
  const bool failed = x == -1 || y == -1 || (x == parsefailx && y == parsefaily) || (x == -321 && y == 172.5f);
  if (failed) return false;
  MainState& m = app.main;
  blankmsg(app.voice);  // an earlier "I can't find" no longer holds
  float px = 0, py = 0, cx = 0, cy = 0;
  worldtopix(app.geo, app.map, x, y, px, py);
  worldtopix(app.geo, app.map, app.gps.ownx, app.gps.owny, cx, cy);
  m.foundwav = "destinat.wav";
  m.foundx = x;
  m.foundy = y;
  m.foundref = m.foundlabel = pos;
  app.nav.foundfile.clear();
  placesymbol(app, "", px, py, cx, cy);
  showsymbol(app.win.zarn, px, py, m.foundlabel, !isnopos(app.main.foundx, app.main.foundy));
  std::string info, guide, why;
  moreinfo(app.nav, app.files, "", "", m.foundlabel, info, guide, &why);
  if (!info.empty()) {
    showmsg(app.voice, "more information is available");
    queuewav(app.voice, "moreinfo.wav");
    speakqueue(app.voice);
  } else if (!why.empty()) {
    showmsg(app.voice, why);  // the table of more information could not be read
  }
  return true;
}

// The text (upper case, each run of blanks as one) has the layout: "9" a digit, "A" a letter,
// anything else itself.
bool layout(const std::string& t, std::string_view shape) {
  if (t.size() != shape.size()) return false;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    const bool ok = shape[i] == '9' ? isdigit(c) : shape[i] == 'A' ? c >= 'A' && c <= 'Z' : c == shape[i];
    if (!ok) return false;
  }
  return true;
}

// A typed text is read as a position when it has the shape of one: the short forms (six digits
// of the XY sheet; seven, eight and twelve characters ending in digits, as "O158347",
// "SJ780847", "30U701257094"; the compact latitude/longitude "533000N0022000W"), or a form the
// read-outs write (grid references "SJ 78000 84700" and "O 15855 34718", UTM "30U 701277
// 5709417", MGRS "30U YC 01277 09417", the read-out "53  30.000'N 002  20.000'W"). Other
// shapes ("SJ7884", "SJ78008470") are for the place search.
bool positionshape(const std::string& typed) {
  const std::size_t len = typed.size();
  if ((len == 6 && digitsat(typed, 1, 6)) || (len == 7 && digitsat(typed, 2, 7)) ||
      (len == 8 && digitsat(typed, 3, 8)) || (len == 12 && digitsat(typed, 4, 12)) ||
      (len == 15 && digitsat(typed, 1, 6) && digitsat(typed, 8, 14)))
    return true;
  std::string t;
  for (char c : text::ucase(typed))
    if (c != ' ' || t.empty() || t.back() != ' ') t += c;
  constexpr std::string_view written[] = {"AA 99999 99999", "A 99999 99999", "99A 999999 9999999",
                                          "99A AA 99999 99999", "99 99.999'A 999 99.999'A"};
  for (std::string_view shape : written)
    if (layout(t, shape)) return true;
  return false;
}

// "O": the planner is waited for as every wait is, with the tick and the keys running; the key
// command's flag would otherwise hold the tick's services back for up to two minutes.
void askplanner(App& app) {
  MainState& m = app.main;
  const int sentence = std::exchange(m.sentencemode, 0);
  runkrv(app);
  if (!m.quit) m.sentencemode = sentence;
}

// The keywords, "/", "#" and NMEA logging; false when the text is none of them.
bool keyword(App& app, const std::string& typed) {
  MainState& m = app.main;
  NavState& n = app.nav;
  const std::string u = text::ucase(typed);
  if (typed[0] == '/') {
    if (u == "/WAW")
      drawplaces(app);
    else if (typed.size() > 1)
      addplace(app, typed.substr(1));
    return true;
  }
  if (u == "NMEA") {
    app.gps.nmealog = 1 - app.gps.nmealog;
    return true;
  }
  // While logging, everything else typed goes to the log.
  if (app.gps.nmealog == 1) {
    appendline(app, "NEW.NME", "$GPTXT," + filetext(typed, ",*$", txtmax));
    return true;
  }
  if (rgiword(app, typed)) return true;
  if (u == "DFBRGREL")
    n.dfrel = 1 - n.dfrel;
  else if (u == "PLOTROAD")
    drawroads(app.win.zarn, app.geo, app.map, app.files);
  else if (u == "DISPLAYXY")
    m.displayxy = 1 - m.displayxy;
  else if (u == "O")
    askplanner(app);
  else if (u == "OO")
    n.krvwait = writekrvinput(app) == KrvAsk::written ? 1 : n.krvwait;  // awaited once asked
  else if (u == "SHOWMAPS")
    showmaps(app.win.zarn, app.geo, app.map, app.files);
  else if (u == "LINKMAN")
    showlinkman(app), plotroad(app.win.zarn, app.geo, app.map, app.files);
  else if (u == "FASTMAPS")
    rebuildmaps(app);
  else if (u == "#")
    m.digmode = 0;
  else if (typed[0] == '#')
    digroad(app, typed);
  else
    return false;
  return true;
}

// The typed text as a command or a position; false when it is for the place search.
bool typedcommand(App& app, const std::string& typed) {
  const std::size_t len = typed.size();
  if (len > 0 && keyword(app, typed)) return true;
  if (len == 3 && digitsat(typed, 1, 3)) {
    dfbearing(app, static_cast<float>(std::stoi(typed)), 10);
    return true;
  }
  if (len > 0 && typed[0] >= '1' && typed[0] <= '9' && (len == 1 || (len > 2 && typed[1] == ' '))) {
    storeslot(app, typed[0] - '0', typed);
    return true;
  }
  // A text of a position's shape that reads as none goes on to the place search.
  return positionshape(typed) && typedposition(app, text::ucase(typed));
}

}  // namespace

void findplace(App& app) {
  MainState& m = app.main;
  m.foundwav.clear();
  app.nav.morefile.clear();
  TalkGuard talk(app.speech);  // heard whatever the sound setting; given back on every way out
  talk.on();
  const std::string listfile =
      m.searchidx >= 0 && m.searchidx <= MainState::fndmax ? m.searchlists[static_cast<std::size_t>(m.searchidx)] : "";
  if (listfile == "$AN.NOF") {
    raisehits(m);
    saynearest(app, 1);
    return;
  }
  if (!app.files.exists(listfile)) return missinglist(app, listfile);
  if (m.typedcmd != 1) return nearestsearch(app);

  raisehits(m);
  m.refname = m.prevmode;
  if (!typedcommand(app, app.win.zarn.search.text)) typedsearch(app);
}

}  // namespace zarn
