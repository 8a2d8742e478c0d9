// Overlays drawn on the map window that the redraw places again.
#pragma once

#include <string>

namespace zarn {
struct App;
struct GeoState;
struct MapView;
class ZarnForm;
namespace platform {
class Files;
}

// The waypoint route: icons and leg lines.
void drawwproute(App& app);
// The zone circles.
void drawzones(App& app);
// Reads the map drawing file ZARN.PIC (start-up).
void readpicfile(App& app);
// Draws the features of an overlay file (".GTX") on the main window; nothing when it does not
// exist.
void readoverlay(ZarnForm& z, GeoState& geo, const MapView& m, const platform::Files& files,
                 const std::string& fname);
// Draws one feature at frame position (x, y) km by its type code; nothing off the map.
void drawoverlay(ZarnForm& z, GeoState& geo, const MapView& m, float x, float y, const std::string& code);
// Draws the road lines of ROAD.DAT on the main window; nothing when it does not exist.
void drawroads(ZarnForm& z, GeoState& geo, const MapView& m, const platform::Files& files);

}  // namespace zarn
