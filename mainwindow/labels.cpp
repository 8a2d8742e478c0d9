#include "mainwindow/labels.h"

#include "app/app.h"

namespace zarn {

void whitelabels(App& app) {
  auto& z = app.win.zarn;
  for (ui::Label* l : {&z.destlab, &z.symlab, &z.cpytext}) l->forecolor = ui::white;
}

}  // namespace zarn
