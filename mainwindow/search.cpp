#include "mainwindow/search.h"

#include "app/app.h"

namespace zarn {

void findplace(App& app) { (void)app; }

}  // namespace zarn
