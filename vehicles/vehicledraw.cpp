#include "vehicles/vehicledraw.h"

#include "app/app.h"

namespace zarn {

void drawvehicles(App& app) {
  // TODO: icon mvim(i) and heading line mvv(i) of each vehicle at its position.
  (void)app;
}

}  // namespace zarn
