// The map catalogue and the current map view.
#pragma once

#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "geodesy/transform.h"
#include "platform/ui.h"

namespace zarn {

// The transform's part of the view (picture size, edges, rotation, zoom) is the MapFrame.
struct MapView : MapFrame {
  // The map catalogue: parallel arrays by map number 1..mapcount (entry 0 holds nothing).
  static constexpr int mapmax = 1100;
  int mapcount = 0;
  // Base name (file names are built from it; a map of the extra directory carries that
  // directory in front), kind (0 single picture, 1 to 3 tiled by that naming scheme) and
  // 1 for a map calibrated by latitude/longitude.
  std::vector<std::string> mapname = std::vector<std::string>(mapmax + 1);
  std::vector<int> mapkind = std::vector<int>(mapmax + 1);
  std::vector<int> maplatlon = std::vector<int>(mapmax + 1);
  // East-west span (km; for a tiled map the width of the view), south-west and north-east
  // corners in the frame (km), and the picture width / 640.
  std::vector<float> mapew = std::vector<float>(mapmax + 1);
  std::vector<float> mapswx = std::vector<float>(mapmax + 1), mapswy = std::vector<float>(mapmax + 1);
  std::vector<float> mapnex = std::vector<float>(mapmax + 1), mapney = std::vector<float>(mapmax + 1);
  std::vector<float> mapx640 = std::vector<float>(mapmax + 1, 1.0f);
  int curmap = 0;
  // Maps that failed to load (missing or damaged description or picture): not chosen again until
  // the catalogue is built again.
  std::set<int> failedmaps;
  // The most rotated pictures any single-picture map has (0..8), and the heading-up sectors in
  // use (8, 4 or 2; the builder sets it to maxrotsect).
  int maxrotsect = 0;
  int rotsectors = 0;
  // Directory prefix of the extra maps (line 14 of ZARN.CFG), ending with its separator;
  // empty for none.
  std::string extramaps;

  // The current map view, set when a map is loaded or rotated.
  std::string maptitle, mapbmp, tiledir;
  float rotlast = 0;  // angle in force when a single-picture map was last loaded for a turn
  int headingup = 0;  // 1: heading-up rotation (map changes are then not announced)

  // The place file of the position report ("ZARN.WAW" or the map's own) and the least radius
  // (km) a place needs to be the first one named.
  std::string placesfile = "ZARN.WAW";
  float placemin = 6.0f;
  // Landmark file of the current map square (also set by map clicks and the landmark editor).
  std::string geofile;
  float cprtime = 0;       // time of day the rights notice was shown
  std::string calmapname;  // the map the calibration window describes

  // Map choice.
  int automaps = 1;          // 1: the map follows the position
  float minscale = 0;        // the smallest east-west span (km) a chosen map may have; 0 = none
  float recentredist = 40;   // pixels a tiled map's centre may drift before it is re-centred
  int automapon = 0;         // above 0: new maps are made automatically by the map maker
  float automapdist = 5;     // km the followed point moves before a new map is made
  float automapx = 0, automapy = 0;  // centre of the last map made automatically
  bool makingmap = false;            // our request to the map maker (ROMSHELF.FLG) is pending

  // A map choice, load or redraw under way. None of them chooses or loads a map inside another:
  // the redraw marks the destination, which would ask for the destination's map, and a report
  // read while a map change is spoken would ask for the car's; the tick chooses again next time.
  bool choosing = false, loading = false, redrawing = false;
  bool mapbusy() const { return choosing || loading || redrawing; }

  // Tiles: the names last loaded into the tile images, by the image's row in the block times 100
  // plus its column (0 NW, 1 NE, 100 SW, 101 SE), kept for the whole run.
  std::map<int, std::string> tilecache;

  // The own car: sine and cosine of the own heading, kept by the heading-vector drawing.
  float hdgsin = 0, hdgcos = 1;
  int pointermode = 1;  // 1: the pointer fan is drawn
  int arrowmode = 0;    // 1: the arrow icon is shown
  // The trail: interval code (-1 none, 0 every fix, 1..5 every 10 s .. 1 hour), ring size
  // (10..100), dots placed since the last clearing, ring index of the dot placed last, and the
  // dots' positions (km, 1..ntrail).
  int histint = 1;
  int ntrail = 100;
  int trailcount = 0;
  int trailidx = 0;
  static constexpr int trailmax = 100;
  std::array<float, trailmax + 1> trailx{}, traily{};
  // Dot colour, radius in metres without and with a differential fix, and the width in pixels
  // from which dots are shown only with a differential fix.
  ui::Colour trailcolour = ui::white;
  float trailsize = 50, trailsizedgps = 5;
  int trailmaxpix = 100;

  // Icons read once: arrow, symbol and marker pictures by file name (a missing file is kept as
  // null), emptied on every map load so that a file added meanwhile is found.
  std::map<std::string, ui::PictureRef, std::less<>> icons;

  // Time of day the symbol's leader line vecto was last shown; the tick hides it 3 s later.
  float vectotime = 0;
  int nofcache = 0;   // ZARNNEAR.NOF: the nearest-object search uses that cache file
  int geomanon = 0;   // 1 while the landmark editor takes map clicks
  int caricon = 0;    // number of the car symbol picture (CARICON<n>.ICO)

  // The pointer read-out: frame km under the pointer, and the last pointer position handled
  // (x as passed, y as a whole number) so that moves within one pixel row are ignored.
  float mousex = 0, mousey = 0;
  float mouselastx = 0;
  int mouselasty = 0;
};

// Sets a flag of the map view for the length of a scope.
class MapBusy {
 public:
  explicit MapBusy(bool& flag) : flag_(flag) { flag_ = true; }
  ~MapBusy() { flag_ = false; }
  MapBusy(const MapBusy&) = delete;
  MapBusy& operator=(const MapBusy&) = delete;

 private:
  bool& flag_;
};

}  // namespace zarn
