// Datatrak reports from the link: the text records ("~") and the binary ones (grave accent).
#pragma once

#include <string>

namespace zarn {
struct App;

// A Datatrak text report line.
void mvdecode(App& app, const std::string& line);
// A Datatrak binary report line: the grave accent, then the record's bytes as received.
void mvdecodebin(App& app, const std::string& line);

}  // namespace zarn
