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

std::array<ui::Image*, 4> images(ZarnForm& z) { return {&z.tilenw, &z.tilene, &z.tilesw, &z.tilese}; }

// Decimal text padded on the left with zeros to n characters (longer text unchanged).
std::string zeros(long v, std::size_t n) {
  std::string s = std::to_string(v);
  return s.size() < n ? std::string(n - s.size(), '0') + s : s;
}

bool isdigit(char c) { return c >= '0' && c <= '9'; }

float viewwidth(const MapView& m) {
  return m.curmap >= 0 && m.curmap <= MapView::mapmax ? m.mapew[static_cast<std::size_t>(m.curmap)] : 0;
}

// The block of four tiles for a view centred on (x, y): the column and row (in tiles from the
// frame's origin) of its north-west tile, the one under the map area's top-left corner, and
// where that tile's top-left corner lies in the area. The others are its neighbours east and
// south, which is what lies under the area's other corners only while the area is no wider or
// taller than a tile.
struct TileBlock {
  float size = 0;  // km
  long col = 0, row = 0;
  int left = 0, top = 0;
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
  return b;
}

// Moves the four tile images so that (x, y) lies at the centre of the map area.
void placetiles(const MapView& m, ZarnForm& z, float x, float y) {
  const auto b = tileblock(m, x, y);
  if (!b) return;
  z.tilenw.move(b->left, b->top);
  z.tilene.move(z.tilenw.left + z.tilenw.width, b->top);
  z.tilesw.move(z.tilenw.left, b->top + tilepix);
  z.tilese.move(z.tilene.left, b->top + tilepix);
  z.touch();
}

// Reads the tiles whose names changed; a tile that cannot be read is shown blank and its name
// forgotten, so that it is tried again.
void loadtiles(App& app, float x, float y) {
  const auto names = tilenames4(app.geo, app.map, x, y);
  auto& cache = app.map.tilecache;
  const auto img = images(app.win.zarn);
  // Every changed image is cleared before any is read, so no stale tile shows meanwhile.
  for (std::size_t k = 0; k < 4; ++k)
    if (names[k] != cache[k]) img[k]->setpicture(nullptr);
  for (std::size_t k = 0; k < 4; ++k) {
    if (names[k] == cache[k]) continue;
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
  const float w = viewwidth(m);
  const float h = m.scrwidth > 0 ? w * m.scrheight / m.scrwidth : 0;
  const float west = x - w / 2, north = y - h / 2 + h;
  float east = west + w, south = y - h / 2;
  // The tiles under the view's corners; but on an area wider or taller than a tile the far
  // corners lie beyond the block, whose eastern and southern images then hold the tiles next to
  // the north-west one, as they are placed.
  if (const auto b = tileblock(m, x, y)) {
    if (std::floor(east / b->size) > static_cast<float>(b->col + 1)) east = (static_cast<float>(b->col) + 1.5f) * b->size;
    if (std::floor(south / b->size) < static_cast<float>(b->row - 1)) south = (static_cast<float>(b->row) - 0.5f) * b->size;
  }
  return {tilename(geo, m, west, north), tilename(geo, m, east, north), tilename(geo, m, west, south),
          tilename(geo, m, east, south)};
}

void showtiles(ZarnForm& z) {
  for (ui::Image* i : images(z)) i->visible = true;
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
  showtiles(app.win.zarn);
  loadtiles(app, x, y);
  showtilesz(app);
}

}  // namespace zarn
