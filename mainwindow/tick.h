// The 250 ms main tick.
#pragma once

namespace zarn {
struct App;

// One tick of the main timer. It never re-enters itself: a tick that finds another still
// running (inside a wait that lets events run) returns at once.
void Timer1_Timer(App& app);

}  // namespace zarn
