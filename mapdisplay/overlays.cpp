#include "mapdisplay/overlays.h"

#include "app/app.h"

namespace zarn {

void drawwproute(App& app) {
  // TODO: waypoint icons wp(i) and route lines leg(i) at their pixels on the current map.
  (void)app;
}

void drawzones(App& app) {
  // TODO: the zone circles zonec(i) while zones are shown.
  (void)app;
}

void readpicfile(App& app) {
  // TODO: read the map drawing file ZARN.PIC.
  (void)app;
}

}  // namespace zarn
