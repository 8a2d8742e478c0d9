// The link's data modes: modem replies, the data mode a line selects, and whether the line is
// passed on to the decoders.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "gpsinput/linkstate.h"

namespace zarn {
struct GpsState;

// What the modem-line handler made of one line, for the link handler to act on and show.
struct LinkVerdict {
  bool pass = false;      // the line goes on to the decoders
  bool datatrak = false;  // Datatrak lines are being received (the command lamp shows it)
  std::optional<std::string> modetext;  // the data mode changed: its label
  LinkShow show;                        // the call state, when the line changed it
};

// Classifies one received line before any decoding: switches the data mode, follows incoming
// calls and says whether the line is to be decoded. dnid is the satellite terminal's identity
// (empty: none configured).
[[nodiscard]] LinkVerdict modemline(GpsState& g, std::string_view line, std::string_view dnid);

// A Datatrak text report line: at least 26 characters, "~", digits in the unit number, heading
// code and position (columns 2-6, 10, 13-24) and the unit's letter or digit in column 25.
bool datatrakline(std::string_view line);

// A line taken exactly as received, every byte value being data: a dialled-in record being
// read, or a Datatrak binary report. Nothing is cut off or blanked in it.
bool binaryline(const GpsState& g, std::string_view line);

}  // namespace zarn
