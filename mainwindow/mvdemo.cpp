#include "mainwindow/mvdemo.h"

#include "app/app.h"

namespace zarn {

void mvdemo(App& app) {
  // TODO: the multi-vehicle set-up and its replay.
  (void)app;
}

}  // namespace zarn
