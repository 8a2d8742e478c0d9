// The start window's picture texts and emblem, which start-up draws. The window itself and its
// progress text are the map display's (mapdisplay/startform.h).
#pragma once

#include "mapdisplay/startform.h"
#include "platform/ui.h"

namespace zarn {

// Draws the start window's texts and emblem.
void startsplash(StartForm& f);
// One emblem: a square frame, a sun with rays and a wave, centred at (cx, cy), side s.
void drawemblem(ui::DrawSurface& d, double cx, double cy, double s, ui::Colour colour, int fill, int width);

}  // namespace zarn
