// The six-figure form of a grid reference, as the log lines and the where-we-are texts give it.
#pragma once

#include <string>

namespace zarn {

// "SJ 79227 84523" (two letters, blank, five digits, blank, five digits) becomes "SJ792845";
// any other text is returned unchanged.
void gridref6(const std::string& grid, std::string& six);

}  // namespace zarn
