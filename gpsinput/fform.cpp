#include "gpsinput/fform.h"

#include "app/app.h"

namespace zarn {

FForm::FForm() : ui::Form(formname) {
  add(switches, "switches");
  for (int i = 1; i < 8; ++i) switches.load(i).visible = true;
}

void showfform(App& app) { app.win.get<FForm>().show(); }

}  // namespace zarn
