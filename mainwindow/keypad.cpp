#include "mainwindow/keypad.h"

#include "app/app.h"

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

void showkform(App& app) { app.win.get<KForm>().show(); }
void showqkform(App& app) { app.win.get<QkForm>().show(); }

}  // namespace zarn
