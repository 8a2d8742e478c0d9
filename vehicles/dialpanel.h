// The dial panel's handlers (the buttons of ZARNDIAL.CFG: dial, hang up, a control string, a
// periodic command, the line speed) and the telephone-number window that writes the dial files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zarn {
struct App;

namespace dialform {
// Runs button index (0-based) of ZARNDIAL.CFG. A comma cannot stand in the file's fields:
// "_" stands for it. An "@" suffix of fewer than 4 characters makes the command the periodic
// command every that many seconds; a longer one is the line speed, refused with a message
// (the settings kept) when the serial line cannot use it.
void dialcmd_Click(App& app, int index);
void cancel_Click(App& app);
}  // namespace dialform

namespace carbug {
// Placed at the top left of a 640-pixel screen; shows ZARNCARB.BMP when there is one.
void Form_Load(App& app);
// The typed telephone number as the dial file holds it: blanks trimmed off its ends, each
// comma (the modem's dial pause) written "_". nullopt, with the reason in *why, for an empty
// number or one holding a quote, an "@" or a control character, which the file cannot hold.
std::optional<std::string> dialnumber(std::string_view typed, std::string* why = nullptr);
// Writes ZARNDIAL.CFG (a dial button and a hang-up button), DIALTIME.CFG and COMPORT.CFG from
// the boxes and closes the window; a number the file cannot hold is refused and nothing is
// written.
void ok_Click(App& app);
void cancel_Click(App& app);
}  // namespace carbug

}  // namespace zarn
