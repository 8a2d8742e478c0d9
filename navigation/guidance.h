// Route guidance instructions and the further-information file, as start-up and the main
// tick call them.
#pragma once

#include <string>

namespace zarn {
struct App;

// Reads the route-guidance base file named by rgifile and sets rgiexists.
void readrgb(App& app);
// One route-guidance step: loads instructions when needed, measures the distance to the next
// instruction point, shows and queues it.
void rgistep(App& app);

}  // namespace zarn
