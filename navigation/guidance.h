// The route guidance step of the main tick.
#pragma once

#include <string>

namespace zarn {
struct App;

// One route-guidance step: loads instructions when needed, measures the distance to the next
// instruction point, shows and queues it.
void rgistep(App& app);

}  // namespace zarn
