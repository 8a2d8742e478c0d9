#include "navigation/warnings.h"

#include "app/app.h"

namespace zarn {

void zonecheck(App& app) {
  // TODO: while zonemonon is set, announce entering and leaving zones 1..zonecount.
  (void)app;
}

void showzones(App& app) {
  // TODO: the zone window "zmform" with its make, remove, show, save and read buttons.
  (void)app;
}

}  // namespace zarn
