// The dial-out windows: the dial panel "dialform" with its ten buttons, and the telephone-number
// window "carbug" that writes the dial files. Their handlers are in dialpanel.h.
#pragma once

#include "platform/ui.h"

namespace zarn {

class DialForm : public ui::Form {
 public:
  static constexpr const char* formname = "dialform";
  static constexpr int buttons = 10;
  DialForm();
  ui::ControlArray<ui::Button> dialcmd;  // dialcmd(0)..dialcmd(9)
  ui::Button cancel;
};

class CarbugForm : public ui::Form {
 public:
  static constexpr const char* formname = "carbug";
  CarbugForm();
  ui::Image Image1;                    // ZARNCARB.BMP, when there is one
  ui::Label Label1, Label2, Label3;    // what each box holds
  ui::Label Label4;                    // why a number was refused
  ui::TextBox comprt, telno, timeout;  // COM port, telephone number, time-out in seconds
  ui::Button ok, cancel;
};

}  // namespace zarn
