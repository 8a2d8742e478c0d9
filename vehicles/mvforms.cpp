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
  add(Label2, "Label2");
  add(mvdata, "mvdata");
  // The rows stand under the header in a fixed-pitch face, so that their columns line up; the
  // selected vehicle's row is white, the others light grey.
  constexpr int rowleft = 8, rowtop = 24, rowwidth = 400, rowheight = 14;
  Label2.caption = "Unit Location        Msg T-Tx T-Rx Spd Hdg Id. ";
  Label2.font.fixedpitch = true;
  Label2.transparent = true;
  Label2.move(rowleft, rowtop - rowheight - 2, rowwidth, rowheight);
  mvdata[0].font.fixedpitch = true;
  mvdata[0].backcolor = ui::lightgrey;
  for (int i = 0; i < rows; ++i) {
    ui::Label& row = mvdata.load(i);
    row.move(rowleft, rowtop + i * rowheight, rowwidth, rowheight);
    row.visible = true;
  }
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
