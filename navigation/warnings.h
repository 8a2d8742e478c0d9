// Speed, zone and place-of-interest warnings, called by the main tick.
#pragma once

namespace zarn {
struct App;

// Queues a warning when the speed passes a threshold of the speed-warning table.
void speedwarn(App& app);
// Announces entering and leaving each zone of the zone table.
void zonecheck(App& app);
// Announces and logs entering and leaving places of interest.
void zoicheck(App& app);
// Shows the zone window, where zones are made, removed, shown, saved and read.
void showzones(App& app);

}  // namespace zarn
