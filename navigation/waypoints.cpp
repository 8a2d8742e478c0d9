#include "navigation/waypoints.h"

#include "app/app.h"

namespace zarn {

void makewpicons(App& app) {
  // TODO: load wp(1..wpcount) and leg(1..legcount) for the waypoint route.
  (void)app;
}

void wpfollow(App& app) {
  // TODO: announce reaching the current waypoint and switch the destination to the next.
  (void)app;
}

void krvcheck(App& app) {
  // TODO: while krvwait is set, load the planner's route once its done-file appears.
  (void)app;
}

void autoplanner(App& app, float x, float y, const std::string& area) {
  // TODO: the request to the automatic planner and its route and guidance files.
  (void)app;
  (void)x;
  (void)y;
  (void)area;
}

void runkrv(App& app) {
  // TODO: writekrvinput, start the planner, wait for its done-file (120 s at most), load the route.
  (void)app;
}

void writekrvinput(App& app) {
  // TODO: the planner's input lines and the lease file; a beep when a lease file exists.
  (void)app;
}

}  // namespace zarn
