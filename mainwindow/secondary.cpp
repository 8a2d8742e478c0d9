#include "mainwindow/secondary.h"

namespace zarn {

ZarnBgdForm::ZarnBgdForm() : ui::Form(formname) {
  caption = "ZARN";
  add(gps, "gps");
  gps.shape = ui::Shape::circle;
  gps.fillstyle = 0;
  gps.move(8, 8, 24, 24);
}

}  // namespace zarn
