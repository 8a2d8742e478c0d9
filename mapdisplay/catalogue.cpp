#include "mapdisplay/catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "mapdisplay/cform.h"
#include "mapdisplay/mapload.h"
#include "mapdisplay/startform.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

namespace {

constexpr std::size_t recsize = 44;  // one map in FASTMAPS.DAT
constexpr std::size_t namesize = 16;

// Fields of one line, as Input # reads them.
std::vector<std::string> fields(const std::string& line, std::size_t n) {
  platform::InputFile in(line);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < n; ++i) out.push_back(in.eof() ? std::string() : in.field());
  return out;
}

void beep(App& app) { app.sys.wav->beep(); }

// A progress text on the start window.
void status(App& app, const std::string& text) { setstatlabel(app.win.get<StartForm>(), *app.sys.events, text); }

void put16(std::string& s, int v) {
  const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
  s += static_cast<char>(u & 0xFF);
  s += static_cast<char>(u >> 8);
}
void putfloat(std::string& s, float v) {
  std::uint32_t u = 0;
  std::memcpy(&u, &v, sizeof u);
  for (int k = 0; k < 4; ++k) s += static_cast<char>((u >> (8 * k)) & 0xFF);
}
int get16(const std::string& s, std::size_t at) {
  const auto u = static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                            (static_cast<unsigned char>(s[at + 1]) << 8));
  return static_cast<std::int16_t>(u);
}
float getfloat(const std::string& s, std::size_t at) {
  std::uint32_t u = 0;
  for (int k = 0; k < 4; ++k) u |= static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + k])) << (8 * k);
  float v = 0;
  std::memcpy(&v, &u, sizeof v);
  return v;
}

// The title of a description for the control panel's list.
void listtitle(App& app, const std::string& title) { app.win.get<CForm>().map.additem(title); }

