// The More Information window "more": the text and picture of the last found place, shown while
// its spoken file plays. It uses no keys itself, and passes none on: keys pressed while it has
// the focus are not commands.
#pragma once

#include "platform/ui.h"

namespace zarn {

class MoreForm : public ui::Form {
 public:
  static constexpr const char* formname = "more";
  MoreForm();
  ui::Label moretext;
  ui::Image bmp;  // at the picture's own size, centred when shown
};

}  // namespace zarn
