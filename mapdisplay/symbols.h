// Markers and read-out boxes on the map window: place symbols, the found-place marker, the
// destination marker and the heading box.
#pragma once

#include <string>

namespace zarn {
struct App;
class ZarnForm;

// The symbol icon of a code at pixel (x, y) ("$" code ".ICO", else the family icon "$FS",
// "$E", "$S" or "$L"), with a leader line to (x2, y2); both shown only while a found place
// exists.
void placesymbol(App& app, const std::string& code, float x, float y, float x2, float y2);
// The found-place icon at pixel (x, y) with the name under it, the label kept on the window;
// the icon and name are shown while a found place exists (shown), else hidden.
void showsymbol(ZarnForm& z, float x, float y, const std::string& name, bool shown);
// The destination marker for a frame position (km) and destination slot; chooses the map for
// the destination first when the map follows it.
void showdest(App& app, float x, float y, int slot);

}  // namespace zarn
