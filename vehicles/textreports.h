// Free-text vehicle reports: a label, "from", an identity, "at" and a place.
#pragma once

#include <string>

namespace zarn {
struct App;

// One free-text report line of length n.
void textreport(App& app, const std::string& line, long n);

}  // namespace zarn
