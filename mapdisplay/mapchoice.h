// Choosing, loading and re-centring the map for a position, zoom, heading-up rotation and the
// automatic map maker.
#pragma once

#include "mapdisplay/mapload.h"

namespace zarn {
struct App;
struct MapView;

// Among the maps holding the position, the one of smallest span not below minscale (ties to
// the later map); loaded when it differs from the current one and automatic choice is on; a
// tiled map is re-centred when the position drifts from the window centre.
void choosemap(App& app, float x, float y);
// The heading-up sector, angle, sines and cosines from the own heading hdg (degrees).
void setrotation(MapView& m, int hdg);
// Turns the rotation off: sector 0, angle 0.
void northup(MapView& m);
// The smallest east-west span (km) a chosen map may have from now on; 0 for none.
void setminscale(MapView& m, float km);
// Raises minscale to the next map span that covers the followed point, then choosemap.
void zoomnextmap(App& app);
// choosemap on the followed point.
void centreonveh(App& app);
// Asks the map maker for a new map when the followed point has moved far enough.
void automapmove(App& app);
// Whether the map follows the destination: while refdest is set, but in multi-vehicle mode,
// where it follows the own position, which is the selected vehicle's.
bool followsdest(const App& app);
// The point the map follows: the current destination when it follows that, else the own car.
void followedpoint(const App& app, float& x, float& y);

}  // namespace zarn
