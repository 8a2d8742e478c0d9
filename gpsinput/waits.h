// The two waits of a call, which keep the serial input flowing and show the seconds left in
// the vehicle window's time label.
#pragma once

namespace zarn {
struct App;

// Waits up to secs for the satellite text service: ends early once the dialogue reaches its
// prompt or an outcome, or on abort. The seconds left show after the first five.
void waitcount(App& app, float secs);
// Waits up to secs for the modem's CONNECT: ends early on it or on abort. The seconds left
// show from the start.
void waitreply(App& app, float secs);

}  // namespace zarn
