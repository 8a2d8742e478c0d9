#include "mapdisplay/mapchoice.h"

#include "app/app.h"

namespace zarn {

void choosemap(App& app, float x, float y) {
  // TODO: pick the map for (x, y) from the catalogue by scale, load it when it changes and
  // automatic map choice is on, and re-centre.
  (void)app;
  (void)x;
  (void)y;
}

void automapmove(App& app) {
  // TODO: re-centre when the tracked position is the threshold away from the last centre.
  (void)app;
}

void zoomnextmap(App& app) {
  // TODO: set minscale to the next larger span among the maps covering the reference position
  // (0.0001 when none qualifies and minscale is 0), then choosemap.
  (void)app;
}

void loadmap(App& app, int n) {
  // TODO: load map n's description, picture and scaling; reloading the current map redraws it.
  (void)app;
  (void)n;
}

}  // namespace zarn
