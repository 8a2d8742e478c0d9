#include "navigation/roadnet.h"

#include "app/app.h"

namespace zarn {

void plotroad(App& app) {
  // TODO: a line per record of LINKS.TXT between its two node positions, a box per node of NODES.TXT.
  (void)app;
}

void showlinkman(App& app) {
  // TODO: the node and link editor window (mode button, snapping distance, record template).
  (void)app;
}

}  // namespace zarn
