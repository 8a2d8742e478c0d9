// The dial-out sender and the dial monitor: messages to the units through the modem and the
// satellite text service, and the dial panel's progress and automatic hang-up.
#pragma once

#include <string>

namespace zarn {
struct App;

// Runs one whole call to the satellite text service: dials, walks the service's prompts for
// the addressee (a vehicle label, or "ALL UNITS": the units heard from in the last half hour),
// sends the configured text followed by the body, logs the outcome and sends what was queued
// meanwhile in the same call; after ENGAGED or TIME OUT the queue waits for the next call. It
// waits polling the serial input with events running, and leaves the line up at its end (the
// dial monitor hangs it up once quiet); an abort hangs up at once. However it ends, the
// dialogue is idle again and the abort cleared. A call asked for while one runs is not started.
void dialsend(App& app, const std::string& to, const std::string& text, const std::string& body);

// Run on every main tick: the dial panel's caption from the modem's replies, the panel kept
// off the own car, and the automatic hang-up autohangup seconds after the last command.
void dialmon(App& app);

}  // namespace zarn
