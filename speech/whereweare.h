// Where-we-are from the landmark lists: every tick, the landmark about to be passed (its
// category, name and side) and the road we are on, from the .GEO list of the square ahead;
// optionally pulls the GPS correction onto the road points (map matching).
#pragma once

namespace zarn {
struct App;

// Watches the landmark list of the square ahead and announces landmarks and new roads.
void saywhereweare(App& app);
// Refreshes the where-am-I lines of the Road Details window while it shows (or the
// learner-driver set is on).
void whereupdate(App& app);

}  // namespace zarn
