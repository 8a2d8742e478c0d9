// Destinations, guidance, waypoints, trip meter and warnings.
#pragma once

namespace zarn {

struct NavState {
  // Filled as navigation and guidance are built.
};

}  // namespace zarn
