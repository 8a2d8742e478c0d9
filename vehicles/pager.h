// The hand-off to the pager program: PAGERDAT.TXT and the request file PAGERREQ.TXT.
#pragma once

#include <string>

namespace zarn {
struct App;

// Writes one pager line (PAGERDAT.TXT and the request file) when pager output is on.
void pagerreq(App& app, const std::string& id, float lat, float lon, int hdg, float spd,
              const std::string& text);

}  // namespace zarn