// The catalogue entry of one description read from MAPS.DIR. False when the map is left out
// (bad description, reported on the start window; while running, a missing picture on the
// message line) or the program must end (main.quit: a missing picture at start-up).
bool addentry(App& app, const std::string& name, const MapDes& d, bool running) {
  MapView& m = app.map;
  const int i = m.mapcount + 1;
  float a1 = d.a[0], a2 = d.a[1], a3 = d.a[2];
  float b1 = d.b[0], b2 = d.b[1], b3 = d.b[2];
  const std::string& r1 = d.r[0];
  // Picture size assumed for the bounds: a latitude/longitude map gives its own.
  float W = 639, H = 479, x640 = 1.0f;
  if (a3 > 0 && r1 == "LL") {
    H = b2;
    W = a3;
    x640 = W / 639;
  }
  b1 = H - b1;
  b2 = H - b2;
  b3 = H - b3;
  std::string pic = text::ucase(text::trim(d.picture));

  if (text::left(r1, 4) == "TILE") {
    const int kind = static_cast<int>(text::val(text::mid(r1, 5, 1)));
    if (kind < 1) {
      status(app, name + ".DES names no tile scheme: map left out");
      return false;
    }
    float x = 0, y = 0;
    m.mapkind[i] = kind;
    m.mapname[i] = pic;
    m.mapew[i] = a1 * m.scrwidth / 640;
    parsepos(app.geo, d.r[1], x, y);
    m.mapswx[i] = x;
    m.mapswy[i] = y;
    parsepos(app.geo, d.r[2], x, y);
    m.mapnex[i] = x;
    m.mapney[i] = y;
    m.maplatlon[i] = 0;
    m.mapx640[i] = x640;
    m.mapcount = i;
    listtitle(app, d.title);
    return true;
  }

  if (text::instr(pic, ".PCX") > 0) pic = text::left(pic, static_cast<long>(pic.size()) - 4);
  if (!app.files.exists(pic + ".BMP")) {
    pic = m.extramaps + pic;
    if (!app.files.exists(pic + ".BMP")) {
      beep(app);
      if (running) {  // a map made or removed meanwhile must not end the program
        showmsg(app.voice, "Map " + name + " left out: its picture " + name + ".BMP is missing");
        return false;
      }
      app.msgbox("The map image " + name + ".BMP is missing from" + " both my local directory and " +
                     m.extramaps + "." + "Find it or remove " + name + ".DES" + "  If you can't find " +
                     name + ".DES it is " + "possible that " + name + " appears within another" +
                     " .DES file.",
                 platform::mb::ok, "ZARN Map Missing");
      callhook(app.hooks.endprogram);
      return false;
    }
  }
  if (degenerate(d)) {
    status(app, name + ".DES: its reference points share a row or column: map left out");
    return false;
  }
  m.mapname[i] = pic;
  status(app, d.title);

  // Rotated copies of a heading-up map: the same name with its leading "0" replaced by the
  // sector digit.
  if (!pic.empty() && pic[0] == '0') {
    int n = 0;
    for (char dgt = '0'; dgt <= '7'; ++dgt)
      if (app.files.exists(std::string(1, dgt) + pic.substr(1) + ".BMP")) ++n;
    m.maxrotsect = std::max(m.maxrotsect, n);
  }
  m.rotsectors = m.maxrotsect;

  m.mapkind[i] = 0;
  m.mapx640[i] = x640;
  if (r1 != "LL") {
    const float a[3] = {a1, a2, a3}, b[3] = {b1, b2, b3};
    const GridCorners c = gridcorners(app.geo, d, a, b, W, H);
    m.mapswx[i] = c.swx;
    m.mapswy[i] = c.swy;
    m.mapnex[i] = c.nex;
    m.mapney[i] = c.ney;
    m.maplatlon[i] = 0;
    m.mapew[i] = m.mapnex[i] - m.mapswx[i];
  } else {
    float x = 0, y = 0, lat2 = 0, lon2 = 0, lat3 = 0, lon3 = 0;
    parsepos(app.geo, d.r[1], x, y);
    osgbtoll(app.geo, x, y, lat2, lon2);
    parsepos(app.geo, d.r[2], x, y);
    osgbtoll(app.geo, x, y, lat3, lon3);
    if (lon3 < lon2) lon3 += 360;
    float west = -180, east = 180, south = -90, north = 90;
    if (lon3 - lon2 != 360) {
      const float kx = (lon3 - lon2) / (a3 - a2);
      west = lon2 - a2 * kx;
      east = (W - a3) * kx + lon3;
      if (east > 180) east -= 360;
      const float ky = (lat3 - lat2) / (b3 - b2);
      south = lat2 - b2 * ky;
      north = (H - b3) * ky + lat3;
    }
    lltoosgb(app.geo, south, west, m.mapswx[i], m.mapswy[i]);
    lltoosgb(app.geo, north, east, m.mapnex[i], m.mapney[i]);
    m.maplatlon[i] = 1;
    float eastx = m.mapnex[i];
    if (east <= west) {
      float ny = 0;
      lltoosgb(app.geo, north, east + 360, eastx, ny);
    }
    m.mapew[i] = std::fabs(eastx - m.mapswx[i]);
  }
  m.mapcount = i;
  listtitle(app, d.title);
  return true;
}

// No control bytes but tabs.
bool istext(const std::string& s) {
  return std::none_of(s.begin(), s.end(), [](char c) { return c != '\t' && static_cast<unsigned char>(c) < 32; });
}

