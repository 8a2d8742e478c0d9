// The dial-out sender and the dial monitor: messages to the units through the modem and the
// satellite text service, and the dial panel's progress and automatic hang-up.
#pragma once

#include <string>

namespace zarn {
struct App;

// Runs one whole call to the satellite text service: dials, walks the service's prompts for
// the addressee (a vehicle label or "ALL UNITS"), sends the configured text followed by the
// body, logs the outcome and sends what was queued meanwhile in the same call.
void dialsend(App& app, const std::string& to, const std::string& text, const std::string& body);

// Run on every main tick: the dial panel's caption from the modem's replies, the panel kept
// off the own car, and the automatic hang-up autohangup seconds after the last command.
void dialmon(App& app);

}  // namespace zarn
