// The control panel "cform": the list of map titles and the zoom button that shows the map
// width, which the map display writes, and the destination list, call-sign separator and trail
// interval, which the main window writes.
#pragma once

#include "platform/ui.h"

namespace zarn {

class CForm : public ui::Form {
 public:
  static constexpr const char* formname = "cform";
  CForm();
  ui::ListBox map;      // map titles in catalogue order
  ui::Button zoomcmd;   // "<- 12 Km ->": the width of the map shown
  ui::ListBox desti;    // destination labels, then "(mouse)"
  ui::TextBox csgn;     // the call-sign separator
  ui::Button histcmd;   // the trail interval ("NONE", "ALL", "10 sec" ...)
  ui::ControlArray<ui::Shape> h;  // three marks of the trail interval
};

}  // namespace zarn
