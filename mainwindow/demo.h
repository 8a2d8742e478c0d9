// Starting and stopping the demonstration: the flags that make the main tick play the replay
// file, and the reset of display, speech and multi-vehicle view when it stops.
#pragma once

namespace zarn {
struct App;
struct MainState;

// Enters the demo state: sound on, the replay file rewound with its introduction on the next
// tick, the trail cleared, "DEM".
void startdemo(App& app);
// The demo script stops playing because real data (the file link, the icon panel) takes over.
void demooff(MainState& m);
// Leaves the demo and multi-vehicle state: "OLD", sound off and the queue emptied, the
// configured GPS correction back, the bearing lines cleared, the replay file back to ZARN.NME.
void stopdemo(App& app);

}  // namespace zarn
