#include "gpsinput/waits.h"

#include "app/app.h"

namespace zarn {

void waitcount(App& app, float secs) {
  // TODO
  (void)app, (void)secs;
}

void waitreply(App& app, float secs) {
  // TODO
  (void)app, (void)secs;
}

}  // namespace zarn
