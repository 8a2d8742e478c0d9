// The multi-vehicle demo: a single-vehicle installation made a base station that replays
// recorded vehicle reports.
#pragma once

namespace zarn {
struct App;

// Prepares the vehicle table, icons, windows and link state and starts the replay.
void mvdemo(App& app);

}  // namespace zarn
