// The vehicle link's handler as the serial poll and the replay use it: each received line
// classified and decoded by the link's data mode and then taken in, and the own vehicle's
// report line.
#pragma once

#include <string>

#include "gpsinput/linkmodes.h"
#include "gpsinput/linkstate.h"
#include "vehicles/linkreport.h"

namespace zarn {
struct App;
class Windows;

// The link intake: shows the line on the engineering window, classifies it (modemline) and
// decodes it by the data mode into a report. The dialled-in reader moves on a step and a new
// vehicle is added to the table; nothing else is taken in (that is applyreport's). Control
// characters in the line are blanked unless every byte of it is data. `frame` as for mvlinein:
// a line the serial poll ended at its CR (line, status or step) is a live one.
[[nodiscard]] LinkReport linkintake(App& app, std::string& line, LinkFrame frame = LinkFrame::plain);

// The link handler: one received line cut to its length, decoded and taken in. `frame` is how
// the serial poll framed it (plain for a replayed line), which decides what the trip log and
// the printer get of the line itself.
void mvlinein(App& app, std::string& line, long length, LinkFrame frame = LinkFrame::plain);

// Where the serial poll's completed link lines arrive (the hook linkline): the own unit's "P:"
// report goes to owndecode, every other line to mvlinein.
void linkline(App& app, std::string& line, LinkFrame frame);

// The call state and the trip log's name on the vehicle windows (the hook showlink).
void showlink(Windows& win, const LinkShow& show);
// What the modem-line handler made of a line: the command lamp while Datatrak lines come, the
// line lamp, the data mode's label and the call state.
void showverdict(Windows& win, const LinkVerdict& v);

// The own vehicle's fixed-column report ("P:"): heading, speed and position.
void owndecode(App& app, const std::string& line);

}  // namespace zarn
