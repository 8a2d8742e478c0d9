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

}  // namespace zarn
