#include "mapdisplay/mapoutlines.h"

#include "app/app.h"

namespace zarn {

void showmaps(App& app) { (void)app; }

}  // namespace zarn
