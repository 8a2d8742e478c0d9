// The guidance window "rgi": the road sign of an instruction and its message line, laid over
// the main window for a few seconds.
#pragma once

#include "platform/ui.h"

namespace zarn {

class RgiForm : public ui::Form {
 public:
  static constexpr const char* formname = "rgi";
  RgiForm();
  ui::PictureBox bmp;  // the sign
  ui::Label rgitxt;    // the message line
};

}  // namespace zarn
