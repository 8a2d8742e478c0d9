#include "speech/rform.h"

namespace zarn {

RForm::RForm() : ui::Form(formname) {
  caption = "Road Details";
  width = 420;
  height = 300;
  constexpr int left = 8, linew = 404, lineh = 20;
  add(waw, "waw");
  waw.move(left, 4, linew, 2 * lineh);
  waw.wordwrap = true;
  add(pos, "pos");
  for (int i = 0; i < poscount; ++i) {
    ui::Label& l = pos.load(i);
    l.move(left, 48 + i * lineh, linew, lineh);
    l.visible = true;
  }
  pos[5].font.bold = true;  // the summary line between north and south
  add(at, "at");
  at.move(left, 48 + poscount * lineh + 4, linew, lineh);
  add(rd, "rd");
  rd.move(left, at.top + lineh, linew, lineh);
  add(rformoff, "rformoff");
  rformoff.caption = "Close";
  rformoff.move(width - 88, height - 30, 80, 24);
  rformoff.onClick = [this] { hide(); };
}

}  // namespace zarn
