#include "mainwindow/help.h"

#include "app/app.h"

namespace zarn {

void showhelp(App& app) { (void)app; }
void callhelp(App& app) { (void)app; }
void hello(App& app) { (void)app; }

}  // namespace zarn
