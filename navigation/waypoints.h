// Waypoint routes and the outside route planner (navigation/planner.h), as start-up and the
// main tick call them.
#pragma once

#include <string>

#include "navigation/planner.h"

namespace zarn {
struct App;

// Creates the waypoint icons and route-leg lines of the current waypoint route.
void makewpicons(App& app);
// Waypoint following: announces a reached waypoint and makes the next one the destination.
void wpfollow(App& app);

}  // namespace zarn
