// Hiding every marker before the map picture changes, and placing them all again after.
#pragma once

namespace zarn {
struct App;

// Hides the heading vector, car, home, destination, found place, trail dots and (in
// multi-vehicle mode) the remote vehicles.
void hideoverlays(App& app);
// Places everything again on the current map and writes the map width on the zoom button.
void redrawmap(App& app);

}  // namespace zarn
