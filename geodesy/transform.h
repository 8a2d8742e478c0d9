// Frame positions to pixels of the map picture as shown on the screen, and back.
#pragma once

namespace zarn {
struct GeoState;

// How the current map picture lies on the frame and on the screen: what the transform needs of
// the map view, set when a map is loaded or turned.
struct MapFrame {
  float picwidth = 640, picheight = 480;  // picture size in pixels
  int curlatlon = 0;                      // 1: the map is calibrated in latitude/longitude
  float mapxmin = 0, mapxmax = 0, mapymin = 0, mapymax = 0;  // grid map edges, frame km
  // Latitude/longitude map edges in degrees; maplonmax below maplonmin: across 180 degrees.
  float maplonmin = 0, maplonmax = 0, maplatmin = 0, maplatmax = 0;
  // Heading-up rotation about pixel (320, 240): the sector 0..7 whose digit names the rotated
  // picture, the angle in degrees (0 none), 1 when the rotated picture is missing, and cosine
  // and sine of the angle and of minus the angle.
  int rotsector = 0;
  float rotangle = 0;
  int norotmap = 0;
  float rotcos = 1, rotsin = 0, rotcosneg = 1, rotsinneg = 0;
  int mapzoom = 0;  // 1: pictures are stretched to the map area
  // The map area in pixels: 640 x 480 whatever the physical screen, so that tiles, stretched
  // pictures and calibration keep the geometry the descriptions were made for; the screen's
  // size only in the scaled layout with stretched maps, where the main window fills the screen.
  float scrwidth = 640, scrheight = 480;
};

// The screen pixel of a frame position (km) on the map: linear over a grid map's edges, through
// latitude/longitude on a latitude/longitude map, turned for heading-up about (320, 240),
// stretched to the screen when asked, and held within -9999..9999. A map of zero extent (or a
// picture one pixel wide or high) leaves px, py as they were and gives false.
bool worldtopix(GeoState& geo, const MapFrame& map, float x, float y, float& px, float& py);
// The frame position (km) under a screen pixel; false, with x, y unchanged, when the map has
// zero extent or the picture or screen is too small to divide by.
bool pixtoll(GeoState& geo, const MapFrame& map, float px, float py, float& x, float& y);
// A length in km as pixels across the screen at the scale the map is shown at (stretched to the
// screen or not); 0 for a map of zero width.
float kmtopix(const MapFrame& map, float d);
// The same length as pixels down the screen: a map stretched to a screen of another shape than
// its picture has more pixels a km one way than the other, so a circle on the ground is drawn
// as an ellipse of these two radii. 0 for a map of zero height.
float kmtopixdown(const MapFrame& map, float d);

}  // namespace zarn
