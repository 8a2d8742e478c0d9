// The more-information table (ZARN.MOR): the information and guidance files of a place.
#pragma once

#include <string>

namespace zarn {
struct App;

// The information file and guidance file of a place named by qualifier, grid reference or
// name; both emptied first and left empty when none is found.
void moreinfo(App& app, const std::string& qual, const std::string& grid, const std::string& name,
              std::string& infofile, std::string& guidefile);

}  // namespace zarn
