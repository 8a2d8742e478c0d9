// Overlays drawn on the map window that the redraw places again.
#pragma once

#include <string>

namespace zarn {
struct App;

// The waypoint route: icons and leg lines.
void drawwproute(App& app);
// The zone circles.
void drawzones(App& app);
// Reads the map drawing file ZARN.PIC (start-up).
void readpicfile(App& app);
// Draws the features of an overlay file (".GTX"); nothing when it does not exist.
void readoverlay(App& app, const std::string& fname);
// Draws one feature at frame position (x, y) km by its type code; nothing off the map.
void drawoverlay(App& app, float x, float y, const std::string& code);
// Draws the road lines of ROAD.DAT; nothing when it does not exist.
void drawroads(App& app);

}  // namespace zarn
