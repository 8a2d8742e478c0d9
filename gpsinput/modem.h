// Output to the serial line: the one writer of the port.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "gpsinput/gpsstate.h"

namespace zarn {
struct App;
namespace platform {
class SerialLine;
}

// Writes the text to the serial port unchanged; no line end is added.
void commsend(platform::SerialLine& serial, std::string_view text);

// Hangs the modem up: DTR off for 3 s, on again, then a pause of 1 s, the input polled all
// the while; an abort does not shorten it. Then no call is in progress (connected 0). A
// hang-up asked while one runs leaves it to that one.
void hangup(App& app);

// Sends "AT" and waits up to a second for the modem's "OK", up to tries times, ending early on
// abort; true when a modem answered (modemok). The vehicle window's time label shows "OK"
// meanwhile. A test asked while one runs gives false at once.
bool modemtest(App& app, int tries);

// Adds a message to the outgoing queue; false, storing nothing, when msgqmax already wait.
bool queuemsg(GpsState& g, std::string to, std::string text, std::string body);
// Takes the oldest queued message out; nullopt when none waits.
std::optional<GpsState::QueuedMsg> queuepeek(GpsState& g);

// Waits the given seconds (across midnight too), polling the serial input and letting window
// events run on every pass; ends early once abortflag is set, after at least one poll.
void delaysec(App& app, float secs);

}  // namespace zarn
