#include "mainwindow/layout.h"

#include "app/app.h"
#include "speech/msgline.h"

namespace zarn {

void reshowmsg(App& app) {
  SpeechState& s = app.speech;
  if (s.talkon == 0) return;
  s.msgtext = translate(app, s.msgtext);
  ui::Label& line = app.win.zarn.saytxt;
  line.setfontsize(msgfontsize(s.msgtext));
  line.set(s.msgtext);
  line.visible = true;
  app.win.zarn.touch();
  s.msgtime = app.timer();
}

}  // namespace zarn
