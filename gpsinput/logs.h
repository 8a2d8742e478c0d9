// The trip log (received data recorded for replay and filtering), NMEA position recording into
// NEW.NME and the checksum sniff of a replay file.
#pragma once

#include <string>
#include <string_view>

namespace zarn {
struct App;
struct GpsState;
struct Voice;
namespace platform {
class Clock;
class Files;
}  // namespace platform

// Opens a new trip log: NEWTRIP.NME (.MVD in multi-vehicle mode), or with NEWTRIP.CFG its
// prefix and the first free counter (TRIP0001.NME ...). A log already open is closed first.
// When every counter is taken nothing is opened and the message line says so.
void newtrip(App& app);
// Writes one line to the trip log when it is open, ending in CR LF, and hands it to the system.
void writetriplog(GpsState& gps, std::string_view line);
// Closes the trip log (when the user stops logging or the program ends).
void closetriplog(GpsState& gps);

// Appends a $GPRMC sentence to NEW.NME for a position in the 26-character latitude/longitude
// read-out form and a three-digit course, with the clock's time and date and a speed of 30.
void writenmepos(const platform::Files& files, const platform::Clock& clock, const std::string& lltext,
                 const std::string& course);

// The file the main tick replays from now on (the demo script, a recorded trip); it is opened
// on the next replay step, and a failure to open it is named afresh.
void setreplayfile(GpsState& gps, const std::string& name);

// Opens the replay file and notes whether its first 20 lines carry checksums (nochecksum); the
// replay then starts at its first line. A file that cannot be opened is named on the message
// line with the reason, once until it opens or another file (or the same again) is chosen.
void sniffchecksum(GpsState& gps, Voice& voice);

}  // namespace zarn
