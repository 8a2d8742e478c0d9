#include "mapdisplay/tiles.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "app/app.h"
#include "geodesy/postext.h"
#include "mapdisplay/pictures.h"
#include "mapdisplay/redraw.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

constexpr int tilepix = 1000;
// No screen is wider or taller than this many tiles.
constexpr int tilesmax = 16;

// The tile images in the block, by column and row from its north-west: the 2 x 2 block's four,
// and beyond them those of further columns and rows, made as they are first needed. An image's
// key (in the tile cache, and its element of tilex) is its row times 100 plus its column.
int tilekey(int col, int row) { return row * 100 + col; }
std::array<ui::Image*, 4> block4(ZarnForm& z) { return {&z.tilenw, &z.tilene, &z.tilesw, &z.tilese}; }
ui::Image* image(ZarnForm& z, int col, int row) {
  if (col < 2 && row < 2) return block4(z)[static_cast<std::size_t>(row * 2 + col)];
  const int k = tilekey(col, row);
  if (ui::Image* i = z.tilex.find(k)) return i;
  ui::Image& i = z.tilex.load(k);
  i.stretch = false;
  i.move(i.left, i.top, tilepix, tilepix);
  i.zorder(1);
  return &i;
}

// The columns and rows of images a map area can need: enough to cover it from wherever a tile
// boundary falls, and never fewer than the 2 x 2 block.
std::pair<int, int> blocksize(const MapView& m) {
  const auto n = [](float px) {
    return px > 0 ? std::clamp(static_cast<int>(std::ceil(px / tilepix)) + 1, 2, tilesmax) : 2;
  };
  return {n(m.scrwidth), n(m.scrheight)};
}

