#include "navigation/navservices.h"

#include "app/app.h"

namespace zarn {

void drawdflines(App& app) {
  // TODO: the last ten direction-finding bearing lines on the current map.
  (void)app;
}

}  // namespace zarn
