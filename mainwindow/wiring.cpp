#include "mainwindow/wiring.h"

#include "app/app.h"

namespace zarn {

void wirehooks(App& app) {
  (void)app;
}

}  // namespace zarn
