// The vehicle-tracking windows: the vehicle window "mvform" ("Vehicles Tracked"), its
// engineering window "mveng" and the message window "mvalarm". Their handlers are in
// mvwindow.h and alarmwindow.h.
#pragma once

#include "platform/ui.h"

namespace zarn {

class MvForm : public ui::Form {
 public:
  static constexpr const char* formname = "mvform";
  MvForm();
  // The switches: each button flips (or cycles) a setting that the label beside it names.
  ui::Button nonewc, asoundsc, eng, dialupdata, pic, whatlog, abort, sendnow, autoselon, printlabon, loglabon;
  ui::Button clrmsg, all;
  ui::TextBox mtx;  // the code to send
  ui::Label Label1;  // "Status": green in multi-vehicle mode
  ui::Label nonewl, asoundst;
  ui::ControlArray<ui::Label> mvdata;  // vehicle rows: row k is vehicle k + 1
  ui::Label mtxadd;  // the addressee: a unit's label as the table holds it, or "ALL UNITS"
  ui::Label whatlab, pictxt;
  ui::Label teletim;  // seconds left of a wait
  ui::Label telstat;  // call state
  ui::Label autoselab, printlab, loglab;
  ui::Label Label4, Label3;  // "to:", "Send:"
  ui::Label Label2;          // header of the rows
  static constexpr int rows = 27;
};

class MvEngForm : public ui::Form {
 public:
  static constexpr const char* formname = "mveng";
  MvEngForm();
  ui::ControlArray<ui::Label> mvrx;  // the last raw lines, mvrx(0) the newest; back colour its lamp
  static constexpr int rawrows = 7;
  ui::Label msgmode;                 // data mode
  ui::Label logline;                 // last log line
};

class MvAlarmForm : public ui::Form {
 public:
  static constexpr const char* formname = "mvalarm";
  MvAlarmForm();
  ui::Button cancel, ack;
  ui::Label telstat;  // call state
  ui::Label q;    // "Q" and the number of messages waiting; shown while any wait
  ui::Label txt;  // the message shown: code, time and unit; place; the code's text
};

}  // namespace zarn
