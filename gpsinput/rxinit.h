// Receiver initialisation: a receiver that understands the PRWIINIT sentence is seeded with
// the last known position (INITROCK.CFG) and the universal time, and told which sentences to
// send.
#pragma once

namespace zarn {
struct GpsState;
struct Voice;

// Sends the initialisation sentences and records what was sent in INITROCK.OUT.
void initrockwell(GpsState& gps, Voice& voice);
// The same after the command "ASTRAL" (the receiver answered "ASTRAL").
void initastral(GpsState& gps, Voice& voice);

}  // namespace zarn
