#include "mapdisplay/tiles.h"

#include <cmath>
#include <optional>

#include "app/app.h"
#include "geodesy/postext.h"
#include "mapdisplay/pictures.h"
#include "mapdisplay/redraw.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

constexpr int tilepix = 1000;

// The tile images: the block's four, then the third column's two and the third row's three, for
// areas wider or taller than a tile. Each with its column and row in the block.
constexpr std::size_t tilecount = 9;
std::array<ui::Image*, tilecount> images(ZarnForm& z) {
  return {&z.tilenw, &z.tilene, &z.tilesw, &z.tilese, &z.tilenee, &z.tilesee, &z.tilessw, &z.tilesse, &z.tilessee};
}
constexpr std::array<int, tilecount> imagecol{0, 1, 0, 1, 2, 2, 0, 1, 2};
constexpr std::array<int, tilecount> imagerow{0, 0, 1, 1, 0, 1, 2, 2, 2};
static_assert(std::tuple_size_v<decltype(MapView::tilecache)> == tilecount);

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
// or three where the area is wider or taller than a tile and reaches past the second.
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
  if (b.left > 0) b.left -= tilepix, b.col -= 1;
  const auto py = static_cast<int>(std::floor((y - cy * b.size) * m.scrwidth / w));
  b.top = py - tilepix + static_cast<int>(m.scrheight / 2);
  if (b.top > 0) b.top -= tilepix, b.row += 1;
  if (static_cast<float>(b.left + 2 * tilepix) < m.scrwidth) b.cols = 3;
  if (static_cast<float>(b.top + 2 * tilepix) < m.scrheight) b.rows = 3;
  return b;
}

// Moves the tile images so that (x, y) lies at the centre of the map area.
void placetiles(const MapView& m, ZarnForm& z, float x, float y) {
  const auto b = tileblock(m, x, y);
  if (!b) return;
  const auto img = images(z);
  for (std::size_t k = 0; k < tilecount; ++k)
    img[k]->move(b->left + imagecol[k] * tilepix, b->top + imagerow[k] * tilepix);
  z.touch();
}

// The names for every image as placed: the tiles under the view's corners, and between them the
// middle column's and row's. A far corner beyond the block's reach gives way to the tile the
// image covers, and so does one short of a third column or row.
std::array<std::string, tilecount> tilenamesall(GeoState& geo, const MapView& m, float x, float y) {
  const float w = viewwidth(m);
  const float h = m.scrwidth > 0 ? w * m.scrheight / m.scrwidth : 0;
  const float west = x - w / 2, east = west + w, south = y - h / 2, north = south + h;
  std::array<float, 3> xs{west, east, east}, ys{north, south, south};
  if (const auto b = tileblock(m, x, y)) {
    const auto mid = [&](long tile) { return (static_cast<float>(tile) + 0.5f) * b->size; };
    const auto tile = [&](float v) { return static_cast<long>(std::floor(v / b->size)); };
    const long lastcol = b->col + b->cols - 1, lastrow = b->row - (b->rows - 1);
    for (int i = 1; i < 3; ++i) {
      const long c = b->col + i, r = b->row - i;
      if (c != lastcol || tile(east) > c || (b->cols == 3 && tile(east) < c)) xs[static_cast<std::size_t>(i)] = mid(c);
      if (r != lastrow || tile(south) < r || (b->rows == 3 && tile(south) > r)) ys[static_cast<std::size_t>(i)] = mid(r);
    }
  }
  std::array<std::string, tilecount> names;
  for (std::size_t k = 0; k < tilecount; ++k)
    names[k] = tilename(geo, m, xs[static_cast<std::size_t>(imagecol[k])], ys[static_cast<std::size_t>(imagerow[k])]);
  return names;
}

// Reads the tiles whose names changed into the images shown; a tile that cannot be read is shown
// blank and its name forgotten, so that it is tried again.
void loadtiles(App& app, float x, float y) {
  const auto names = tilenamesall(app.geo, app.map, x, y);
  auto& cache = app.map.tilecache;
  const auto img = images(app.win.zarn);
  // Every changed image is cleared before any is read, so no stale tile shows meanwhile.
  for (std::size_t k = 0; k < tilecount; ++k)
    if (img[k]->visible && names[k] != cache[k]) img[k]->setpicture(nullptr);
  for (std::size_t k = 0; k < tilecount; ++k) {
    if (!img[k]->visible || names[k] == cache[k]) continue;
    tilestatus(app.win.zarn, std::to_string(k + 1));
    cache[k] = names[k];
    // The tile folder is named by the map's description: never followed out of the data folders.
    const std::string file = app.map.tiledir + names[k];
    ui::PictureRef pic;
    if (app.files.confined(file, app.map.extramaps)) pic = loadpicture(app.files, *app.sys.images, file, nullptr, platform::PictureUse::map);
    if (pic)
      img[k]->setpicture(std::move(pic));
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
  const auto all = tilenamesall(geo, m, x, y);
  return {all[0], all[1], all[2], all[3]};
}

void showtiles(const MapView& m, ZarnForm& z) {
  const auto img = images(z);
  for (std::size_t k = 0; k < tilecount; ++k)
    img[k]->visible = k < 4 || (static_cast<float>(img[k]->left) < m.scrwidth && static_cast<float>(img[k]->top) < m.scrheight);
}

void hidetiles(ZarnForm& z) {
  for (ui::Image* i : images(z)) i->visible = false;
}

void tilestatus(ZarnForm& z, const std::string& text) {
  ui::Label& lamp = z.showcmd;
  lamp.set(text);
  lamp.backcolor = ui::white;
  z.touch();
}

void tileinit(ZarnForm& z) {
  for (ui::Image* i : images(z)) {
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
