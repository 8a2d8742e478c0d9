#include "mapdisplay/landmarks.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>
#include <utility>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/geofile.h"
#include "geodesy/irishgrid.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/ownfix.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

GForm::GForm() : ui::Form(formname) {
  caption = "GEOMAN creates .GEO files";
  width = 336;
  height = 232;
  add(Label1, "Label1");
  add(gcc, "gcc");
  add(gccname, "gccname");
  add(gg, "gg");
  add(ng, "ng");
  add(dg, "dg");
  add(fg, "fg");
  add(gpscmd, "gpscmd");
  add(addg, "addg");
  add(plotg, "plotg");
  add(Command1, "Command1");
  const std::pair<const char*, int> labels[] = {{"Cat Code = Category Name from ZARN.CAT", 8},
                                                {"Position", 64}, {"Name", 92}, {"Direction", 120}, {"into", 148}};
  for (int k = 0; k < 5; ++k) {
    ui::Label& l = Label1.load(k);
    l.move(8, labels[k].second, k == 0 ? 320 : 64, 18);
    l.caption = labels[k].first;
    l.transparent = true;
    l.visible = true;
  }
  gcc.move(8, 30, 60, 22);
  gccname.move(76, 30, 252, 22);
  gccname.locked = true;
  gg.move(76, 62, 180, 22);
  ng.move(76, 90, 252, 22);
  dg.move(76, 118, 80, 22);
  fg.move(76, 146, 180, 22);
  gcc.text = "L";
  gccname.text = "Landmark";
  gg.text = "512382N0003960W";
  fg.text = "52N002WA.GEA";
  gpscmd.caption = "GPS";
  addg.caption = "Append";
  plotg.caption = "Plot";
  Command1.caption = "X";
  gpscmd.move(8, 188, 72, 28);
  addg.move(88, 188, 72, 28);
  plotg.move(168, 188, 72, 28);
  Command1.move(296, 188, 32, 28);
}

// --- the cell files ---

std::string landmarkline(const Landmark& l) {
  const std::string dir = "$" + l.dir + "$";
  return text::ucase(l.code) + "," + l.pos + "," + "#" + l.name + "#" + (dir == "$$" ? "" : dir);
}

std::string landmarkrefusal(const Landmark& l, const std::string& file, const platform::Files& files) {
  if (text::trim(file).empty()) return "no file name is given";
  if (file.find_first_of("\r\n") != std::string::npos) return "the file name runs over two lines";
  if (!files.confined(file)) return "the file name leads out of the data folder";
  const std::pair<const char*, const std::string*> fields[] = {
      {"code", &l.code}, {"position", &l.pos}, {"name", &l.name}, {"direction", &l.dir}};
  for (const auto& [what, value] : fields) {
    if (value->find_first_of(",\"") != std::string::npos) return std::string("the ") + what + " holds a comma or a quote";
    if (value->find_first_of("\r\n") != std::string::npos) return std::string("the ") + what + " runs over two lines";
  }
  if (l.name.find_first_of("#$") != std::string::npos) return "the name holds # or $";
  if (l.dir.find('$') != std::string::npos) return "the direction holds $";
  return {};
}

std::string cellref(GeoState& geo, float x, float y) {
  const int mode = geo.utmmode;
  geo.utmmode = 0;
  std::string t;
  gridreftext(geo, x, y, t);
  geo.utmmode = mode;
  return t;
}

std::string cellfile(GeoState& geo, float x, float y) {
  std::string f;
  geofilename(cellref(geo, x, y), f);
  return f;
}

