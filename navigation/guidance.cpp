#include "navigation/guidance.h"

#include "app/app.h"

namespace zarn {

void readrgb(App& app) {
  // TODO: read the route-guidance base file rgifile; rgiexists := 1 when it holds instructions.
  (void)app;
}

void rgistep(App& app) {
  // TODO: the route-guidance step (distance to the next instruction, window, spoken prompt).
  (void)app;
}

}  // namespace zarn
