// The vehicle window's handlers: selecting a vehicle, sending a code to a unit, a dial-up data
// call, ABORT, and the switches for logging, printing, alarm sounds, automatic selection, the
// map overlay and new vehicles. Also the steps a message call shares with the message window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zarn {
struct App;
class Windows;

// Both call-status labels: the vehicle window's and the message window's.
void callstatus(Windows& win, const std::string& text);

// A message body as it may go to the text service: control characters taken out. nullopt when
// what is left is the service's own end-of-message line ".S", which would cut the message short.
std::optional<std::string> sendablebody(std::string_view typed);

// The steps before a message call, shown on both status labels: the modem hung up and tested.
// True when a modem answered; false on ABORT during the hang-up ("Call Aborted") or when no
// modem answered ("no modem OK").
bool getmodem(App& app);

// A message for a call already running goes into the outgoing queue; false, and said where it
// shows and on the message line, when the queue is full. what: "Message" or "Ack".
bool queueforcall(App& app, const std::string& to, const std::string& text, const std::string& body,
                  const std::string& what);

// "Sorry : Incoming Call" on the message window's status label, with a beep, for the given
// seconds; then the label gets its own text back, or keeps `after` when that is not empty.
void sorryincoming(App& app, float secs, const std::string& after = {});

// A message asked for while a dial-up data call holds the line is not sent, and not queued:
// only a message call sends what is queued. Said on the message line with a beep; the text
// is returned for the window the message was asked on. what: "Message" or "Ack".
std::string refusedindatacall(App& app, const std::string& what);

// Marks a message call running for its whole length (callbusy); every way out of it ends it and
// clears the abort, so that later waits and hang-ups run in full.
class MessageCall {
 public:
  explicit MessageCall(App& app);
  ~MessageCall();
  MessageCall(const MessageCall&) = delete;
  MessageCall& operator=(const MessageCall&) = delete;

 private:
  App& app_;
};

// Makes vehicle i the selected one: its row white, the previous one light grey.
void markselected(App& app, int i);

// A click on vehicle i's icon on the map: selected as by a click on its row, the map left where
// it is.
void mvim_Click(App& app, int i);

namespace mvform {
// A row of the table (0-based): that vehicle selected, shown as the own position and made the
// addressee; its $MV$ text shown and its sound played.
void mvdata_Click(App& app, int index);
void all_Click(App& app);
void clrmsg_Click(App& app);
// Sends the code in mtx to the unit in mtxadd; queued while a message call runs, refused
// during a dial-up data call.
void sendnow_Click(App& app);
// Sets the abort, lets the waits see it for 2 seconds and hangs up.
void abort_Click(App& app);
// Dials dialnumber and keeps the line up to 600 s while the unit's data come in.
void dialupdata_Click(App& app);
void asoundsc_Click(App& app);
void autoselon_Click(App& app);
void nonewc_Click(App& app);
void whatlog_Click(App& app);
void pic_Click(App& app);
// Logging on appends to NEWTRIP.MVD: switching it off and on keeps what was logged.
void loglabon_Click(App& app);
void printlabon_Click(App& app);
void eng_Click(App& app);
}  // namespace mvform

// Gives the vehicle windows made so far (the vehicle, message and dial windows and the
// telephone-number window) their handlers; handlers already set are kept. Windows made later
// need another call.
void wirevehiclewindows(App& app);

}  // namespace zarn
