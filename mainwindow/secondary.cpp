#include "mainwindow/secondary.h"

namespace zarn {

ZarnBgdForm::ZarnBgdForm() : ui::Form(formname) {
  caption = "0000m@12oc";
  width = 132;
  height = 40;
  add(gps, "gps");
  gps.shape = ui::Shape::circle;
  gps.fillstyle = 0;
  gps.move(8, 8, 24, 24);
  add(Label1, "Label1");
  Label1.caption = "GPS";
  Label1.transparent = true;
  Label1.move(36, 12, 30, 16);
  add(Command1, "Command1");
  Command1.caption = "SHOW";
  Command1.move(68, 8, 56, 24);
}

}  // namespace zarn
