#include "gpsinput/fform.h"

namespace zarn {

FForm::FForm() : ui::Form(formname) {
  add(switches, "switches");
  for (int i = 1; i < 8; ++i) switches.load(i).visible = true;
}

}  // namespace zarn
