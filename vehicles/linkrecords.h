// The vehicle link's own record forms, read without touching any state: the dialled-in binary
// record (raw or as "HEX" pairs) and the fixed-column position record of Message Mode.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zarn {

// A dialled-in binary record: position (degrees), report time, status byte and, in records
// longer than 8 bytes, the kind character and the two-character code.
struct DialledRecord {
  float lat = 0, lon = 0;
  // hhmm; none when the time's bits hold no time of day (hours 24-31, minutes 60-62): the
  // position and the code are still the unit's.
  std::optional<std::string> hhmm;
  int status = 0;
  int kind = 0;
  std::string code;
};
// Nothing when the record holds fewer than `length` bytes or a position that no vehicle can
// report (beyond the poles or the date line, 60 minutes of arc or more).
std::optional<DialledRecord> dialledrecord(std::string_view bytes, int length);

// The record bytes of a "HEX" line: the pairs from column 5 on, `length` of them. Nothing when
// fewer pairs are present or one is not hexadecimal.
std::optional<std::string> hexrecord(std::string_view line, int length);

// A "001" position record, columns counted from 1: identity in 5-13, latitude in 20-27,
// longitude in 30-39 (39 "W" for west), heading 41-43, knots 44-46 and hhmm 47-50.
struct FixedRecord {
  std::string id;
  float lat = 0, lon = 0;
  int heading = -1;   // -1: not given
  double knots = -1;  // -1: not given
  std::string hhmm;
};
// Nothing when the line is shorter than its last column or a position column is not a number
// on the earth.
std::optional<FixedRecord> fixedrecord(std::string_view line);

}  // namespace zarn
