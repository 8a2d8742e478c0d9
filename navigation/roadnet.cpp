#include "navigation/roadnet.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "geodesy/ukgrid.h"
#include "platform/datetime.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

namespace {

constexpr const char* nodecaption = "NODES";
constexpr const char* nodetemplate = "J";
constexpr const char* linktemplate = ",2,R,another road";

bool nodemode(const LinkmanForm& f) { return f.Command1.caption == nodecaption; }

// A position text as frame km; nullopt when the parser cannot read it.
std::optional<std::pair<float, float>> position(GeoState& geo, const std::string& text) {
  float x = 0, y = 0;
  parsepos(geo, text, x, y);
  if (x == parsefailx && y == parsefaily) return std::nullopt;
  return std::pair(x, y);
}

// The first field of every node record (two fields each), to the end of the file.
std::vector<std::string> nodepositions(const platform::Files& files) {
  std::vector<std::string> out;
  auto f = platform::InputFile::open(files, "NODES.TXT", platform::Files::datalimit);
  if (!f) return out;
  while (!f->eof()) {
    out.push_back(f->field());
    f->field();
  }
  return out;
}

struct LinkRecord {
  std::string end1, end2, f3, f4, f5;
};

// Every link record (five fields each), to the end of the file.
std::vector<LinkRecord> linkrecords(const platform::Files& files) {
  std::vector<LinkRecord> out;
  auto f = platform::InputFile::open(files, "LINKS.TXT", platform::Files::datalimit);
  if (!f) return out;
  while (!f->eof()) {
    LinkRecord r;
    for (std::string* s : {&r.end1, &r.end2, &r.f3, &r.f4, &r.f5}) *s = f->field();
    out.push_back(std::move(r));
  }
  return out;
}

std::size_t linecount(const platform::Files& files, const char* name) {
  const auto lines = files.readlines(name, platform::Files::datalimit);
  return lines ? lines->size() : 0;
}

void appendline(App& app, const char* name, const std::string& line) {
  std::string error;
  auto out = platform::OutputFile::open(app.files, name, platform::OutputFile::Mode::Append, &error);
  if (!out || !out->print(line) || !out->close(&error))
    showmsgsay(app.voice, std::string(name) + " cannot be written: " + error);
}

void drawagain(App& app) { plotroad(app.win.zarn, app.geo, app.map, app.files); }

// The length of a link in km, cut to whole metres, as "0.000". An end the parser cannot read
// stands at the parser's failure pair, as it always has.
std::string linklength(GeoState& geo, const std::string& end1, const std::string& end2) {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0, d = 0;
  int brg = 0;
  parsepos(geo, end1, x1, y1);
  parsepos(geo, end2, x2, y2);
  distbearing(geo, x1, y1, x2, y2, d, brg);
  return text::format(std::floor(static_cast<double>(d) * 1000.0) / 1000.0, "0.000");
}

}  // namespace

LinkmanForm::LinkmanForm() : ui::Form(formname) {
  caption = "LINKMAN";
  width = 232;
  height = 112;
  add(Label1, "Label1");
  add(Command1, "Command1");
  add(Text1, "Text1");
  add(dth, "dth");
  add(Command3, "Command3");
  add(Command2, "Command2");
  Command1.caption = nodecaption;
  Command1.move(8, 8, 72, 24);
  Text1.text = nodetemplate;
  Text1.move(88, 8, 136, 22);
  Label1.caption = "Snap (m)";
  Label1.transparent = true;
  Label1.move(8, 44, 72, 20);
  dth.text = "25";
  dth.move(88, 40, 48, 22);
  Command3.caption = "VALUE";
  Command3.move(8, 76, 72, 24);
  Command2.caption = "OUTPUT";
  Command2.move(88, 76, 72, 24);
}

std::string templaterefusal(const LinkmanForm& f) {
  const std::string& t = f.Text1.text;
  if (t.find_first_of("\r\n") != std::string::npos) return "the template runs over two lines";
  if (nodemode(f)) {
    if (t.find_first_of(",\"") != std::string::npos) return "a node's template may not hold a comma or a quote";
  } else if (t.find('"') != std::string::npos || t.empty() || t[0] != ',' || text::countcommas(t) != 3) {
    return "a link's template is a comma and three fields without quotes, as " + std::string(linktemplate);
  }
  return {};
}

void plotroad(ZarnForm& z, GeoState& geo, const MapFrame& m, const platform::Files& files) {
  ui::DrawSurface& s = z.surface;
  const auto pixel = [&](const std::string& text) -> std::optional<std::pair<float, float>> {
    const auto p = position(geo, text);
    float px = 0, py = 0;
    if (!p || !worldtopix(geo, m, p->first, p->second, px, py)) return std::nullopt;
    return std::pair(px, py);
  };
  for (const LinkRecord& r : linkrecords(files)) {
    const auto a = pixel(r.end1), b = pixel(r.end2);
    if (a && b) s.line(a->first, a->second, b->first, b->second, ui::green);
  }
  for (const std::string& n : nodepositions(files))
    if (const auto p = pixel(n)) s.box(p->first - 1, p->second - 1, p->first + 1, p->second + 1, ui::white);
  z.touch();
}

