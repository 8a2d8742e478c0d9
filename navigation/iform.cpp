#include "navigation/iform.h"

#include "app/app.h"

namespace zarn {

IForm::IForm() : ui::Form(formname) {
  caption = "Instruments";
  width = 320;
  height = 240;
  add(Image1, "Image1");
  Image1.move(0, 0, 320, 240);
  add(gpslight, "gpslight");
  gpslight.shape = ui::Shape::circle;
  gpslight.fillstyle = 0;
  gpslight.move(290, 8, 20, 20);
}

void updateinstr(App& app) { (void)app; }

void loadinstrpic(App& app) {
  // TODO: load langprefix & INSTRUPA.BMP (else INSTRUPA.BMP) into Image1.
  (void)app;
}

}  // namespace zarn
