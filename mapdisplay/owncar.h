// The own car on the map: icon, heading vector (pointer fan and arrow icon) and the trail of
// history dots.
#pragma once

#include "platform/ui.h"

namespace zarn {
struct App;
struct GeoState;
struct GpsState;
struct MapView;
class ZarnForm;

// The per-fix update: trip meter, destination read-outs and instruments (navigation's, through
// the tripupdate hook), then the car icon at the own position's pixel with its heading vector,
// and a trail dot for interval code 0.
void updatecar(App& app);
// The heading vector of the car at main-window pixel (x, y): the pointer fan and its outline,
// and the arrow icon of the screen heading.
void drawvector(App& app, float x, float y);
// Hides the pointer fan and its outline (not the arrow icon).
void hidevector(ZarnForm& z);
// Adds a trail dot at a frame position (km), reusing the oldest of the ring; none while the GPS
// draws (drawmode) or the trail is off. The dot is sized by the fix's accuracy (dgpsfix).
void addtrail(MapView& m, ZarnForm& z, GeoState& geo, const GpsState& gps, float x, float y);
// Places the stored dots again on the current map, in their ring slots.
void replottrail(MapView& m, ZarnForm& z, GeoState& geo, const GpsState& gps);
// Hides every trail dot and starts the count again.
void cleartrail(MapView& m, ZarnForm& z);
// Closes the help overlay.
void hidehelp(ZarnForm& z);
// An arrow of three lines drawn on the main window, its head at (x, y), pointing toward the
// compass direction dir x 45 degrees.
void drawarrow(ZarnForm& z, float x, float y, int dir, ui::Colour colour, int len);

}  // namespace zarn
