#include "mainwindow/secondary.h"

namespace zarn {

KForm::KForm() : ui::Form(formname) {
  caption = "Keys";
  width = 4 * 64;
  height = 4 * 64;
  add(Picture1, "Picture1");
  for (int k = 0; k < keys; ++k) {
    ui::Image& p = Picture1.load(k);
    p.move((k % 4) * 64, (k / 4) * 64, 64, 64);
    p.stretch = true;
    p.visible = true;
  }
}

QkForm::QkForm() : ui::Form(formname) { caption = "Keyboard"; }

ControlsForm::ControlsForm() : ui::Form(formname) {
  caption = "Controls";
  add(conticon, "conticon");
  for (int k = 0; k < pageicons; ++k) {
    ui::Image& p = conticon.load(k);
    p.move(k * 36, 0, 32, 32);
    p.stretch = true;
    p.visible = true;
  }
}

ZarnBgdForm::ZarnBgdForm() : ui::Form(formname) {
  caption = "ZARN";
  add(gps, "gps");
  gps.shape = ui::Shape::circle;
  gps.fillstyle = 0;
  gps.move(8, 8, 24, 24);
}

}  // namespace zarn
