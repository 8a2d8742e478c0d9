#include "navigation/warnings.h"

#include "app/app.h"

namespace zarn {

void speedwarn(App& app) {
  // TODO: compare ownspd with the speed-warning table while speedwarnon is set.
  (void)app;
}

void zoicheck(App& app) {
  // TODO: places-of-interest proximity: announce and, with zoilogon, log to ZARN.LOG.
  (void)app;
}

}  // namespace zarn
