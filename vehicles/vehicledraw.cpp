#include "vehicles/vehicledraw.h"

#include "app/app.h"

namespace zarn {

void plotvehicle(App& app, int i, float& lat, float& lon) { (void)app, (void)i, (void)lat, (void)lon; }  // TODO

void drawvehicle(App& app, int i) { (void)app, (void)i; }  // TODO

void drawvehicles(App& app) {
  // TODO: icon mvim(i) and heading line mvv(i) of each vehicle at its position.
  (void)app;
}

}  // namespace zarn
