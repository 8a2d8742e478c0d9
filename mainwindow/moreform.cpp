#include "mainwindow/moreform.h"

namespace zarn {

MoreForm::MoreForm() : ui::Form(formname) {
  caption = "More Information";
  topmost = true;
  add(bmp, "bmp");
  add(moretext, "moretext");
  moretext.move(8, 8, width - 16, 48);
  moretext.wordwrap = true;
  moretext.transparent = true;
}

}  // namespace zarn
