// Datatrak reports from the link: the text records ("~") and the binary ones (grave accent).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "vehicles/linkreport.h"

namespace zarn {
struct GeoState;
struct GpsState;
struct VehicleTable;
namespace platform {
class WavPlayer;
}

// What one report says, before it meets the vehicle table. Positions are counted in steps of
// 4 m (1/250 km) east and north of the frame's origin.
struct DatatrakReport {
  std::string id;         // the unit as findvehicle takes it
  int heading = 0;        // degrees: a code 0..9 (text) or 0..7 (binary), times 45
  int speed = 0;          // a code 0..99 (text) or 0..15 (binary), times 5
  long east = 0, north = 0;
  bool operator==(const DatatrakReport&) const = default;
};

inline constexpr float datatrakstep = 250;  // position steps a kilometre

// Largest position each form carries, in steps. The text form has six digits each way
// (x and y 0..3999.996 km). The binary form has 18 bits east and 14 bits north: x 0..1048.572 km
// and y 0..65.532 km, a strip along the southern edge of the national grid. On land that is only
// the Isles of Scilly, Cornwall south of about Bodmin and the south Devon coast to about
// Torquay; the rest is the Channel and, beyond 700 km east, the continent carried on flat.
// Units further north cannot report in the binary form.
inline constexpr long datatraktextmax = 999999, datatrakeastmax = 262143, datatraknorthmax = 16383;

// Decodes a text report: "~", unit number (columns 2-6), three unused columns, heading code,
// two-column speed code (its digits read, 0 when none), six-digit easting and northing, and the
// unit's letter or digit in column 25, at least 26 characters in all. Anything else is no report.
std::optional<DatatrakReport> datatraktext(std::string_view line);
// Decodes a binary report: the grave accent and ten bytes, taken as received. A shorter line is
// no report; bytes beyond the eleventh are not part of it.
std::optional<DatatrakReport> datatrakbin(std::string_view line);

// A Datatrak text report line as a report of its unit (found, or added, in the table), ready to
// be entered, plotted, logged and printed; none when the line is no report. A unit the table does
// not take (findvehicle's rules, with its GPS state and beep) gives a report of vehicle 0: logged
// under its identity, neither plotted nor drawn.
[[nodiscard]] LinkReport mvdecode(VehicleTable& v, const GpsState& gps, GeoState& geo, platform::WavPlayer& wav,
                                  const std::string& line);
// The same for a binary report line: the grave accent, then the record's bytes as received.
[[nodiscard]] LinkReport mvdecodebin(VehicleTable& v, const GpsState& gps, GeoState& geo, platform::WavPlayer& wav,
                                     const std::string& line);

}  // namespace zarn
