// The message window's handlers: dismissing the shown alarm or message, bringing back the one
// waiting behind it, and acknowledging it to the unit that sent it.
#pragma once

namespace zarn {
struct App;
struct VehicleTable;
class MvAlarmForm;

namespace mvalarm {
// Shows the message that waited last (newest first) or, with none waiting, closes the window.
void dispmsg(VehicleTable& v, MvAlarmForm& w);
void cancel_Click(App& app);
// Sends the configured acknowledgement with the shown entry's code to its unit (the label as
// the table holds it), then dismisses it; queued while a message call runs. A message that
// could not be acknowledged (no modem, ABORT, a full queue, a data call or an incoming call on
// the line) stays shown, and the window says why. The operator's draft in the vehicle window's
// Send box comes back after the acknowledgement's call.
void ack_Click(App& app);
}  // namespace mvalarm

}  // namespace zarn
