// The map catalogue and the current map view.
#pragma once

#include <string>
#include <vector>

namespace zarn {

struct MapView {
  // Filled as the catalogue, map loading and the own-car drawing are built.

  // The current map view, set when a map is loaded or rotated.
  float picwidth = 640, picheight = 480;  // picture size in pixels
  int curlatlon = 0;                      // 1: the map is calibrated in latitude/longitude
  float mapxmin = 0, mapxmax = 0, mapymin = 0, mapymax = 0;  // grid map edges, frame km
  // Latitude/longitude map edges in degrees; maplonmax below maplonmin: across 180 degrees.
  float maplonmin = 0, maplonmax = 0, maplatmin = 0, maplatmax = 0;
  // Heading-up rotation about pixel (320, 240): angle in degrees (0 none), 1 when the rotated
  // picture is missing, and cosine and sine of the angle and of minus the angle.
  float rotangle = 0;
  int norotmap = 0;
  float rotcos = 1, rotsin = 0, rotcosneg = 1, rotsinneg = 0;
  int mapzoom = 0;                         // 1: pictures are stretched to the screen
  float scrwidth = 640, scrheight = 480;   // screen size in pixels

  // The map catalogue as the map-change report reads it: the current map, and per map its kind
  // (0 single picture, 1 to 3 tiled) and base name (base name + ".wav" speaks it).
  int curmap = 0;
  std::vector<int> mapkind;
  std::vector<std::string> mapname;
  int headingup = 0;  // 1: heading-up rotation (map changes are then not announced)
  // The place file of the position report ("ZARN.WAW" or the map's own) and the least radius
  // (km) a place needs to be the first one named.
  std::string placesfile = "ZARN.WAW";
  float placemin = 6.0f;
  // Landmark file of the current map square (also set by map clicks and the landmark editor).
  std::string geofile;
  // Sine and cosine of the own heading, kept by the heading-vector drawing.
  float hdgsin = 0, hdgcos = 1;
  // The smallest east-west span (km) the map choice may use; 0 = no limit.
  float minscale = 0;
  // The trail ring: its size (10..100), dots placed since the last clearing and the ring index
  // of the dot placed last.
  int ntrail = 100;
  int trailcount = 0;
  int trailidx = 0;
};

}  // namespace zarn