// Why the cache cannot stand for the descriptions; empty when it can. It must hold the records it
// counts (bytes after them are left over from an older, longer cache), each with a name of text,
// a known kind and calibration, and numbers for its corners. A map whose description has gone
// since is only left out when the cache is read.
std::string cachefault(const std::string& bytes) {
  const std::string f = "FASTMAPS.DAT";
  if (bytes.empty()) return f + " is empty";
  if (bytes.size() < 2) return f + " is cut short: it ends inside its count";
  const int count = get16(bytes, 0);
  if (count < 1 || count > MapView::mapmax) return f + " is damaged: it counts " + std::to_string(count) + " maps";
  const auto whole = (bytes.size() - 2) / recsize;
  if (whole < static_cast<std::size_t>(count))
    return f + " is cut short: it counts " + std::to_string(count) + " maps, holds " + std::to_string(whole);
  for (int i = 1; i <= count; ++i) {
    const std::size_t at = 2 + recsize * static_cast<std::size_t>(i - 1);
    const std::string atmap = f + " is damaged at map " + std::to_string(i) + ": ";
    const std::string name = text::trim(bytes.substr(at, namesize));
    if (name.empty() || !istext(name)) return atmap + "its name is not text";
    if (const int kind = get16(bytes, at + 18); kind < 0 || kind > 3)
      return atmap + "unknown kind " + std::to_string(kind);
    if (const int ll = get16(bytes, at + 16); ll != 0 && ll != 1)
      return atmap + "unknown calibration " + std::to_string(ll);
    for (std::size_t v = at + 20; v < at + 40; v += 4)
      if (!std::isfinite(getfloat(bytes, v))) return atmap + "its bounds are not numbers";
  }
  return {};
}

// The maps of a sound cache, less those whose description is missing: the rest of the user's
// cache stands. What was left out is told in `missing` (empty when nothing was).
void readfromcache(App& app, const std::string& bytes, std::string& missing) {
  MapView& m = app.map;
  status(app, "Reading Map list from FASTMAPS.DAT ...");
  m.mapcount = 0;
  missing.clear();
  int gone = 0;
  const int count = get16(bytes, 0);
  for (int k = 1; k <= count; ++k) {
    const std::size_t at = 2 + recsize * static_cast<std::size_t>(k - 1);
    const int i = m.mapcount + 1;
    m.mapname[i] = text::trim(bytes.substr(at, namesize));
    if (!app.files.confined(m.mapname[i], m.extramaps)) {
      status(app, "FASTMAPS.DAT: " + m.mapname[i] + " is outside the working folder");
      break;
    }
    if (!app.files.exists(m.mapname[i] + ".DES")) {
      if (gone++ == 0) missing = m.mapname[i];
      continue;
    }
    m.maplatlon[i] = get16(bytes, at + 16);
    m.mapkind[i] = get16(bytes, at + 18);
    m.mapew[i] = getfloat(bytes, at + 20);
    m.mapswx[i] = getfloat(bytes, at + 24);
    m.mapnex[i] = getfloat(bytes, at + 28);
    m.mapswy[i] = getfloat(bytes, at + 32);
    m.mapney[i] = getfloat(bytes, at + 36);
    m.mapx640[i] = 1.0f;
    m.mapcount = i;
    listtitle(app, readdesname(app.files, m, i));
  }
  if (gone == 1) missing = "FASTMAPS.DAT names " + missing + ".DES, which is missing: that map is left out";
  if (gone > 1)
    missing = "FASTMAPS.DAT names " + missing + ".DES and " + std::to_string(gone - 1) +
              " more descriptions that are missing: those maps are left out";
}

// The first map name too long for the cache's 16 characters; empty when all fit.
std::string longname(const MapView& m) {
  for (int i = 1; i <= m.mapcount; ++i)
    if (m.mapname[i].size() > namesize) return m.mapname[i];
  return {};
}

// The catalogue as FASTMAPS.DAT holds it; every name must fit.
std::string cachebytes(const MapView& m) {
  std::string s;
  s.reserve(2 + recsize * static_cast<std::size_t>(m.mapcount));
  put16(s, m.mapcount);
  for (int i = 1; i <= m.mapcount; ++i) {
    const std::string& n = m.mapname[i];
    s += std::string(namesize - n.size(), ' ') + n;
    put16(s, m.maplatlon[i]);
    put16(s, m.mapkind[i]);
    putfloat(s, m.mapew[i]);
    putfloat(s, m.mapswx[i]);
    putfloat(s, m.mapnex[i]);
    putfloat(s, m.mapswy[i]);
    putfloat(s, m.mapney[i]);
    putfloat(s, m.mapx640[i]);
  }
  return s;
}

