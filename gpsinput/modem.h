// Output to the serial line: the one writer of the port.
#pragma once

#include <string_view>

namespace zarn {
struct App;
namespace platform {
class SerialLine;
}

// Writes the text to the serial port unchanged; no line end is added.
void commsend(platform::SerialLine& serial, std::string_view text);

// Hangs the modem up: DTR off for 3 s, on again, then a pause of 1 s, the input polled all
// the while.
void hangup(App& app);

// Waits the given seconds (across midnight too), polling the serial input and letting window
// events run on every pass; ends early once abortflag is set, after at least one poll.
void delaysec(App& app, float secs);

}  // namespace zarn
