// The 250 ms main tick.
#pragma once

#include "platform/ui.h"

namespace zarn {
struct App;
struct MainState;

// One tick of the main timer: serial input, GPS watch, speech, the map and the car, the replay
// step without GPS, the trail and the periodic spoken reports. It never re-enters itself: a
// tick that finds another still running (inside a wait that lets events run) returns at once.
void Timer1_Timer(App& app);

// The one-time set-up of the search box (the first search list, its prompt shown), done once:
// before the main window first takes the keys, or else by the first tick.
void searchsetup(App& app);

// Starts the interval of a periodic report afresh at `now`, as if it had just been given: kind 1
// where we are, 2 the destination, 3 the direction of travel.
void restartreport(MainState& m, float now, int kind);

}  // namespace zarn
