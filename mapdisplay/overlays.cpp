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

void readoverlay(App& app, const std::string& fname) {
  (void)app;
  (void)fname;
}

void drawoverlay(App& app, float x, float y, const std::string& code) {
  (void)app, (void)x, (void)y, (void)code;
}

void drawroads(App& app) { (void)app; }

}  // namespace zarn
