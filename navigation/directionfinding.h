// Direction finding as the sentence parser feeds it: direction-finder lines and bearing
// sentences.
#pragma once

#include <string>

namespace zarn {
struct App;

// A direction-finder line beginning "%" that contains ".": a bearing (with "/"), a fix, or the
// own heading and velocity.
void dfinput(App& app, std::string& line);
// A direction-finder line beginning "%" whose character 5 is "/": the bearing from
// character 2, an optional value after "/".
void dfinput2(App& app, std::string& line);
// A bearing (degrees) of a kind (8 for "$DFBRG" sentences): 360 or more (but not 888) clears
// the ten bearing lines; any other is announced and drawn among the last ten.
void dfbearing(App& app, float bearing, int kind);

}  // namespace zarn
