// The direction-finding drawings: the bearing lines, which a redraw places again through
// redrawdest, and the sector.
#pragma once

namespace zarn {
struct App;

// The direction-finding bearing lines of up to ten stations on the current map.
void drawdflines(App& app);
// The direction-finding sector display on the map (defined with the receiver lines for now,
// which still include this header for it; the map display declares it in mapdisplay/redraw.h).
void drawdfsector(App& app);

}  // namespace zarn
