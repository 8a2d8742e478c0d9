// The vehicle link as the serial poll uses it: the link handler and the own vehicle's report line.
#pragma once

#include <string>

namespace zarn {
struct App;

// The link handler: one received line and its length. It classifies the line (modemline),
// decodes reports into the vehicle table, sets mvcur, rptx, rpty, rptline1 and rptline2, and
// decodes NMEA lines of remote units without touching the own fix.
void mvlinein(App& app, std::string& line, long length);
// The own vehicle's fixed-column report ("P:"): heading, speed and position.
void owndecode(App& app, const std::string& line);

}  // namespace zarn
