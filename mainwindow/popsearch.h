// Population centres ($LPOP.PCD) found by the beginning of their names, and by nearness.
#pragma once

#include <string>

namespace zarn {
struct App;

// The first centre whose name begins with code: its name ("-" when none), area, position (km)
// and how many more centres of the same letter block also begin with code.
void pcsearch(App& app, const std::string& code, std::string& name, std::string& county, float& x, float& y,
              int& more);
// The centre nearest (x, y) km not among hitlist 1..n - 1: its position, name and area; its
// grid reference is written to hitlist(n). Name "-" when there is none.
void pcrecord(App& app, float x, float y, float& foundx, float& foundy, std::string& name, std::string& county,
              int& n);

}  // namespace zarn
