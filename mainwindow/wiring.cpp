#include "mainwindow/wiring.h"

#include "app/app.h"
#include "mainwindow/smallservices.h"
#include "mainwindow/startwin.h"
#include "vehicles/linkservices.h"

namespace zarn {

void wirehooks(App& app) {
  (void)app;

  // The vehicle link: the serial poll's lines and call state, the trip log's name, printing,
  // and the vehicle configuration's progress at start-up.
  app.hooks.linkline = linkline;
  app.hooks.showlink = showlink;
  app.hooks.printline = printline;
  app.hooks.setstatlabel = setstatlabel;
}

}  // namespace zarn