int drawgeo(ZarnForm& z, GeoState& geo, const MapFrame& m, const platform::Files& files, const std::string& file) {
  if (text::trim(file).empty() || !files.exists(file)) return 0;
  auto in = platform::InputFile::open(files, file, platform::Files::datalimit);
  if (!in) return 0;
  int drawn = 0;
  while (!in->eof()) {
    const std::string code = in->field(), pos = in->field();
    in->field();  // name and direction
    if (pos.empty()) continue;
    float x = 0, y = 0, px = 0, py = 0;
    parsepos(geo, pos, x, y);
    if ((x == parsefailx && y == parsefaily) || !worldtopix(geo, m, x, y, px, py)) continue;
    // Off the window it would not show.
    if (px < -2 || py < -2 || px > static_cast<float>(z.width) + 2 || py > static_cast<float>(z.height) + 2) continue;
    z.surface.box(px - 1, py - 1, px + 1, py + 1, code.substr(0, 1) == "R" ? ui::red : ui::green);
    ++drawn;
  }
  return drawn;
}

namespace {

// Frame km a cell's bounds are widened by: the walk's point nearest a cell edge is named by its
// text (rounded to metres, or through latitude/longitude), and each candidate is checked by name.
constexpr float margin = 1.0f;
// Walk points checked for one cell at most; beyond that (a cell far out of the frame's reach,
// drawn huge) the cell counts as met when its bounds reach the map.
constexpr long checkmax = 10000;

struct Bounds {
  float x0, y0, x1, y1;
};

bool isdigits(const std::string& s, std::size_t from, std::size_t n) {
  return from + n <= s.size() &&
         std::all_of(s.begin() + static_cast<long>(from), s.begin() + static_cast<long>(from + n),
                     [](char c) { return c >= '0' && c <= '9'; });
}
int num(const std::string& s, std::size_t from, std::size_t n) { return std::stoi(s.substr(from, n)); }
// Int(minutes / 2) as its band character encodes it, or nullopt.
std::optional<int> bandvalue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'T') return c - 55;
  return std::nullopt;
}

// Where a cell file's cell can lie in the frame (km), by the layout of its name (upper case):
// "SJ7381.GEO" (a square of the table; a code may stand for more than one), "O1534.GEO" (Irish
// grid), "51N000WF.GEM" (latitude/longitude). None for any other name.
std::vector<Bounds> cellbounds(GeoState& geo, const std::string& n) {
  std::vector<Bounds> out;
  const auto grow = [](Bounds b) { return Bounds{b.x0 - margin, b.y0 - margin, b.x1 + margin, b.y1 + margin}; };
  if (n.size() == 10 && n.compare(6, 4, ".GEO") == 0 && isdigits(n, 2, 4)) {
    const std::string code = n.substr(0, 2);
    for (int k = 1; k <= std::min(geo.ccccount, GeoState::cccmax); ++k) {
      const auto s = static_cast<std::size_t>(k);
      if (geo.ccccode[s] != code) continue;
      const float x = geo.cccx[s] + static_cast<float>(num(n, 2, 2)), y = geo.cccy[s] + static_cast<float>(num(n, 4, 2));
      out.push_back(grow({x, y, x + 1, y + 1}));
    }
  } else if (n.size() == 9 && n.compare(5, 4, ".GEO") == 0 && isdigits(n, 1, 4)) {
    const char* at = std::char_traits<char>::find(irishletters, 25, n[0]);
    if (!at) return out;
    const auto k = at - irishletters;
    const float e = static_cast<float>(100 * (k % 5) + num(n, 1, 2)), no = static_cast<float>(100 * (k / 5) + num(n, 3, 2));
    out.push_back(grow({e - irishdx, no + irishdy, e + 1 - irishdx, no + 1 + irishdy}));
  } else if (n.size() == 12 && n.compare(8, 3, ".GE") == 0 && isdigits(n, 0, 2) && isdigits(n, 3, 3) &&
             (n[2] == 'N' || n[2] == 'S') && (n[6] == 'E' || n[6] == 'W')) {
    const auto latband = bandvalue(n[7]), lonband = bandvalue(n[11]);
    if (!latband || !lonband) return out;
    const float lat0 = static_cast<float>(num(n, 0, 2)) + static_cast<float>(2 * *latband) / 60;
    const float lon0 = static_cast<float>(num(n, 3, 3)) + static_cast<float>(2 * *lonband) / 60;
    const float ns = n[2] == 'S' ? -1.0f : 1.0f, ew = n[6] == 'W' ? -1.0f : 1.0f;
    Bounds b{1e30f, 1e30f, -1e30f, -1e30f};
    // Corners and edge midpoints: the cell is not a rectangle in the frame.
    for (float u : {0.0f, 0.5f, 1.0f})
      for (float v : {0.0f, 0.5f, 1.0f}) {
        float x = 0, y = 0;
        lltoosgb(geo, ns * (lat0 + v / 30), ew * (lon0 + u / 30), x, y);
        b = {std::min(b.x0, x), std::min(b.y0, y), std::max(b.x1, x), std::max(b.y1, y)};
      }
    out.push_back(grow(b));
  }
  return out;
}

}  // namespace

