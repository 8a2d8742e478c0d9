// The one orderly way out of the program: asked, spoken, saved, ended.
#pragma once

namespace zarn {
struct App;

// Asks "Exit ZARN ?"; on anything but Yes gives speech back as it was and returns. On Yes says
// goodbye, closes the trip log, keeps the last position (live GPS only), drops DTR where the
// equipment needs it, starts ZARNEXIT.BAT without waiting and ends the process inside the call.
void exitprog(App& app);

}  // namespace zarn
