#include "navigation/rgiman.h"

#include "app/app.h"

namespace zarn {

RgimanForm::RgimanForm() : ui::Form(formname) { caption = "RGIMAN"; }

void showrgiman(App& app) { (void)app; }

void rgimanclick(App& app, int button, float x, float y) {
  (void)app;
  (void)button;
  (void)x;
  (void)y;
}

}  // namespace zarn
