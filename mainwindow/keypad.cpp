#include "mainwindow/keypad.h"

#include <array>

#include "app/app.h"
#include "mainwindow/demo.h"
#include "mainwindow/keys.h"
#include "mainwindow/onekey.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/rform.h"
#include "vehicles/chase.h"

namespace zarn {

namespace {

// What each key of the keyboard types, five rows of the UK layout. The space bar (57) has no
// caption of its own; the close key 61 carries "X".
constexpr std::array<const char*, QkForm::keys> captions = {
    "`",   "1", "2",   "3", "4", "5", "6", "7", "8", "9", "0", "-", "=", "Delete",      // 0-13
    "Tab", "Q", "W",   "E", "R", "T", "Y", "U", "I", "O", "P", "[", "]", "Enter",       // 14-27
    "cap", "A", "S",   "D", "F", "G", "H", "J", "K", "L", ";", "'", "#",                // 28-40
    "sh",  "\\", "Z",  "X", "C", "V", "B", "N", "M", ",", ".", "/", "shift",            // 41-53
    "ctrl", " ", "Alt", "",  " ", "*", "~", "X"};                                        // 54-61

// First key and length of each keyboard row.
constexpr std::array<std::array<int, 2>, 5> rows = {{{0, 14}, {14, 14}, {28, 13}, {41, 13}, {54, 8}}};
constexpr int keyw = 40, keyh = 36, spacew = 5 * keyw, widekey = keyw * 3 / 2;

// A touch during the demo is the user taking over.
void enddemo(App& app) {
  if (app.main.demoon != 1) return;
  demooff(app.main);
  app.win.zarn.modebox.set("SIM");
}

// Turns the press frame of a key over: drawn twice, the key is as it was.
void drawpress(KForm& k, int index) {
  if (ui::Shape* s = k.press.find(index)) {
    s->visible = !s->visible;
    k.touch();
  }
}

// The lesson label of a key: field 2 of its record in ZARN.LDR, read afresh at every touch.
std::string lessonlabel(const platform::Files& files, int key) {
  auto f = platform::InputFile::open(files, "ZARN.LDR");
  if (!f) return {};
  const double n = f->number();
  std::string label;
  for (int i = 0; i < n && !f->eof(); ++i) {
    f->field();
    std::string l = f->field();
    f->field();
    if (i == key) label = std::move(l);
  }
  return label;
}

bool appendline(const platform::Files& files, const char* name, const std::string& line) {
  auto f = platform::OutputFile::open(files, name, platform::OutputFile::Mode::Append);
  return f && f->print(line) && f->close();
}

// A touch in lesson mode: what happened, where, and when, in both lesson files.
void lessontouch(App& app, int key) {
  const std::string label = lessonlabel(app.files, key);
  const std::string time = text::timetext(app.sys.clock->now());
  const RForm& r = app.win.get<RForm>();
  const ui::Label* pos = r.pos.exists(5) ? &r.pos[5] : nullptr;
  const LessonLines l = lessonlines(time, label, pos ? pos->caption : std::string(), r.rd.caption);
  showmsg(app.voice, l.log);
  const bool logged = appendline(app.files, "LESSON.LOG", l.log);
  const bool told = appendline(app.files, "LESSON.TXT", l.sentence);
  if (!logged || !told) {
    app.sys.wav->beep();
    showmsg(app.voice, std::string("Lesson not saved: ") + (logged ? "LESSON.TXT" : "LESSON.LOG") +
                           " cannot be written");
  }
}

}  // namespace

KForm::KForm() : ui::Form(formname) {
  caption = "Keys";
  width = 4 * keysize;
  height = 4 * keysize + 24;
  add(Picture1, "Picture1");
  add(press, "press");
  for (int k = 0; k < keys; ++k) {
    const int l = (k % 4) * keysize, t = (k / 4) * keysize;
    ui::Image& p = Picture1.load(k);
    p.move(l, t, keysize, keysize);
    p.stretch = true;
    p.visible = true;
    ui::Shape& s = press.load(k);
    s.move(l, t, keysize, keysize);
    s.bordercolor = ui::yellow;
    s.borderwidth = 4;
    s.fillstyle = 1;  // a frame: the picture stays visible through it
    s.visible = false;
    s.zorder(0);
  }
  add(Command1, "Command1");
  Command1.caption = "X";
  Command1.move(width - 32, 4 * keysize, 32, 24);
}

QkForm::QkForm() : ui::Form(formname) {
  caption = "Querty Keyboard";
  width = 13 * keyw + widekey;
  height = 32 + 5 * keyh;
  add(qkt, "qkt");
  qkt.move(0, 4, width - 100, 24);
  add(ownremotecmd, "ownremotecmd");
  ownremotecmd.caption = "Own Car";
  ownremotecmd.move(width - 96, 4, 96, 24);
  add(qk, "qk");
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    int x = 0;
    for (int i = rows[r][0]; i < rows[r][0] + rows[r][1]; ++i) {
      ui::Button& b = qk.load(i);
      b.caption = captions[static_cast<std::size_t>(i)];
      const int w = i == spacebar ? spacew : i == 13 || i == 27 ? widekey : keyw;
      b.move(x, 32 + r * keyh, w, keyh);
      b.visible = true;
      x += w;
    }
  }
}

