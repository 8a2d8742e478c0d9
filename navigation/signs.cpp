#include "navigation/signs.h"

#include "app/app.h"
#include "navigation/rgiform.h"

namespace zarn {

RgiForm::RgiForm() : ui::Form(formname) {
  caption = "Route guidance";
  add(bmp, "bmp");
  add(rgitxt, "rgitxt");
}

void drawsign(App& app, const std::string& name) {
  (void)app;
  (void)name;
}

}  // namespace zarn
