// The map catalogue and the current map view.
#pragma once

namespace zarn {

struct MapView {
  // Filled as the catalogue, map loading and the own-car drawing are built.
};

}  // namespace zarn
