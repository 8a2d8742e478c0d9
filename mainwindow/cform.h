// The control panel "cform": the window itself is the map display's (mapdisplay/cform.h), as
// the map display writes its map list and zoom button; showing it is a command of the main
// window.
#pragma once

#include "mapdisplay/cform.h"

namespace zarn {
class Windows;

// Makes the control panel (on first use) and shows it.
void showcform(Windows& win);

}  // namespace zarn