// The images' places in the block in the order they are read: the 2 x 2 block first, then the
// further ones row by row.
std::vector<std::pair<int, int>> blockorder(const MapView& m) {
  const auto [cols, rows] = blocksize(m);
  std::vector<std::pair<int, int>> at{{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      if (c >= 2 || r >= 2) at.emplace_back(c, r);
  return at;
}

// Decimal text padded on the left with zeros to n characters (longer text unchanged).
std::string zeros(long v, std::size_t n) {
  std::string s = std::to_string(v);
  return s.size() < n ? std::string(n - s.size(), '0') + s : s;
}

bool isdigit(char c) { return c >= '0' && c <= '9'; }

float viewwidth(const MapView& m) {
  return m.curmap >= 0 && m.curmap <= MapView::mapmax ? m.mapew[static_cast<std::size_t>(m.curmap)] : 0;
}

// The block of tiles for a view centred on (x, y): the column and row (in tiles from the frame's
// origin) of its north-west tile, the one under the map area's top-left corner, where that tile's
// top-left corner lies in the area, and how many columns and rows it takes to cover the area: two,
// or more where the area is wider or taller than a tile and reaches past the second.
struct TileBlock {
  float size = 0;  // km
  long col = 0, row = 0;
  int left = 0, top = 0;
  int cols = 2, rows = 2;
};
std::optional<TileBlock> tileblock(const MapView& m, float x, float y) {
  const float w = viewwidth(m);
  if (!(w > 0) || !(m.scrwidth > 0)) return std::nullopt;
  TileBlock b;
  b.size = w * tilepix / m.scrwidth;
  const float cx = std::floor(x / b.size), cy = std::floor(y / b.size);
  if (!std::isfinite(cx) || !std::isfinite(cy) || std::fabs(cx) > 1e9f || std::fabs(cy) > 1e9f) return std::nullopt;
  b.col = static_cast<long>(cx);
  b.row = static_cast<long>(cy);
  const auto px = static_cast<int>(std::floor((x - cx * b.size) * m.scrwidth / w));
  b.left = static_cast<int>(m.scrwidth / 2) - px;
  while (b.left > 0) b.left -= tilepix, b.col -= 1;
  const auto py = static_cast<int>(std::floor((y - cy * b.size) * m.scrwidth / w));
  b.top = py - tilepix + static_cast<int>(m.scrheight / 2);
  while (b.top > 0) b.top -= tilepix, b.row += 1;
  const auto [cols, rows] = blocksize(m);
  while (b.cols < cols && static_cast<float>(b.left + b.cols * tilepix) < m.scrwidth) ++b.cols;
  while (b.rows < rows && static_cast<float>(b.top + b.rows * tilepix) < m.scrheight) ++b.rows;
  return b;
}

// Moves the tile images so that (x, y) lies at the centre of the map area.
void placetiles(const MapView& m, ZarnForm& z, float x, float y) {
  const auto b = tileblock(m, x, y);
  if (!b) return;
  for (const auto& [c, r] : blockorder(m)) image(z, c, r)->move(b->left + c * tilepix, b->top + r * tilepix);
  z.touch();
}

// The names for every image as placed, by key: the tiles under the view's corners, and between
// them those of the middle columns and rows. A far corner beyond the block's reach gives way to
// the tile the image covers, and so does one short of a further column or row.
std::map<int, std::string> tilenamesall(GeoState& geo, const MapView& m, float x, float y) {
  const float w = viewwidth(m);
  const float h = m.scrwidth > 0 ? w * m.scrheight / m.scrwidth : 0;
  const float west = x - w / 2, east = west + w, south = y - h / 2, north = south + h;
  const auto [cols, rows] = blocksize(m);
  std::vector<float> xs(static_cast<std::size_t>(cols), east), ys(static_cast<std::size_t>(rows), south);
  xs[0] = west;
  ys[0] = north;
  if (const auto b = tileblock(m, x, y)) {
    const auto mid = [&](long tile) { return (static_cast<float>(tile) + 0.5f) * b->size; };
    const auto tile = [&](float v) { return static_cast<long>(std::floor(v / b->size)); };
    const long lastcol = b->col + b->cols - 1, lastrow = b->row - (b->rows - 1);
    for (int i = 1; i < cols; ++i) {
      const long c = b->col + i;
      if (c != lastcol || tile(east) > c || (b->cols > 2 && tile(east) < c)) xs[static_cast<std::size_t>(i)] = mid(c);
    }
    for (int i = 1; i < rows; ++i) {
      const long r = b->row - i;
      if (r != lastrow || tile(south) < r || (b->rows > 2 && tile(south) > r)) ys[static_cast<std::size_t>(i)] = mid(r);
    }
  }
  std::map<int, std::string> names;
  for (const auto& [c, r] : blockorder(m))
    names[tilekey(c, r)] = tilename(geo, m, xs[static_cast<std::size_t>(c)], ys[static_cast<std::size_t>(r)]);
  return names;
}

// Reads the tiles whose names changed into the images shown; a tile that cannot be read is shown
// blank and its name forgotten, so that it is tried again.
void loadtiles(App& app, float x, float y) {
  const auto names = tilenamesall(app.geo, app.map, x, y);
  auto& cache = app.map.tilecache;
  std::vector<std::pair<int, ui::Image*>> img;
  for (const auto& [c, r] : blockorder(app.map)) img.emplace_back(tilekey(c, r), image(app.win.zarn, c, r));
  // Every changed image is cleared before any is read, so no stale tile shows meanwhile.
  for (const auto& [k, i] : img)
    if (i->visible && names.at(k) != cache[k]) i->setpicture(nullptr);
  for (std::size_t n = 0; n < img.size(); ++n) {
    const auto& [k, i] = img[n];
    const std::string& name = names.at(k);
    if (!i->visible || name == cache[k]) continue;
    tilestatus(app.win.zarn, std::to_string(n + 1));
    cache[k] = name;
    // The tile folder is named by the map's description: never followed out of the data folders.
    const std::string file = app.map.tiledir + name;
    ui::PictureRef pic;
    if (app.files.confined(file, app.map.extramaps)) pic = loadpicture(app.files, *app.sys.images, file, nullptr, platform::PictureUse::map);
    if (pic)
      i->setpicture(std::move(pic));
    else
      cache[k].clear();  // not read: try again next time rather than stay blank
  }
  ui::Label& lamp = app.win.zarn.showcmd;
  lamp.set(".");
  lamp.backcolor = ui::lightgrey;
  app.win.zarn.touch();
  whitelabels(app.win.zarn);
}

// Brings the markers in front of the tiles and places the overlays again.
void showtilesz(App& app) {
  ZarnForm& z = app.win.zarn;
  z.dest.zorder(0);
  z.sym.zorder(0);
  z.home.zorder(0);
  z.car.zorder(0);
  redrawmap(app);
}

}  // namespace

std::string tilename(GeoState& geo, const MapView& m, float x, float y) {
  const int kind = m.curmap >= 0 && m.curmap <= MapView::mapmax ? m.mapkind[static_cast<std::size_t>(m.curmap)] : 0;
  switch (kind) {
    case 3: {
      const auto e = static_cast<long>(std::floor(x / 2.5f)) * 25;
      const auto n = static_cast<long>(std::floor(y / 2.5f)) * 25;
      return zeros(e, 4) + zeros(n, 4) + ".BMP";
    }
    case 2: {
      std::string g;
      gridreftext(geo, x, y, g);
      if (g.size() != 14 || !isdigit(g[3]) || !isdigit(g[9])) break;
      const int d = g[3] - '0', mm = g[9] - '0';
      std::string name = g.substr(0, 2);
      name += "0022446688"[d];
      name += "9113355779"[mm];
      name += "NSNSNSNSNS"[mm];
      name += "WEWEWEWEWE"[d];
      return name + ".BMP";
    }
    case 1: {
      const long e = static_cast<long>(std::floor(x / 50)) * 5 + 2;
      const long n = static_cast<long>(std::floor(y / 50)) * 5 + 2;
      const std::string h = text::clng(x) % 50 < 25 ? "W" : "E";
      const std::string v = text::clng(y) % 50 < 25 ? "S" : "N";
      return zeros(e, 2) + "_" + zeros(n, 3) + v + h + ".BMP";
    }
    default: break;
  }
  return "missing.bmp";
}

std::array<std::string, 4> tilenames4(GeoState& geo, const MapView& m, float x, float y) {
  auto all = tilenamesall(geo, m, x, y);
  return {all[tilekey(0, 0)], all[tilekey(1, 0)], all[tilekey(0, 1)], all[tilekey(1, 1)]};
}

void showtiles(const MapView& m, ZarnForm& z) {
  const std::pair<int, int> size = blocksize(m);
  const int cols = size.first, rows = size.second;
  for (ui::Image* i : block4(z)) i->visible = true;
  z.tilex.each([&](ui::Image& i) {
    const int c = i.index % 100, r = i.index / 100;
    i.visible = i.index > 0 && c < cols && r < rows && static_cast<float>(i.left) < m.scrwidth &&
                static_cast<float>(i.top) < m.scrheight;
  });
}

void hidetiles(ZarnForm& z) {
  for (ui::Image* i : block4(z)) i->visible = false;
  z.tilex.each([](ui::Image& i) { i.visible = false; });
}

void tilestatus(ZarnForm& z, const std::string& text) {
  ui::Label& lamp = z.showcmd;
  lamp.set(text);
  lamp.backcolor = ui::white;
  z.touch();
}

void tileinit(ZarnForm& z) {
  for (ui::Image* i : block4(z)) {
    i->zorder(1);
    i->stretch = false;
    i->move(i->left, i->top, tilepix, tilepix);
  }
}

void drawtiles(App& app, float x, float y) {
  placetiles(app.map, app.win.zarn, x, y);
  showtiles(app.map, app.win.zarn);
  loadtiles(app, x, y);
  showtilesz(app);
}

}  // namespace zarn
