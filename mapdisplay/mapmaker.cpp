#include "mapdisplay/mapmaker.h"

#include "app/app.h"

namespace zarn {

void makecdmap(App& app) {
  // TODO: write ROMSHELF.DAT for the followed point, start the map maker, wait for
  // ROMSHELF.FLG while events run, then rebuild the catalogue and choose the map again.
  (void)app;
}

}  // namespace zarn
