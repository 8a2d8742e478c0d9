// The hand-off to the outside CD-ROM map maker.
#pragma once

namespace zarn {
struct App;

// Asks the outside map maker for a map centred on the followed point and waits for it.
void makecdmap(App& app);

}  // namespace zarn
