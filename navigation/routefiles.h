// Route files: a waypoint route saved and read (ZARN.ROO, the planners' routes, rpoints.txt).
//
// A route file holds a count line (" 12 ") and then one line per waypoint: its position in any
// form the position reader takes, and optionally "*R" and the radius in metres within which it
// counts as reached ("5321483N0021839W *R120"). A file whose first line is longer than five
// characters has no count line: its waypoints run to the end or to the first blank line. The
// lines count the waypoints, each read as a text field: a comma ends one and starts the next.
#pragma once

#include <string>

namespace zarn {
struct App;

// Loads the route file into the waypoint route and draws it; false, with a beep and the route
// left as it was, when there is no such file. Following is left as it was. A route holds at most
// 100 waypoints: a count beyond them or beyond the lines present, or one that is no count, loads
// what there is, with a beep.
bool readroute(App& app, const std::string& name);
// Starts following the route at waypoint 1, which becomes the destination; false, with a beep
// and following left off, when the route is empty.
bool routeon(App& app);
// Writes the route to the file, whole (a new file renamed over the old); false, with a
// message, when it cannot be written.
bool writeroute(App& app, const std::string& name);

// The compact latitude/longitude text of llcompact ("532129N0021824W") with the minutes
// rounded to the nearest hundredth rather than cut: a route saved and read again stays put.
std::string llcompactnear(float lat, float lon);

}  // namespace zarn
