// Tiled maps: square 1000-pixel tiles named from the position they cover, shown four at a
// time as a 2 x 2 block around the view centre, with as many further columns and rows as a map
// area wider or taller than a tile needs to be covered.
#pragma once

#include <array>
#include <string>

namespace zarn {
struct App;
struct GeoState;
struct MapView;
class ZarnForm;

// The tile file name for frame position (x, y) km under the current map's naming scheme;
// "missing.bmp" when no scheme applies.
std::string tilename(GeoState& geo, const MapView& m, float x, float y);
// The names of the tiles under the NW, NE, SW and SE corners of the view centred on (x, y); on an
// area wider or taller than a tile, those of the block's four images as they are placed.
std::array<std::string, 4> tilenames4(GeoState& geo, const MapView& m, float x, float y);
// Shows the block's four images and those of the further columns and rows that lie on the map
// area.
void showtiles(const MapView& m, ZarnForm& z);
void hidetiles(ZarnForm& z);
// The tile-loading indicator on the "+" label.
void tilestatus(ZarnForm& z, const std::string& text);
// Once at start-up: the tile images behind everything, 1000 x 1000 each.
void tileinit(ZarnForm& z);
// placetiles, showtiles, loadtiles, showtilesz.
void drawtiles(App& app, float x, float y);

}  // namespace zarn
