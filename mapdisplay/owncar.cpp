#include "mapdisplay/owncar.h"

#include "app/app.h"

namespace zarn {

void updatecar(App& app) {
  // TODO: place the car icon at the own position's pixel (skipped at the no-position value),
  // draw the heading vector, add the trail dot for interval code 0, run the trip meter, the
  // destination read-outs and the instruments.
  (void)app;
}

void addtrail(App& app, float x, float y) {
  // TODO: store the dot in the ring (trailidx, trailcount, up to ntrail) and show it at the
  // position's pixel, sized by the fix's accuracy.
  (void)app;
  (void)x;
  (void)y;
}

void cleartrail(App& app) {
  auto& p = app.win.zarn.p;
  for (int i = 0; i <= app.map.ntrail; ++i)
    if (p.exists(i)) p[i].visible = false;
  app.map.trailcount = 0;
}

}  // namespace zarn
