// The map catalogue: map descriptions and their titles.
#pragma once

#include <string>

namespace zarn {
struct App;

// The title of map n: the first field of its description file (base name + ".des"); empty when
// the map or its description is missing.
std::string readdesname(const App& app, int n);

}  // namespace zarn
