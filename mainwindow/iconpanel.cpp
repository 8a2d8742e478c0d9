#include "mainwindow/iconpanel.h"

namespace zarn {

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

}  // namespace zarn
