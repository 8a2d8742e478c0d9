// Secondary windows of the main window's subsystem that start-up and the display services
// touch: the picture keys "kform", the on-screen keyboard "qkform", the icon panel "controls"
// and the stand-by window "zarnbgd". Their own handlers come with their commands.
#pragma once

#include "platform/ui.h"

namespace zarn {

class KForm : public ui::Form {
 public:
  static constexpr const char* formname = "kform";
  static constexpr int keys = 16;
  KForm();
  ui::ControlArray<ui::Image> Picture1;  // picture keys 0..15
};

class QkForm : public ui::Form {
 public:
  static constexpr const char* formname = "qkform";
  QkForm();
};

class ControlsForm : public ui::Form {
 public:
  static constexpr const char* formname = "controls";
  static constexpr int pageicons = 9;
  ControlsForm();
  ui::ControlArray<ui::Image> conticon;  // the page icons 0..8, pictures from the language's icon file
};

class ZarnBgdForm : public ui::Form {
 public:
  static constexpr const char* formname = "zarnbgd";
  ZarnBgdForm();
  ui::Shape gps;  // the GPS light
};

}  // namespace zarn