std::vector<std::string> mapcells(GeoState& geo, const MapFrame& m, const std::vector<std::string>& present) {
  const double spanx = static_cast<double>(m.mapxmax) - m.mapxmin, spany = static_cast<double>(m.mapymax) - m.mapymin;
  if (!(spanx >= 0 && spany >= 0 && spanx < 1e7 && spany < 1e7)) return {};
  const long nx = static_cast<long>(std::floor(spanx)), ny = static_cast<long>(std::floor(spany));
  std::vector<std::tuple<long, long, std::string>> met;  // first walk point (i, j) and the name as on disk
  for (const std::string& disk : present) {
    const std::string name = text::ucase(disk);
    std::optional<std::pair<long, long>> first;
    for (const Bounds& b : cellbounds(geo, name)) {
      const long i0 = std::max(0L, static_cast<long>(std::ceil(static_cast<double>(b.x0) - m.mapxmin)));
      const long i1 = std::min(nx, static_cast<long>(std::floor(static_cast<double>(b.x1) - m.mapxmin)));
      const long j0 = std::max(0L, static_cast<long>(std::ceil(static_cast<double>(b.y0) - m.mapymin)));
      const long j1 = std::min(ny, static_cast<long>(std::floor(static_cast<double>(b.y1) - m.mapymin)));
      if (i0 > i1 || j0 > j1) continue;
      std::optional<std::pair<long, long>> hit;
      if ((i1 - i0 + 1) * (j1 - j0 + 1) > checkmax) {
        hit = std::pair(i0, j0);
      } else {
        for (long i = i0; i <= i1 && !hit; ++i)
          for (long j = j0; j <= j1 && !hit; ++j)
            if (cellfile(geo, m.mapxmin + static_cast<float>(i), m.mapymin + static_cast<float>(j)) == name)
              hit = std::pair(i, j);
      }
      if (hit && (!first || *hit < *first)) first = hit;
    }
    if (first) met.emplace_back(first->first, first->second, disk);
  }
  std::sort(met.begin(), met.end());
  std::vector<std::string> out;
  for (auto& [i, j, disk] : met)
    if (out.empty() || text::ucase(out.back()) != text::ucase(disk)) out.push_back(std::move(disk));
  return out;
}

// --- the window ---

namespace {

Landmark boxes(const GForm& f) { return {f.gcc.text, f.gg.text, f.ng.text, f.dg.text}; }

bool roadcode(const std::string& code) { return text::ucase(code.substr(0, 1)) == "R"; }

}  // namespace

void addg_Click(App& app) {
  const GForm& f = app.win.get<GForm>();
  const Landmark l = boxes(f);
  const std::string file = f.fg.text;
  if (const std::string why = landmarkrefusal(l, file, app.files); !why.empty()) {
    app.sys.wav->beep();
    showmsgsay(app.voice, (text::trim(file).empty() ? std::string("Not added: ") : "Not added to " + file + ": ") + why);
    return;
  }
  std::string error;
  auto out = platform::OutputFile::open(app.files, file, platform::OutputFile::Mode::Append, &error);
  if (!out || !out->print(landmarkline(l)) || !out->close(&error)) showmsgsay(app.voice, file + " cannot be written: " + error);
}

