#include "geodesy/geofile.h"

#include "platform/textrules.h"

namespace zarn {

namespace {
// Int(minutes / 2) as one character: 0..9 as digits, 10..29 as "A".."T".
char band(const std::string& minutes) {
  const int v = static_cast<int>(text::vbint(text::val(minutes) / 2));
  return static_cast<char>(v < 10 ? '0' + v : 55 + v);
}
}  // namespace

void geofilename(const std::string& gridref, std::string& file) {
  using text::mid;
  switch (gridref.size()) {
    case 13: file = mid(gridref, 1, 1) + mid(gridref, 3, 2) + mid(gridref, 9, 2) + ".GEO"; break;
    case 14: file = mid(gridref, 1, 2) + mid(gridref, 4, 2) + mid(gridref, 10, 2) + ".GEO"; break;
    case 15:
      file = mid(gridref, 1, 2) + mid(gridref, 7, 1) + mid(gridref, 8, 3) + mid(gridref, 15, 1) +
             band(mid(gridref, 3, 2)) + ".GE" + band(mid(gridref, 11, 2));
      break;
    default: break;  // no cell: the caller's name stays as it was
  }
}

}  // namespace zarn
