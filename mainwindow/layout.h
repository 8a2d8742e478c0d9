// Layout and colours of the main window's read-outs and message line.
#pragma once

namespace zarn {
struct App;

// Shows the stored status message again (translated), without speaking it; nothing while
// sound and messages are off.
void reshowmsg(App& app);

}  // namespace zarn
