// The receive buffer that the serial poll assembles lines in, and the packet-radio call sign
// that arrives in front of every sentence on a radio link.
#pragma once

#include <string>
#include <string_view>

namespace zarn {
class Windows;
struct GpsState;

// Empties the receive buffer: no characters, all positions blank.
void clearrxbuf(GpsState& gps);

// The characters held, and the tests on them: "begins with" compares the buffer with its
// blank padding, "contains" searches the whole buffer.
std::string_view rxline(const GpsState& gps);
bool rxbegins(const GpsState& gps, std::string_view text);
bool rxcontains(const GpsState& gps, std::string_view text);

// Cuts a packet-radio call sign off a line: when the call-sign separator occurs after the first
// character, the call sign is kept (control characters shown as "#") and shown on the GPS
// engineering window, the line is written to an open trip log, and a line with a "$" after its
// first character is cut to begin there. True when the line was shortened.
bool stripcall(GpsState& gps, Windows& win, std::string& line);

}  // namespace zarn
