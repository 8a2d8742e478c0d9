// The direction-finding drawings: the bearing lines, which a redraw places again through
// redrawdest, and the sector.
#pragma once

namespace zarn {
struct App;

// The direction-finding bearing lines of up to ten stations on the current map.
void drawdflines(App& app);

}  // namespace zarn