// What is wrong with the lines of a description, as "is damaged at line N: ..."; empty when sound.
// Lines 1 to 5 must be there as text; line 2 names the map; lines 3 to 5 each begin with a
// reference, and the pixel numbers that calibrate a picture, or a tiled map's view width, are
// numbers.
std::string desfault(const std::vector<std::string>& lines) {
  const auto at = [](std::size_t k, const std::string& what) {
    return "is damaged at line " + std::to_string(k + 1) + ": " + what;
  };
  for (std::size_t k = 0; k < lines.size() && k < 6; ++k)
    if (!istext(lines[k])) return at(k, "it holds bytes that are not text");
  if (lines.size() < 5) return at(lines.size(), "the line is missing");
  if (text::trim(fields(lines[1], 1)[0]).empty()) return at(1, "it names no map");
  const bool tiled = text::left(fields(lines[2], 1)[0], 4) == "TILE";
  for (std::size_t k = 2; k < 5; ++k) {
    const auto f = fields(lines[k], 3);
    if (f[0].empty()) return at(k, "it has no reference");
    for (std::size_t n = 1; n <= (tiled ? (k == 2 ? 1u : 0u) : 2u); ++n)
      if (f[n].empty() || !text::isnumber(f[n]))
        return at(k, f[n].empty() ? "a number is missing" : "\"" + text::left(f[n], 40) + "\" is not a number");
  }
  return {};
}

}  // namespace

std::optional<MapDes> readdes(const platform::Files& files, const std::string& file, std::string* why) {
  // A description is a few lines; its limit is that of the data files all the same.
  std::string reason;
  auto lines = files.readlines(file, platform::Files::datalimit, &reason);
  if (!lines && !reason.empty()) {  // there, but not a file that can be read: the reason names it
    if (why) *why = reason;
    return std::nullopt;
  }
  const std::string fault = !lines ? "is missing" : lines->empty() ? "is empty" : desfault(*lines);
  if (!fault.empty()) {
    if (why) *why = file + " " + fault;
    return std::nullopt;
  }
  auto line = [&](std::size_t k) { return k < lines->size() ? (*lines)[k] : std::string(); };
  MapDes d;
  d.title = fields(line(0), 1)[0];
  d.picture = fields(line(1), 1)[0];
  for (std::size_t k = 0; k < 3; ++k) {
    const auto f = fields(line(2 + k), 3);
    d.r[k] = f[0];
    d.a[k] = static_cast<float>(text::val(f[1]));
    d.b[k] = static_cast<float>(text::val(f[2]));
  }
  d.places = text::trim(line(5));
  // The picture (or tile prefix) and the place file it names are opened later, by those names.
  for (const std::string* name : {&d.picture, &d.places})
    if (!files.confined(text::trim(*name))) {
      if (why) *why = file + ": " + text::trim(*name) + " is outside the working folder";
      return std::nullopt;
    }
  return d;
}

GridCorners gridcorners(GeoState& geo, const MapDes& d, const float a[3], const float b[3], float w, float h) {
  float e1 = 0, n1 = 0, e2 = 0, n2 = 0, e3 = 0, n3 = 0;
  parsepos(geo, d.r[0], e1, n1);
  parsepos(geo, d.r[1], e2, n2);
  parsepos(geo, d.r[2], e3, n3);
  GridCorners c;
  const float kx = (e3 - e1) / (a[2] - a[0]);
  c.swx = e1 - a[0] * kx;
  c.nex = (w - a[2]) * kx + e3;
  const float ky = (n2 - n1) / (b[1] - b[0]);
  c.swy = n1 - b[0] * ky;
  c.ney = (h - b[1]) * ky + n2;
  return c;
}

