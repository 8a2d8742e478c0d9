// The link's data modes: modem replies, the data mode a line selects, and whether the line is
// passed on to the decoders.
#pragma once

#include <string>
#include <string_view>

namespace zarn {
struct App;

// Classifies one received line of length n before any decoding: 1 when the caller is to decode
// it, 0 when it is to drop it. Switches the data mode, follows incoming calls and shows the
// mode and the line lamp on the engineering window.
int modemline(App& app, const std::string& line, long n);

// A Datatrak text report line: at least 26 characters, "~", digits to column 24 and the unit's
// letter or digit in column 25.
bool datatrakline(std::string_view line);

}  // namespace zarn
