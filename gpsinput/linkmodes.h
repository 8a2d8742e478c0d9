// The link's data modes: modem replies, the data mode a line selects, and whether the line is
// passed on to the decoders.
#pragma once

#include <string>

namespace zarn {
struct App;

// Classifies one received line of length n before any decoding: 1 when the caller is to decode
// it, 0 when it is to drop it.
int modemline(App& app, const std::string& line, long n);

}  // namespace zarn
