// Remote vehicles on the map and in the vehicle list.
#pragma once

namespace zarn {
struct App;

// Takes a report position (degrees; corrected in place when a GPS correction is set) into
// vehicle i's row and draws it.
void plotvehicle(App& app, int i, float& lat, float& lon);
// Places the icon and heading line of vehicle i from its position and heading.
void drawvehicle(App& app, int i);
// Draws every remote vehicle's icon and heading line at its position on the current map.
void drawvehicles(App& app);

}  // namespace zarn
