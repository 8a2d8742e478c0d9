// The serial poll: the one reader of the serial port (or of the file link that stands in for
// it). Received characters are assembled into lines and each complete line goes where it
// belongs: GPS sentences to the sentence parser, vehicle lines to the link handler, modem and
// satellite-terminal replies to their flags.
#pragma once

#include <string_view>

namespace zarn {
struct App;
struct GpsState;

// Takes whatever the port holds and works through it; returns at once when nothing waits.
// A poll started while another is working (from a wait inside it) queues its input behind the
// characters still waiting, so the order of arrival is kept.
void readcomms(App& app);

// Works through received characters as readcomms does with the port's input.
void rxchars(App& app, std::string_view chars);

// No link data seen yet: the demo and the vehicle configuration start the link afresh.
void resetlink(GpsState& gps);

}  // namespace zarn
