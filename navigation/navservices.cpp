#include "navigation/navservices.h"

#include "app/app.h"

namespace zarn {

void drawdflines(App& app) {
  // TODO: the last ten direction-finding bearing lines on the current map.
  (void)app;
}

void drawdfsector(App& app) {
  // TODO: with dfsecmode 1, the range circle of dfsecrad around the sector centre and a fan of
  // up to 100 lines from dfsecbrg1 to dfsecbrg2 in dfseccol; otherwise hide the sector.
  (void)app;
}

}  // namespace zarn
