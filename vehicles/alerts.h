// Alarms and messages from vehicles: the alert, the list of waiting messages, the texts and
// sounds of the codes (ZARN.RCC) and acknowledgements.
#pragma once

#include <string>

namespace zarn {
struct App;
class MvAlarmForm;
struct VehicleTable;
struct Voice;
namespace platform {
class Files;
}

// Looks a sentence's talker up in CMESSAGE.CFG (a count, then records of key, unit identity,
// icon file and alert code; "NULL" for no icon or code): the first complete record whose key
// matches exactly gives the three values (an icon outside the working folder as "NULL"); none,
// or no readable file, gives the key itself, "NULL" and "NULL".
void cmessage(const platform::Files& files, const std::string& code, std::string& text, std::string& icon, std::string& extra);

// Raises the alarm (code beginning "0") or message alert of vehicle i with its code, place
// (any text parsepos reads) and report time (hhmm): the alarm window shows it, the vehicle is
// plotted when the place reads, and the alert is announced with its ZARN.RCC text and sounds.
// While the window is up the entry it showed (text, unit, code) waits in alarmlist (at most
// ten) and the new one becomes alarmshown; a full list drops its oldest message, never an
// alarm for a message, and the message line counts the dropped ones. The code is spoken
// character by character, letters and digits only.
void mvalertmsg(App& app, int i, const std::string& code, const std::string& place, const std::string& time);
// The message window's colours: white on red for an alarm, black on yellow for a message.
void alarmcolours(MvAlarmForm& w, bool alarm);
// Announces that a vehicle acknowledged a code (i is not used).
void ackcode(Voice& voice, const VehicleTable& v, int i, const std::string& code);

}  // namespace zarn
