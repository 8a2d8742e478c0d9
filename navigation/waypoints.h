// Waypoint routes and the outside route planner (navigation/planner.h), as start-up and the
// main tick call them.
#pragma once

#include <string>

#include "navigation/planner.h"

namespace zarn {
struct App;
struct NavState;

// Creates the map window's waypoint icons wp(1..100) (WP.ICO, or $L.ICO where there is none)
// and route lines leg(1..100), hidden, and empties the route.
void makewpicons(App& app);
// Waypoint following, each tick while it is on: reaching the radius of the nearest waypoint
// (other than the one reached last) announces it and makes the next waypoint the destination;
// every 15 s the distance to the destination is said.
void wpfollow(App& app);
// Adds a waypoint at frame position (x, y) km with its radius (km) at the end of the route,
// with a route line to it from the last; false when the route holds its 100 already.
bool addwaypoint(NavState& n, float x, float y, float radius);
// Every waypoint's icon back to its own picture (none marked as the next).
void resetwpicons(App& app);
// Waypoint k becomes the destination (labelled "wp" and its number) and shows the next
// waypoint's icon; the distance read-outs follow.
void steertowp(App& app, int k);

}  // namespace zarn
