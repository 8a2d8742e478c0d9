// Alarms and messages from vehicles: the alert, the list of waiting messages, the texts and
// sounds of the codes (ZARN.RCC) and acknowledgements.
#pragma once

#include <string>

namespace zarn {
struct App;

// Raises the alarm (code beginning "0") or message alert of vehicle i with its code, place
// (any text parsepos reads) and report time (hhmm).
void mvalertmsg(App& app, int i, const std::string& code, const std::string& place, const std::string& time);
// Announces that a vehicle acknowledged a code.
void ackcode(App& app, int i, const std::string& code);
// The ZARN.RCC text of a code, or empty.
std::string rcctext(App& app, const std::string& code);
// Queues the ZARN.RCC sound of a code, if it has one.
void rccwav(App& app, const std::string& code);

}  // namespace zarn
