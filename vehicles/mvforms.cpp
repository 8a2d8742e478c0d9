#include "vehicles/mvforms.h"

namespace zarn {

namespace {
void button(ui::Button& b, const char* caption, int l, int t, int w, int h) {
  b.caption = caption;
  b.move(l, t, w, h);
}
void label(ui::Label& b, const char* caption, int l, int t, int w, int h) {
  b.caption = caption;
  b.move(l, t, w, h);
}
}  // namespace

MvForm::MvForm() : ui::Form(formname) {
  caption = "Vehicles Tracked";
  width = 600;
  height = 472;
  for (auto [b, n] : {std::pair{&nonewc, "nonewc"}, {&asoundsc, "asoundsc"}, {&eng, "eng"}, {&dialupdata, "dialupdata"},
                      {&pic, "pic"}, {&whatlog, "whatlog"}, {&abort, "abort"}, {&sendnow, "sendnow"},
                      {&autoselon, "autoselon"}, {&printlabon, "printlabon"}, {&loglabon, "loglabon"},
                      {&clrmsg, "clrmsg"}, {&all, "all"}})
    add(*b, n);
  add(mtx, "mtx");
  for (auto [l, n] : {std::pair{&Label1, "Label1"}, {&nonewl, "nonewl"}, {&asoundst, "asoundst"}})
    add(*l, n);
  add(mvdata, "mvdata");
  for (auto [l, n] : {std::pair{&mtxadd, "mtxadd"}, {&whatlab, "whatlab"}, {&pictxt, "pictxt"}, {&teletim, "teletim"},
                      {&telstat, "telstat"}, {&autoselab, "autoselab"}, {&printlab, "printlab"}, {&loglab, "loglab"},
                      {&Label4, "Label4"}, {&Label3, "Label3"}, {&Label2, "Label2"}})
    add(*l, n);

  // The rows stand under the header in a fixed-pitch face, so that their columns line up; the
  // selected vehicle's row is white, the others light grey.
  constexpr int rowleft = 8, rowtop = 24, rowwidth = 400, rowheight = 14;
  Label2.caption = "Unit  Location       Msg T-Tx T-Rx Spd Hdg Id. ";
  Label2.font.fixedpitch = true;
  Label2.transparent = true;
  Label2.move(rowleft, rowtop - rowheight - 2, rowwidth, rowheight);
  mvdata[0].font.fixedpitch = true;
  mvdata[0].backcolor = ui::lightgrey;
  for (int i = 0; i < rows; ++i) {
    ui::Label& row = mvdata.load(i);
    row.move(rowleft, rowtop + i * rowheight, rowwidth, rowheight);
    row.visible = true;
  }

  // The switches down the right: a small button, and the label that names the state.
  constexpr int sx = 416, lx = 440, lw = 150, sy = 24, step = 26;
  const std::pair<ui::Button*, ui::Label*> switches[] = {{&nonewc, &nonewl},       {&asoundsc, &asoundst},
                                                         {&whatlog, &whatlab},     {&pic, &pictxt},
                                                         {&autoselon, &autoselab}, {&printlabon, &printlab},
                                                         {&loglabon, &loglab}};
  int k = 0;
  for (auto [b, l] : switches) {
    b->move(sx, sy + k * step, 20, 20);
    l->move(lx, sy + k * step, lw, 20);
    ++k;
  }
  nonewl.caption = "add new vehicles";
  asoundst.caption = "Alarm sounds + speech";
  whatlab.caption = "Minimum data logged";
  pictxt.caption = "Overlay OFF";
  pictxt.backcolor = ui::lightgrey;
  autoselab.caption = "Auto Selection ON";
  autoselab.backcolor = ui::green;
  printlab.caption = "Printing OFF";
  printlab.backcolor = ui::lightgrey;
  loglab.caption = "Logging OFF";
  loglab.backcolor = ui::lightgrey;
  button(dialupdata, "Dialup Data", sx, sy + 8 * step, 110, 24);
  button(eng, "Engineering", sx, sy + 9 * step + 4, 110, 24);

  // Sending along the bottom: the code, the addressee, and the call's state under them.
  constexpr int by = 412;
  label(Label3, "Send:", 8, by + 3, 36, 18);
  Label3.transparent = true;
  mtx.move(44, by, 56, 22);
  button(clrmsg, "CLR", 104, by, 40, 22);
  label(Label4, "to:", 150, by + 3, 22, 18);
  Label4.transparent = true;
  label(mtxadd, "ALL UNITS", 174, by + 2, 80, 18);
  mtxadd.font.fixedpitch = true;
  button(all, "ALL", 258, by, 40, 22);
  button(sendnow, "Send Now", 304, by, 80, 22);
  button(abort, "ABORT", 390, by, 70, 22);
  label(Label1, "Status", 8, by + 32, 48, 18);
  telstat.move(60, by + 32, 320, 18);
  teletim.move(386, by + 32, 40, 18);
}

MvEngForm::MvEngForm() : ui::Form(formname) {
  caption = "Multiple Vehicle Tracking Engineering";
  width = 420;
  add(mvrx, "mvrx");
  add(msgmode, "msgmode");
  add(logline, "logline");
  msgmode.move(8, 8, 404, 18);
  // The last raw lines, the newest on top, each the width of the window in a fixed-pitch face
  // so that columns line up; a row's back colour is its line's lamp: white taken, grey ignored.
  constexpr int rowtop = 30, rowheight = 16;
  mvrx[0].font.fixedpitch = true;
  for (int k = 0; k < rawrows; ++k) {
    ui::Label& row = mvrx.load(k);
    row.move(8, rowtop + k * rowheight, 404, rowheight);
    row.visible = true;
  }
  logline.move(8, rowtop + rawrows * rowheight + 6, 404, 40);
  logline.wordwrap = true;
  height = logline.top + logline.height + 8;
}

MvAlarmForm::MvAlarmForm() : ui::Form(formname) {
  caption = "Message Received";
  width = 330;
  height = 186;
  add(cancel, "cancel");
  button(cancel, "Cancel", 8, 150, 80, 28);
  add(ack, "ack");
  button(ack, "Send Acknowledgement and Cancel", 96, 150, 226, 28);
  add(telstat, "telstat");
  telstat.move(80, 124, 242, 20);
  telstat.transparent = true;
  add(q, "q");
  label(q, "Q 15", 8, 124, 60, 20);
  q.visible = false;
  add(txt, "txt");
  label(txt, "00 at 0930 from XX1", 8, 8, 314, 110);
  txt.wordwrap = true;
}

}  // namespace zarn
