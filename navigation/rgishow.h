// Seeing the route guidance: the loaded and filed instructions plotted on the map, and the
// typed words that show and hide the trace line, plot and dump.
#pragma once

#include <string>

namespace zarn {
struct App;

// The typed words (any case) "RGI+": the trace line shown and the loaded and filed instructions
// plotted on the map, with a word on how many are loaded; "RGI-": the trace line hidden; "RGI/":
// the loaded instructions written to RGI.TXT. False for any other text.
bool rgiword(App& app, const std::string& typed);

}  // namespace zarn
