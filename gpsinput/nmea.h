// The GPS sentence parser: one received line (an NMEA 0183 sentence, or a receiver-specific or
// direction-finder line) into the own fix, the GPS time and date and the read-outs.
#pragma once

#include <string>

namespace zarn {
struct App;

// Parses one line, with or without its line end. Returns 0 when the line was taken as a
// position (RMC, GGA, GLL, VTG, ">RPV", "SONY", "$DFBRG" and a known remote unit's TXT); 1
// for anything else: the vehicle link relies on this. A packet-radio call sign in front of the
// line is cut off (the line is changed).
int gpsparse(App& app, std::string& line);

}  // namespace zarn
