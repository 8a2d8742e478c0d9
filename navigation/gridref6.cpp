#include "navigation/gridref6.h"

#include <cctype>

namespace zarn {

void gridref6(const std::string& grid, std::string& six) {
  auto letter = [&](std::size_t i) { return std::isalpha(static_cast<unsigned char>(grid[i])) != 0; };
  auto digits = [&](std::size_t from) {
    for (std::size_t i = from; i < from + 5; ++i)
      if (!std::isdigit(static_cast<unsigned char>(grid[i]))) return false;
    return true;
  };
  if (grid.size() == 14 && letter(0) && letter(1) && grid[2] == ' ' && digits(3) && grid[8] == ' ' && digits(9)) {
    six = grid.substr(0, 2) + grid.substr(3, 3) + grid.substr(9, 3);
  } else {
    six = grid;
  }
}

}  // namespace zarn
