// The NMEA 0183 checksum: the exclusive-or of the characters between "$" and "*", written as
// two upper-case hexadecimal digits.
#pragma once

#include <string>
#include <string_view>

namespace zarn {

// The checksum text for a sentence being built: s runs from its "$" (the first character is
// skipped whatever it is) to the end, without "*". Always two upper-case digits ("0A").
std::string nmeachksum(std::string_view s);

// A received sentence split into the checksum it carries and the one computed from it.
struct NmeaCheck {
  std::string got;   // the two characters after the first "*" (fewer at the end of the text);
                     // "(no checksum)" without a "*"
  std::string calc;  // the computed value in two digits; two blanks without a "*"
  bool ok = false;   // got holds the computed value
};
// The value is compared, not the text: one or two hexadecimal digits in either case are
// accepted, so "0A", "0a" and a lone "A" at the end of the sentence (older logs) all match ten.
NmeaCheck nmeacheck(std::string_view s);
// The same test without building the texts.
bool nmeachecksumok(std::string_view s);

}  // namespace zarn
