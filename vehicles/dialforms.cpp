#include "vehicles/dialforms.h"

namespace zarn {

DialForm::DialForm() : ui::Form(formname) {
  caption = "Dial";
  width = 190;
  height = 240;
  add(dialcmd, "dialcmd");
  for (int i = 0; i < buttons; ++i) {
    ui::Button& b = dialcmd.load(i);
    b.move(4, 4 + 23 * i, 112, 22);
    b.visible = true;
  }
  // Beside the buttons, so that a panel cut to two buttons' height still shows it.
  add(cancel, "cancel");
  cancel.caption = "Cancel";
  cancel.move(122, 4, 64, 22);
}

CarbugForm::CarbugForm() : ui::Form(formname) {
  caption = "Telephone Number ?";
  width = 260;
  height = 160;
  add(Image1, "Image1");
  add(Label1, "Label1");
  add(Label2, "Label2");
  add(Label3, "Label3");
  add(Label4, "Label4");
  add(comprt, "comprt");
  add(telno, "telno");
  add(timeout, "timeout");
  add(ok, "ok");
  add(cancel, "cancel");
  Image1.move(8, 100, 32, 32);
  Label1.caption = "COM port";
  Label2.caption = "Telephone";
  Label3.caption = "Time-out (s)";
  for (auto [l, t] : {std::pair{&Label1, 8}, {&Label2, 36}, {&Label3, 64}}) {
    l->move(8, t + 3, 88, 18);
    l->transparent = true;
  }
  Label4.move(8, 134, 244, 18);
  Label4.transparent = true;
  Label4.forecolor = ui::red;
  comprt.move(100, 8, 150, 22);
  telno.move(100, 36, 150, 22);
  timeout.move(100, 64, 150, 22);
  ok.move(100, 100, 70, 26);
  ok.caption = "OK";
  cancel.move(180, 100, 70, 26);
  cancel.caption = "Cancel";
}

}  // namespace zarn
