// Small helpers used everywhere: the no-position value, pi and degrees to radians, the sentence
// field splitter, first-value reads of configuration files, the grid-square table MAPS.CCC, day
// numbers, elapsed time of day, name capitalisation and the character substitution of the
// population-centre data.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zarn {
struct GeoState;
namespace platform {
class Files;
}

// "No position": the frame position (km) the own fix and the found place hold until they have
// one. parsepos's failure value (parsefailx, parsefaily) is another pair.
inline constexpr float noposx = -250.0f, noposy = -950.0f;
// True at the no-position value, both coordinates exactly.
constexpr bool isnopos(float x, float y) { return x == noposx && y == noposy; }

// pi as the program's rules write it. Each rule keeps the value its results were made with, so
// that no position or drawing moves: most take the full value, whose degrad is the
// 0.017453292519943334 radians per degree of the conversions; the RMC velocity, the heading
// lines, map rotation, sign strokes and bearingdeg take the short 3.14159; the VTG velocity and
// the start window's emblem take the radians per degree cut at 15 decimals.
inline constexpr double fullpi = 3.1415926535898;
inline constexpr double shortpi = 3.14159;
inline constexpr double degrad = fullpi / 180;
inline constexpr double cutdegrad = 0.017453292519943;
static_assert(degrad == 0.017453292519943334, "the conversions' factor, to the last bit");
// Degrees to radians: deg times the rule's radians per degree (degrad unless it keeps another).
constexpr double degtorad(double deg, double perdegree = degrad) { return deg * perdegree; }

// The next field of an NMEA-style sentence from the 1-based position pos, fields ending at ","
// or "*"; pos moves past the separator. With no separator left the field is empty and pos
// becomes 1, so a last field not followed by "," or "*" is never returned.
std::string nextfield(std::string_view sentence, long& pos);

// 1 when a file (or directory, or a match of a "*"/"?" pattern) of that name exists, else 0.
int fileexists(const platform::Files& files, std::string_view name);
// The first line of a file; nullopt when the file is missing or holds nothing at all.
std::optional<std::string> readfirstline(const platform::Files& files, std::string_view name);
// The first number of a file (up to the first comma or line end); nullopt when the file is
// missing or holds nothing at all.
std::optional<float> readfirstnum(const platform::Files& files, std::string_view name);

// Loads the grid-square table from MAPS.CCC. A missing file, a short file or more squares than
// the table holds gives the problem as a message for the user; whatever was read stays loaded.
std::optional<std::string> loadccc(GeoState& geo, const platform::Files& files);

// A day count of a "ddmmyy" date: later dates always give larger numbers, across New Year too.
// Years 70..99 are 1970..1999, 00..69 are 2000..2069; day 01-01-1970 is 0.
float daynumber(std::string_view ddmmyy);

// Seconds from the time of day t0 to the time of day now (both seconds since midnight), 86400
// added when midnight has passed; never below 0.001.
float elapsed(float now, float t0);

// Lower case, then upper case for the first character and for every character from the third
// on that follows a blank or "-".
void propercase(std::string& text);

// Replaces every character code c by 250 - c (its own inverse), the stored form of the
// population-centre names. A character above 250 has no substitute: the text is then left as
// it was and false returned for the caller to report.
[[nodiscard]] bool flipchars(std::string& text);

}  // namespace zarn
