// The dial-out windows as start-up fills them: the dial window "dialform" with its ten
// buttons, and the dial-out set-up window "carbug".
#pragma once

#include "platform/ui.h"

namespace zarn {

class DialForm : public ui::Form {
 public:
  static constexpr const char* formname = "dialform";
  static constexpr int buttons = 10;
  DialForm();
  ui::ControlArray<ui::Button> dialcmd;  // dialcmd(0)..dialcmd(9)
};

class CarbugForm : public ui::Form {
 public:
  static constexpr const char* formname = "carbug";
  CarbugForm();
  ui::TextBox comprt, telno, timeout;  // COM port, telephone number, time-out in seconds
  ui::Button ok, cancel;
};

}  // namespace zarn
