// Remote vehicles on the map.
#pragma once

namespace zarn {
struct App;

// Draws every remote vehicle's icon and heading line at its position on the current map.
void drawvehicles(App& app);

}  // namespace zarn
