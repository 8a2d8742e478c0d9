// The Irish grid: latitude/longitude to and from Irish eastings and northings in km (false
// origin 0, 0), and Irish grid-reference text with single-letter 100-km squares. Holds no state;
// callers shift into the national-grid frame themselves (x = e - 320, y = n + 173.5).
#pragma once

#include <string>

namespace zarn {

// The 100-km square letters, south-west first, rows running north.
inline constexpr char irishletters[] = "VWXYZQRSTULMNOPFGHJKABCDE";

// Reads a 13-character ("O 15855 34718") or 7-character ("O158347", 100 m) reference into km.
// An unknown square letter gives -1, -1; any other length leaves e and n as they were.
void parseirish(const std::string& text, float& e, float& n);
// Writes the 13-character reference of e, n (km); digits are whole metres cut, not rounded.
void irishtext(double e, double n, std::string& text);

// Latitude/longitude (degrees) to Irish e, n (km).
void lltoirish(double lat, double lon, float& e, float& n);
// Irish e, n (km) to latitude/longitude (degrees), by repeated forward projection. Returns
// false when it did not settle within its pass limit (the estimate is still written).
bool irishtoll(float e, float n, float& lat, float& lon);

}  // namespace zarn
