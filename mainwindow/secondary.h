// Secondary windows of the main window's subsystem that start-up and the display services
// touch: the picture keys "kform" and the on-screen keyboard "qkform" (keypad.h), the icon
// panel "controls" (iconpanel.h) and the stand-by window "zarnbgd", which stands in for the whole
// program while it is hidden (its handlers are the control panel's, cform.h).
#pragma once

#include "mainwindow/iconpanel.h"
#include "mainwindow/keypad.h"
#include "platform/ui.h"

namespace zarn {

class ZarnBgdForm : public ui::Form {
 public:
  static constexpr const char* formname = "zarnbgd";
  ZarnBgdForm();
  ui::Shape gps;  // the GPS light
  ui::Label Label1;
  ui::Button Command1;  // SHOW: the program again
};

}  // namespace zarn
