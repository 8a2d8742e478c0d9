// Waypoint routes and the outside route planner, as start-up and the main tick call them.
#pragma once

namespace zarn {
struct App;

// Creates the waypoint icons and route-leg lines of the current waypoint route.
void makewpicons(App& app);
// Waypoint following: announces a reached waypoint and makes the next one the destination.
void wpfollow(App& app);
// When a planner route is awaited and ready, loads it as waypoints.
void krvcheck(App& app);

}  // namespace zarn
