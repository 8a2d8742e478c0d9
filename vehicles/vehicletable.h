// The table of remote vehicles and the link state.
#pragma once

namespace zarn {

struct VehicleTable {
  // Filled as remote vehicle tracking is built.
};

}  // namespace zarn
