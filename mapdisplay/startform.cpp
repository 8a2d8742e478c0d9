#include "mapdisplay/startform.h"

#include "platform/services.h"

namespace zarn {

namespace {
void shadowed(ui::Label& l, ui::Label& shad, int x, int y, int w, double size, ui::Colour c) {
  for (ui::Label* p : {&shad, &l}) {
    p->transparent = true;
    p->alignment = 2;
    p->font.size = size;
    p->font.bold = true;
  }
  l.move(x, y, w, 24);
  shad.move(x + 2, y + 2, w, 24);
  l.forecolor = c;
  shad.forecolor = ui::black;
}
}  // namespace

StartForm::StartForm() : ui::Form(formname) {
  caption = "ZARN";
  width = 640;
  height = 480;
  backcolor = 0x602000;  // dark blue
  borderless = true;
  surface.pixelwidth = 640;
  surface.pixelheight = 480;
  add(titleshad, "titleshad");
  add(title, "title");
  shadowed(title, titleshad, 0, 160, 640, 14, ui::white);
  add(cprshad, "cprshad");
  add(cpr, "cpr");
  shadowed(cpr, cprshad, 0, 190, 640, 9, ui::white);
  cpr.set("Maps and place data: Ordnance Survey, GeoNames and GSHHG");
  cprshad.set(cpr.caption);
  add(errmsg, "errmsg");
  errmsg.move(20, 400, 600, 36);
  errmsg.transparent = true;
  errmsg.wordwrap = true;
  errmsg.alignment = 2;
  errmsg.forecolor = 0x8080FF;  // light red
  errmsg.visible = false;
  add(trace, "trace");
  trace.move(0, 440, 640, 20);
  trace.alignment = 2;
  trace.transparent = true;
  trace.forecolor = ui::yellow;
  trace.font.size = 10;
  trace.caption = "testing";
  add(startline, "startline");
  startline.set(320, 466, 320, 466);
  startline.bordercolor = ui::yellow;
  startline.borderwidth = 3;
}

void setstatlabel(StartForm& f, platform::EventPump& events, const std::string& text) {
  f.trace.forecolor = ui::yellow;
  f.trace.set(text);
  f.trace.visible = true;
  f.touch();
  // Shown at once while start-up works on; the events let the window repaint.
  if (f.visible) events.doevents();
}

}  // namespace zarn