bool degenerate(const MapDes& d) {
  if (text::left(d.r[0], 4) == "TILE") return false;
  if (d.r[0] == "LL") return d.a[2] == d.a[1] || d.b[2] == d.b[1];
  return d.a[2] == d.a[0] || d.b[1] == d.b[0];
}

void scanmaps(const MapView& m, Voice& v, StartForm& start) {
  std::vector<std::string> found;
  std::vector<std::string> prefixes{std::string()};
  if (!m.extramaps.empty()) prefixes.push_back(m.extramaps);
  for (const std::string& prefix : prefixes) {
    for (const std::string& f : v.files.list(prefix + "*.DES")) {
      if (static_cast<int>(found.size()) < MapView::mapmax) {
        found.push_back(prefix + text::ucase(text::left(f, static_cast<long>(f.size()) - 4)));
      } else {
        setstatlabel(start, *v.sys.events, "Too many maps..");
        v.sys.wav->beep();
      }
    }
  }

  if (std::string error; !v.files.exists("MAPS.DIR") && !v.files.writelines("MAPS.DIR", {"THEWORLD"}, &error))
    showmsg(v, "MAPS.DIR not written: " + error);
  // The extra directory's prefix keeps the case it has in ZARN.CFG; MAPS.DIR lines are read
  // upper-cased. Both sides are compared upper-cased, so those maps are not added again.
  std::string why;
  const auto lines = v.files.readlines("MAPS.DIR", platform::Files::smalllimit, &why);
  if (!why.empty()) {
    setstatlabel(start, *v.sys.events, why);  // a list that cannot be read is not added to either
    return;
  }
  if (lines) {
    for (const std::string& l : *lines) {
      const std::string name = text::ucase(text::trim(l));
      if (name.empty()) continue;
      for (std::string& f : found)
        if (!f.empty() && text::ucase(f) == name) f.clear();
    }
  }
  bool first = true;
  for (const std::string& f : found) {
    if (f.empty()) continue;
    setstatlabel(start, *v.sys.events, "Adding " + f + " to MAPS.DIR");
    if (first) {
      // A last line without its line end would run into the name appended.
      const auto old = v.files.read("MAPS.DIR");
      if (old && !old->empty() && old->back() != '\n' && old->back() != '\r') {
        if (auto out = platform::OutputFile::open(v.files, "MAPS.DIR", platform::OutputFile::Mode::Append))
          out->print("");
      }
      first = false;
    }
    if (auto out = platform::OutputFile::open(v.files, "MAPS.DIR", platform::OutputFile::Mode::Append))
      out->print(f);
    v.sys.wav->beep();
  }
}

namespace {

// The catalogue from MAPS.DIR and the descriptions. While running (a rebuild after the map
// maker) a missing description or picture leaves that map out with a message.
bool readfromdir(App& app, bool running) {
  MapView& m = app.map;
  m.mapcount = 0;
  m.maxrotsect = 0;
  auto dir = platform::InputFile::open(app.files, "MAPS.DIR");
  if (!dir) return true;
  while (!dir->eof()) {
    const std::string name = dir->field();
    if (name.empty()) break;
    if (!app.files.confined(name, m.extramaps)) {
      status(app, "MAPS.DIR: " + name + " is outside the working folder");
      continue;
    }
    if (!app.files.exists(name + ".DES")) {
      if (running) {
        showmsg(app.voice, "Map " + name + " left out: " + name + ".DES is missing");
        continue;
      }
      missingdes(app, name);
      if (app.main.quit) return false;
      if (!app.files.exists(name + ".DES")) continue;
    }
    if (m.mapcount >= MapView::mapmax) {
      status(app, "Too many maps..");
      beep(app);
      break;
    }
    std::string why;
    const auto d = readdes(app.files, name + ".DES", &why);
    if (!d) {
      // Its picture may well be there: a damaged description leaves the map out, and the
      // program goes on.
      status(app, why + ": map left out");
      continue;
    }
    addentry(app, name, *d, running);
    if (app.main.quit) return false;
  }
  return true;
}

}  // namespace

