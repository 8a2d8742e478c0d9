// Output to the serial line: the one writer of the port.
#pragma once

#include <string_view>

namespace zarn {
struct App;

// Writes the text to the serial port unchanged; no line end is added.
void commsend(App& app, std::string_view text);

}  // namespace zarn
