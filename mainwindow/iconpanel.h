// The icon control panel "controls": one command at a time as a picture, a text and a prompt.
#pragma once

#include "platform/ui.h"

namespace zarn {

class ControlsForm : public ui::Form {
 public:
  static constexpr const char* formname = "controls";
  static constexpr int pageicons = 9;
  ControlsForm();
  ui::ControlArray<ui::Image> conticon;  // the page icons 0..8, pictures from the language's icon file
};

}  // namespace zarn