bool readmaplist(App& app, std::string* why) {
  MapView& m = app.map;
  app.win.get<CForm>().map.clear();
  // A new catalogue: maps that failed to load may load now.
  m.failedmaps.clear();
  if (why) why->clear();
  std::string fault;
  if (app.files.exists("FASTMAPS.DAT")) {
    const auto bytes = app.files.read("FASTMAPS.DAT");
    fault = bytes ? cachefault(*bytes) : "FASTMAPS.DAT cannot be read";
    if (fault.empty()) {
      std::string missing;
      readfromcache(app, *bytes, missing);
      // A cache of nothing but missing maps stands for nothing: it is made again below.
      if (m.mapcount > 0 || missing.empty()) {
        if (missing.empty()) return true;
        if (why)
          *why = missing;
        else
          showmsg(app.voice, missing);
        return true;
      }
      app.win.get<CForm>().map.clear();
      fault = missing;
    }
  }
  if (!readfromdir(app, false)) return false;
  if (fault.empty()) return true;
  // The cache is made again from what the descriptions gave; with nothing to hold, or names it
  // cannot hold, it goes, so that the next start does not meet the same fault.
  const bool keep = m.mapcount > 0 && longname(m).empty();
  std::string error;
  if (keep ? !app.files.write("FASTMAPS.DAT", cachebytes(m), &error) : !app.files.remove("FASTMAPS.DAT"))
    fault += "; it could not be made again" + (error.empty() ? "" : ": " + error);
  if (why)
    *why = fault;
  else
    showmsg(app.voice, fault);
  return true;
}

void initmaps(App& app) {
  MapView& m = app.map;
  const bool oncatalogue = m.curmap >= 1 && m.curmap <= m.mapcount;
  const std::string shown = oncatalogue ? m.mapname[static_cast<std::size_t>(m.curmap)] : "";
  scanmaps(m, app.voice, app.win.get<StartForm>());
  app.win.get<CForm>().map.clear();
  m.failedmaps.clear();
  readfromdir(app, true);
  // The map on show keeps its place in the choice: a number pointing at another map would keep
  // the old picture under that map's bounds.
  const auto end = m.mapname.begin() + 1 + m.mapcount;
  const auto it = shown.empty() ? end : std::find(m.mapname.begin() + 1, end, shown);
  m.curmap = it == end ? 0 : static_cast<int>(it - m.mapname.begin());
}

bool savefastmaps(const MapView& m, Voice& v) {
  if (const std::string n = longname(m); !n.empty()) {
    showmsg(v, "FASTMAPS.DAT not written: map name " + n + " is longer than 16 characters");
    return false;
  }
  // Written afresh: an older, longer cache must not leave records behind the new ones.
  if (std::string error; !v.files.write("FASTMAPS.DAT", cachebytes(m), &error)) {
    showmsg(v, "FASTMAPS.DAT not written: " + error);
    return false;
  }
  return true;
}

std::string readdesname(const platform::Files& files, const MapView& m, int n) {
  const auto& names = m.mapname;
  if (n < 1 || n >= static_cast<int>(names.size())) return {};
  const std::string& name = names[static_cast<std::size_t>(n)];
  if (name.empty()) return {};
  auto des = platform::InputFile::open(files, name + ".DES", platform::Files::datalimit);
  if (!des) return {};
  return des->field();
}

bool mapcovers(const MapView& m, float x, float y, int i) {
  if (i < 0 || i > MapView::mapmax) return false;
  const auto k = static_cast<std::size_t>(i);
  const float mg = m.mapew[k] * 10 / 640;
  if (!(m.mapswy[k] + 4 * mg < y && y < m.mapney[k] - mg)) return false;
  if (m.mapnex[k] > m.mapswx[k]) return m.mapswx[k] + mg < x && x < m.mapnex[k] - mg;
  return x < m.mapnex[k] - mg || x > m.mapswx[k] + mg;
}

}  // namespace zarn
