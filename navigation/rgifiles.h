// Route guidance files: the instructions near the car, loaded from a guidance file (".RGI")
// or through its index (".RGB"), and the dump of what is loaded (RGI.TXT).
#pragma once

#include "navigation/navstate.h"
#include "platform/ui.h"

namespace zarn {
struct GeoState;
struct OwnFix;
struct Voice;
namespace platform {
class Files;
class InputFile;
}

// The next instruction of a guidance file: six fields, then the whole next line as the
// message. False at a first field or message line of "END", or when the file ends before the
// message line (a record cut short is not taken).
bool readrgirecord(platform::InputFile& f, RgiRecord& rec);

// Takes the guidance file named by rgifile into use: checks it (saying so), reads its index and
// loads the instructions near the car (fix, the own position).
void readrgb(NavState& n, Voice& v, GeoState& geo, const OwnFix& fix, ui::Label& trace);
// Reloads the instructions within 0.5 km of the car once it has moved 0.3 km since the last
// load; nothing otherwise. The trace line says when each load starts and ends and what it took.
void loadrgi(NavState& n, Voice& v, GeoState& geo, const OwnFix& fix, ui::Label& trace);
// Writes the loaded instructions to RGI.TXT.
void savergi(const NavState& n, const platform::Files& files);

}  // namespace zarn
