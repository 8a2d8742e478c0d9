// Hiding every marker before the map picture changes, and placing them all again after.
#pragma once

namespace zarn {
struct App;
struct DfSector;
struct GeoState;
struct MapView;
class ZarnForm;

// Hides the heading vector, car, home, destination, found place, trail dots and the first
// `vehicles` remote vehicles (in multi-vehicle mode the table's size, otherwise none).
void hideoverlays(ZarnForm& z, const MapView& m, int vehicles);
// Places everything again on the current map (the destination, bearing lines and vehicles
// through their hooks) and writes the map width on the zoom button.
void redrawmap(App& app);

// Sets the text colour of the labels drawn over the map to white; called after a map picture
// or the tiles are loaded.
void whitelabels(ZarnForm& z);
// The direction-finding sector on the map, drawn again with each new map and when a sector
// sentence changes it: a circle of its radius when both bearings are equal, otherwise the
// outline of the slice swept clockwise from the first bearing to the second, in its own lines
// (the route lines stay as they are).
void drawdfsector(ZarnForm& z, GeoState& geo, const MapView& map, const DfSector& d);

}  // namespace zarn
