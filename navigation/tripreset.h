// Resetting the trip meter when GPS reception starts.
#pragma once

namespace zarn {
struct App;

// The three trip distances (km, statute and nautical miles) to 0, the trip start to now, and
// the trip label of the instruments window cleared.
void resettrip(App& app);

}  // namespace zarn
