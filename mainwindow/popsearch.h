// Population centres ($LPOP.PCD) found by the beginning of their names, and by nearness.
#pragma once

#include <string>

#include "platform/files.h"

namespace zarn {
struct GeoState;
struct MainState;

// The first centre whose name begins with code (upper-cased; each "+" at its end asks for the
// next one): its name, area, position (km) and how many more centres after it also begin with
// code. Name "-", no area and more 0 when there is none or code has fewer than 3 characters;
// x and y are then left as they were. A code that extends the last one found goes on from
// that one's first match.
void pcsearch(const platform::Files& files, MainState& m, const std::string& code, std::string& name,
              std::string& county, float& x, float& y, int& more);
// The centre nearest (x, y) km not among hitlist 1..n - 1: its position, name and area; its
// grid reference is written to hitlist(n). Name "-" when there is none (or n is outside the
// hit list): foundx, foundy and the hit list are then left as they were.
void pcrecord(const platform::Files& files, GeoState& geo, MainState& m, float x, float y, float& foundx, float& foundy,
              std::string& name, std::string& county, int& n);

}  // namespace zarn
