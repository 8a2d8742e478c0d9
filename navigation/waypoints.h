// Waypoint routes and the outside route planner, as start-up and the main tick call them.
#pragma once

#include <string>

namespace zarn {
struct App;

// Creates the waypoint icons and route-leg lines of the current waypoint route.
void makewpicons(App& app);
// Waypoint following: announces a reached waypoint and makes the next one the destination.
void wpfollow(App& app);
// When a planner route is awaited and ready, loads it as waypoints.
void krvcheck(App& app);
// Asks the automatic route planner for a route to the destination just set at frame position
// (x, y) km, labelled area, and takes up the route and guidance it leaves.
void autoplanner(App& app, float x, float y, const std::string& area);
// The outside route planner: writes its input, starts it and waits (events running) until it
// is done or 120 s pass, then loads the route it left.
void runkrv(App& app);
// Writes the planner's input (own position and destination) and its lease file, unless a lease
// file is already there (a beep then); the caller sets krvwait for krvcheck to pick the route up.
void writekrvinput(App& app);

}  // namespace zarn
