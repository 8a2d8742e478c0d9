#include "vehicles/chase.h"

#include "app/app.h"

namespace zarn {

void chasetoggle(App& app) {
  // TODO: flip chaseon with its captions ("CHASE is ON" / "CHASE is OFF", "Remote Car" /
  // "Own Car"), the destination icon (LCIRCLE.ICO / DESTI.ICO) and refdest.
  (void)app;
}

void selvehicle(App& app, int i) {
  // TODO: copy the vehicle's position, grid reference, speed (mph to km/h) and heading into
  // the own fix and its read-outs.
  (void)app, (void)i;
}

}  // namespace zarn
