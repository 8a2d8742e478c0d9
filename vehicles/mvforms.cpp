#include "vehicles/mvforms.h"

namespace zarn {

MvForm::MvForm() : ui::Form(formname) {
  caption = "Vehicles Tracked";
  add(telstat, "telstat");
  add(teletim, "teletim");
  add(loglab, "loglab");
  add(mtxadd, "mtxadd");
  add(mtx, "mtx");
  add(printlabon, "printlabon");
  add(nonewl, "nonewl");
  nonewl.caption = "add new vehicles";
  add(Label1, "Label1");
  Label1.caption = "Status";
  add(mvdata, "mvdata");
  for (int i = 0; i <= 26; ++i) mvdata.load(i).visible = true;
  mtxadd.caption = "ALL UNITS";
}

MvEngForm::MvEngForm() : ui::Form(formname) {
  add(mvrx, "mvrx");
  add(msgmode, "msgmode");
  add(logline, "logline");
}

MvAlarmForm::MvAlarmForm() : ui::Form(formname) {
  add(telstat, "telstat");
  add(cancel, "cancel");
  cancel.caption = "Cancel";
  cancel.move(8, 200, 80, 26);
  add(ack, "ack");
  ack.caption = "Acknowledge";
  ack.move(96, 200, 100, 26);
  add(q, "q");
  q.caption = "Q 15";
  q.visible = false;
  q.move(8, 170, 60, 20);
  add(txt, "txt");
  txt.caption = "00 at 0930 from XX1";
  txt.wordwrap = true;
  txt.move(8, 8, 300, 150);
}

}  // namespace zarn
