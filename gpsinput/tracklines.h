// Recorded logs other than NMEA: track files (.TRK, one fixed-column point per line) and .AGD
// logs (date, time, quality, position, velocity and altitude per line), turned into the own fix
// as a live fix would be.
#pragma once

#include <string>
#include <string_view>

namespace zarn {
struct App;

// One track point; speed and course come from the previous point (none for the first). The own
// fix and its read-outs; false when the line holds no point. The car and the trail follow in
// the caller.
bool trkline(App& app, const std::string& line);
// One .AGD fix, with its read-outs; the car and the trail follow in the caller.
void parsefix(App& app, const std::string& line);
// Seconds of the day of "hh:mm:ss" or "hh:mm"; the seconds count only in an 8-character text.
float timetosecs(std::string_view t);

}  // namespace zarn
