// Overlays drawn on the map window that the redraw places again.
#pragma once

namespace zarn {
struct App;

// The waypoint route: icons and leg lines.
void drawwproute(App& app);
// The zone circles.
void drawzones(App& app);
// Reads the map drawing file ZARN.PIC (start-up).
void readpicfile(App& app);

}  // namespace zarn
