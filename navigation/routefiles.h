// Route files: a waypoint route saved and read (ZARN.ROO, the planners' routes, rpoints.txt).
#pragma once

#include <string>

namespace zarn {
struct App;

// Loads the route file into the waypoint route and draws it; false, with a beep and the route
// left as it was, when there is no such file. Following is left as it was.
bool readroute(App& app, const std::string& name);
// Starts following the route at waypoint 1, which becomes the destination; false, with a beep
// and following left off, when the route is empty.
bool routeon(App& app);

}  // namespace zarn
