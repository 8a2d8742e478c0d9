// The vehicle link's states (data mode, the dialled-in reader's step, the satellite text
// service's call state) and what the serial poll hands up the link road: each completed link
// line with how it was framed, and the texts the vehicle windows show of the call and the log.
#pragma once

#include <optional>
#include <string>

#include "platform/ui.h"

namespace zarn {

// How the link's lines are decoded. The numbers are the modes' numbers as the engineering
// window and the logs know them.
enum class DataMode { message = 0, converted = 1, position = 2, nmea = 3, datatrak = 4 };

// The dialled-in report reader's step: identity line 1, identity line 2, the record length, a
// line skipped, then the record itself. The link window shows it by its number.
enum class ReportMode { line1 = 0, line2 = 1, length = 2, skip = 3, record = 4 };

// The satellite text service's dialogue, as the serial poll follows it.
enum class CallState { idle = 0, dialling = 1, online = 2, prompt = 3, busy = 4, sent = 5, unreachable = 6 };

// How the serial poll framed a link line it hands up, which decides what is logged of it.
enum class LinkFrame {
  own,     // the own unit's "P:" report: the own fix, not a vehicle's
  plain,   // handed on as it came: Datatrak frames, replies while dialling, a replayed line
  step,    // a line while the dialled-in reader waits for identity or length lines: none of these
           // is logged, but a report of another form that comes instead is a vehicle line
  line,    // a vehicle line ended by CR: written to the trip log and printed with its log line
  status,  // the same for a modem or terminal status line: its log line is left out
  record,  // a dialled-in binary record at its length: logged with its identity lines and hex dump
};

// Texts of the link's lower half for the vehicle windows: the call state (the vehicle window's
// text and back colour, the alarm window's text), the seconds left of a call's wait and the
// trip log's name. An empty optional leaves that label as it is.
// The call status while an incoming call is up.
inline constexpr const char* incomingcall = "Incoming Call";

struct LinkShow {
  std::optional<std::string> calltext, alarmcalltext, timetext, logtext;
  std::optional<ui::Colour> callcolour;
  bool incallended = false;  // an incoming call ended unannounced: a status still naming it goes
};

// The steps of a call that wait with events running, so that a click or a tick inside the wait
// could start the same step again: each is marked while it runs and refuses to start inside
// itself.
struct CallSteps {
  bool sending = false;     // the dial-out sender
  bool hangingup = false;   // the hang-up
  bool testing = false;     // the modem test
  bool monitoring = false;  // the dial monitor
};

// Marks a step running for as long as it lives.
class StepMark {
 public:
  explicit StepMark(bool& running) : running_(running) { running_ = true; }
  ~StepMark() { running_ = false; }
  StepMark(const StepMark&) = delete;
  StepMark& operator=(const StepMark&) = delete;

 private:
  bool& running_;
};

}  // namespace zarn
