// The read-outs along the bottom of the main window: position and pointer. The destination's
// distance and clock position are navigation's (showdestdist).
#pragma once

#include <string>

#include "navigation/destinations.h"  // the destination's read-outs: showdestdist
#include "platform/ui.h"

namespace zarn {
struct App;
class ZarnForm;

// The grid-reference and latitude/longitude read-outs of the own position.
void ownreadouts(App& app);

// The position-status colour of the read-outs: green for live GPS, yellow for old or simulated
// data, white while they show the pointer's position.
void setstatcol(ZarnForm& z, ui::Colour colour);

// Pointer move over the map (main-window pixels X, Y): shows the grid reference (or the pixel
// position when displayxy is on) and latitude/longitude under the pointer, marks the mode label
// "<-", turns the status colour white and moves the pointer icon. Moves that change only the
// fraction of Y are ignored.
void mousereadout(App& app, int button, int shift, float X, float Y);

}  // namespace zarn
