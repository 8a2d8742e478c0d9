// Reading the fields of an NMEA sentence without storing anything: the own-fix parser and the
// vehicle link both read sentences this way, and only the parser writes the own fix.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zarn {

// The fields of a "$" sentence by their place, from the first character after the header:
// field k counts from 1 and is empty when the sentence has fewer. A field ends at a comma or the
// "*"; text after the last comma that no "*" ends is not a field. No sentence read here has more
// fields than are kept.
struct NmeaFields {
  std::string_view line;
  std::array<std::string_view, 20> v{};
  std::size_t n = 0;
  explicit NmeaFields(std::string_view l);
  std::string_view at(std::size_t k) const { return k >= 1 && k <= n ? v[k - 1] : std::string_view(); }
};

// Latitude, its letter, longitude and its letter in fields k to k + 3. All four empty is no
// position; anything but two well-formed values on the earth with their letters is a bad
// sentence.
struct NmeaPosition {
  enum { Fix, None, Bad } got = Bad;
  float lat = 0, lon = 0;
};
NmeaPosition nmeaposition(const NmeaFields& f, std::size_t k);

// What a vehicle's relayed RMC, GGA or GLL sentence says: its position (degrees), the hhmm of
// its time (4 blanks without one) and, from an RMC, speed in knots and course when given.
struct VehicleFix {
  float lat = 0, lon = 0;
  std::string hhmm = "    ";
  std::optional<double> knots, course;
};
// Nothing for any other sentence, or one without a good position. The checksum is the
// caller's.
std::optional<VehicleFix> vehiclefix(std::string_view line);

}  // namespace zarn
