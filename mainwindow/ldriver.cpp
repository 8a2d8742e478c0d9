#include "mainwindow/ldriver.h"

#include "app/app.h"
#include "mainwindow/secondary.h"
#include "mapdisplay/pictures.h"
#include "platform/files.h"

namespace zarn {

void ldriver(App& app) {
  MainState& m = app.main;
  if (m.ldron != 0) {
    m.ldron = 0;  // the key pad keeps its pictures
    return;
  }
  auto f = platform::InputFile::open(app.files, "ZARN.LDR");
  if (!f) {
    app.sys.wav->beep();
    return;
  }
  auto& z = app.win.zarn;
  // In the fixed layout the message line moves up, clear of the key pad (pixels, as the rest
  // of the layout).
  if (m.scalelayout == 0) {
    z.saytxt.top = 426;
    z.touch();
  }
  showkform(app);
  KForm& k = app.win.get<KForm>();
  const double n = f->number();
  for (int i = 0; i < n && !f->eof(); ++i) {
    const std::string picture = f->field();
    f->field();  // the lesson label, read by the key pad
    f->field();
    // A missing picture, or more records than keys, leaves that key as it is.
    if (i >= KForm::keys || !app.files.confined(picture)) continue;
    if (auto pic = loadpicture(app.files, *app.sys.images, picture)) k.Picture1.load(i).setpicture(std::move(pic));
  }
  m.ldron = 1;
  k.touch();
}

}  // namespace zarn
