#include "navigation/warnings.h"

#include "app/app.h"

namespace zarn {

void speedwarn(App& app) {
  // TODO: compare ownspd with the speed-warning table while speedwarnon is set.
  (void)app;
}

void zonecheck(App& app) {
  // TODO: while zonemonon is set, announce entering and leaving zones 1..zonecount.
  (void)app;
}

void zoicheck(App& app) {
  // TODO: places-of-interest proximity: announce and, with zoilogon, log to ZARN.LOG.
  (void)app;
}

void showzones(App& app) {
  // TODO: the zone window "zmform" with its make, remove, show, save and read buttons.
  (void)app;
}

}  // namespace zarn
