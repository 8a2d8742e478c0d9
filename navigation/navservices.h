// Services of navigation that the map display calls: the direction-finding drawings.
#pragma once

namespace zarn {
struct App;

// The direction-finding bearing lines of up to ten stations on the current map.
void drawdflines(App& app);
// The direction-finding sector display on the map (defined with the receiver lines for now).
void drawdfsector(App& app);

}  // namespace zarn
