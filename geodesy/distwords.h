// Distances in words for messages and read-outs.
#pragma once

#include <string>

namespace zarn {

// A distance (km) in the user's units, as message text (" 2.7 nm", " 990 metres") and as the
// short label (" 2.7m", " 990m"): whole units above 5, tenths down to 1 km or 0.6 mile, then
// tens of metres or tens of yards.
void distext(int metric, int nautical, float km, std::string& text, std::string& label);

}  // namespace zarn
