#include "navigation/tripreset.h"

#include "app/app.h"

namespace zarn {

void resettrip(App& app) {
  // TODO: zero the trip distances, start the trip at the present time of day and clear the
  // instruments window's trip label.
  (void)app;
}

}  // namespace zarn
