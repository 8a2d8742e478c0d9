// The waits of a call, which keep the serial input flowing and show the seconds left in the
// vehicle window's time label.
#pragma once

#include <functional>
#include <string>

namespace zarn {
struct App;

// Polls the serial input, then asks stop (given the seconds elapsed, across midnight too);
// until it holds or secs have passed, lets window events run and polls again. Always polls at
// least once. True when stop ended the wait.
bool pollwait(App& app, float secs, const std::function<bool(float elapsed)>& stop);

// Waits up to secs for the satellite text service: ends early once the dialogue reaches its
// prompt or an outcome, or on abort. The seconds left show after the first five.
void waitcount(App& app, float secs);
// Waits up to secs for the modem's CONNECT: ends early on it or on abort. The seconds left
// show from the start.
void waitreply(App& app, float secs);

// The vehicle window's time label (seconds left of a wait, "OK" during a modem test).
void showtimeleft(App& app, const std::string& text);

}  // namespace zarn
