#include "vehicles/pager.h"

#include "app/app.h"

namespace zarn {

void pagerreq(App& app, const std::string& id, float lat, float lon, int hdg, float spd,
              const std::string& text) {
  // TODO: when pager output is on and no PAGERREQ.TXT exists, write the pager line to
  // PAGERDAT.TXT and the request file.
  (void)app, (void)id, (void)lat, (void)lon, (void)hdg, (void)spd, (void)text;
}

}  // namespace zarn