void Command1_Click(App& app) {
  app.map.geomanon = 0;
  app.win.get<GForm>().hide();
}

void gcc_Change(App& app) {
  GForm& f = app.win.get<GForm>();
  const MainState& m = app.main;
  const std::string code = text::ucase(f.gcc.text);
  f.gccname.text = "?";
  // Every entry is looked at: of two entries with the same code the later is shown.
  for (int i = 1; i <= std::min(m.catcount, MainState::catmax); ++i)
    if (m.catcode[static_cast<std::size_t>(i)] == code) f.gccname.text = m.catname[static_cast<std::size_t>(i)];
  f.touch();
}

void gpscmd_Click(App& app) {
  GForm& f = app.win.get<GForm>();
  const GpsState& g = app.gps;
  if (noposition(g)) {
    app.sys.wav->beep();
    return;
  }
  f.gg.text = cellref(app.geo, g.ownx, g.owny);
  f.fg.text = cellfile(app.geo, g.ownx, g.owny);  // empty where no cell is named: Append refuses
  if (!f.fg.text.empty()) app.map.geofile = f.fg.text;
  f.placed = true;
  if (!f.gcc.text.empty() && roadcode(f.gcc.text) && g.ownhdg >= 0) f.dg.text = std::to_string(g.ownhdg);
  f.touch();
}

void plotg_Click(App& app) {
  const GForm& f = app.win.get<GForm>();
  ZarnForm& z = app.win.zarn;
  const std::string typed = f.fg.text;
  drawgeo(z, app.geo, app.map, app.files, typed);
  std::vector<std::string> cells = mapcells(app.geo, app.map, app.files.list("*.GE?"));
  std::erase_if(cells, [&](const std::string& c) { return text::ucase(c) == text::ucase(typed); });
  if (cells.size() > plotcellmax) {
    cells.resize(plotcellmax);
    showmsgsay(app.voice, "Only the landmarks of the first " + std::to_string(plotcellmax) + " cells are plotted");
  }
  for (const std::string& c : cells) drawgeo(z, app.geo, app.map, app.files, c);
  z.touch();
}

void showgform(App& app) {
  GForm& f = app.win.get<GForm>();
  f.addg.onClick = [&app] { addg_Click(app); };
  f.Command1.onClick = [&app] { Command1_Click(app); };
  f.onClose = [&app] { Command1_Click(app); };  // the close box is X: map clicks stop filling the editor
  f.gcc.onChange = [&app] { gcc_Change(app); };
  f.gpscmd.onClick = [&app] { gpscmd_Click(app); };
  f.plotg.onClick = [&app] { plotg_Click(app); };
  f.gg.onChange = [&f] { f.placed = true; };
  app.map.geomanon = 1;
  f.show();
}

bool geomanclick(GForm& f, GeoState& geo, std::string& geofile, int button, float x, float y) {
  if (button == ui::button_left) {
    f.gg.text = cellref(geo, x, y);
    f.fg.text = cellfile(geo, x, y);  // empty where no cell is named: Append refuses
    if (!f.fg.text.empty()) geofile = f.fg.text;
    f.placed = true;
    f.touch();
    return true;
  }
  if (!f.placed) return false;
  float gx = 0, gy = 0, dist = 0;
  parsepos(geo, f.gg.text, gx, gy);
  if (gx == parsefailx && gy == parsefaily) return false;
  int b = 0;  // north for a click on the position itself
  distbearing(geo, gx, gy, x, y, dist, b);
  if (b < 0) b += 360;
  if (roadcode(f.gcc.text)) {
    f.dg.text = std::to_string(b);
  } else {
    f.dg.text = b > 315 || b <= 45 ? "N" : b <= 135 ? "E" : b <= 225 ? "S" : "W";
  }
  f.touch();
  return true;
}

}  // namespace zarn
