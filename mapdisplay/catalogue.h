// The map catalogue: MAPS.DIR, the map descriptions and the fast-load cache FASTMAPS.DAT.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace zarn {
struct App;
struct GeoState;
struct MapView;
class StartForm;
struct Voice;
namespace platform {
class Files;
}

// A map description <name>.DES as the catalogue and the loader read it: the title (line 1 up to
// its first comma), the picture or map name (line 2), three reference lines of a text and two
// numbers (lines 3 to 5) and the place file (line 6, empty when absent).
struct MapDes {
  std::string title, picture;
  std::array<std::string, 3> r;
  std::array<float, 3> a{}, b{};
  std::string places;
};
// Nullopt when the description is missing, cannot be read or is damaged; then *why (when given)
// names the file and its fault ("is damaged at line N: ...").
std::optional<MapDes> readdes(const platform::Files& files, const std::string& file, std::string* why = nullptr);
// True when the reference pixels of a description leave nothing to divide by: the columns of
// the two points (or the rows) coincide. Tiled maps have no reference pixels.
bool degenerate(const MapDes& d);
// The corners (frame km) of a grid-calibrated picture from its three reference points: pixel
// columns a and rows b counted upward, w and h the last column and row.
struct GridCorners {
  float swx = 0, swy = 0, nex = 0, ney = 0;
};
GridCorners gridcorners(GeoState& geo, const MapDes& d, const float a[3], const float b[3], float w, float h);

// Appends to MAPS.DIR the maps whose descriptions are on disk but not listed (creating it with
// "THEWORLD" when missing), telling its progress on the start window.
void scanmaps(const MapView& m, Voice& v, StartForm& start);
// Fills the catalogue from FASTMAPS.DAT when it exists, else from MAPS.DIR and the
// descriptions. False when a listed map's picture is missing: the box has been shown and
// main.quit set, as the program must end. A cache that does not hold what it counts or names a
// missing description is not used: the catalogue comes from the descriptions, the cache is
// written again, and what was wrong goes to *why (to the message line when null). Forgets which
// maps failed to load.
bool readmaplist(App& app, std::string* why = nullptr);
// The catalogue built again while the program runs (after the map maker): MAPS.DIR brought up
// to date, then read with the descriptions whatever FASTMAPS.DAT holds (the cache would not hold
// a new map). The control panel's list is emptied first; a map whose description or picture is
// missing is left out with a message on the message line. The map on show keeps its number when
// it is still catalogued, else there is none (0) and the next choice loads one.
void initmaps(App& app);
// Writes the catalogue to FASTMAPS.DAT; refused, with a message, when a map name does not fit
// the cache's 16 characters.
bool savefastmaps(const MapView& m, Voice& v);
// The title of map n: the first field of its description; empty when the map or its
// description is missing.
std::string readdesname(const platform::Files& files, const MapView& m, int n);
// Whether frame position (x, y) km lies well inside map i: an inset of a sixty-fourth of its
// span on the east, west and north, four times that on the south.
bool mapcovers(const MapView& m, float x, float y, int i);

}  // namespace zarn
