#include "vehicles/dialforms.h"

namespace zarn {

DialForm::DialForm() : ui::Form(formname) {
  caption = "Dial";
  width = 120;
  height = 240;
  add(dialcmd, "dialcmd");
  for (int i = 0; i < buttons; ++i) {
    ui::Button& b = dialcmd.load(i);
    b.move(4, 4 + 23 * i, 112, 22);
    b.visible = true;
  }
}

CarbugForm::CarbugForm() : ui::Form(formname) {
  caption = "Dial-out set-up";
  width = 260;
  height = 140;
  add(comprt, "comprt");
  add(telno, "telno");
  add(timeout, "timeout");
  add(ok, "ok");
  add(cancel, "cancel");
  comprt.move(100, 8, 150, 22);
  telno.move(100, 36, 150, 22);
  timeout.move(100, 64, 150, 22);
  ok.move(100, 100, 70, 26);
  ok.caption = "OK";
  cancel.move(180, 100, 70, 26);
  cancel.caption = "Cancel";
  // Closing the window is what the waiting start-up looks for.
  // TODO: OK first writes ZARNDIAL.CFG, DIALTIME.CFG and COMPORT.CFG from the boxes.
  ok.onClick = [this] { hide(); };
  cancel.onClick = [this] { hide(); };
}

}  // namespace zarn
