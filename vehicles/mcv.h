// The multi-vehicle configuration ZARN.MCV: link settings, modem commands, the satellite
// terminal's values, and the table of vehicles with their icons.
#pragma once

#include <optional>
#include <string>

namespace zarn {
struct App;
struct GpsState;
struct VehicleTable;
namespace platform {
class WavPlayer;
}

// Most vehicles a configuration may set up: each one has an icon and a heading line on the
// map, and a count beyond this is a damaged file rather than a fleet.
inline constexpr int mvmax = 500;

// Sizes every per-vehicle array to slots 0..size, emptied.
void sizetable(VehicleTable& v, int size);

// Reads ZARN.MCV (start-up, after the serial port is open). False when the file ended before
// its last value or could not be opened: what was read is kept, the rest of the table stays
// empty and *problem says what happened. A settings line the serial line refuses leaves the
// line's settings as they were, and *refused holds the line's reason; the reading goes on.
bool readmcv(App& app, std::string* problem = nullptr, std::optional<std::string>* refused = nullptr);

// The table index of an identity (compared without surrounding blanks, at most 9 characters),
// adding a new vehicle when allowed; with the table full the new one takes over the last slot,
// emptied of the unit it replaces, with a beep. 0 when it is neither found nor added: an empty
// identity or new vehicles refused. Callers drop the report on 0. The talker "GP" of a relayed
// line stands for the call sign the GPS state cut off it.
int findvehicle(VehicleTable& v, const GpsState& gps, platform::WavPlayer& wav, const std::string& id);

// A vehicle's own file, prefix ("$MV$" or "$mv$") and label (blanks trimmed), the base name cut
// to 8 characters, then ext (".ICO", ".WAV", ".TXT"). Labels come from received identities, so
// the name is given only for a label of letters, digits, blanks, "-" and "_"; else empty.
std::string unitfile(const std::string& prefix, const std::string& label, const std::string& ext);

}  // namespace zarn