std::string padcommand(int key) {
  static constexpr std::array<const char*, KForm::keys> commands = {"F", "E", "S", "I", "\r", "D", "H", "Q",
                                                                    "O", "Y", "N", "Z", "",   "W", "",  "M"};
  return key >= 0 && key < KForm::keys ? commands[static_cast<std::size_t>(key)] : "";
}

LessonLines lessonlines(const std::string& time, const std::string& label, const std::string& pos,
                        const std::string& road) {
  const std::string seconds = text::str(static_cast<int>(text::val(text::right(time, 2))));
  return {time + " " + label + " " + pos + " " + road,
          label + ", " + pos + " " + road + ", at " + text::left(time, 5) + " and " + seconds + " seconds."};
}

namespace kform {

void Picture1_MouseDown(App& app, int index) {
  drawpress(app.win.get<KForm>(), index);
  enddemo(app);
}

void Picture1_MouseUp(App& app, int index) {
  drawpress(app.win.get<KForm>(), index);
  if (app.main.ldron == 1) {
    lessontouch(app, index);
    return;
  }
  if (index == 12) {
    showqkform(app);
    starttext(app.main, app.win.zarn, *app.sys.clock);
  } else if (const std::string cmd = padcommand(index); !cmd.empty()) {
    onekeycmd(app, cmd);
  }
  app.doevents();
}

void Command1_Click(App& app) {
  app.win.get<KForm>().hide();
  if (app.main.scalelayout == 0) app.win.zarn.saytxt.top = 432;
  app.win.zarn.touch();
}

void Form_KeyPress(App& app, int& key) {
  enddemo(app);
  app.main.lastclick = app.timer();
  keycmd(app, key);
}

}  // namespace kform

namespace qkform {

void qk_Click(App& app, int index) {
  QkForm& q = app.win.get<QkForm>();
  // The close key is told by its place: the letter X carries the same caption and types.
  if (index == QkForm::closekey) {
    q.hide();
    return;
  }
  if (!q.qk.exists(index)) return;
  const std::string c = index == QkForm::spacebar ? " " : q.qk[index].caption;
  if (c.size() == 1) {
    if (index == 0) starttext(app.main, app.win.zarn, *app.sys.clock);
    q.qkt.text += c;
    int k = static_cast<unsigned char>(c[0]);
    keycmd(app, k);
  } else if (c == "Delete") {
    if (q.qkt.text.empty()) return;
    q.qkt.text.pop_back();
    int k = ui::key::back;
    keycmd(app, k);
  } else if (c == "Enter") {
    q.hide();
    q.qkt.text.clear();
    runtypedcmd(app);
  }
  q.touch();
}

void ownremotecmd_Click(App& app) { chasetoggle(app); }

}  // namespace qkform

void wirekeypad(App& app) {
  KForm& k = app.win.get<KForm>();
  k.Picture1.each([&app](ui::Image& p) {
    const int i = p.index;
    p.onMouseDown = [&app, i](const ui::MouseEvent&) { kform::Picture1_MouseDown(app, i); };
    p.onDblClick = [&app, i] { kform::Picture1_MouseDown(app, i); };
    p.onMouseUp = [&app, i](const ui::MouseEvent&) { kform::Picture1_MouseUp(app, i); };
  });
  k.Command1.onClick = [&app] { kform::Command1_Click(app); };
  k.onKeyPress = [&app](int& key) { kform::Form_KeyPress(app, key); };
  QkForm& q = app.win.get<QkForm>();
  q.qk.each([&app](ui::Button& b) {
    const int i = b.index;
    b.onClick = [&app, i] { qkform::qk_Click(app, i); };
  });
  q.ownremotecmd.onClick = [&app] { qkform::ownremotecmd_Click(app); };
}

void showkform(App& app) {
  wirekeypad(app);
  app.win.get<KForm>().show();
}

void showqkform(App& app) {
  wirekeypad(app);
  app.win.get<QkForm>().show();
}

}  // namespace zarn
