#include "mainwindow/placesearch.h"

#include "app/app.h"

namespace zarn {

void typedsearch(App& app) { (void)app; }
void nearestsearch(App& app) { (void)app; }

}  // namespace zarn
