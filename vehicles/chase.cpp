#include "vehicles/chase.h"

#include "app/app.h"

namespace zarn {

void chasetoggle(App& app) {
  // TODO: flip chaseon with its captions ("CHASE is ON" / "CHASE is OFF", "Remote Car" /
  // "Own Car"), the destination icon (LCIRCLE.ICO / DESTI.ICO) and refdest.
  (void)app;
}

}  // namespace zarn
