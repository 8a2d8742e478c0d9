// The GPS watch: whether GPS data is being received, and each change announced once.
#pragma once

namespace zarn {
struct App;

// Runs on every tick: data within the time-out counts as reception. On a change the read-outs,
// colours and own motion are reset and the change is shown and said.
void gpswatch(App& app);

}  // namespace zarn
