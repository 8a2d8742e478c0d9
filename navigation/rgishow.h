// Seeing the route guidance: the loaded and filed instructions plotted on the map, and the
// typed words that show and hide the trace line, plot and dump.
#pragma once

#include <string>

namespace zarn {
struct App;

// Plots the loaded instructions (circle and direction stroke) and every instruction of the
// guidance file (a dot) on the current map, and says how many are loaded.
void showrgi(App& app);
// The typed words "RGI+", "RGI-" and "RGI/" (any case); false for any other text.
bool rgiword(App& app, const std::string& typed);

}  // namespace zarn