std::optional<std::string> nearestnode(GeoState& geo, const platform::Files& files, float x, float y, float snap) {
  float best = 99999;
  std::optional<std::string> found;
  for (const std::string& n : nodepositions(files)) {
    const auto p = position(geo, n);
    if (!p) continue;
    float d = 0;
    int brg = 0;
    distbearing(geo, x, y, p->first, p->second, d, brg);
    if (d < best) best = d, found = n;
  }
  if (best < snap) return found;
  return std::nullopt;
}

void roadclick(App& app, float x, float y, bool left) {
  LinkmanForm& f = app.win.get<LinkmanForm>();
  const auto refuse = [&](const char* name) {
    if (const std::string why = templaterefusal(f); !why.empty()) {
      app.sys.wav->beep();
      showmsgsay(app.voice, std::string("Not added to ") + name + ": " + why);
      return true;
    }
    return false;
  };
  if (nodemode(f)) {
    if (!refuse("NODES.TXT")) {
      float lat = 0, lon = 0;
      std::string pos;
      osgbtoll(app.geo, x, y, lat, lon);
      fmtlatlon(lat, lon, pos);
      appendline(app, "NODES.TXT", pos + "," + f.Text1.text);
    }
  } else if (const auto node = nearestnode(app.geo, app.files, x, y, static_cast<float>(text::val(f.dth.text) / 1000));
             !node) {
    app.sys.wav->beep();
  } else if (left) {
    f.lastnode = *node;
  } else if (f.lastnode.empty()) {
    app.sys.wav->beep();  // a link needs its first end, chosen with the left button
  } else if (!refuse("LINKS.TXT")) {
    appendline(app, "LINKS.TXT", f.lastnode + "," + *node + f.Text1.text);
  }
  drawagain(app);
}

std::string writenetwork(GeoState& geo, const platform::Files& files, bool index, const platform::DateTime& now) {
  const char* name = index ? "NODELINK.TXT" : "LINKNODE.TXT";
  const auto nodelines = files.readlines("NODES.TXT", platform::Files::datalimit);
  const std::size_t nodecount = nodelines ? nodelines->size() : 0, linkcount = linecount(files, "LINKS.TXT");
  const auto count = [](std::size_t n) { return text::str(static_cast<long long>(n)); };
  std::string error;
  auto out = platform::OutputFile::open(files, name, platform::OutputFile::Mode::Output, &error);
  if (!out) return error;
  // Other tools read this header as written: the link count keeps its leading blank after
  // " nodes and ", so two blanks stand before it.
  out->print(std::string(name) + " of " + text::timetext(now) + " on " + text::datetext(now) + " holds" +
             count(nodecount) + " nodes and " + count(linkcount) + " links.");
  out->print(count(nodecount) + " ");
  out->print(count(linkcount) + " ");
  if (nodelines)
    for (std::size_t k = 0; k < nodelines->size(); ++k)
      out->print(index ? std::to_string(k + 1) + "," + (*nodelines)[k] : (*nodelines)[k]);
  // Node numbers count records, read to the end of the file whatever the line count said.
  // A link end is numbered by the first node record of its position; the index is built once,
  // as a network of thousands of nodes is looked up once for every link end.
  std::unordered_map<std::string, std::size_t> nodes;
  if (index) {
    const std::vector<std::string> positions = nodepositions(files);
    nodes.reserve(positions.size());
    for (std::size_t k = 0; k < positions.size(); ++k) nodes.try_emplace(positions[k], k + 1);
  }
  const auto numbered = [&](const std::string& end) {
    const auto it = end.empty() ? nodes.end() : nodes.find(end);
    return it == nodes.end() ? end : std::to_string(it->second);
  };
  for (const LinkRecord& r : linkrecords(files))
    out->print(numbered(r.end1) + "," + numbered(r.end2) + "," + r.f3 + "," + r.f4 + "," +
               linklength(geo, r.end1, r.end2) + "," + r.f5);
  return out->close(&error) ? std::string() : error;
}

void showlinkman(App& app) {
  LinkmanForm& f = app.win.get<LinkmanForm>();
  f.Command1.onClick = [&f] {
    const bool tolinks = nodemode(f);
    f.Command1.caption = tolinks ? "LINKS" : nodecaption;
    f.Text1.text = tolinks ? linktemplate : nodetemplate;
    f.touch();
  };
  f.Command3.onClick = [&f] {
    f.Command3.caption = f.Command3.caption == "VALUE" ? "INDEX" : "VALUE";
    f.touch();
  };
  f.Command2.onClick = [&app, &f] {
    const std::string error = writenetwork(app.geo, app.files, f.Command3.caption == "INDEX", app.sys.clock->now());
    if (!error.empty()) showmsgsay(app.voice, "The road network cannot be written: " + error);
  };
  f.show();
}

}  // namespace zarn
