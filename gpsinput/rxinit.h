// Receiver initialisation: a receiver that understands the PRWIINIT sentence is seeded with
// the last known position (INITROCK.CFG) and the universal time, and told which sentences to
// send.
#pragma once

namespace zarn {
struct App;

// Sends the initialisation sentences and records what was sent in INITROCK.OUT.
void initrockwell(App& app);
// The same after the command "ASTRAL" (the receiver answered "ASTRAL").
void initastral(App& app);

}  // namespace zarn
