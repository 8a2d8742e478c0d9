// The dial-out monitor, run on every main tick.
#pragma once

namespace zarn {
struct App;

// Shows the dial progress in the dial-out panel's caption, keeps the panel off the own car and
// hangs the modem up the configured time after the last command.
void dialmon(App& app);

}  // namespace zarn
