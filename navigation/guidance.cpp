#include "navigation/guidance.h"
#include "navigation/rgifiles.h"

#include "app/app.h"

namespace zarn {

void rgistep(App& app) {
  // TODO: the route-guidance step (distance to the next instruction, window, spoken prompt).
  (void)app;
}

}  // namespace zarn
