// The vehicle-tracking windows as far as the serial link and the logs write them: the vehicle
// window "mvform" ("Vehicles Tracked"), its engineering window "mveng" and the alarm window
// "mvalarm".
#pragma once

#include "platform/ui.h"

namespace zarn {

class MvForm : public ui::Form {
 public:
  static constexpr const char* formname = "mvform";
  MvForm();
  ui::Label telstat;  // call state
  ui::Label teletim;  // seconds left of a wait
  ui::Label loglab;   // log file
  ui::Label mtxadd;   // addressee
  ui::TextBox mtx;    // message to send
  ui::Label printlabon;  // "Printing ON" / "Printing OFF"
  ui::Label nonewl;      // "add new vehicles" / "ignore new vehicles"
  ui::Label Label1;      // "Status": green in multi-vehicle mode
  ui::ControlArray<ui::Label> mvdata;  // vehicle rows: row k is vehicle k + 1
  ui::Label Label2;                    // header of the rows
  static constexpr int rows = 27;
};

class MvEngForm : public ui::Form {
 public:
  static constexpr const char* formname = "mveng";
  MvEngForm();
  ui::ControlArray<ui::Label> mvrx;  // line lamp, mvrx(0)
  ui::Label msgmode;                 // data mode
  ui::Label logline;                 // last log line
};

class MvAlarmForm : public ui::Form {
 public:
  static constexpr const char* formname = "mvalarm";
  MvAlarmForm();
  ui::Label telstat;  // call state
  ui::Button cancel, ack;
  ui::Label q;    // "Q" and the number of messages waiting; shown while any wait
  ui::Label txt;  // the message shown: code, time and unit; place; the code's text
};

}  // namespace zarn
