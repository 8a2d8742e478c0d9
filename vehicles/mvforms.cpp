#include "vehicles/mvforms.h"

namespace zarn {

MvForm::MvForm() : ui::Form(formname) {
  caption = "Vehicles Tracked";
  add(telstat, "telstat");
  add(teletim, "teletim");
  add(loglab, "loglab");
  add(mtxadd, "mtxadd");
  add(mtx, "mtx");
  mtxadd.caption = "ALL UNITS";
}

MvEngForm::MvEngForm() : ui::Form(formname) {
  add(mvrx, "mvrx");
  add(msgmode, "msgmode");
  add(logline, "logline");
}

MvAlarmForm::MvAlarmForm() : ui::Form(formname) { add(telstat, "telstat"); }

}  // namespace zarn
