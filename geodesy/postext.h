// Position texts: the one reader of every position form the data files and the user use, and
// the writers of grid references, latitude/longitude read-outs and the compact forms.
#pragma once

#include <string>

namespace zarn {

struct GeoState;

// What parsepos returns for a text it cannot read. It differs from the no-position value
// (noposx, noposy of geodesy/helpers.h); callers test for this pair.
inline constexpr float parsefailx = -250.0f;
inline constexpr float parsefaily = 950.0f;

// Reads a position text into frame km: grid references of 6, 8, 10 and 14 characters
// ("TQ3080", "TQ301804", "TQ30128045", "TQ 30123 80456"), Irish references of 13 and 7
// characters ("O 15855 34718", "O158347"), decimal latitude/longitude ("51.5 -0.1"), the
// read-out of latlongtext ("51  30.000'N 000  06.000'W"), the compact form "513000N0000600W",
// six-digit XY sheet references ("300380"), UTM text of 18, 16 and 12 characters and MGRS text
// of 18 ("30U YC 01277 09417"). Where a layout has a blank, a run of blanks reads as one
// ("53 22.500'N 002 20.000'W", "TQ  30123 80456"). A text gives (parsefailx, parsefaily) unless
// it has one of these layouts, with digits where digits belong, and names a place on earth.
void parsepos(GeoState& geo, const std::string& text, float& x, float& y);
// The 15-character compact latitude/longitude form; false (and 0, 0) unless it has digits
// where digits belong, minutes below 60, "N"/"S" and "E"/"W", and a place on earth.
bool parsellstr(const std::string& text, float& lat, float& lon);
// A six-digit XY sheet reference (tenths of a unit, 3 digits X then 3 digits Y) through the
// sheet calibration.
void parsexy(const GeoState& geo, const std::string& text, float& lat, float& lon);

// The grid reference that fits where the position lies: Irish grid in the Irish area, square
// letters and metres ("TQ 30123 80456") where a square of the table covers it inside Great
// Britain, else UTM/MGRS when utmmode asks for it, else the compact latitude/longitude form.
void gridreftext(GeoState& geo, float x, float y, std::string& text);
// Degrees and decimal minutes for the read-out: "51  30.000'N 000  06.000'W".
void latlongtext(float lat, float lon, std::string& text);
// The compact form of latlongtext: "513000N0000600W" (minutes cut to hundredths).
void llcompact(float lat, float lon, std::string& text);
// Signed decimal degrees for the route planners: "51.500000 -000.100000".
void fmtlatlon(float lat, float lon, std::string& text);

}  // namespace zarn
