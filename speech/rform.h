// The "Road Details" window: where we are in words. The own-position report, the landmark
// line, the road line and up to nine where-am-I lines (places to the north above the summary
// line pos(5), places to the south below it). Made on first use without being shown; its
// close button hides it.
#pragma once

#include "platform/ui.h"

namespace zarn {

class RForm : public ui::Form {
 public:
  static constexpr const char* formname = "rform";
  static constexpr int poscount = 9;  // pos(0)..pos(8)
  RForm();

  ui::Label waw;  // the last own-position report
  ui::Label at;   // the last landmark passed
  ui::Label rd;   // "on " and the road we are on
  ui::ControlArray<ui::Label> pos;
  ui::Button rformoff;
};

}  // namespace zarn
