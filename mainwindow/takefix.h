// The consumer of the GPS road: what the sentence parser returns is shown and passed on here,
// once, in the order the program needs: the status lights, the read-outs, the chased unit or
// the direction finder, the pager and the coded-message alert, the car, the engineering window.
// And the GPS watch: reception starting or lost, announced once.
#pragma once

#include <string>

namespace zarn {
struct App;
struct LineResult;

// Shows and passes on what one parsed line gave (the line as the parser left it). Returns the
// line's "handled" (0: a position, or a known unit's text).
int applyline(App& app, const LineResult& r, std::string& line);
// A line a playback filter run parsed from a recorded log: its status lights, read-outs and
// car, as for a received line, but nothing is passed on (a past record pages, chases or takes
// bearings from no one).
void applyrecord(App& app, const LineResult& r, const std::string& line);
// Parses one received line and takes it; returns the parser's "handled" (0: a position).
int applysentence(App& app, std::string& line);
// A line the file link left: the demo gives way to it, it is taken as received, and the
// reception watch runs.
void applyfilelink(App& app, std::string& line);

// After a track or .AGD point: the trail (unless a playback run draws) and the car follow.
void followtrack(App& app);

// Runs on every tick: data within the time-out counts as reception. On a change the read-outs,
// colours and own motion are reset and the change is shown and said.
void gpswatch(App& app);

}  // namespace zarn
