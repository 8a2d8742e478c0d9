// The population-centre gazetteer $LPOP.PCD: positions of the centres and the area names,
// loaded at start-up; the name texts stay on disk for the search.
#pragma once

#include <string>

#include "platform/files.h"

namespace zarn {
struct MainState;
class Windows;

// Loads the centres' positions and the area names, the start window's progress line following
// it. Without the file both counts are 0 and true is returned. A file shorter than its counts
// promise keeps what it holds (the counts cut to it) and returns false with the reason in *why.
bool readpopcd(const platform::Files& files, MainState& m, Windows& win, std::string* why = nullptr);

}  // namespace zarn
