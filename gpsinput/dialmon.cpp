#include "gpsinput/dialmon.h"

#include "app/app.h"

namespace zarn {

void dialmon(App& app) {
  // TODO: the dial-out panel's caption from the modem reply flags, moving the panel off the
  // car's pixel, and the automatic hang-up autohangup seconds after lastsent.
  (void)app;
}

}  // namespace zarn
